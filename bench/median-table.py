#!/usr/bin/env python3
"""Median CPU time per benchmark over several kernel_bench JSON files, as a Markdown table.

Usage: bench/median-table.py run1.json run2.json ...
Each file's own median aggregate (from --benchmark_repetitions) is taken per benchmark, and
the median over the files is printed, with the spread (lowest and highest file median).
"""
import json
import statistics
import sys


def file_medians(path):
    with open(path) as f:
        data = json.load(f)
    medians = {}
    for entry in data["benchmarks"]:
        if entry.get("run_type") == "aggregate" and entry.get("aggregate_name") == "median":
            medians[entry["run_name"]] = entry["cpu_time"]
        elif entry.get("run_type") == "iteration" and entry["run_name"] not in medians:
            medians[entry["run_name"]] = entry["cpu_time"]
    return medians


def main(paths):
    runs = [file_medians(path) for path in paths]
    names = list(runs[0])
    print("| benchmark | median CPU time (us) | lowest | highest |")
    print("|---|---:|---:|---:|")
    for name in names:
        times = [run[name] for run in runs if name in run]
        print(f"| {name} | {statistics.median(times):.2f} | {min(times):.2f} | {max(times):.2f} |")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(sys.argv[1:])
