#!/usr/bin/env bash
# One fuzz target's CTest run: every input of its committed corpus, then
# `seconds` of fuzzing from there.  New inputs and any crash input go to
# `workdir`, never into the corpus.  Exits non-zero when the target crashes,
# leaks, times out or breaks a property.
#   smoke.sh <fuzzer> <corpus dir> <seconds> <workdir>
set -euo pipefail
fuzzer=$1 corpus=$2 seconds=$3 work=$4
[ -d "$corpus" ] && [ -n "$(ls -A "$corpus")" ] || { echo "no corpus in $corpus" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/new"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -print_final_stats=1 -artifact_prefix="$work/" "$work/new" "$corpus"
