#!/usr/bin/env bash
# scripts/run.sh on a system without apt-get that lacks the build tools: it
# must say what to install, for the common package managers, and fail
# cleanly instead of stopping at a missing command.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
# A shell and the few commands the script itself runs; no apt-get, no cmake.
for tool in bash dirname nproc cat; do ln -s "$(command -v "$tool")" "$bin/$tool"; done
status=0
said=$(env -i PATH="$bin" bash "$source/scripts/run.sh" 2>&1) || status=$?
fail() { echo "FAILED: $1"; echo "$said"; exit 1; }
[ $status -eq 1 ] || fail "exit status $status, not 1"
case $said in *"command not found"*) fail "stopped at a missing command" ;; esac
for expected in "Not found: a C++ compiler cmake make" "apt-get install" "dnf install" "pacman -S" \
  "zypper install" "apk add"; do
  [[ $said == *"$expected"* ]] || fail "does not say \"$expected\""
done
echo "passed: $said" | head -n 2
