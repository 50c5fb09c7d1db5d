#!/usr/bin/env bash
# The main job: applies the relief effect to the bundled sample picture with the
# command-line host, building it first if needed.  Extra arguments go to
# tessaro (for example --angle-x 30 --angle-y -25 --depth 40 --smooth).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Both are quick when nothing is missing and nothing changed.
bash scripts/install-deps.sh
bash scripts/build.sh native >/dev/null

mkdir -p out
input=samples/tessaro-sample.png
output=out/tessaro-sample-relief.png
build/native/bin/tessaro --angle-x 30 --angle-y -25 --depth 40 --round 60 --smooth "$@" \
  "$input" -o "$output"
echo "relief written to $root/$output"
