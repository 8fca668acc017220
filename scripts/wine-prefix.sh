#!/usr/bin/env bash
# Creates a Wine prefix of the project's, with the fonts that show Japanese
# dialog text, if it is not there yet: wine-prefix.sh win64|win32 [FOLDER]
# Default folder: $MARVOLEN_WINE_HOME/wine64 or /wine32 (~/.cache/marvolen).
set -euo pipefail

arch="${1:-win64}"
base="${MARVOLEN_WINE_HOME:-${HOME}/.cache/marvolen}"
prefix="${2:-$base/${arch/win/wine}}"
stamp="$prefix/.marvolen-prefix-v2"
if [ -f "$stamp" ]; then
  echo "wine-prefix: ready at $prefix"
  exit 0
fi

here="$(cd "$(dirname "$0")" && pwd)"
run="$here/../cmake/wine-run.sh"
export MARVOLEN_WINE_PREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
rm -rf "$prefix"
# Creating a prefix needs no display.
DISPLAY= "$run" "$arch" wineboot -i >/dev/null 2>&1 </dev/null

# Debian's Wine does not read its own font folder: without Marlett the
# caption buttons are drawn as letters.
mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true

# Japanese dialog fonts map to Noto Sans CJK; with no window manager under
# Xvfb, Wine must draw the captions itself.
reg="$prefix/drive_c/marvolen-setup.reg"
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="Noto Sans CJK JP"
"MS Shell Dlg"="Noto Sans CJK JP"
"MS Shell Dlg 2"="Noto Sans CJK JP"
"Tahoma"="Noto Sans CJK JP"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
DISPLAY= "$run" "$arch" regedit /S 'C:\marvolen-setup.reg' >/dev/null 2>&1 </dev/null
rm -f "$reg"
# Let the prefix's own processes end before anyone uses it.
if [ "$arch" = win64 ]; then
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
else
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver32 -k 2>/dev/null || true
fi
touch "$stamp"
echo "wine-prefix: created at $prefix"
