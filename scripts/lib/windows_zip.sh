#!/usr/bin/env bash
# Makes the Windows zip of the build folder $1 in the folder $2 (the build
# folder itself when not given) and prints its path: whatever the build
# installs, stripped, under one folder named with the version, packed by
# zip_folder.py, so that the same build gives the same bytes anywhere, at
# any time.
set -euo pipefail
build=$1
out=${2:-$1}
lib=$(cd "$(dirname "$0")" && pwd)
. "$lib/source_date.sh"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=wave1d-$version-windows-x86_64
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cmake --install "$build" --prefix "$staging" --strip >/dev/null
python3 "$lib/zip_folder.py" "$staging" "$out/$name.zip" "$name" >/dev/null
echo "$out/$name.zip"
