#!/usr/bin/env bash
# Compares the releases in the folders $1 and $2 byte for byte, after
# checking each against its own SHA256SUMS. For an artifact that differs it
# says where: the entries of a zip or a .deb whose name, order, time, owner
# or mode differ, then each file inside whose bytes differ, with the first
# offsets (1-based) and bytes (octal) that do.
set -euo pipefail
a=$1
b=$2
for release in "$a" "$b"; do
  (cd "$release" && sha256sum --quiet --strict -c SHA256SUMS) || { echo "FAILED: $release does not match its SHA256SUMS"; exit 1; }
done
if cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS"; then
  echo "the same release in $a and $b:"
  cat "$a/SHA256SUMS"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The entries of an archive, one a line, with their times, owners and modes.
entries() {
  case $1 in
    *.zip) zipinfo -l "$1" | sed '1,2d;$d' ;;
    *.deb) ar tv "$1" && dpkg-deb --ctrl-tarfile "$1" | tar -tv --full-time && dpkg-deb --fsys-tarfile "$1" | tar -tv --full-time ;;
  esac
}
unpack() {
  case $1 in
    *.zip) unzip -q "$1" -d "$2" ;;
    *.deb) dpkg-deb -R "$1" "$2" ;;
    *) mkdir -p "$2" && cp "$1" "$2/" ;;
  esac
}

echo "FAILED: the releases differ"
diff "$a/SHA256SUMS" "$b/SHA256SUMS" || true
while read -r _ file; do
  cmp -s "$a/$file" "$b/$file" && continue
  echo "== $file differs"
  diff <(entries "$a/$file") <(entries "$b/$file") || true
  unpack "$a/$file" "$work/$file.a"
  unpack "$b/$file" "$work/$file.b"
  (cd "$work/$file.a" && find . -type f | LC_ALL=C sort) | while read -r inside; do
    cmp -s "$work/$file.a/$inside" "$work/$file.b/$inside" && continue
    echo "   ${inside#./} differs at: $(cmp -l "$work/$file.a/$inside" "$work/$file.b/$inside" 2>&1 | head -n 4 | paste -sd ' ' | tr -s ' ')"
  done
done <"$a/SHA256SUMS"
exit 1
