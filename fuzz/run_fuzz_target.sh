#!/usr/bin/env bash
# run_fuzz_target.sh PROGRAM CORPUS WORKDIR SECONDS SEED [LIBFUZZER-OPTIONS...]
# Runs one libFuzzer program over its committed corpus (read only) for
# SECONDS: inputs it finds go to WORKDIR/new, a failing input to
# WORKDIR/artifacts/. With a fixed SEED (the bounded run of the tests) the
# inputs of earlier runs are dropped first, so that every run is the same;
# with SEED 0 (a long run) they are kept and fuzzing goes on from them. Sanitizer reports also go to files there, so that they
# survive whatever the program does with standard error, and are printed.
set -uo pipefail
program=$1 corpus=$2 work=$3 seconds=$4 seed=$5
shift 5
if [ "$seed" != 0 ]; then rm -rf "$work/new"; fi
mkdir -p "$work/new" "$work/artifacts"
rm -f "$work"/sanitizer.*
# Temporary files of the targets (the database target's input file) go to a
# folder of this run's own, removed at the end however the program ended.
export TMPDIR="$work/tmp"
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR"
trap 'rm -rf "$TMPDIR"' EXIT
export ASAN_OPTIONS="log_path=$work/sanitizer.asan:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="log_path=$work/sanitizer.ubsan:print_stacktrace=1:${UBSAN_OPTIONS:-}"
"$program" -seed="$seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=262144 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$@" "$work/new" "$corpus"
status=$?
for report in "$work"/sanitizer.*; do
  [ -e "$report" ] || continue
  echo "---- $report"
  cat "$report"
  status=${status/#0/1}
done
if [ "$status" != 0 ]; then
  echo "$(basename "$program") failed (status $status); failing inputs: $work/artifacts/" >&2
fi
exit "$status"
