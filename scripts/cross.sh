#!/usr/bin/env bash
# Builds wave1d for arm64 into build-arm64/ with Debian's cross compiler,
# installing what is missing, and makes its Debian package there. The arm64
# libraries it links and its window needs come in a sysroot,
# build-arm64/sysroot, made from Debian's arm64 packages once for each set
# of their versions and kept in the user's cache folder, where this links
# to (scripts/lib/caches.sh). The program and the tests run on this machine
# under qemu, which takes its libraries from there:
#   qemu-aarch64 -L build-arm64/sysroot build-arm64/wave1d   (GALLIUM_DRIVER=softpipe, see README)
#   ctest --test-dir build-arm64
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
. scripts/lib/caches.sh
. scripts/lib/sysroot.sh
need_packages "the arm64 build" cmake make "${ARM64_PACKAGES[@]}"
make_sysroot "$PWD/build-arm64/sysroot" arm64 "${ARM64_SYSROOT_PACKAGES[@]}"
cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/aarch64-linux-gnu.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_SYSROOT="$PWD/build-arm64/sysroot" "${COMPILER_CACHE_SETTINGS[@]}" "$@" >/dev/null
cmake --build build-arm64 -j"$(nproc)"
# Its files dated by the last commit (scripts/lib/source_date.sh): the same bytes whenever it is made.
. scripts/lib/source_date.sh
(cd build-arm64 && cpack -G DEB >/dev/null)
ls build-arm64/*.deb
