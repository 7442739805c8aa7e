#!/usr/bin/env bash
# Sets up a Debian machine, builds into build/ and runs every check: the
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, the same bits
# from Clang and -march=native builds, and last the whole suite (window tests
# under a private Xvfb, valgrind, formatting, clang-tidy) ending in CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "${BUILD_PACKAGES[@]}" libgtest-dev xvfb libx11-dev libxtst-dev clang clang-format clang-tidy valgrind \
  dpkg-dev file desktop-file-utils
jobs=$(nproc)

echo "== Sanitizers: the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVE1D_SANITIZE=ON -DWAVE1D_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs" >/dev/null
# The GL driver is preloaded so that it stays mapped until the leak check at
# exit and its allocations can be told apart (and suppressed) by name.
driver=$(find /usr/lib -name swrast_dri.so -print -quit)
(cd build-asan && \
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:verify_asan_link_order=0 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$PWD/../tests/sanitizers/lsan.supp \
  LD_PRELOAD=$driver \
  ctest -j"$jobs" --output-on-failure)

echo "== The same bits from other compilers and -march=native"
scripts/same_bits.sh

echo "== The suite"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DWAVE1D_TESTS=ON -DWAVE1D_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
cd build
ctest -j"$jobs" --output-on-failure
