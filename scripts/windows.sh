#!/usr/bin/env bash
# Builds wave1d for 64-bit Windows into build-windows/ with Debian's
# MinGW-w64 cross compiler, installing what is missing: freeglut from
# Debian's own source package, patched (packaging/windows/*.patch) and built
# static once for each version of its inputs (kept in the user's cache folder
# and linked as build-windows/freeglut, see scripts/lib/caches.sh); then the
# program, wave1d.exe, with its unit tests, and the zip to download. The
# results run here under Wine, in a prefix of the build's own:
#   ctest --test-dir build-windows
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
. scripts/lib/caches.sh
. scripts/lib/wine_prefix.sh
need_packages "the Windows build" "${WINDOWS_PACKAGES[@]}"
out=$PWD/build-windows
freeglut=$out/freeglut
toolchain=$PWD/cmake/x86_64-w64-mingw32.cmake
mkdir -p "$out"

# Debian's source of freeglut, fetched through a private apt folder whose
# entries are this machine's own as source entries, so the machine's apt
# configuration is left as it is. Its indexes are kept in the cache folder.
source_lists=$WAVE1D_CACHE/apt/source-lists
mkdir -p "$source_lists/partial"
private_apt "$out/apt" deb-src -o "Dir::State::Lists=$source_lists"

# Static, so that the program carries it inside; with glut.h, which the
# program includes, and without the toolkit's demos; installed into the
# folder named last. Built in this clone's folder, where ccache finds what
# another clone compiled. (The build finds it by its CMake files, which hold
# no absolute path; its pkg-config file, which does, is left out.)
build_freeglut() {
  local prefix=$1 source
  rm -rf "$out/freeglut-source" "$out/freeglut-build" && mkdir -p "$out/freeglut-source" &&
    (cd "$out/freeglut-source" && apt-get "${PRIVATE_APT[@]}" -qq source freeglut) ||
    setup_failed "the Windows build" "apt-get could not fetch as source (its message is above)" freeglut || return
  source=$(find "$out/freeglut-source" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*')
  for patch in packaging/windows/*.patch; do patch -d "$source" -p1 --quiet <"$patch" || return; done
  cmake -S "$source" -B "$out/freeglut-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_DEMOS=OFF \
    -DFREEGLUT_REPLACE_GLUT=ON "${COMPILER_CACHE_SETTINGS[@]}" >/dev/null &&
    cmake --build "$out/freeglut-build" -j"$(nproc)" >/dev/null &&
    cmake --install "$out/freeglut-build" >/dev/null &&
    install -D -m 644 "$source/COPYING" "$prefix/share/doc/freeglut/COPYING" &&
    rm -rf "$out/freeglut-source" "$out/freeglut-build" "$prefix/lib/pkgconfig"
}

# Kept in the cache folder, one for each source package (its files' names,
# sizes and hashes), set of patches, toolchain (the file and the versions of
# the cross compiler's packages) and version of the code above; linked here.
kept_freeglut() {
  local source
  apt_update apt-get "${PRIVATE_APT[@]}"
  source=$(apt-get "${PRIVATE_APT[@]}" -q source --print-uris freeglut | grep "^'") ||
    setup_failed "the Windows build" "apt-get could not find as source (its message is above)" freeglut || return
  kept windows-freeglut "$(cut -d' ' -f2- <<<"$source"; cat packaging/windows/*.patch "$toolchain"
    dpkg-query -W -f '${db:Status-Abbrev}${Package} ${Version}\n' '*mingw-w64*' cmake | grep '^ii'
    declare -f build_freeglut)" build_freeglut
}
locked "$source_lists.lock" kept_freeglut
link_kept "$freeglut" "$KEPT"
rm -rf "$out/apt"

wine=(env WINEPREFIX="$out/wine" "${wine_settings[@]}" "$WINE64")
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DFreeGLUT_DIR="$freeglut/lib/cmake/FreeGLUT" -DCMAKE_CROSSCOMPILING_EMULATOR="$(IFS=';'; echo "${wine[*]}")" \
  "${COMPILER_CACHE_SETTINGS[@]}" "$@" >/dev/null

# The tests need the rest, before the build, which lists them under Wine; a
# build without them (-DWAVE1D_TESTS=OFF) does not. A desktop's locale,
# en_US.UTF-8, of the build tree's own (LOCPATH): the zip's check runs in
# it, as on a user's machine. Wine's prefix: the first start sets one up for
# some seconds, and tests started side by side must not all do that at once.
# One is made for each version of what it is made from and kept in the
# cache folder; this build has a copy of it, which its tests write to.
if ! grep -qx 'WAVE1D_TESTS:BOOL=OFF' "$out/CMakeCache.txt"; then
  [ -d "$out/locale/en_US.UTF-8" ] || { mkdir -p "$out/locale" && localedef -i en_US -f UTF-8 "$out/locale/en_US.UTF-8"; }
  kept wine-prefix "$(wine_prefix_input)" make_wine_prefix
  copy_kept "$out/wine" "$KEPT"  # 700 MB, nearly all of it Wine's DLLs
fi
cmake --build "$out" -j"$(nproc)"
scripts/lib/windows_zip.sh "$out" >/dev/null
ls -l "$out"/wave1d.exe "$out"/wave1d-*.zip
