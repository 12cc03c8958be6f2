#!/usr/bin/env bash
# Longer fuzzing than the test run's, with random seeds: for exploring, not for CI.
#   tools/fuzz.sh [minutes per target] [target...]     (30 minutes; both targets by default)
# The targets run side by side, each in rounds of one minute with a new random seed per round,
# on a corpus that grows from the seeds in tests/fuzz/corpus. Everything is kept under
# build/fuzz/explore/<target>/: the corpus (kept for the next exploration), this exploration's log
# of each round, the logs of failed rounds listed in failures, and each failing input in
# artifacts/. Prints the executions of every target; the exit code is 1 when a round failed.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(parse_real_fuzz format_real_fuzz)
round_seconds=60
declare -A max_len=([parse_real_fuzz]=4096 [format_real_fuzz]=16)
for target in "${targets[@]}"; do
    [ -n "${max_len[$target]:-}" ] || { echo "unknown fuzz target '$target'" >&2; exit 2; }
done

bash tools/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

explore() {
    local target=$1 folder=build/fuzz/explore/$1
    rm -rf "$folder/logs" "$folder/failures"
    mkdir -p "$folder/corpus" "$folder/artifacts" "$folder/logs"
    cp -n tests/fuzz/corpus/"$target"/* "$folder/corpus/"
    local end=$((SECONDS + minutes * 60)) round=0 seed
    while [ $SECONDS -lt $end ]; do
        round=$((round + 1))
        seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
        build/fuzz/tests/fuzz/"$target" -seed="$seed" -max_total_time=$round_seconds \
            -max_len="${max_len[$target]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$folder/artifacts/" "$folder/corpus" \
            >"$folder/logs/round-$round-seed-$seed.log" 2>&1 ||
            echo "$folder/logs/round-$round-seed-$seed.log" | tee -a "$folder/failures"
    done
}

for target in "${targets[@]}"; do
    explore "$target" &
done
wait

status=0
for target in "${targets[@]}"; do
    folder=build/fuzz/explore/$target
    runs=$(cat "$folder"/logs/*.log | sed -n 's/^stat::number_of_executed_units: *//p' |
        awk '{ s += $1 } END { print s + 0 }')
    shopt -s nullglob
    logs=("$folder"/logs/*.log) corpus=("$folder"/corpus/*)
    shopt -u nullglob
    failed=0
    [ ! -f "$folder/failures" ] || failed=$(wc -l <"$folder/failures")
    echo "$target: ${#logs[@]} rounds, $runs executions, corpus ${#corpus[@]} inputs," \
        "$failed failed rounds"
    [ "$failed" -eq 0 ] || status=1
done
exit $status
