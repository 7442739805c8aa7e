#!/usr/bin/env bash
# Builds the benchmarks into build-bench/, runs them with repetitions and
# writes the table of medians into docs/benchmarks.md.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the benchmarks" "${BUILD_PACKAGES[@]}" libbenchmark-dev libopenblas-dev libeigen3-dev pkg-config python3
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DWAVE1D_TESTS=OFF -DWAVE1D_BENCH=ON >/dev/null
cmake --build build-bench -j"$(nproc)"
# The peers run on one thread, like the program.
OPENBLAS_NUM_THREADS=1 build-bench/bench/product_bench --benchmark_repetitions="${REPETITIONS:-15}" \
  --benchmark_report_aggregates_only=true --benchmark_format=json >build-bench/results.json
python3 scripts/benchmark_table.py build-bench/results.json >docs/benchmarks.md
cat docs/benchmarks.md
