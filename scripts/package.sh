#!/usr/bin/env bash
# The packaging command: builds the release binaries and writes into dist/
#   Tessaro-VERSION-windows.zip          Tessaro.8bf (64-bit editors), tessaro.exe and
#                                        langs/; 32-bit/ with the same for 32-bit
#                                        editors; LICENSE.txt; INSTALL.md (docs/install.md)
#   Tessaro-VERSION-linux-x86_64.tar.gz  tessaro, the module Tessaro.so it loads, langs/,
#                                        LICENSE.txt, INSTALL.md
#   SHA256SUMS                           checksums of the two
# The binaries are those of the tested trees (build/native, build/win,
# build/win32: optimised, -O2), stripped of their symbols and debugging
# information, so what is shipped is what the tests ran.  Each package is then
# unpacked and tried (scripts/package-smoke.sh) unless --no-smoke is given.
# Files carry the time of the last commit, so the same sources give the same
# archives.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
smoke=1
[[ ${1:-} == --no-smoke ]] && smoke=0

bash scripts/install-deps.sh
bash scripts/build.sh native win win32

version=$(build/native/bin/tessaro --version)
version=${version#tessaro }
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "package: odd version '$version'" >&2; exit 1; }
windows=Tessaro-$version-windows
linux=Tessaro-$version-linux-x86_64
stage=build/package
rm -rf "$stage"
mkdir -p "$stage/$windows/langs" "$stage/$windows/32-bit/langs" "$stage/$linux/langs" dist
rm -f dist/Tessaro-*-windows.zip dist/Tessaro-*-linux-x86_64.tar.gz dist/SHA256SUMS

x64=x86_64-w64-mingw32-strip
x86=i686-w64-mingw32-strip
$x64 --strip-all -o "$stage/$windows/Tessaro.8bf" build/win/bin/Tessaro.8bf
$x64 --strip-all -o "$stage/$windows/tessaro.exe" build/win/bin/tessaro.exe
$x86 --strip-all -o "$stage/$windows/32-bit/Tessaro.8bf" build/win32/bin/Tessaro.8bf
$x86 --strip-all -o "$stage/$windows/32-bit/tessaro.exe" build/win32/bin/tessaro.exe
strip --strip-all -o "$stage/$linux/tessaro" build/native/bin/tessaro
# The module's entry point is a dynamic symbol: only the others go.
strip --strip-unneeded -o "$stage/$linux/Tessaro.so" build/native/bin/Tessaro.so
for folder in "$stage/$windows" "$stage/$windows/32-bit" "$stage/$linux"; do
  cp langs/*.lng "$folder/langs/"
done
for folder in "$stage/$windows" "$stage/$linux"; do
  cp LICENSE.txt "$folder/LICENSE.txt"
  cp docs/install.md "$folder/INSTALL.md"
done

epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage/$windows/tessaro.exe" "$stage/$windows/32-bit/tessaro.exe" \
  "$stage/$linux/tessaro" "$stage/$linux/Tessaro.so"
find "$stage" -exec touch -h -d "@$epoch" {} +

(cd "$stage" && find "$windows" | LC_ALL=C sort | TZ=UTC zip -q -X -9 -@ "$root/dist/$windows.zip")
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$epoch" -cf - "$linux" |
  gzip -n -9 >"dist/$linux.tar.gz"
(cd dist && sha256sum "$windows.zip" "$linux.tar.gz" >SHA256SUMS)

for f in "dist/$windows.zip" "dist/$linux.tar.gz"; do
  printf 'wrote %-44s %9d bytes\n' "$f" "$(stat -c %s "$f")"
done
if [[ $smoke -eq 1 ]]; then
  bash scripts/package-smoke.sh "dist/$windows.zip" "dist/$linux.tar.gz"
fi
