#!/usr/bin/env bash
# Builds the model and its 4000-frame test with Clang, with -march=native and
# for 32-bit x86 beside the default GCC build, and runs that test in each:
# every build must end in the same recorded bits on every product path.
set -euo pipefail
cd "$(dirname "$0")/.."
for variant in clang native i686; do
  case $variant in
    clang) settings=(-DCMAKE_CXX_COMPILER=clang++) ;;
    native) settings=(-DCMAKE_CXX_FLAGS=-march=native) ;;
    i686) settings=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/i686-linux-gnu.cmake") ;;
  esac
  cmake -S . -B "build-$variant" -DCMAKE_BUILD_TYPE=Release -DWAVE1D_WERROR=ON "${settings[@]}" >/dev/null
  cmake --build "build-$variant" -j"$(nproc)" --target wave_tests >/dev/null
  echo "== $variant build"
  "build-$variant/tests/wave_tests" --gtest_filter='Every/WaveOnEveryPath.*:WaveAdvance.*' --gtest_brief=1
done
