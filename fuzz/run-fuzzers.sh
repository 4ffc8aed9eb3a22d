#!/usr/bin/env bash
# Runs every fuzz target for a set time, each from its seed corpus plus what earlier runs found,
# and prints a table of executions and crashes. Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -uo pipefail

build=${1:?build directory}
seconds=${2:-60}
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$build/fuzz-work
mkdir -p "$work"

rows=()
crashed=0
for seeds in "$source_dir"/corpus/*/; do
    target=$(basename "$seeds")
    binary=$build/fuzz/$target
    [ -x "$binary" ] || { echo "missing $binary" >&2; exit 1; }
    mkdir -p "$work/$target/corpus" "$work/$target/crashes"
    log=$work/$target/last-run.log
    crashes_before=$(find "$work/$target/crashes" -type f | wc -l)
    echo "fuzzing $target for $seconds s"
    # Found inputs go to the work corpus, never into the seeds in the repository.
    dict=()
    [ -f "$source_dir/$target.dict" ] && dict=(-dict="$source_dir/$target.dict")
    "$binary" -max_total_time="$seconds" -print_final_stats=1 -max_len=8192 "${dict[@]}" \
        -artifact_prefix="$work/$target/crashes/" "$work/$target/corpus" "$seeds" >"$log" 2>&1
    status=$?
    runs=$(grep -oE 'number_of_executed_units: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+$')
    rate=$(grep -oE 'average_exec_per_sec: +[0-9]+' "$log" | tail -1 | grep -oE '[0-9]+$')
    crashes=$(($(find "$work/$target/crashes" -type f | wc -l) - crashes_before))
    corpus=$(find "$work/$target/corpus" -type f | wc -l)
    if [ "$status" -ne 0 ]; then
        crashed=1
        grep -m1 -E 'ERROR|broke a rule|runtime error' "$log" >&2
        echo "  log: $log" >&2
    fi
    rows+=("$(printf '%-26s %8s %12s %10s %8s %8s' "$target" "$seconds" "${runs:-?}" "${rate:-?}" \
        "$corpus" "$crashes")")
done

printf '\n%-26s %8s %12s %10s %8s %8s\n' target seconds executions exec/s corpus crashes
printf '%s\n' "${rows[@]}"
[ "$crashed" -eq 0 ] || echo "crash inputs are in $work/*/crashes/" >&2
exit "$crashed"
