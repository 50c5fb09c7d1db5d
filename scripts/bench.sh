#!/usr/bin/env bash
# Benchmarks, reference paths against fast paths, measured in one run:
#  1. every relief stage on procedural documents (build/native/bin/tessaro_perf),
#     with medians, both ways, their ratio and a check that the bytes agree;
#  2. whole runs of the command-line host on the same documents, wall time and
#     peak memory, fast and reference, natively and (when build/win exists)
#     tessaro.exe under Wine, with a check that the written pictures agree.
# Sizes: TESSARO_BENCH_SIZES (default 1920x1080,4000x3000,7000x5000).  The
# reference is skipped where it takes minutes (renders and whole runs above
# 13 megapixels) unless TESSARO_BENCH_FULL=1.  Extra arguments go to
# tessaro_perf (e.g. --only render).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
bash scripts/build.sh native >/dev/null

sizes=${TESSARO_BENCH_SIZES:-1920x1080,4000x3000,7000x5000}
limit=13
[[ ${TESSARO_BENCH_FULL:-0} == 1 ]] && limit=1000
echo "== stages (threads: ${TESSARO_THREADS:-all})"
build/native/bin/tessaro_perf --sizes "$sizes" --reference-render-limit "$limit" "$@"

work=build/bench
mkdir -p "$work"
export WINEDEBUG=-all
have_win=0
[[ -x build/win/bin/tessaro.exe && -f build/win/bin/Tessaro.8bf ]] && have_win=1

# One run: prints "wall_s peak_MiB".
measure() {
  local out=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" ||
    { echo "failed: $* ($(cat "$work/stderr.txt"))" >&2; return 1; }
  awk '{ printf "%.2f %.0f", $1, $2 / 1024 }' "$work/time.txt"
}
# The median wall time of three runs and the largest peak.
median3() {
  local a b c
  a=$(measure "$@") || return 1
  b=$(measure "$@") || return 1
  c=$(measure "$@") || return 1
  printf '%s\n%s\n%s\n' "$a" "$b" "$c" | sort -n | awk 'NR == 2 { w = $1 } { if ($2 > m) m = $2 } END { printf "%s %s", w, m }'
}

status=0
echo
echo "== whole runs of the command-line host (wall s, peak MiB; fast: median of 3)"
printf '%-8s %-10s %-36s %16s %16s %8s  %s\n' host size settings "reference" "fast" ratio "same picture"
for size in ${sizes//,/ }; do
  doc=$work/doc-$size.png
  [[ -f $doc ]] || build/native/bin/tessaro_perf --write-document "$size" "$doc"
  megapixels=$(( ${size%x*} * ${size#*x} / 1000000 ))
  settings=("")
  [[ $size == 1920x1080 ]] && settings=("" "--depth 0" "--depth 100" "--angle-x 20 --angle-y -30 --smooth")
  for s in "${settings[@]}"; do
    hosts=(native)
    [[ $have_win == 1 ]] && hosts+=(wine)
    for host in "${hosts[@]}"; do
      if [[ $host == native ]]; then
        run=(build/native/bin/tessaro)
      else
        run=(bash scripts/wine-run.sh build/win/bin/tessaro.exe)
      fi
      # shellcheck disable=SC2206
      args=(--quiet $s "$doc")
      # A host that cannot run here (a broken Wine prefix) is reported and
      # passed over; the other figures still come.
      if ! fast=$(median3 "$work/fast.png" env "${run[@]}" "${args[@]}" -o "$work/fast.png"); then
        printf '%-8s %-10s %-36s %s\n' "$host" "$size" "${s:-defaults}" "did not run (see above)"
        status=1
        continue
      fi
      ref="-"
      same="reference skipped"
      if (( megapixels <= limit )); then
        if ! ref=$(measure "$work/ref.png" env TESSARO_REFERENCE=1 "${run[@]}" "${args[@]}" -o "$work/ref.png"); then
          ref="-"
          same="reference did not run"
          status=1
        elif cmp -s <(convert "$work/fast.png" -depth 8 rgba:-) <(convert "$work/ref.png" -depth 8 rgba:-); then
          same=yes
        else
          same=NO
        fi
      fi
      ratio=-
      [[ $ref != - ]] && ratio=$(awk -v r="${ref% *}" -v f="${fast% *}" 'BEGIN { printf "%.1fx", r / f }')
      printf '%-8s %-10s %-36s %16s %16s %8s  %s\n' "$host" "$size" "${s:-defaults}" "$ref" "$fast" "$ratio" "$same"
    done
  done
done
exit $status
