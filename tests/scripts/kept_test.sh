#!/usr/bin/env bash
# What the scripts keep in the cache folder is made once per input and
# never used for another: the same input finds the folder made before, a
# changed one gets a new folder; a folder whose making failed or was
# interrupted is never used; runs side by side make it once. And the arm64
# sysroot's input holds the versions apt would install: a new version of a
# package makes a new sysroot, with the new version in it (a repository of
# the test's own with a small arm64 package stands in for Debian's).
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CACHE_HOME=$scratch/cache
. "$source/scripts/lib/packages.sh"
. "$source/scripts/lib/caches.sh"
. "$source/scripts/lib/sysroot.sh"
fail() { printf 'FAILED: %s\n' "$*"; exit 1; }

# A maker that counts its runs, writes its input and takes $pause seconds.
pause=0
make_probe() {
  echo run >>"$scratch/runs" && sleep "$pause" && echo "$wanted" >"$1/content"
}
runs() { cat "$scratch/runs" 2>/dev/null | wc -l; }
find_probe() {
  wanted=$1
  kept probe "$wanted" make_probe
  [ "$(cat "$KEPT/content")" = "$wanted" ] || fail "the folder for \"$wanted\" holds \"$(cat "$KEPT/content")\""
}

find_probe one && first=$KEPT
find_probe one
[ "$KEPT" = "$first" ] && [ "$(runs)" = 1 ] || fail "the same input was made again ($(runs) runs)"
find_probe two
[ "$KEPT" != "$first" ] && [ "$(runs)" = 2 ] || fail "a changed input reused the old folder"

failing() { mkdir "$1/half" && false; }
wanted=three
if kept probe three failing; then fail "a failed making was reported as made"; fi
find_probe three
[ "$(runs)" = 3 ] || fail "the folder of a failed making was used"

# Interrupted: the run is killed in the middle of its making.
pause=30 find_probe four &
until [ "$(runs)" = 4 ]; do sleep 0.1; done
{
  kill -9 $(pgrep -P $!) $!
  wait $!
} 2>/dev/null || true
find_probe four
[ "$(runs)" = 5 ] || fail "the folder of an interrupted making was used"

# Side by side: one makes, the other waits for it and takes its folder.
pause=2 find_probe five >"$scratch/five-a" &
pause=2 find_probe five >"$scratch/five-b" &
wait
[ "$(runs)" = 6 ] || fail "two runs side by side made the same folder $(($(runs) - 5)) times"

# The sysroot, from a repository whose probe package changes version. The
# machine's package sources are replaced by the repository; all else is the
# scripts' own.
private_apt() {
  local apt=$1
  shift 2
  rm -rf "$apt"
  mkdir -p "$apt/parts" "$apt/cache/archives/partial"
  touch "$apt/status"
  echo "deb [trusted=yes] copy:$scratch/repo ./" >"$apt/sources.list"
  PRIVATE_APT=(-q -o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/parts"
    -o "Dir::State::status=$apt/status" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root "$@")
}
publish() {
  local name=$1 version=$2 package=$scratch/package-$1-$2
  mkdir -p "$package/DEBIAN" "$package/usr/share/$name" "$scratch/repo"
  printf 'Package: %s\nVersion: %s\nArchitecture: arm64\nMaintainer: none <none@wave1d.invalid>\nDescription: probe\n' \
    "$name" "$version" >"$package/DEBIAN/control"
  echo "$version" >"$package/usr/share/$name/version"
  rm -f "$scratch/repo/$name"_*.deb
  dpkg-deb -b "$package" "$scratch/repo/${name}_${version}_arm64.deb" >/dev/null
  (cd "$scratch/repo" && dpkg-scanpackages . /dev/null 2>/dev/null >Packages)
}
sysroot=$scratch/build/sysroot
mkdir -p "$scratch/build"
publish wave1d-probe 1
make_sysroot "$sysroot" arm64 wave1d-probe >/dev/null
first=$(readlink "$sysroot")
[ "$(cat "$sysroot/usr/share/wave1d-probe/version")" = 1 ] || fail "the sysroot lacks the probe package"
make_sysroot "$sysroot" arm64 wave1d-probe >/dev/null
[ "$(readlink "$sysroot")" = "$first" ] || fail "the same packages made a new sysroot"
publish wave1d-probe 2
make_sysroot "$sysroot" arm64 wave1d-probe >/dev/null
[ "$(readlink "$sysroot")" != "$first" ] && [ "$(cat "$sysroot/usr/share/wave1d-probe/version")" = 2 ] ||
  fail "a new version of a package reused the sysroot of the old one"
[ "$(cat "$first/usr/share/wave1d-probe/version")" = 1 ] || fail "the old sysroot was changed"
second=$(readlink "$sysroot")
publish wave1d-other-probe 1
make_sysroot "$sysroot" arm64 wave1d-probe wave1d-other-probe >/dev/null
[ "$(readlink "$sysroot")" != "$second" ] && [ -f "$sysroot/usr/share/wave1d-other-probe/version" ] ||
  fail "a longer package list reused the sysroot of the shorter one"
echo "passed: $(runs) makings for 5 inputs, 3 sysroots for 3 sets of packages"
