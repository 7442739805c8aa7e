#!/usr/bin/env bash
# Prints CHANGELOG.md's entry for the version CMakeLists.txt gives, the text
# under its "## [VERSION] - DATE" heading, as the notes of its release; fails
# when there is none. Given a tag (v0.1.0), fails too when the tag names
# another version.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/version.sh
if [ $# -gt 0 ] && [ "$1" != "v$VERSION" ]; then
  echo "The tag $1 is not the version CMakeLists.txt gives, v$VERSION" >&2
  exit 1
fi
entry=$(awk -v heading="## [$VERSION] - " 'index($0, heading) == 1 { inside = 1; next }
  inside && /^## / { exit } inside' CHANGELOG.md | sed '/./,$!d')
[ -n "$entry" ] || { echo "CHANGELOG.md has no entry for $VERSION under \"## [$VERSION] - DATE\"" >&2; exit 1; }
printf '%s\n' "$entry"
