#!/bin/sh
# Runs a Windows program under Wine, quietly, in the project's prefix for its
# architecture: wine-run.sh win32|win64 PROGRAM [ARGS...]
# The prefixes are made by scripts/wine-prefix.sh.
arch="$1"
shift
export WINEDEBUG=-all
base="${MARVOLEN_WINE_HOME:-${HOME}/.cache/marvolen}"
if [ "$arch" = win64 ]; then
  export WINEARCH=win64
  export WINEPREFIX="${MARVOLEN_WINE_PREFIX:-$base/wine64}"
  export WINELOADER=/usr/lib/wine/wine64
  exec /usr/lib/wine/wine64 "$@"
fi
export WINEARCH=win32
export WINEPREFIX="${MARVOLEN_WINE_PREFIX:-$base/wine32}"
exec /usr/lib/wine/wine "$@"
