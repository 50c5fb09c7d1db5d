#!/usr/bin/env bash
# Configures and builds one or more trees:
#   native  Linux build (core, module Tessaro.so, tests)      -> build/native
#   asan    the same with AddressSanitizer + UBSan             -> build/asan
#   win     Windows x64 module Tessaro.8bf and tests (MinGW)   -> build/win
# Without arguments: all three.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}

configure_and_build() {
  local dir=$1; shift
  if [[ ! -f "$root/build/$dir/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$root/build/$dir" -DTESSARO_WERROR=ON "$@" >/dev/null
  fi
  # Only what the compiler has to say is shown: warnings fail the build.
  local status
  set +e
  cmake --build "$root/build/$dir" -j "$jobs" -- --no-print-directory 2>&1 |
    grep -v -E '^\[ *[0-9]+%\]|^Consolidate compiler|^(Scanning|Built target|Generating|Building the)'
  status=${PIPESTATUS[0]}
  set -e
  [[ $status -eq 0 ]] || { echo "build of build/$dir failed" >&2; exit 1; }
  echo "built build/$dir"
}

trees=("$@")
[[ ${#trees[@]} -gt 0 ]] || trees=(native asan win)
for t in "${trees[@]}"; do
  case "$t" in
    native) configure_and_build native -DCMAKE_BUILD_TYPE=RelWithDebInfo ;;
    asan) configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON ;;
    win) configure_and_build win -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" ;;
    *) echo "unknown tree: $t (native, asan or win)" >&2; exit 1 ;;
  esac
done
