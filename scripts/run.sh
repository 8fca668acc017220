#!/usr/bin/env bash
# Installs what is missing, builds everything, and writes the default time
# signal with the command-line tool to out/TestSound01.wav.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
for kind in native win32; do
  echo "== build $kind"
  bash scripts/build.sh "$kind"
done
mkdir -p out
(cd out && ../build/native/cli/marvolen)
echo "Written: $(pwd)/out/TestSound01.wav"
echo "Windows program: $(pwd)/build/win32/ui/Marvolen.exe"
