#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: natively,
# under ASan+UBSan and TSan, and the Windows build under Wine with Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/wine-prefix.sh win64
wine32=0
if bash scripts/can-run-32bit.sh; then
  wine32=1
  bash scripts/wine-prefix.sh win32
fi

for kind in native sanitize tsan win32 win64; do
  echo "== build $kind"
  bash scripts/build.sh "$kind"
done

jobs=$(nproc)
run_ctest() {
  echo "== test $1"
  ctest --test-dir "build/$1" --output-on-failure -j "$jobs" ${2:-}
}

status=0
run_ctest native || status=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest sanitize || status=1
run_ctest tsan || status=1
bash scripts/with-display.sh bash -c '
  set -e
  ctest --test-dir build/win64 --output-on-failure -j 1
  if [ "$0" = 1 ]; then ctest --test-dir build/win32 --output-on-failure -j 1; fi
' "$wine32" || status=1
if [ "$wine32" = 0 ]; then
  echo "== win32: built; this kernel cannot run 32-bit programs, so its tests ran as the win64 build"
fi
exit $status
