#!/usr/bin/env bash
# The release's own tools, on folders of the test's making: zip_folder.py
# gives the same bytes for the same files whatever their times, modes beyond
# the executable bit and order of making, in name order with the commit's
# time; release_flags.py refuses a build of the program with a flag that
# picks a processor or adds debug information, or of another build type,
# and lets the release's own flags and the tests' pass; release_notes.sh
# gives the changelog's entry and refuses a tag of another version.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { printf 'FAILED: %s\n' "$*"; exit 1; }

# Two folders of the same files, made in another order at other times.
mkdir -p "$scratch/one/sub" "$scratch/two/sub"
printf 'b' >"$scratch/one/sub/b.txt"
printf 'B' >"$scratch/one/B.txt"
printf 'run' >"$scratch/one/run" && chmod 755 "$scratch/one/run"
(umask 077 && printf 'run' >"$scratch/two/run" && chmod 700 "$scratch/two/run" && printf 'B' >"$scratch/two/B.txt" &&
  printf 'b' >"$scratch/two/sub/b.txt")
touch -d '2001-02-03 04:05:06' "$scratch/two/B.txt"
export SOURCE_DATE_EPOCH=1700000001
for folder in one two; do python3 "$source/scripts/lib/zip_folder.py" "$scratch/$folder" "$scratch/$folder.zip" top >/dev/null; done
cmp "$scratch/one.zip" "$scratch/two.zip" || fail "the same files zipped to different bytes"
listing=$(zipinfo "$scratch/one.zip" | sed '1,2d;$d' | awk '{ print $1, $7, $8, $9 }')
expected='-rw-r--r-- 23-Nov-14 22:13 top/B.txt
-rwxr-xr-x 23-Nov-14 22:13 top/run
-rw-r--r-- 23-Nov-14 22:13 top/sub/b.txt'
[ "$listing" = "$expected" ] || fail "the zip holds, in this order: $listing"
if (unset SOURCE_DATE_EPOCH && python3 "$source/scripts/lib/zip_folder.py" "$scratch/one" "$scratch/no-time.zip" 2>/dev/null); then
  fail "a zip was made without SOURCE_DATE_EPOCH"
fi

# A build folder of the program's sources compiled with the flags given.
build_with() {
  local build=$scratch/build-$1 type=$2 flags=$3
  mkdir -p "$build"
  echo "CMAKE_BUILD_TYPE:STRING=$type" >"$build/CMakeCache.txt"
  cat >"$build/compile_commands.json" <<EOF
[{"directory": "$build", "file": "$source/src/linalg/vector_matrix.cpp", "command": "/usr/bin/c++ $flags -c $source/src/linalg/vector_matrix.cpp"},
 {"directory": "$build", "file": "$source/tests/linalg_test.cpp", "command": "/usr/bin/c++ -march=native -g -c $source/tests/linalg_test.cpp"}]
EOF
  echo "$build"
}
flags() { python3 "$source/scripts/lib/release_flags.py" "$source" "$(build_with "$@")" 2>&1; }
released='-O3 -DNDEBUG -ffp-contract=off -ffile-prefix-map=/x/= -Wa,-muse-unaligned-vector-move -msimd128 -Werror'
flags released Release "$released" >/dev/null || fail "the release's own flags were refused: $(flags released Release "$released")"
for refused in -march=native -mavx2 -mtune=native -g -fsanitize=address -ffast-math; do
  said=$(flags refused Release "$released $refused") && fail "$refused was let pass"
  grep -q "vector_matrix.cpp is compiled with $refused\$" <<<"$said" || fail "for $refused it said: $said"
done
said=$(flags debug RelWithDebInfo "$released") && fail "a RelWithDebInfo build was let pass"
grep -q "the build type is RelWithDebInfo, not Release" <<<"$said" || fail "for RelWithDebInfo it said: $said"

# The changelog's entry for this version, and a tag of another.
notes=$("$source/scripts/release_notes.sh" "v$(. "$source/scripts/lib/version.sh" && echo "$VERSION")")
grep -q '^### ' <<<"$notes" || fail "the release notes have no section: $notes"
if "$source/scripts/release_notes.sh" v0.0.0-not-this 2>/dev/null; then fail "a tag of another version was let pass"; fi
echo "zip_folder, release_flags and release_notes ok"
