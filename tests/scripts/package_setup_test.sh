#!/usr/bin/env bash
# The set-up against package sources of its own, one healthy and one whose
# index cannot be read, installing into a dpkg database and root of its own:
# a package the healthy source has is installed and the failed source is
# named; a package no source has ends the set-up naming the stage, the
# package and what to try.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/scripts/lib/packages.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { printf 'FAILED: %s\n%s\n' "$1" "$2"; exit 1; }

mkdir -p "$work/probe/DEBIAN" "$work/probe/usr/share/doc/wave1d-setup-probe" "$work/repo" "$work/parts" \
  "$work/dpkg/info" "$work/dpkg/updates" "$work/root" "$work/state/lists/partial" "$work/cache/archives/partial" "$work/log"
printf 'Package: wave1d-setup-probe\nVersion: 1\nArchitecture: all\nMaintainer: none <none@wave1d.invalid>\nDescription: probe\n' \
  >"$work/probe/DEBIAN/control"
echo probe >"$work/probe/usr/share/doc/wave1d-setup-probe/README"
dpkg-deb -b "$work/probe" "$work/repo/probe.deb" >/dev/null
(cd "$work/repo" && dpkg-scanpackages . /dev/null 2>/dev/null >Packages)
printf 'deb [trusted=yes] file:%s ./\ndeb [trusted=yes] file:%s ./\n' "$work/repo" "$work/gone" >"$work/sources.list"
touch "$work/dpkg/status"
cat >"$work/apt.conf" <<END
Dir::Etc::sourcelist "$work/sources.list";
Dir::Etc::sourceparts "$work/parts";
Dir::Etc::parts "$work/parts";
Dir::State "$work/state";
Dir::State::status "$work/dpkg/status";
Dir::Cache "$work/cache";
Dir::Log "$work/log";
APT::Sandbox::User "root";
DPkg::Options { "--root=$work/root"; "--admindir=$work/dpkg"; "--log=$work/dpkg.log"; };
END
export APT_CONFIG=$work/apt.conf DPKG_ADMINDIR=$work/dpkg
unset WAVE1D_APT_UPDATED
status=0

# In this shell, as in the test command: the indexes are read once.
need_packages "the probe stage" wave1d-setup-probe >"$work/said" 2>&1 || status=$?
said=$(cat "$work/said")
[ $status -eq 0 ] || fail "the healthy source's package was not installed" "$said"
[ -f "$work/root/usr/share/doc/wave1d-setup-probe/README" ] || fail "nothing was unpacked" "$said"
[[ $said == *"could not be read"*"file:$work/gone"* ]] || fail "the failed source is not named" "$said"

said=$(need_packages "the probe stage" wave1d-no-such-package 2>&1) || status=$?
[ $status -ne 0 ] || fail "a missing package was reported as installed" "$said"
for expected in "the probe stage needs wave1d-no-such-package" "no package source here offers" "Try:" \
  "file:$work/gone"; do
  [[ $said == *"$expected"* ]] || fail "does not say \"$expected\"" "$said"
done
echo "passed: $(grep -m1 'FAILED' <<<"$said")"
