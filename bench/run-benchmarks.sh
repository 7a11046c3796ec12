#!/usr/bin/env bash
# Builds the linux preset's benchmark program and runs it: Google Benchmark's table, the
# JSON in build/linux/bench/kernel_bench.json, then the summary of ratios. Run it on a
# quiet machine; every benchmark is repeated and the medians are compared.
# Extra arguments go to the program (for example --benchmark_filter=ConvertTo16).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
RequirePackages cmake make g++ libbenchmark-dev libsdl2-dev libpixman-1-dev
build=${BENCH_BUILD_DIR:-build/linux}
cmake --preset linux -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target kernel_bench
"$build/bench/kernel_bench" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
    --benchmark_out="$build/bench/kernel_bench.json" --benchmark_out_format=json "$@"
