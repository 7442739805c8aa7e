#!/usr/bin/env bash
# Sets up a Debian machine and runs every check in stages, three lanes side
# by side: (1) the suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the same bits from Clang, -march=native and 32-bit x86 builds; (2) the
# arm64 build with its unit tests under qemu and its package, then the web
# build with its unit tests under Node, then the page in three browser
# engines; (3) the optimised build, its soak tests and its long model runs,
# then the Windows build with its unit tests under Wine and its zip, then
# the release made in a clone elsewhere, two hours later by its clock. Then
# the release (scripts/release.sh) from these builds into dist/, which must
# be byte for byte the clone's. Last the rest of the optimised build's suite
# (unit and window tests, the unit tests and the program on other processors
# under qemu, the Windows program under Wine, valgrind, formatting,
# clang-tidy, the workflows, the package), ending in CTest's summary. Each
# stage's time is printed; a failed stage prints the end of its log, which
# names the failed tests. Before the suite, what ccache gave this run.
#
# Compiled objects and slow set-ups are kept between runs and clones in the
# user's cache folder (scripts/lib/caches.sh); `scripts/test.sh
# --clean-caches` removes them.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
. scripts/lib/leftovers.sh
. scripts/lib/caches.sh
if [ "${1:-}" = --clean-caches ]; then
  [ ! -d "$WAVE1D_CACHE" ] || du -sh "$WAVE1D_CACHE"
  rm -rf "$WAVE1D_CACHE"
  echo "Removed $WAVE1D_CACHE"
  exit 0
fi
# Marks everything this command starts, for the leftover check at the end.
export WAVE1D_TEST_RUN="$$-$(date +%s%N)"
need_packages "the test command" "${BUILD_PACKAGES[@]}" "${UNIT_TEST_PACKAGES[@]}" \
  xvfb libxtst-dev clang clang-format clang-tidy valgrind dpkg-dev file desktop-file-utils procps ccache faketime
need_packages "the arm64 build" "${ARM64_PACKAGES[@]}"
need_packages "the 32-bit x86 build" "${I686_PACKAGES[@]}"
need_packages "the web build" "${WEB_PACKAGES[@]}"
need_packages "the Windows build" "${WINDOWS_PACKAGES[@]}"
jobs=$(nproc)
logs=$PWD/build-logs
mkdir -p "$logs"
. scripts/lib/caches.sh  # again: ccache may have been installed just now
# Every compile of this run, for the summary at the end.
export CCACHE_STATSLOG=$logs/ccache-stats.log
rm -f "$CCACHE_STATSLOG"

# Runs "$@" as the stage $1 with its output in build-logs/$1.log.
stage() {
  local name=$1 start=$SECONDS
  shift
  if "$@" >"$logs/$name.log" 2>&1; then
    echo "== $name: passed in $((SECONDS - start)) s"
  else
    echo "== $name: FAILED after $((SECONDS - start)) s; the end of build-logs/$name.log:"
    tail -n 40 "$logs/$name.log"
    return 1
  fi
}

# Under the sanitizers the long model runs, the soak tests and the animation
# tests (its pace too, which a sanitized program cannot keep) are left out: they repeat code the shorter tests run (a left click
# animates in the display-loss test, a right press stops the near-overflow
# one), for figures (bits after 4000 frames, flat memory over 200,000, frame
# after frame in order) that only the optimised build needs to prove. The
# GL driver is preloaded so that it stays mapped until the leak check at exit
# and its allocations can be told apart (and suppressed) by name. Debug
# information names the clone's files relative to it, so that ccache can
# give one clone's objects to another: it keys objects with debug
# information by the folder they were compiled in otherwise.
# (A stage runs inside an if, where set -e does not apply: hence the &&.)
sanitizers() {
  local driver
  driver=$(find /usr/lib -name swrast_dri.so -path '*x86_64*' -print -quit)
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVE1D_SANITIZE=ON -DWAVE1D_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fdebug-prefix-map=$PWD=." "${COMPILER_CACHE_SETTINGS[@]}" &&
    cmake --build build-asan -j"$jobs" &&
    (cd build-asan &&
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:verify_asan_link_order=0 \
      UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      LSAN_OPTIONS=suppressions=$PWD/../tests/sanitizers/lsan.supp \
      LD_PRELOAD=$driver \
      ctest --no-tests=error -j"$jobs" -LE 'long|soak' -E '^Animation(Pace)?\.' --output-on-failure)
}

arm64() {
  scripts/cross.sh && ctest --no-tests=error --test-dir build-arm64 -j"$jobs" --output-on-failure
}

web() {
  scripts/web.sh && (cd tests/web && npm ci --no-audit --no-fund) &&
    ctest --no-tests=error --test-dir build-web -j"$jobs" --output-on-failure &&
    ctest --no-tests=error --test-dir build-web-simd -j"$jobs" --output-on-failure
}

# The optimised build knows the arm64 program, the web site and the Windows
# program, built by the other stages by the time its suite runs. The soak
# tests, minutes long, start as soon as their programs are built, and run
# beside everything else; so do the browser tests, once the web lane has the
# site and this build the tool that tells the model's frames apart.
soak_build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DWAVE1D_TESTS=ON -DWAVE1D_WERROR=ON \
    -DWAVE1D_ARM64_PROGRAM="$PWD/build-arm64/wave1d" -DWAVE1D_WEB_DIR="$PWD/public" \
    -DWAVE1D_WINDOWS_PROGRAM="$PWD/build-windows/wave1d.exe" "${COMPILER_CACHE_SETTINGS[@]}" &&
    cmake --build build -j"$jobs" --target wave1d near_overflow soak_tests
}
soak() {
  ctest --no-tests=error --test-dir build -L soak --output-on-failure
}
long_runs() {
  ctest --no-tests=error --test-dir build -L long -j"$jobs" --output-on-failure
}
windows() {
  scripts/windows.sh -DWAVE1D_WERROR=ON && ctest --no-tests=error --test-dir build-windows -j"$jobs" --output-on-failure
}
optimised_lane() {
  stage soak-build soak_build || {
    echo 1 >"$logs/build.status"
    return 1
  }
  stage soak soak &
  local soaking=$! built=0 rest=0
  stage build cmake --build build -j"$jobs" || built=$?
  echo $built >"$logs/build.status"
  { [ $built -eq 0 ] && stage long long_runs && stage windows windows &&
    stage release-elsewhere tests/release/release_elsewhere.sh build-release-elsewhere; } || rest=1
  wait $soaking && [ $rest -eq 0 ]
}
browsers() {
  until [ -s "$logs/build.status" ]; do sleep 5; done
  [ "$(cat "$logs/build.status")" = 0 ] && ctest --no-tests=error --test-dir build -L web -j"$jobs" --output-on-failure
}

# What ccache gave this run: hits, and misses (compiled anew).
cache_summary() {
  [ -n "$COMPILER_CACHE" ] && [ -f "$CCACHE_STATSLOG" ] || return 0
  echo "== ccache in this run ($WAVE1D_CACHE/ccache):"
  "$COMPILER_CACHE" --show-log-stats | sed 's/^/   /'
}

started=$SECONDS
rm -f "$logs/build.status"
{ stage sanitizers sanitizers && stage same-bits scripts/same_bits.sh; } &
sanitizer_lane=$!
lanes=()
{ stage arm64 arm64 && stage web web && stage browsers browsers; } &
lanes+=($!)
optimised_lane &
lanes+=($!)
status=0
for lane in "${lanes[@]}"; do wait "$lane" || status=1; done
# The release from this run's builds, once the browsers are done with
# public/, which it writes anew (beside the sanitizer lane, the slowest);
# then the same bytes from the clone elsewhere.
[ $status -ne 0 ] || stage release scripts/release.sh --uncommitted || status=1
wait $sanitizer_lane || status=1
[ $status -ne 0 ] || stage same-release tests/release/compare_releases.sh dist build-release-elsewhere || status=1
[ $status -eq 0 ] || {
  cache_summary
  exit 1
}

# Every compile of the run is done by now: the suite only runs tests (and
# the workflows' check its linter).
cache_summary
(cd tests/workflows && npm ci --no-audit --no-fund >/dev/null)
echo "== suite: the rest of the optimised build's tests ($((SECONDS - started)) s so far)"
suite_status=0
(cd build && ctest --no-tests=error -j"$jobs" -LE 'soak|web|long' --output-on-failure) || suite_status=$?
# Wine's server lingers a few seconds after its last program; wait for it.
WINEPREFIX="$PWD/build-windows/wine" /usr/lib/wine/wineserver64 -w || true

# Every Xvfb, program, emulator, driver and browser the tests started must
# have ended with them.
leftovers=$(left_running)
if [ -n "$leftovers" ]; then
  echo "Left running by the tests:"
  echo "$leftovers"
  exit 1
fi
exit $suite_status
