#!/usr/bin/env bash
# Builds wave1d for 64-bit Windows into build-windows/ with Debian's
# MinGW-w64 cross compiler, installing what is missing: freeglut from
# Debian's own source package, patched (packaging/windows/*.patch) and built
# static once (build-windows/freeglut, kept for the next run); then the
# program, wave1d.exe, with its unit tests, and the zip to download. The
# results run here under Wine, in a prefix of the build's own:
#   ctest --test-dir build-windows
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the Windows build" "${WINDOWS_PACKAGES[@]}"
out=$PWD/build-windows
freeglut=$out/freeglut
toolchain=$PWD/cmake/x86_64-w64-mingw32.cmake
mkdir -p "$out"

# Debian's source of freeglut, fetched through a private apt folder whose
# entries are this machine's own as source entries, so the machine's apt
# configuration is left as it is.
fetch_freeglut_source() {
  rm -rf "$out/freeglut-source"
  mkdir -p "$out/freeglut-source"
  private_apt "$out/apt" deb-src
  # A repository without sources fails the update; one with freeglut is enough.
  apt_update apt-get "${PRIVATE_APT[@]}"
  (cd "$out/freeglut-source" && apt-get "${PRIVATE_APT[@]}" -qq source freeglut) ||
    setup_failed "the Windows build" "apt-get could not fetch as source (its message is above)" freeglut
}

# Static, so that the program carries it inside; with glut.h, which the
# program includes, and without the toolkit's demos.
build_freeglut() {
  local source patch
  fetch_freeglut_source
  source=$(find "$out/freeglut-source" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*')
  for patch in packaging/windows/*.patch; do patch -d "$source" -p1 --quiet <"$patch"; done
  cmake -S "$source" -B "$out/freeglut-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$freeglut" -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_DEMOS=OFF \
    -DFREEGLUT_REPLACE_GLUT=ON >/dev/null
  cmake --build "$out/freeglut-build" -j"$(nproc)" >/dev/null
  cmake --install "$out/freeglut-build" >/dev/null
  install -D -m 644 "$source/COPYING" "$freeglut/share/doc/freeglut/COPYING"
}

# Kept between runs, and built again only when its patches or the toolchain change.
built_with=$(cat packaging/windows/*.patch "$toolchain" | sha256sum)
if [ "$(cat "$freeglut/built-with" 2>/dev/null)" != "$built_with" ]; then
  rm -rf "$freeglut" "$out/freeglut-build"
  build_freeglut
  echo "$built_with" >"$freeglut/built-with"
fi

# A desktop's locale, en_US.UTF-8, of the build tree's own (LOCPATH): the
# zip's check runs in it, as on a user's machine.
[ -d "$out/locale/en_US.UTF-8" ] || { mkdir -p "$out/locale" && localedef -i en_US -f UTF-8 "$out/locale/en_US.UTF-8"; }

# Wine's prefix, made once per build tree: the first start sets it up for
# some seconds, and tests started side by side must not all do that at once.
# Its server lingers a few seconds after that and then ends; a test that
# reached it meanwhile lost its connection ("recvmsg: Connection reset by
# peer", seen once on a fresh prefix), so the next start waits for the end.
wine=(env WINEPREFIX="$out/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64)
if [ ! -f "$out/wine/system.reg" ]; then
  "${wine[@]}" wineboot --init
  WINEPREFIX="$out/wine" /usr/lib/wine/wineserver64 -w
fi
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DFreeGLUT_DIR="$freeglut/lib/cmake/FreeGLUT" -DCMAKE_CROSSCOMPILING_EMULATOR="$(IFS=';'; echo "${wine[*]}")" \
  "$@" >/dev/null
cmake --build "$out" -j"$(nproc)"
(cd "$out" && cpack -G ZIP >/dev/null)
ls -l "$out"/wave1d.exe "$out"/wave1d-*.zip
