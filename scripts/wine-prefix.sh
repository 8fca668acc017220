#!/usr/bin/env bash
# Creates the project's 32-bit Wine prefix, with the fonts that show Japanese
# dialog text, if it is not there yet. The prefix lives in a known folder:
# $MARVOLEN_WINE_PREFIX, by default ~/.cache/marvolen/wine.
set -euo pipefail

prefix="${MARVOLEN_WINE_PREFIX:-${HOME}/.cache/marvolen/wine}"
stamp="$prefix/.marvolen-prefix-v1"
if [ -f "$stamp" ]; then
  echo "wine-prefix: ready at $prefix"
  exit 0
fi

export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
rm -rf "$prefix"
# No display is needed to create a prefix; keep wineboot from waiting on one.
DISPLAY= wineboot -i >/dev/null 2>&1 </dev/null

# Debian's Wine does not read its own font folder: without Marlett the
# caption buttons are drawn as letters.
mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true

reg="$(mktemp --suffix=.reg)"
trap 'rm -f "$reg"' EXIT
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="Noto Sans CJK JP"
"MS Shell Dlg"="Noto Sans CJK JP"
"MS Shell Dlg 2"="Noto Sans CJK JP"
"Tahoma"="Noto Sans CJK JP"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"
REG
DISPLAY= wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null
wineserver -w
touch "$stamp"
echo "wine-prefix: created at $prefix"
