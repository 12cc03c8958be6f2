#!/usr/bin/env python3
"""Prints the README tables from the JSON reports of conversion_bench and the task1_bench_*
programs: time per conversion and the ratio ours / the C library's for each input set, and each
deliverable's slowest Task 1 click before and after, with their ratio."""
import json
import sys

per_item = {}
rows = {}
labels = {}
for path in sys.argv[1:]:
    report = json.load(open(path))
    for run in report["benchmarks"]:
        if run.get("run_type", "iteration") != "iteration":
            continue
        name = run["name"]
        if "items_per_second" in run:
            per_item[name] = 1e9 / run["items_per_second"]  # ns per conversion (CPU time)
        else:
            per_item[name] = run["cpu_time"]  # milliseconds per click
            rows[name] = run.get("rows", 0)
            labels[name] = run.get("label", "")

if "parse_real/short" in per_item:
    print("| inputs | parse_real | strtod | ratio | format_real | snprintf %.7g | ratio |")
    print("|---|---:|---:|---:|---:|---:|---:|")
    for inputs in ("short", "digits17", "exponents"):
        p, s = per_item["parse_real/" + inputs], per_item["strtod/" + inputs]
        f, g = per_item["format_real/" + inputs], per_item["snprintf_7g/" + inputs]
        print(f"| {inputs} | {p:.1f} ns | {s:.1f} ns | {p / s:.2f} "
              f"| {f:.1f} ns | {g:.1f} ns | {f / g:.2f} |")

# In the order of the reports given (run_benchmarks.sh: the build's order of the deliverables).
deliverables = [name.split("/")[1] for name in per_item
                if name.startswith("task1_worst_click/") and name.endswith("/after")]
if deliverables:
    print()
    print("| deliverable | X | rows | before | after | before / after |")
    print("|---|---|---:|---:|---:|---:|")
    for deliverable in deliverables:
        before = per_item.get(f"task1_worst_click/{deliverable}/before")
        after = per_item[f"task1_worst_click/{deliverable}/after"]
        count = rows[f"task1_worst_click/{deliverable}/after"]
        label = labels[f"task1_worst_click/{deliverable}/after"]
        if before is None:
            print(f"| {deliverable} | {label} | {count:.0f} | | {after:.0f} ms | |")
        else:
            print(f"| {deliverable} | {label} | {count:.0f} | {before:.0f} ms | {after:.0f} ms "
                  f"| {before / after:.1f} |")
