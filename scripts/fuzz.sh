#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for SECONDS each, one after the
# other, starting from the seed corpus in fuzz/corpus/<target> and keeping
# what it finds in build/fuzz/corpus/<target>.  Prints one line per target:
# executions, coverage (edges and features) and corpus size; a target that
# finds a crash leaves the input in build/fuzz/artifacts/<target>/ and makes
# the script fail.
#   bash scripts/fuzz.sh 20                 # the smoke run of the test command
#   bash scripts/fuzz.sh 600 png_fuzzer     # a longer run of one target
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] ||
  targets=(language_fuzzer settings_store_fuzzer descriptor_fuzzer png_fuzzer filter_run_fuzzer)

bash "$root/scripts/build.sh" fuzz >/dev/null
failed=0
printf '%-22s %6s %10s %7s %7s %7s  %s\n' target seconds execs cov ft corpus result
for t in "${targets[@]}"; do
  seeds="$root/fuzz/corpus/${t%_fuzzer}"
  work="$root/build/fuzz/corpus/${t%_fuzzer}"
  artifacts="$root/build/fuzz/artifacts/${t%_fuzzer}/"
  log="$root/build/fuzz/${t}.log"
  mkdir -p "$work" "$artifacts"
  status=0
  "$root/build/fuzz/bin/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$work" "$seeds" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  done_line=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  corpus=$(find "$work" -type f | wc -l)
  result=ok
  if [[ $status -ne 0 ]]; then
    result="FAILED (see $log)"
    failed=1
  fi
  printf '%-22s %6s %10s %7s %7s %7s  %s\n' "$t" "$seconds" "${execs:-?}" "${cov:-?}" "${ft:-?}" \
    "$corpus" "$result"
done
exit $failed
