#!/usr/bin/env bash
# Set up, build into build/ with the tests and run the whole suite, window
# tests included (each starts its own Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "${BUILD_PACKAGES[@]}" libgtest-dev xvfb libx11-dev libxtst-dev
werror=OFF
[ -n "${CI:-}" ] && werror=ON
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DWAVE1D_TESTS=ON -DWAVE1D_WERROR=$werror >/dev/null
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)"
