#!/usr/bin/env bash
# Makes the release of this checkout's files as they are (committed or not)
# in a clone of them at another path, two hours later by the clock its
# programs see (faketime), and puts that clone's dist/ in the folder $1.
# Compared with a release made here (compare_releases.sh), it shows any
# folder's name or any time of building that gets into an artifact.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$(realpath -m "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The files as they are, less what git ignores: a commit of a temporary
# index, dated as the last commit is, so that the clone's SOURCE_DATE_EPOCH
# is this checkout's.
GIT_INDEX_FILE=$scratch/index git read-tree HEAD
GIT_INDEX_FILE=$scratch/index git add -A
tree=$(GIT_INDEX_FILE=$scratch/index git write-tree)
commit=HEAD
if [ "$tree" != "$(git rev-parse 'HEAD^{tree}')" ]; then
  date=$(git log -1 --format=%cd --date=raw)
  commit=$(GIT_AUTHOR_DATE=$date GIT_COMMITTER_DATE=$date git -c user.name=wave1d -c user.email=wave1d@invalid \
    commit-tree "$tree" -p HEAD -m "the files as they are")
fi
clone=$scratch/another/folder/wave1d-$RANDOM
git clone -q --shared --no-checkout . "$clone"
git -C "$clone" checkout -q --detach "$commit"

# The clock two hours on (monotonic clocks, which time-outs use, left alone).
export FAKETIME_DONT_FAKE_MONOTONIC=1
later=(faketime -f +2h)
ahead=$(($("${later[@]}" date +%s) - $(date +%s)))
[ "$ahead" -ge 7000 ] || { echo "faketime did not move the clock on (by $ahead s)"; exit 1; }
(cd "$clone" && "${later[@]}" scripts/release.sh)
rm -rf "$out"
cp -r "$clone/dist" "$out"
