#!/usr/bin/env bash
# Fuzzes the product paths against the in-order loop with libFuzzer (clang):
# scripts/fuzz.sh [seconds], default 300.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the fuzzer" clang libclang-rt-14-dev cmake make
mkdir -p build-fuzz/corpus
clang++ -std=c++17 -O2 -g -ffp-contract=off -fsanitize=fuzzer,address,undefined -Isrc \
  tests/fuzz/product_fuzz.cpp src/linalg/product_portable.cpp src/linalg/product_x86.cpp \
  src/linalg/product_dispatch.cpp -o build-fuzz/product_fuzz
build-fuzz/product_fuzz -max_total_time="${1:-300}" -max_len=40000 build-fuzz/corpus
