#!/usr/bin/env python3
"""Prints the README table from a conversion_bench JSON report: time per conversion and the ratio
ours / the C library's for each input set, and the time of the slowest Task 1 click."""
import json
import sys

report = json.load(open(sys.argv[1]))
per_item = {}
for run in report["benchmarks"]:
    if run.get("run_type", "iteration") != "iteration":
        continue
    name = run["name"]
    if "items_per_second" in run:
        per_item[name] = 1e9 / run["items_per_second"]  # ns per conversion (CPU time)
    else:
        per_item[name] = run["cpu_time"]  # milliseconds per click
        per_item[name + "/rows"] = run.get("rows", 0)

print("| inputs | parse_real | strtod | ratio | format_real | snprintf %.7g | ratio |")
print("|---|---:|---:|---:|---:|---:|---:|")
for inputs in ("short", "digits17", "exponents"):
    p, s = per_item["parse_real/" + inputs], per_item["strtod/" + inputs]
    f, g = per_item["format_real/" + inputs], per_item["snprintf_7g/" + inputs]
    print(f"| {inputs} | {p:.1f} ns | {s:.1f} ns | {p / s:.2f} | {f:.1f} ns | {g:.1f} ns | {f / g:.2f} |")
click = "task1_worst_click/practice_v6"
if click in per_item:
    print()
    print(f"Slowest Task 1 click (practice_v6): {per_item[click]:.0f} ms CPU, "
          f"{per_item[click + '/rows']:.0f} rows")
