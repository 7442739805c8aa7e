#!/usr/bin/env bash
# Builds the model and its tests with Clang, with -march=native and for
# 32-bit x86 beside the default GCC build, and runs in each the product's
# exactness tests and the 200- and 4000-frame runs: every build must end in
# the same recorded bits on every product path. (The default build runs
# them all among its long tests.)
#
# A 32-bit build runs natively where the kernel runs 32-bit programs, and
# under qemu-i386 where it does not (WAVE1D_I686_EMULATED=1 takes that route
# anywhere). Emulated, a 4000-frame run takes minutes, so that route runs the
# unit tests instead: the product's exactness tests at 86 sizes, which hold
# the portable path to the in-order loop, and the 200-frame runs with their
# recorded bits on both. A wider intermediate or a fused operation anywhere
# in the step would change those bits in the first frames already.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/caches.sh
long_runs='Every/WaveOnEveryPath.FourThousand*:WaveAdvance.LongRunGrowsWithoutBound:WaveOverflow.ReachedAt*'
# Natively: the 200- and 4000-frame bits on every path but one. The in-order
# loop, the reference every other path is held to by the exactness tests,
# takes as long over 4000 frames as all the others together; its 200 frames
# show any change of its arithmetic already.
bit_runs='Every/WaveOnEveryPath.*:WaveBits.*:-Every/WaveOnEveryPath.FourThousand*/in_order'

# The flags -march=native stands for on this processor, as GCC works them
# out: the instruction sets, cache sizes and tuning, named. Compiled with
# these, an object kept by ccache is keyed by the processor it was made for,
# and a cache carried to another processor compiles anew.
native_flags() {
  g++ -### -march=native -x c++ -c /dev/null -o /dev/null 2>&1 | grep -m1 cc1plus |
    grep -o '"-march=[^"]*".*"-mtune=[^"]*"' | sed 's/"//g; s/--param /--param=/g'
}

# Detected by trying one, not guessed from the processor: the kernel decides.
runs_32_bit_programs() {
  [ "${WAVE1D_I686_EMULATED:-0}" != 1 ] || return 1
  mkdir -p build-i686
  echo 'int main(void) { return 0; }' | i686-linux-gnu-gcc -static -x c - -o build-i686/probe && build-i686/probe 2>/dev/null
}

for variant in clang native i686; do
  runner=()
  case $variant in
    clang) settings=(-DCMAKE_CXX_COMPILER=clang++) ;;
    native)
      flags=$(native_flags)
      settings=(-DCMAKE_CXX_FLAGS="$flags")
      ;;
    i686)
      settings=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/i686-linux-gnu.cmake" -DWAVE1D_WINDOW=OFF -DCMAKE_CROSSCOMPILING_EMULATOR=)
      if ! runs_32_bit_programs; then
        runner=(qemu-i386)
        settings+=(-DCMAKE_CROSSCOMPILING_EMULATOR=qemu-i386)
      fi
      ;;
  esac
  cmake -S . -B "build-$variant" -DCMAKE_BUILD_TYPE=Release -DWAVE1D_WERROR=ON "${COMPILER_CACHE_SETTINGS[@]}" \
    "${settings[@]}" >/dev/null
  cmake --build "build-$variant" -j"$(nproc)" --target linalg_tests wave_tests >/dev/null
  echo "== $variant build${runner:+ under ${runner[*]}}"
  # The product's exactness tests come first on every build: a compiler that
  # reorders or fuses where it must not shows there first.
  "${runner[@]}" "build-$variant/tests/linalg_tests" --gtest_brief=1
  if [ ${#runner[@]} -eq 0 ]; then
    "build-$variant/tests/wave_tests" --gtest_filter="$bit_runs" --gtest_brief=1
  else
    "${runner[@]}" "build-$variant/tests/wave_tests" --gtest_filter="-$long_runs" --gtest_brief=1
  fi
done
