#!/usr/bin/env bash
# Tries the packages as a user would: unpacks each into a temporary folder,
# checks that it holds exactly the files it should (the modules of the right
# processor, the repository's language files), runs the packaged `tessaro`
# natively and both packaged `tessaro.exe` (with the 64-bit and the 32-bit
# filter) under Wine on the sample picture, and compares each picture with the
# build tree's (build/native) pixel for pixel.
#   scripts/package-smoke.sh WINDOWS.zip LINUX.tar.gz
# Under the test command it uses that command's display and Wine prefix, else
# a private pair of its own.  Ends with "package smoke: N passed, N failed".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -eq 2 && -f $1 && -f $2 ]] || { echo "usage: $0 WINDOWS.zip LINUX.tar.gz" >&2; exit 1; }
zipfile=$(realpath "$1")
tarball=$(realpath "$2")
cd "$root"
[[ -x build/native/bin/tessaro ]] || bash scripts/build.sh native

tmp=$(mktemp -d /tmp/tessaro-package-smoke.XXXXXX)
own_display=0
if [[ -z ${TESSARO_WINEPREFIX:-} || -z ${DISPLAY:-} ]]; then
  source scripts/wine-display.sh
  start_wine_display 1024x768
  own_display=1
fi
cleanup() {
  rm -rf "$tmp"
  if [[ $own_display -eq 1 ]]; then stop_wine_display; fi
}
trap cleanup EXIT
export WINEDEBUG=-all

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...: one line per check
  local what=$1
  shift
  if "$@" >"$tmp/check.log" 2>&1; then
    echo "ok      $what"
    passed=$((passed + 1))
  else
    echo "FAILED  $what"
    sed 's/^/        /' "$tmp/check.log"
    failed=$((failed + 1))
  fi
}

mkdir -p "$tmp/windows" "$tmp/linux" "$tmp/out"
(cd "$tmp/windows" && unzip -q "$zipfile")
tar -C "$tmp/linux" -xzf "$tarball"
windows=$(find "$tmp/windows" -mindepth 1 -maxdepth 1 -type d)
linux=$(find "$tmp/linux" -mindepth 1 -maxdepth 1 -type d)
version=$(basename "$linux")
version=${version#Tessaro-}
version=${version%-linux-x86_64}

languages=$(cd langs && ls -- *.lng)
listing() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }
expected_windows() {
  printf '%s\n' INSTALL.md LICENSE.txt Tessaro.8bf tessaro.exe 32-bit/Tessaro.8bf 32-bit/tessaro.exe
  for l in $languages; do printf 'langs/%s\n32-bit/langs/%s\n' "$l" "$l"; done
}
expected_linux() {
  printf '%s\n' INSTALL.md LICENSE.txt Tessaro.so tessaro
  for l in $languages; do printf 'langs/%s\n' "$l"; done
}
same_list() { diff <("$1" | LC_ALL=C sort) <(listing "$2"); }
check "windows package holds exactly its files" same_list expected_windows "$windows"
check "linux package holds exactly its files" same_list expected_linux "$linux"

same_languages() {
  for l in $languages; do
    cmp "langs/$l" "$1/langs/$l" || return 1
  done
}
check "windows language files are the repository's" same_languages "$windows"
check "32-bit language files are the repository's" same_languages "$windows/32-bit"
check "linux language files are the repository's" same_languages "$linux"

# The machine field of a Windows executable's file header.
machine() {
  local header
  header=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  od -An -t x2 -j $((header + 4)) -N 2 "$1" | tr -d ' '
}
is_machine() { [[ $(machine "$2") == "$1" ]] || { echo "$2: machine $(machine "$2"), not $1"; return 1; }; }
check "Tessaro.8bf and tessaro.exe are 64-bit" \
  bash -c "$(declare -f machine is_machine); is_machine 8664 '$windows/Tessaro.8bf' && is_machine 8664 '$windows/tessaro.exe'"
check "32-bit/Tessaro.8bf and 32-bit/tessaro.exe are 32-bit" \
  bash -c "$(declare -f machine is_machine); is_machine 014c '$windows/32-bit/Tessaro.8bf' && is_machine 014c '$windows/32-bit/tessaro.exe'"

# The README's main job, by the build tree and by each packaged program.
settings=(--quiet --angle-x 30 --angle-y -25 --depth 40 --round 60 --smooth)
sample=samples/tessaro-sample.png
build/native/bin/tessaro "${settings[@]}" "$sample" -o "$tmp/out/build.png"
pixels() { convert "$1" -depth 8 rgba:-; }
same_pixels() { cmp <(pixels "$tmp/out/build.png") <(pixels "$1"); }
runs() {  # runs OUTPUT PROGRAM...: the program writes OUTPUT, as the build tree did
  local out=$1
  shift
  "$@" "${settings[@]}" "$sample" -o "$out" && same_pixels "$out"
}
says_version() { [[ $("$@" --version | tr -d '\r') == "tessaro $version" ]]; }
# A settings store of its own, so no stored value of the user's takes part.
export TESSARO_SETTINGS_DIR=$tmp/settings
check "linux tessaro says its version $version" says_version "$linux/tessaro"
check "linux tessaro with its Tessaro.so writes the build tree's picture" \
  runs "$tmp/out/linux.png" "$linux/tessaro"
check "tessaro.exe says its version $version" says_version bash scripts/wine-run.sh "$windows/tessaro.exe"
check "tessaro.exe with the 64-bit Tessaro.8bf writes the build tree's picture" \
  runs "$tmp/out/win64.png" bash scripts/wine-run.sh "$windows/tessaro.exe"
check "32-bit/tessaro.exe with the 32-bit Tessaro.8bf writes the build tree's picture" \
  runs "$tmp/out/win32.png" bash scripts/wine-run.sh "$windows/32-bit/tessaro.exe"

echo "package smoke: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
