#!/usr/bin/env bash
# Installs the Debian packages that the builds and tests need.  Quiet and quick
# when everything is already there; safe to run again.
set -euo pipefail

packages=(
  cmake make g++ pkg-config time
  googletest libgtest-dev libbenchmark-dev
  libpng-dev
  clang libclang-rt-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine64 wine32:i386
  xvfb xauth x11-utils imagemagick xdotool
  zip unzip
)

# The 32-bit module's tests run under 32-bit Wine, which Debian ships for its
# i386 architecture only.
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 && $need_i386 -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
[[ $need_i386 -eq 0 ]] || "${sudo_cmd[@]}" dpkg --add-architecture i386
# A mirror caught mid-sync fails one list while the others are fine: the
# install below still says clearly when a package really cannot be had.
"${sudo_cmd[@]}" apt-get update -qq ||
  echo "install-deps: some package lists could not be refreshed; using the ones there are" >&2
install() {
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@" "${missing[@]}" >/dev/null
}
if ! install; then
  # The i386 and amd64 copies of a shared library must be of one version.  A
  # mirror whose security lists lack i386 offers newer amd64 copies than i386
  # ones; the release's own versions exist for both, so take those, for this
  # install only.
  . /etc/os-release
  echo "install-deps: retrying with the versions of the $VERSION_CODENAME release itself" >&2
  pin=$(mktemp)
  printf 'Package: *\nPin: release n=%s\nPin-Priority: 1001\n' "$VERSION_CODENAME" >"$pin"
  install -o Dir::Etc::Preferences="$pin" --allow-downgrades
  rm -f "$pin"
fi
