#!/usr/bin/env bash
# Configures and builds one or more trees:
#   native  Linux build (core, module Tessaro.so, tests)      -> build/native
#   asan    the same with AddressSanitizer + UBSan             -> build/asan
#   win     Windows x64 module Tessaro.8bf and tests (MinGW)   -> build/win
#   win32   Windows x86 module Tessaro.8bf and tests (MinGW)   -> build/win32
#   fuzz    the fuzz targets, clang with libFuzzer and ASan     -> build/fuzz
#   tsan    ThreadSanitizer: the renderer and filter-run tests  -> build/tsan
# Without arguments: native, asan and win.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}

# Only these targets of the next tree (empty: all of them).
build_targets=()

configure_and_build() {
  local dir=$1; shift
  if [[ ! -f "$root/build/$dir/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$root/build/$dir" -DTESSARO_WERROR=ON "$@" >/dev/null
  fi
  # Only what the compiler has to say is shown: warnings fail the build.
  local status
  set +e
  local targets=()
  for t in "${build_targets[@]}"; do targets+=(--target "$t"); done
  cmake --build "$root/build/$dir" -j "$jobs" "${targets[@]}" -- --no-print-directory 2>&1 |
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
    win32) configure_and_build win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
           -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" ;;
    fuzz) build_targets=(tessaro_fuzzers)
          CC=clang CXX=clang++ configure_and_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DTESSARO_SANITIZE=ON -DTESSARO_FUZZ=ON -DTESSARO_TESTS=OFF
          build_targets=() ;;
    tsan) build_targets=(tessaro_tsan_tests tessaro_module_tests)
          configure_and_build tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_TSAN=ON
          build_targets=() ;;
    *) echo "unknown tree: $t (native, asan, win, win32, fuzz or tsan)" >&2; exit 1 ;;
  esac
done
