#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the real-USB-stack benchmark's figures from its JSON output: for each benchmark
and ratio, the median over the repetitions and their spread (lowest to highest), since
software emulation makes single runs noisy.

Usage: kernel-bench-summary.py BENCH_JSON
"""
import json
import statistics
import sys


def main() -> int:
    with open(sys.argv[1], encoding="utf-8") as f:
        runs = json.load(f)["benchmarks"]
    figures: dict[str, dict[str, list[float]]] = {}
    for run in runs:
        if run.get("run_type") != "iteration":
            continue
        if run.get("error_occurred"):
            print(f"{run['run_name']}: {run.get('error_message', 'failed')}")
            return 1
        counters = figures.setdefault(run["run_name"], {})
        for key in ("vs_in_process", "vs_frame_model", "real_us"):
            if key in run:
                counters.setdefault(key, []).append(float(run[key]))
    if not figures:
        print("no benchmark ran")
        return 1
    for name, counters in figures.items():
        parts = [
            f"{key} median {statistics.median(values):.2f} "
            f"(spread {min(values):.2f}-{max(values):.2f}, {len(values)} runs)"
            for key, values in counters.items()
        ]
        print(f"{name}: " + "; ".join(parts))
    return 0


if __name__ == "__main__":
    sys.exit(main())
