#!/usr/bin/env python3
"""Prints how each command of the book grows with its size: the median time
at 512, 10,000 and 100,000 contacts and the ratio from the smallest to the
largest, as a Markdown table, from corvelle_large_book_benchmarks' JSON.

    growth_report.py LARGE_BOOK_JSON
"""
import json
import sys

SIZES = (512, 10000, 100000)
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def medians(runs):
    """The median of each run, or its only time when it ran once."""
    times = {}
    for run in runs:
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        name = run.get("run_name", run["name"])
        times[name] = run["real_time"] * TO_MS[run["time_unit"]]
    return times


def main():
    with open(sys.argv[1], encoding="utf-8") as file:
        times = medians(json.load(file)["benchmarks"])
    commands = []
    for name in times:
        command = name.rsplit("/", 1)[0]
        if command not in commands:
            commands.append(command)
    print("| Command | 512 (ms) | 10,000 (ms) | 100,000 (ms) | 100,000 / 512 |")
    print("|---|---:|---:|---:|---:|")
    for command in commands:
        cells = [times.get(f"{command}/{size}") for size in SIZES]
        shown = ["%.3f" % cell if cell is not None else "" for cell in cells]
        ratio = "%.0f×" % (cells[2] / cells[0]) if cells[0] and cells[2] else ""
        print(f"| {command} | {' | '.join(shown)} | {ratio} |")


if __name__ == "__main__":
    main()
