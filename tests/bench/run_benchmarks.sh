#!/usr/bin/env bash
# Builds the benchmarks (g++ -O2, no sanitizers), runs them one after another and prints the
# README's tables, all from this one run, with the machine's load before and after.
# Usage: tests/bench/run_benchmarks.sh [build folder]   (default build/h-bench)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/h-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target benchmarks >/dev/null
results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"
mapfile -t deliverables <"$build/deliverables.txt"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for bench in "$build"/tests/bench/conversion_bench \
    "${deliverables[@]/#/$build/tests/bench/task1_bench_}"; do
    name=$(basename "$bench")
    "$bench" --benchmark_out="$results/$name.json" --benchmark_out_format=json \
        >"$results/$name.log" 2>&1 || { cat "$results/$name.log"; exit 1; }
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
task1_results=("${deliverables[@]/#/$results/task1_bench_}")
python3 tests/bench/bench_ratios.py "$results"/conversion_bench.json "${task1_results[@]/%/.json}"
