#!/usr/bin/env bash
# Makes the Windows zip of the build tree given, as scripts/windows.sh does,
# and checks what it holds:
# one wave1d.exe, with the program's icon and the version given, that needs
# no DLL but Windows' own; its launcher; the text on how to run it; the licences.
# Usage: check_zip.sh BUILD VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
zip=$("$(dirname "$0")/../../scripts/lib/windows_zip.sh" "$build" "$work")
fail() { echo "FAILED: $1"; exit 1; }
# In bytes' order, as the list below is, whatever the locale's collation.
listing=$(unzip -Z1 "$zip" | sed 's|^[^/]*/||' | grep -v '/$' | LC_ALL=C sort)
expected=$(printf '%s\n' README.ja.txt README.txt 'Start wave1d.bat' licences/freeglut.txt licences/gcc-runtime.txt \
  licences/mingw-w64-runtime.txt wave1d.exe)
[ "$listing" = "$expected" ] || fail "the zip holds: $listing"
unzip -q "$zip" -d "$work/unpacked"
program=$(find "$work/unpacked" -name wave1d.exe)
# The launcher starts the wave1d.exe beside it, wherever the folder is, at
# 1000 x 400; cmd.exe reads its lines as CR LF.
launcher=$(find "$work/unpacked" -name 'Start wave1d.bat')
grep -qxF $'"%~dp0wave1d.exe" -geometry 1000x400 %*\r' "$launcher" || fail "the launcher does not start wave1d.exe at 1000 x 400"
[ "$(grep -c $'\r$' "$launcher")" = "$(wc -l <"$launcher")" ] || fail "the launcher's lines do not all end in CR LF"
about=$(x86_64-w64-mingw32-objdump -p "$program")
# Windows' own: part of every installation since XP (msvcrt, the C runtime, among them).
own='^(advapi32|comdlg32|gdi32|kernel32|msvcrt|ole32|opengl32|shell32|user32|winmm)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$about" | tr 'A-Z' 'a-z' | sort -u)
foreign=$(grep -vE "$own" <<<"$dlls" || true)
[ -z "$foreign" ] || fail "wave1d.exe needs DLLs Windows does not have: $foreign"
# Resource types 14 (a group of icons) and 16 (the version), at the top of the resource tree.
grep -qE '^[0-9a-f]{3}   Entry: ID: 0x00000e,' <<<"$about" || fail "wave1d.exe has no icon"
grep -qE '^[0-9a-f]{3}   Entry: ID: 0x000010,' <<<"$about" || fail "wave1d.exe has no version resource"
strings -el "$program" | grep -qxF "$version" || fail "wave1d.exe does not carry the version $version"
echo "zip ok: $(basename "$zip"), $(wc -c <"$zip") bytes; wave1d.exe $(wc -c <"$program") bytes, needs $(echo $dlls)"
