#!/usr/bin/env bash
# Measures what a user waits for in the effect dialog: from a click on a
# camera slider's arrow to the changed preview on the screen, under Wine on a
# private virtual display, for the bundled sample and for pictures of
# 1920 x 1080 and 4000 x 3000 (where the dialog draws only the view's
# surroundings).  Prints the median of several clicks for each:
#
#   scripts/dialog-latency.sh [BUILD_TREE] [CLICKS]
#
# The time includes the dialog's 250 ms merge delay.  The screen is sampled
# by screenshots, so figures are good to about one screenshot's time (printed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$(cd "${1:-$root/build/win}" && pwd)
clicks=${2:-5}
exe=$tree/bin/tessaro.exe
[[ -f $exe ]] || { echo "no $exe: build the Windows tree first" >&2; exit 1; }
command -v xdotool >/dev/null || { echo "xdotool is missing: run scripts/install-deps.sh" >&2; exit 1; }

source "$root/scripts/wine-display.sh"
start_wine_display 1280x900

convert -size 1920x1080 xc:none -fill '#d04a20' -draw 'roundrectangle 260,160 1660,920 120,120' \
  -fill '#f2c14e' -draw 'circle 960,540 960,800' "$work/hd.png"
convert -size 4000x3000 xc:none -fill '#2060c0' -draw 'roundrectangle 400,300 3600,2700 200,200' \
  -fill '#f2c14e' -draw 'circle 2000,1500 2000,1720' "$work/big.png"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
preview() {  # a checksum of the preview pane
  import -window root -crop 580x450+332+52 +repage "$work/p.png" 2>/dev/null
  md5sum <"$work/p.png" | cut -c1-32
}

measure() {  # measure NAME INPUT
  "$root/scripts/wine-run.sh" "$exe" --quiet --dialog "$2" -o "$work/out.png" >/dev/null 2>&1 &
  run_pid=$!
  local id=
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name '^Tessaro' 2>/dev/null | head -n 1 || true)
    [[ -n $id ]] && break
    sleep 0.1
  done
  [[ -n $id ]] || { echo "the dialog did not open" >&2; return 1; }
  eval "$(xdotool getwindowgeometry --shell "$id")"
  # Wait for the first build: the preview stops changing.
  local last= same=0
  while ((same < 6)); do
    local now
    now=$(preview)
    if [[ $now == "$last" ]]; then same=$((same + 1)); else same=0; last=$now; fi
    sleep 0.5
  done
  local times=() grab
  local t0 t1
  t0=$(now_ms); preview >/dev/null; grab=$(($(now_ms) - t0))
  for _ in $(seq "$clicks"); do
    local before
    before=$(preview)
    xdotool mousemove $((X + 157 - 11)) $((Y + 117)) # Angle X's right arrow
    t0=$(now_ms)
    xdotool click 1
    while [[ $(preview) == "$before" ]]; do
      (($(now_ms) - t0 < 60000)) || break
    done
    t1=$(now_ms)
    times+=($((t1 - t0)))
    sleep 1
  done
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((${#times[@]} + 1) / 2))p")
  printf '%-28s median %5d ms   (all: %s; one screenshot takes %d ms)\n' "$1" "$median" \
    "$sorted" "$grab"
  xdotool key Escape
  wait "$run_pid" || true
  run_pid=
}

measure "sample, 480 x 360" "$root/samples/tessaro-sample.png"
measure "picture, 1920 x 1080" "$work/hd.png"
measure "picture, 4000 x 3000" "$work/big.png"
