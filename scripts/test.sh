#!/usr/bin/env bash
# The whole proof: installs what is missing, builds the native, sanitized,
# ThreadSanitizer and the 64-bit and 32-bit Windows trees, and runs every test
# (the Windows ones under Wine, with a virtual display for anything that opens
# a window), every fuzz target for a short while, the comparison of the hosts'
# pictures, and the packaging command with its smoke test of the packages.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
start=$(date +%s)

bash scripts/install-deps.sh
bash scripts/build.sh native asan win win32 tsan

failed=0
run_ctest() {
  local tree=$1
  echo "== tests: build/$tree"
  if ! ctest --test-dir "build/$tree" --output-on-failure -j "${JOBS:-$(nproc)}" --timeout 600; then
    failed=1
  fi
}

run_ctest native
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} run_ctest asan

echo "== tests under ThreadSanitizer: build/tsan"
for t in tessaro_tsan_tests tessaro_module_tests; do
  if ! TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1} \
      "build/tsan/bin/$t" --gtest_brief=1; then
    failed=1
  fi
done

fuzz_seconds=${TESSARO_FUZZ_SECONDS:-15}
echo "== fuzz targets, $fuzz_seconds s each"
fuzz_start=$(date +%s)
if ! bash scripts/fuzz.sh "$fuzz_seconds"; then
  failed=1
fi
echo "fuzz build and runs took $(( $(date +%s) - fuzz_start )) s"

# Windows tests: one private display and Wine prefix for the whole run.  The
# prefix lives in the build tree and is first started with the display set: a
# prefix created without one can never open windows.
export TESSARO_WINEPREFIX="$root/build/wine-prefix"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.1
done
cleanup() {
  WINEPREFIX=$TESSARO_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT
export DISPLAY=$display
# Without a window manager on the virtual display, Wine would wait for one
# every time a window goes away.
bash scripts/wine-run.sh reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
run_ctest win
run_ctest win32

echo "== native and Windows hosts (64-bit and 32-bit) on the same pictures"
if ! bash scripts/compare-hosts.sh win win32; then
  failed=1
fi

echo "== packages: built, unpacked and tried"
package_start=$(date +%s)
if ! bash scripts/package.sh; then
  failed=1
fi
echo "packaging and its smoke test took $(( $(date +%s) - package_start )) s"

echo "test command finished in $(( $(date +%s) - start )) s"
if [[ $failed -ne 0 ]]; then
  echo "SOME TESTS FAILED" >&2
  exit 1
fi
echo "all tests passed"
