#!/usr/bin/env bash
# The test command's leftover check names the processes the command started
# and no others: a wave1d of the user's in the same session is not one; and
# a name longer than the kernel keeps for a process is no escape.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/scripts/lib/leftovers.sh"
work=$(mktemp -d)
cp "$(command -v sleep)" "$work/wave1d"
env -u WAVE1D_TEST_RUN "$work/wave1d" 60 &
users=$!
WAVE1D_TEST_RUN=this-run "$work/wave1d" 60 &
first=$!
cp "$(command -v sleep)" "$work/linalg_tests.exe"
WAVE1D_TEST_RUN=this-run "$work/linalg_tests.exe" 60 &
second=$!
trap 'kill $users $first $second; rm -rf "$work"' EXIT
for pid in $users $first $second; do
  until [ "$(cat /proc/$pid/comm)" != bash ]; do sleep 0.05; done
done
found=$(WAVE1D_TEST_RUN=this-run left_running)
expected="$first wave1d
$second linalg_tests.exe"
[ "$found" = "$expected" ] || { printf 'FAILED: expected\n%s\nfound\n%s\n' "$expected" "$found"; exit 1; }
echo "passed: $(echo $found)"
