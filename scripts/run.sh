#!/usr/bin/env bash
# Set up, build into build/ and start the program; arguments go to the toolkit.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DWAVE1D_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec "$PWD/build/wave1d" "$@"
