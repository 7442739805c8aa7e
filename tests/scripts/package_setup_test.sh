#!/usr/bin/env bash
# The set-up against package sources of its own, installing into a dpkg
# database and root of its own, on each way it can end; its last lines must
# name the cause:
# - another apt-get holding the package system at its question: it waits,
#   then names that apt-get;
# - a healthy source beside one on a closed local port: the package is
#   installed and the closed source named;
# - packages no source offers, g++ among them (a regular expression to
#   apt-cache, matching other packages here): named exactly;
# - only the closed port, or an address with no route: no source could be
#   reached, naming it and why;
# - a user without root or sudo: told so at once.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
export WAVE1D_LOCK_WAIT=2
. "$source/scripts/lib/packages.sh"
work=$(mktemp -d)
trap 'exec 3>&-; wait; rm -rf "$work"' EXIT
failed=0
fail() {
  printf 'FAILED: %s\n%s\n' "$1" "$said"
  failed=1
}
# need_packages for the packages named: its output in $said, its status and seconds taken.
try() {
  local start=$SECONDS
  status=0
  said=$(need_packages "the probe stage" "$@" 2>&1) || status=$?
  took=$((SECONDS - start))
}
# The message that ended the set-up: its last two lines.
ending() { tail -n 2 <<<"$said"; }

# Two packages, one needing the other, so that apt-get asks before installing.
for name in probe config; do
  mkdir -p "$work/$name/DEBIAN"
  printf 'Package: wave1d-setup-%s\nVersion: 1\nArchitecture: all\nMaintainer: none <none@wave1d.invalid>\n' \
    $name >"$work/$name/DEBIAN/control"
  printf 'Description: probe\n' >>"$work/$name/DEBIAN/control"
done
echo 'Depends: wave1d-setup-config' >>"$work/probe/DEBIAN/control"
mkdir -p "$work/probe/usr/share/doc/wave1d-setup-probe" "$work/repo" "$work/parts" "$work/dpkg/info" \
  "$work/dpkg/updates" "$work/root" "$work/state/lists/partial" "$work/cache/archives/partial" "$work/log" "$work/bin"
echo probe >"$work/probe/usr/share/doc/wave1d-setup-probe/README"
dpkg-deb -b "$work/probe" "$work/repo/probe.deb" >/dev/null
dpkg-deb -b "$work/config" "$work/repo/config.deb" >/dev/null
(cd "$work/repo" && dpkg-scanpackages . /dev/null 2>/dev/null >Packages)
port=9
! (: <>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "FAILED: port $port is open here"; exit 1; }
sources() { printf 'deb [trusted=yes] %s ./\n' "$@" >"$work/sources.list"; }
touch "$work/dpkg/status"
# apt's own retries of the refused source would only slow the test down.
cat >"$work/apt.conf" <<END
Dir::Etc::sourcelist "$work/sources.list";
Dir::Etc::sourceparts "$work/parts";
Dir::Etc::parts "$work/parts";
Dir::State "$work/state";
Dir::State::status "$work/dpkg/status";
Dir::Cache "$work/cache";
Dir::Log "$work/log";
APT::Sandbox::User "root";
Acquire::Retries "0";
DPkg::Options { "--root=$work/root"; "--admindir=$work/dpkg"; "--log=$work/dpkg.log"; };
END
export APT_CONFIG=$work/apt.conf DPKG_ADMINDIR=$work/dpkg
unset WAVE1D_APT_UPDATED
sources "file:$work/repo" "http://127.0.0.1:$port"

# A real apt-get waiting at its question holds dpkg's locks until its
# answer (an end of input) comes.
apt-get update -qq 2>/dev/null || true
mkfifo "$work/answer"
apt-get install wave1d-setup-probe <"$work/answer" >"$work/holder" 2>&1 &
holder=$!
exec 3>"$work/answer"
for _ in $(seq 50); do grep -q 'continue?' "$work/holder" && break || sleep 0.2; done
try wave1d-setup-probe
[ $status -ne 0 ] && [ $took -ge 2 ] && [[ $said == *"waiting up to 2 s"* ]] &&
  [[ $(ending) == *"still in use by process $holder (apt-get install wave1d-setup-probe)"* ]] ||
  fail "a held lock was not waited for, then named"
exec 3>&-
wait $holder || true

# A lock on a file of another file system that has the inode of dpkg's lock
# is not dpkg's; one on dpkg's own lock is. Both file systems are fresh
# tmpfs mounts in a namespace of the test's own, whose inodes count up alike.
locked_by_whom() {
  . "$source/scripts/lib/packages.sh"
  mkdir -p "$work/other"
  mount -t tmpfs dpkg "$work/dpkg" && mount -t tmpfs other "$work/other" || return
  touch "$work/dpkg/lock-frontend"
  for _ in 1 2 3 4 5 6 7 8; do
    made=$(mktemp "$work/other/XXXXXX")
    [ "$(stat -c %i "$made")" = "$(stat -c %i "$work/dpkg/lock-frontend")" ] && mv "$made" "$work/other/places.sqlite" &&
      break
  done
  for file in other/places.sqlite dpkg/lock-frontend; do
    python3 -c 'import fcntl, sys, time; f = open(sys.argv[1], "a"); fcntl.lockf(f, fcntl.LOCK_EX); print(flush=True); time.sleep(60)' \
      "$work/$file" >"$work/held" &
    until [ -s "$work/held" ]; do sleep 0.1; done
    echo "$file ($(stat -c %i "$work/$file")): $(lock_holder || echo nobody)"
    kill $! && wait $! 2>/dev/null
    : >"$work/held"
  done
}
said=$(source=$source work=$work unshare -m bash -c "$(declare -f locked_by_whom); locked_by_whom" 2>&1) || true
[[ $said =~ ^other/places.sqlite\ \(([0-9]+)\):\ nobody$'\n'dpkg/lock-frontend\ \(([0-9]+)\):\ process\ [0-9]+\ \([^\ ]*python3\  ]] &&
  [ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[2]}" ] || fail "a lock was told by its inode alone"

try wave1d-setup-probe
[ $status -eq 0 ] && [ -f "$work/root/usr/share/doc/wave1d-setup-probe/README" ] ||
  fail "the healthy source's package was not installed"
[[ $said == *"could not be read"*"http://127.0.0.1:$port"* ]] || fail "the refused source is not named"

try wave1d-setup-probe g++ wave1d-no-such-package
[ $status -ne 0 ] && [[ $(ending) == *"the probe stage needs g++ wave1d-no-such-package, which no reachable"* ]] ||
  fail "the packages no source offers are not named exactly"

sources "http://127.0.0.1:$port"
try wave1d-no-such-package
[ $status -ne 0 ] && [[ $(ending) == *"no package source could be reached (127.0.0.1:$port: connection refused)"* ]] &&
  [[ $(ending) == *"Check the network"* ]] || fail "the unreachable source is not named with its error"

# Sources on a network that is down: signed ones named by an address with no
# route to it (apt's own last lines say only that it has no Release file) and
# by a name that cannot be looked up, and a trusted one (whose indexes alone fail).
printf 'deb http://%s/debian bookworm main\n' 192.0.2.1 wave1d.invalid >"$work/sources.list"
printf 'deb [trusted=yes] http://192.0.2.2/debian bookworm main\n' >>"$work/sources.list"
status=0
said=$(unshare -n bash -c '. "$1" && need_packages "the probe stage" wave1d-no-such-package' - \
  "$source/scripts/lib/packages.sh" 2>&1) || status=$?
[ $status -ne 0 ] && [[ $(ending) == *"(192.0.2.1: network unreachable; 192.0.2.2: network unreachable; wave1d.invalid: DNS failure,"*"Check the network"* ]] ||
  fail "sources on a network that is down are not named with their errors"

# Everything on the path but sudo, for a user that is not root.
ln -s /usr/bin/* "$work/bin/"
rm -f "$work/bin/sudo"
chmod 755 "$work"
start=$SECONDS
status=0
said=$(PATH=$work/bin setpriv --reuid=nobody --regid=nogroup --clear-groups \
  bash -c '. "$1" && need_packages "the probe stage" wave1d-no-such-package' - "$source/scripts/lib/packages.sh" 2>&1) ||
  status=$?
[ $status -ne 0 ] && [ $((SECONDS - start)) -lt 20 ] && [[ $(ending) == *"run as root, or install sudo"* ]] ||
  fail "a user without root or sudo was not told at once"

[ $failed -eq 0 ] || exit 1
echo "passed: each way the set-up ends names its cause"
