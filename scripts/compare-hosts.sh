#!/usr/bin/env bash
# Runs the same pictures with the same settings through the native command-line
# host with Tessaro.so and through tessaro.exe with Tessaro.8bf under Wine, for
# the 64-bit and the 32-bit Windows build, and compares the results pixel for
# pixel: every build must compute the same bits.
#   scripts/compare-hosts.sh [WINDOWS_TREE...]   (default: win win32)
# Needs build/native and the Windows trees.  Prints one line per case and tree
# and a summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
trees=("$@")
[[ ${#trees[@]} -gt 0 ]] || trees=(win win32)
for tree in native "${trees[@]}"; do
  [[ -x build/$tree/bin/tessaro || -f build/$tree/bin/tessaro.exe ]] ||
    { echo "compare-hosts: build/$tree has no tessaro: build it first (scripts/build.sh $tree)" >&2; exit 1; }
done
work=build/compare-hosts
rm -rf "$work"
mkdir -p "$work/in" "$work/native"
for tree in "${trees[@]}"; do mkdir -p "$work/$tree"; done

# Pictures of our own making: shapes with transparency, a photo-like gradient,
# thin and tiny objects, and a selection mask for the flat image.
mk() { convert "$@" 2>/dev/null; }
mk -size 200x150 xc:none -fill '#3a7bd5' -draw "roundrectangle 30,25 170,125 25,25" PNG32:"$work/in/card.png"
mk -size 180x180 xc:none -fill '#e53935' -draw "circle 90,90 90,20" -fill none -draw "circle 90,90 90,60" PNG32:"$work/in/disc.png"
mk -size 220x120 gradient:'#fdd835-#43a047' \( -size 220x120 xc:black -fill white -draw "polygon 20,100 110,10 200,100" \) -alpha off -compose CopyOpacity -composite PNG32:"$work/in/triangle.png"
mk -size 160x160 plasma:fractal -seed 7 \( -size 160x160 xc:black -fill white -draw "circle 80,80 80,15" -blur 0x4 \) -alpha off -compose CopyOpacity -composite PNG32:"$work/in/soft.png"
mk -size 120x90 xc:none -fill '#8e24aa' -draw "rectangle 10,40 110,44" PNG32:"$work/in/bar.png"
mk -size 64x64 xc:none -fill white -draw "rectangle 30,30 33,33" PNG32:"$work/in/tiny.png"
mk -size 150x100 gradient:'#ffffff-#000000' -rotate 90 -resize 150x100! PNG24:"$work/in/flat.png"
mk -size 150x100 xc:black -fill white -draw "ellipse 75,50 50,30 0,360" -blur 0x2 -colorspace Gray PNG8:"$work/in/flat-mask.png"

cases=(
  "card|"
  "card|--angle-x 75 --angle-y -75 --perspective 100 --zoom 150"
  "card|--angle-x -75 --angle-y 75 --perspective 0 --zoom 50 --depth 100 --round -100"
  "disc|--angle-x 20 --angle-y 30 --depth 1 --round 100 --overlay --color 00A0FF --color-opacity 40"
  "disc|--angle-y -40 --light-direction -90 --highlight FFFF00 --shadow 0000FF --highlight-opacity 100 --shadow-opacity 100"
  "triangle|--angle-x 35 --depth 60 --smooth --light-direction 200"
  "triangle|--no-lighting --overlay --color 202020 --color-opacity 100 --angle-y 50"
  "soft|--angle-x 25 --angle-y 25 --depth 50 --round 50 --smooth"
  "soft|--depth 0 --zoom 120"
  "bar|--angle-x 60 --depth 80"
  "tiny|--angle-y 10"
  "flat|--flat --mask flat-mask.png --background 102030 --angle-x 30 --angle-y -20 --depth 40"
)

export WINEDEBUG=-all
passed=0
failed=0
n=0
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  args=${entry#*|}
  args=${args//flat-mask.png/$work/in/flat-mask.png}
  out="case$n-$name.png"
  native_status=0
  # shellcheck disable=SC2086
  build/native/bin/tessaro --quiet $args "$work/in/$name.png" -o "$work/native/$out" 2>"$work/native/$out.err" || native_status=$?
  for tree in "${trees[@]}"; do
    win_status=0
    # shellcheck disable=SC2086
    bash scripts/wine-run.sh "build/$tree/bin/tessaro.exe" --quiet $args "$work/in/$name.png" -o "$work/$tree/$out" 2>"$work/$tree/$out.err" || win_status=$?
    if [[ $native_status -ne $win_status ]]; then
      echo "case $n ($name $args): exit status native $native_status, $tree $win_status"
      failed=$((failed + 1))
    elif [[ $native_status -ne 0 ]]; then
      echo "case $n ($name $args): both refused or failed with status $native_status"
      failed=$((failed + 1))
    elif cmp -s <(convert "$work/native/$out" -depth 8 rgba:-) <(convert "$work/$tree/$out" -depth 8 rgba:-); then
      echo "case $n ($name $args): $tree identical"
      passed=$((passed + 1))
    else
      diff_pixels=$(compare -metric AE "$work/native/$out" "$work/$tree/$out" null: 2>&1 || true)
      echo "case $n ($name $args): $tree DIFFERENT ($diff_pixels pixels)"
      failed=$((failed + 1))
    fi
  done
  n=$((n + 1))
done
echo "hosts: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
