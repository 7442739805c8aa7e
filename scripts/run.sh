#!/usr/bin/env bash
# Builds the program into build/ and starts it; arguments go to the toolkit.
# On Debian and its derivatives it first installs what is missing (with
# GoogleTest, so that the unit tests build in build/ too); elsewhere it
# builds with what is there, or says what to install.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
if command -v apt-get >/dev/null && command -v dpkg-query >/dev/null; then
  need_packages "the program" "${BUILD_PACKAGES[@]}" "${UNIT_TEST_PACKAGES[@]}"
else
  need_build_tools
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null || {
  say_what_to_install
  exit 1
}
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target wave1d
exec "$PWD/build/wave1d" "$@"
