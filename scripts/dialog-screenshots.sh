#!/usr/bin/env bash
# Photographs the effect dialog as a user sees it: tessaro.exe --dialog of a
# Windows build tree, under Wine on a private virtual display, worked with the
# mouse and keyboard (xdotool) and saved one screenshot per state:
#
#   scripts/dialog-screenshots.sh [BUILD_TREE] [OUTPUT_FOLDER]
#
# BUILD_TREE defaults to build/win, OUTPUT_FOLDER to BUILD_TREE/dialog-shots.
# TESSARO_DPI=144 or 192 takes them at 150 % or 200 % scaling (see
# scripts/wine-display.sh); the display and every point clicked grow with it.
# The Wine prefix is made afresh for every run, so no stored placement, style
# or language of an earlier run changes the pictures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$(cd "${1:-$root/build/win}" && pwd)
out=${2:-$tree/dialog-shots}
exe=$tree/bin/tessaro.exe
[[ -f $exe ]] || { echo "no $exe: build the Windows tree first" >&2; exit 1; }
command -v xdotool >/dev/null || { echo "xdotool is missing: run scripts/install-deps.sh" >&2; exit 1; }
mkdir -p "$out"

source "$root/scripts/wine-display.sh"
start_wine_display 1280x900

# A large picture, so the first build takes long enough to be seen waiting.
convert -size 2400x1600 xc:none -fill '#d04a20' -draw 'roundrectangle 300,250 2100,1350 160,160' \
  -fill '#f2c14e' -draw 'circle 1200,800 1200,1150' "$work/large.png"

# Positions inside the dialog at 96 DPI, scaled to the display's: the buttons
# at the top from its top-left corner, OK from its bottom-right one (it
# follows a grown frame).
menu_button=($(scaled 89) $(scaled 60))
presets_button=($(scaled 234) $(scaled 60))

dialog_id=
start() {  # start INPUT [OPTIONS]: opens the dialog and waits until it is on the screen
  local input=$1
  shift
  "$root/scripts/wine-run.sh" "$exe" --quiet --dialog "$@" "$input" -o "$work/out.png" \
    >"$work/log" 2>&1 &
  run_pid=$!
  for _ in $(seq 300); do
    dialog_id=$(xdotool search --onlyvisible --name '^Tessaro' 2>/dev/null | head -n 1 || true)
    [[ -n $dialog_id ]] && return 0
    sleep 0.1
  done
  echo "the dialog did not open" >&2
  cat "$work/log" >&2
  return 1
}
at() {  # at X Y: the screen point of a point in the dialog
  local x y
  eval "$(xdotool getwindowgeometry --shell "$dialog_id")"
  echo $((X + $1)) $((Y + $2))
}
click() { xdotool mousemove $(at "$1" "$2") click 1; sleep "${3:-1}"; }
ok() {
  eval "$(xdotool getwindowgeometry --shell "$dialog_id")"
  xdotool mousemove $((X + WIDTH - $(scaled 225))) $((Y + HEIGHT - $(scaled 28))) click 1
  sleep 3
}
keys() { xdotool key --delay 120 "$@"; sleep 1.5; }
shot() { import -window root "$out/$1.png"; echo "$out/$1.png"; }

# Waiting for the first build of a large picture, then built.
start "$work/large.png"
sleep 0.6
shot main-dialog-preparing
sleep 12
shot main-dialog-built
ok
wait "$run_pid" || true

# A turned, deep relief: the picture for the README.
start "$root/samples/tessaro-sample.png" --angle-x 20 --angle-y -30 --depth 70 --round 40
sleep 4
shot main-dialog-turned
ok
wait "$run_pid" || true

start "$root/samples/tessaro-sample.png"
sleep 3
shot main-dialog-aqua
click "${menu_button[@]}"
xdotool mousemove $(at "$(scaled 60)" "$(scaled 86)")
sleep 1
shot main-menu-open
keys Escape Escape
click "${menu_button[@]}"
keys Down Right Return             # Interface, Chrome Style
shot main-dialog-chrome
click "${menu_button[@]}"
keys Down Right Down Down Return   # Interface, Flat Style
shot main-dialog-flat
click "${presets_button[@]}"
shot presets-menu-open
keys Escape
click "${menu_button[@]}"
keys Down Down Right Return        # Language, the first file
shot main-dialog-translated
click "${menu_button[@]}"
keys Down Right Up Return          # Interface, Reset to Default
click "${menu_button[@]}"
keys Down Down Right Down Return   # Language, the second file (English)
# Grown from the bottom-right corner.
eval "$(xdotool getwindowgeometry --shell "$dialog_id")"
xdotool mousemove $((X + WIDTH - 3)) $((Y + HEIGHT - 3)) mousedown 1 sleep 0.3 \
  mousemove $((X + WIDTH + $(scaled 120))) $((Y + HEIGHT + $(scaled 140))) sleep 0.3 \
  mousemove $((X + WIDTH + $(scaled 240))) $((Y + HEIGHT + $(scaled 280))) sleep 0.3 mouseup 1
sleep 2
shot main-dialog-grown
click "${menu_button[@]}"
keys Up Return                     # About...
sleep 1.5
shot about-from-menu
keys Escape
# A message over the dialog: a preset name it refuses.
click "${presets_button[@]}"
keys Down Return                   # Save preset...
shot input-from-menu
xdotool type --delay 120 'a\b'
keys Return
shot message-from-dialog
keys Return
ok
wait "$run_pid" || true
run_pid=
[[ -f $work/out.png ]] && echo "OK wrote the result ($(identify -format '%wx%h' "$work/out.png"))"
