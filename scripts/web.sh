#!/usr/bin/env bash
# Builds wave1d for web browsers and writes the site into public/, apart
# from the build trees: index.html with its style and its script inside it
# (web/page.css, and web/main.js with the modules it imports, bundled), its
# words in English and Japanese (words/), wave1d.js, wave1d.wasm and, in simd/, the program
# built with WebAssembly SIMD, which the page chooses where the browser
# supports it; growth.html and growth.ja.html, why the wave blows up, with
# their pictures (from docs/growth.md and docs/growth.ja.md); the web app's
# manifest, icons and offline worker (sw.js), which keeps the site a release
# at a time, every file named by its content's revision (web/release.py); and
# wave1d.html, the whole page in one file, both languages and the growth pages
# in it, that works when opened from disk. Any static web server can serve
# public/, e.g.
#   python3 -m http.server -d public -b 127.0.0.1 8000
# The unit tests are built too: ctest --test-dir build-web (and build-web-simd)
# runs them under Node.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the web build" "${WEB_PACKAGES[@]}" cmake make python3
# Debian's emscripten runs its JavaScript optimiser with Debian's acorn.
export NODE_PATH=/usr/share/nodejs
# Its compiles go through ccache (scripts/lib/caches.sh); its system libraries come built with it.
. scripts/lib/caches.sh
[ -z "$COMPILER_CACHE" ] || export EM_COMPILER_WRAPPER=$COMPILER_CACHE
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
# Both builds' scripts are the same; only the WebAssembly differs.
cmp build-web/wave1d.js build-web-simd/wave1d.js
rm -rf public
mkdir -p public/simd
cp -r web/words web/icons web/manifest.webmanifest build-web/wave1d.js build-web/wave1d.wasm public/
cp build-web-simd/wave1d.wasm public/simd/
cp packaging/wave1d.svg public/icons/
# The page's script, its modules bundled into one (web/main.js and what it
# imports), and its style, each made small, as Debian's esbuild does it, and
# put inside the page.
esbuild web/main.js --bundle --format=esm --minify --charset=utf8 --log-level=warning --outfile=build-web/page/main.js
esbuild web/page.css --minify --charset=utf8 --log-level=warning --outfile=build-web/page/page.css
python3 web/inline_page.py web/index.html build-web/page/page.css build-web/page/main.js public/index.html
# The growth pages from their Markdown, with Debian's own Python and its libraries.
/usr/bin/python3 web/growth_page.py web/words public build-web/growth-sections.html docs/growth.md docs/growth.ja.md
python3 web/single_file.py public/index.html web/words build-web/wave1d.js build-web/wave1d.wasm \
  build-web-simd/wave1d.wasm build-web/growth-sections.html public/wave1d.html
# A release: every file named by its content's revision, with the program's
# version, and the offline worker that keeps it (sw.js).
/usr/bin/python3 web/release.py public "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-web/CMakeCache.txt)"
# What a browser downloads on a first visit (to the site's folder, whose page
# the worker then only revalidates): the served page with one build, its
# words and what the worker keeps (both languages' words); then what the
# worker fetches once it has those, the growth pages in both languages with
# their pictures; or the one file.
# (each file gzipped on its own, as each response is)
size() {
  local bytes=0 gzipped=0 file
  for file; do bytes=$((bytes + $(wc -c <"$file"))) gzipped=$((gzipped + $(gzip -9 <"$file" | wc -c))); done
  printf '%8d bytes, %7d gzipped  %s\n' "$bytes" "$gzipped" "$*"
}
cd public
visit=(index.html words/*.json manifest.webmanifest sw.js icons/wave1d.svg icons/wave1d-192.png wave1d.js)
size "${visit[@]}" wave1d.wasm
size "${visit[@]}" simd/wave1d.wasm
size growth.html growth.ja.html growth-*.svg growth-*.png
size wave1d.html
