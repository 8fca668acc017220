#!/usr/bin/env bash
# Renders Marvolen's main dialog under Xvfb and saves it as a PNG.
#   scripts/screenshot-main-dialog.sh [OUTPUT.png] [Marvolen.exe]
# Defaults: docs/main-dialog.png and the win64 build (this machine runs only
# 64-bit Windows programs; the dialog is the same in both builds). The copy
# runs from a fresh folder, so it shows the default settings. Japanese text
# appears in Noto Sans CJK, which the Wine prefix substitutes for
# "MS UI Gothic".
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
output="$(realpath -m "${1:-docs/main-dialog.png}")"
exe="$(realpath "${2:-build/win64/ui/Marvolen.exe}")"
[ -f "$exe" ] || { echo "screenshot: $exe is missing (bash scripts/build.sh win64)" >&2; exit 1; }
arch=win64
if file "$exe" | grep -q 'PE32 executable'; then arch=win32; fi
bash scripts/wine-prefix.sh "$arch" >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/Marvolen.exe"
mkdir -p "$(dirname "$output")"

# Runs inside the private display: start the program, wait for its window to
# be mapped, capture the screen, cut out the window, end the program.
capture() {
  local work="$1" output="$2" arch="$3" root="$4"
  cd "$work"
  "$root/cmake/wine-run.sh" "$arch" "$work/Marvolen.exe" </dev/null >/dev/null 2>&1 &
  local program=$!
  local geometry=""
  for _ in $(seq 1 300); do
    if info="$(xwininfo -name Marvolen 2>/dev/null)" && grep -q 'IsViewable' <<<"$info"; then
      geometry="$(awk -F: '/Absolute upper-left X/{x=$2} /Absolute upper-left Y/{y=$2}
                          /Width/{w=$2} /Height/{h=$2}
                          END{gsub(/ /,"",x); gsub(/ /,"",y); gsub(/ /,"",w); gsub(/ /,"",h);
                              printf "%sx%s+%s+%s", w, h, x, y}' <<<"$info")"
      break
    fi
    sleep 0.1
  done
  if [ -z "$geometry" ]; then
    echo "screenshot: the main dialog did not appear" >&2
    kill "$program" 2>/dev/null || true
    return 1
  fi
  # Mapped is not yet painted: capture until the window shows more than a
  # handful of colours (a blank or black frame has one or two).
  local painted=0
  for _ in $(seq 1 100); do
    /usr/bin/import -window root "$work/screen.png"
    /usr/bin/convert "$work/screen.png" -crop "$geometry" +repage "$output"
    if [ "$(/usr/bin/identify -format '%k' "$output")" -gt 32 ]; then
      painted=1
      break
    fi
    sleep 0.1
  done
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  [ "$painted" = 1 ] || { echo "screenshot: the dialog was never painted" >&2; return 1; }
}
export -f capture
bash scripts/with-display.sh bash -c 'capture "$@"' capture "$work" "$output" "$arch" "$root"
echo "screenshot: wrote $output"
