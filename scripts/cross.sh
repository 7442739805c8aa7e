#!/usr/bin/env bash
# Builds wave1d for arm64 into build-arm64/ with Debian's cross compiler,
# installing what is missing, and makes its Debian package there. The
# program and the tests run on this machine under qemu:
#   qemu-aarch64 build-arm64/wave1d      (GALLIUM_DRIVER=softpipe, see README)
#   ctest --test-dir build-arm64
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "${BUILD_PACKAGES[@]}" "${ARM64_PACKAGES[@]}" dpkg-dev file
cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/aarch64-linux-gnu.cmake" -DCMAKE_BUILD_TYPE=Release \
  "$@" >/dev/null
cmake --build build-arm64 -j"$(nproc)"
(cd build-arm64 && cpack -G DEB >/dev/null)
ls build-arm64/*.deb
