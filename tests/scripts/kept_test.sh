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
. "$source/scripts/lib/wine_prefix.sh"
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

# The Wine prefix's input, from a package database of the test's own: a
# package named wine that adds nothing the prefix is made from (the wrapper
# scripts; the development files, whose import libraries sit beside the
# DLLs) leaves it as it is, a new version of one that does changes it.
dpkg=$scratch/dpkg
mkdir -p "$dpkg/info" "$dpkg/updates"
WINE64=$scratch/wine64
printf '#!/bin/sh\necho wine-8.0\n' >"$WINE64" && chmod +x "$WINE64"
declare -A files=([wine64]="$WINE64 $WINESERVER64" [wine]="/usr/bin/wine /usr/bin/wineserver"
  [libwine]="$WINE_LIBRARIES $WINE_LIBRARIES/x86_64-windows $WINE_LIBRARIES/x86_64-windows/kernel32.dll $WINE_DATA/wine.inf"
  [libwine-dev]="$WINE_LIBRARIES $WINE_LIBRARIES/x86_64-windows $WINE_LIBRARIES/x86_64-windows/libkernel32.a")
# The input with the packages "NAME VERSION" named installed.
input_with() {
  local package
  : >"$dpkg/status"
  for package; do
    set -- $package
    printf 'Package: %s\nStatus: install ok installed\nVersion: %s\nArchitecture: amd64\nMaintainer: none <none@wave1d.invalid>\nDescription: probe\n\n' \
      "$1" "$2" >>"$dpkg/status"
    tr ' ' '\n' <<<"${files[$1]}" >"$dpkg/info/$1.list"
  done
  DPKG_ADMINDIR=$dpkg wine_prefix_input
}
wine_input=$(input_with "wine64 8.0" "libwine 8.0")
[[ $wine_input == "wine-8.0"$'\n'*"libwine 8.0"$'\n'*"wine64 8.0"$'\n'* ]] || fail "the Wine prefix's input: $wine_input"
[ "$(input_with "wine64 8.0" "libwine 8.0" "wine 8.0" "libwine-dev 8.0")" = "$wine_input" ] ||
  fail "Wine's wrapper scripts or development files changed the Wine prefix's input"
[ "$(input_with "wine64 8.0" "libwine 8.0.1")" != "$wine_input" ] || fail "a new version of Wine's DLLs kept the old prefix"

echo "passed: $(runs) makings for 5 inputs, 3 sysroots for 3 sets of packages, the Wine prefix's input"
