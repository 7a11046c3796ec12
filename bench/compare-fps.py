#!/usr/bin/env python3
"""Frame rates of two builds of the Linux bumpdemo from one sitting, in alternation.

    bench/compare-fps.py BEFORE_BUMPDEMO AFTER_BUMPDEMO [ROUNDS] [SECONDS] [MODE...]

Each round runs bench/measure-fps.py once for every mode (default: windowed and
fullscreen) with each build, the builds in turn, so that both see the same machine; 3
rounds of 20 seconds unless given. Prints each run as it ends, then per mode and build the
median FPS, the lowest and highest, the time lost a frame (1000 / median - 50 ms) and the
median of the wait's lateness (from the stand-in's frame times), as rows for BENCHMARKS.md.
"""

import os
import re
import statistics
import subprocess
import sys

Measure = os.path.join(os.path.dirname(os.path.abspath(__file__)), "measure-fps.py")


def Run(demo, seconds, mode):
    """(FPS, the wait's lateness in microseconds a frame) of one run."""
    output = subprocess.run([sys.executable, Measure, demo, str(seconds), mode],
                            capture_output=True, text=True, check=True).stdout
    rate = re.search(r"BENCHMARK: (\d+\.\d\d) FPS", output)
    late = re.search(r"wait's lateness (\d+\.\d)", output)
    if rate is None:
        sys.exit(f"no BENCHMARK line from {demo} {mode}: {output}")
    return float(rate.group(1)), float(late.group(1)) if late else float("nan")


def Main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    builds = {"before": os.path.abspath(sys.argv[1]), "after": os.path.abspath(sys.argv[2])}
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    seconds = float(sys.argv[4]) if len(sys.argv) > 4 else 20
    modes = sys.argv[5:] or ["windowed", "fullscreen"]
    results = {(mode, name): [] for mode in modes for name in builds}
    for round in range(1, rounds + 1):
        for mode in modes:
            for name, demo in builds.items():
                rate, late = Run(demo, seconds, mode)
                results[mode, name].append((rate, late))
                print(f"round {round}, {mode}, {name}: {rate:.2f} FPS, the wait "
                      f"{late:.1f} us late", flush=True)
    print("| program | median FPS | lowest | highest | lost a frame | the wait's lateness |")
    print("|---|---:|---:|---:|---:|---:|")
    for (mode, name), runs in results.items():
        rates = [rate for rate, _ in runs]
        median = statistics.median(rates)
        late = statistics.median(late for _, late in runs)
        print(f"| Linux {name}, {mode} | {median:.2f} | {min(rates):.2f} | {max(rates):.2f} | "
              f"{1000 / median - 50:.2f} ms | {late:.1f} us |")


if __name__ == "__main__":
    Main()
