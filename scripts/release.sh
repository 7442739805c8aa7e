#!/usr/bin/env bash
# Makes the release of this checkout's commit in dist/, for the version of
# CMakeLists.txt's project():
#   wave1d-VERSION.html                the page in one file, which opens from disk
#   wave1d-VERSION-site.zip            the site (public/) as published, for any static host
#   wave1d-VERSION-windows-x86_64.zip  the Windows program
#   wave1d_VERSION_amd64.deb, wave1d_VERSION_arm64.deb
#   SHA256SUMS                         the SHA-256 of each
# The same commit gives the same bytes from any clone, at any time, on any
# Debian 12 machine with the same packages: every time in them is the
# commit's (SOURCE_DATE_EPOCH), no folder's name gets in, the archives hold
# their files in name order with fixed owners and modes.
#
# It builds with the scripts a person runs, in the folders they build in
# (build/, build-arm64/, build-windows/, build-web*/, public/), so that what
# the test command built is reused, and what is missing is made (without its
# tests) with the kept caches. Nothing a build left is taken as it is: each
# folder's own build brings it up to date with this checkout (make rebuilds
# whatever is older than its sources; a folder configured from another
# clone's sources is refused by CMake), every package is made anew from it
# and public/ is written anew. A folder built with other flags (a processor
# of its own, debug information, sanitizers, another build type) is refused.
#
# --uncommitted releases the files as they are, with the last commit's time:
# for the test command's check, never for publishing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the release" "${BUILD_PACKAGES[@]}" git python3 dpkg-dev file
. scripts/lib/caches.sh
if [ "${1:-}" != --uncommitted ] && [ -n "$(git status --porcelain)" ]; then
  echo "A release is made from a commit; these files differ from it:" >&2
  git status --short >&2
  exit 1
fi
. scripts/lib/source_date.sh
# Folders and files made here are rwxr-xr-x and rw-r--r--, whoever runs it.
umask 022
# The version CMakeLists.txt gives, whose changelog entry must be written.
. scripts/lib/version.sh
scripts/release_notes.sh >/dev/null

# Each folder with the settings the test command gives it, so that ccache
# hands the objects of one to the other (warnings are errors where it makes
# them so). A folder made here has no tests; one made before keeps them.
tests_off_if_new() { [ -e "$1/CMakeCache.txt" ] || echo -DWAVE1D_TESTS=OFF; }
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DWAVE1D_WERROR=ON $(tests_off_if_new build) \
  "${COMPILER_CACHE_SETTINGS[@]}" >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
scripts/cross.sh $(tests_off_if_new build-arm64) >/dev/null
scripts/windows.sh -DWAVE1D_WERROR=ON $(tests_off_if_new build-windows) >/dev/null
scripts/web.sh $(tests_off_if_new build-web) >/dev/null
python3 scripts/lib/release_flags.py . build build-arm64 build-windows build-web build-web-simd
(cd build && cpack -G DEB >/dev/null)

rm -rf dist
mkdir dist
cp public/wave1d.html "dist/wave1d-$VERSION.html"
python3 scripts/lib/zip_folder.py public "dist/wave1d-$VERSION-site.zip" >/dev/null
cp "build-windows/wave1d-$VERSION-windows-x86_64.zip" "build/wave1d_${VERSION}_amd64.deb" \
  "build-arm64/wave1d_${VERSION}_arm64.deb" dist/
# In the names' byte order, whatever the locale.
(cd dist && LC_ALL=C && sha256sum -- * >SHA256SUMS && cat SHA256SUMS)
