#!/usr/bin/env bash
# Runs the window gallery (tessaro_gallery.exe of a Windows build tree) under
# Wine on a private virtual display and saves one screenshot per look:
#
#   scripts/gallery-screenshots.sh [BUILD_TREE] [OUTPUT_FOLDER]
#
# BUILD_TREE defaults to build/win, OUTPUT_FOLDER to BUILD_TREE/gallery-shots.
# The Wine prefix is the gallery's own, so stopping its server here never
# touches a test run sharing the project's prefix.  TESSARO_DPI=144 or 192
# takes the shots at 150 % or 200 % scaling (see scripts/wine-display.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$(cd "${1:-$root/build/win}" && pwd)
out=${2:-$tree/gallery-shots}
exe=$tree/bin/tessaro_gallery.exe
[[ -f $exe ]] || { echo "no $exe: build the Windows tree first" >&2; exit 1; }
mkdir -p "$out"

export WINEPREFIX=${TESSARO_GALLERY_WINEPREFIX:-$HOME/.cache/tessaro/wine-gallery}
export WINEDEBUG=${WINEDEBUG:--all}
source "$root/scripts/wine-display.sh"  # the DPI and its helpers

# A display number nobody uses.
n=$((150 + RANDOM % 100))
while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
display=:$n
Xvfb "$display" -screen 0 "$(scaled 1024)x$(scaled 600)x24" -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
gallery_pid=
cleanup() {
  if [[ -n $gallery_pid ]]; then kill "$gallery_pid" >/dev/null 2>&1 || true; fi
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do
  xdpyinfo >/dev/null 2>&1 && break
  [[ -e /tmp/.X11-unix/X$n ]] && break
  sleep 0.1
done
# The prefix is kept between runs: its DPI is set every time.
if ((dpi != 96)); then
  set_wine_dpi
else
  "$root/scripts/wine-run.sh" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f \
    >/dev/null 2>&1 || true
fi

# shot NAME [GALLERY OPTIONS...]: starts the gallery, waits until it says it is
# shown, takes the picture and lets the gallery close itself.
shot() {
  local name=$1
  shift
  local ready
  ready=$(mktemp -u /tmp/tessaro-gallery-ready.XXXXXX)
  local windows_ready="Z:${ready//\//\\}"
  timeout 180 "$root/scripts/wine-run.sh" "$exe" --ready-file "$windows_ready" --linger 1500 "$@" &
  gallery_pid=$!
  local waited=0
  until [[ -f $ready ]]; do
    if ! kill -0 "$gallery_pid" 2>/dev/null; then
      echo "gallery ended before it was shown ($name)" >&2
      return 1
    fi
    sleep 0.2
    waited=$((waited + 1))
    if ((waited > 600)); then
      echo "gallery not shown after 120 s ($name)" >&2
      return 1
    fi
  done
  sleep 0.4  # the last paints after the marker
  import -window root "$out/$name.png"
  wait "$gallery_pid" || true
  gallery_pid=
  rm -f "$ready"
  echo "$out/$name.png"
}

# One plain shot per button style, then the frame's special states.
shot gallery-aqua
shot gallery-chrome --style 9
shot gallery-flat --style 0
shot gallery-chrome-grown --style 9 --grow 160 60
shot gallery-flat-rolled-up-pressed --style 0 --roll-up --pressed
shot gallery-flat-background --style 0 --contrast 0

# The small dialogs, each alone on the screen (the question over its list).
shot dialog-message --dialog message
shot dialog-message-ok --style 9 --dialog message-ok
shot dialog-input --dialog input
shot dialog-presets --style 0 --dialog presets
shot dialog-presets-ask --dialog presets-ask
shot dialog-about --dialog about
