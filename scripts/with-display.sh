#!/usr/bin/env bash
# Runs a command with a private Xvfb display and a persistent wineserver for
# the project's Wine prefixes, then stops both by their pids.
#   scripts/with-display.sh COMMAND [ARGS...]
set -euo pipefail

base="${MARVOLEN_WINE_HOME:-${HOME}/.cache/marvolen}"
display=""
for n in $(seq 91 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "with-display: no free X display" >&2; exit 1; }

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
export DISPLAY="$display"

# The first Wine command fixes the display for the wineserver's session, so the
# servers start after DISPLAY is set. A persistent server makes every later
# program start fast; its output goes nowhere so it cannot hold a log open.
if [ -d "$base/wine64" ]; then
  WINEPREFIX="$base/wine64" /usr/lib/wine/wineserver64 -f -p </dev/null >/dev/null 2>&1 &
  pids+=($!)
fi
if [ -d "$base/wine32" ]; then
  WINEPREFIX="$base/wine32" /usr/lib/wine/wineserver32 -f -p </dev/null >/dev/null 2>&1 &
  pids+=($!)
fi

# The first Wine program of a session starts Wine's background services,
# which inherit its output: started under ctest they would hold the test's
# output pipe open until they exit. Start them here, writing nowhere.
here="$(cd "$(dirname "$0")" && pwd)"
if [ -d "$base/wine64" ]; then
  "$here/../cmake/wine-run.sh" win64 cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
if [ -d "$base/wine32" ]; then
  "$here/../cmake/wine-run.sh" win32 cmd /c exit </dev/null >/dev/null 2>&1 || true
fi

set +e
"$@"
status=$?
set -e
# Ask the wineservers to end their Wine processes before they are stopped.
[ -d "$base/wine64" ] && WINEPREFIX="$base/wine64" /usr/lib/wine/wineserver64 -k 2>/dev/null
[ -d "$base/wine32" ] && WINEPREFIX="$base/wine32" /usr/lib/wine/wineserver32 -k 2>/dev/null
exit $status
