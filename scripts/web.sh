#!/usr/bin/env bash
# Builds wave1d for web browsers into build-web/: index.html, wave1d.js and
# wave1d.wasm, and in simd/ the same program built with WebAssembly SIMD,
# which the page loads where the browser supports it. Any static web server
# can serve the folder, e.g.
#   python3 -m http.server -d build-web -b 127.0.0.1 8000
# The unit tests are built too: ctest --test-dir build-web (and build-web-simd)
# runs them under Node.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "${WEB_PACKAGES[@]}" cmake make
# Debian's emscripten runs its JavaScript optimiser with Debian's acorn.
export NODE_PATH=/usr/share/nodejs
node=$(command -v node)
for variant in plain simd; do
  case $variant in
    plain) folder=build-web flags=() ;;
    simd) folder=build-web-simd flags=(-DCMAKE_CXX_FLAGS=-msimd128) ;;
  esac
  # Emscripten 3.1.6's output under Node 20 tries fetch() on a file path
  # unless Node is told to leave fetch out.
  emcmake cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release "${flags[@]}" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$node;--no-experimental-fetch" "$@" >/dev/null
  cmake --build "$folder" -j"$(nproc)"
done
mkdir -p build-web/simd
cp build-web-simd/wave1d.js build-web-simd/wave1d.wasm build-web/simd/
ls build-web/index.html build-web/wave1d.* build-web/simd/*
