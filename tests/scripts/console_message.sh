#!/usr/bin/env bash
# The console message on standard output, redirected to a file: its 22
# Shift_JIS bytes unconverted, then the platform's newline (LF or CRLF).
# Usage: console_message.sh LF|CRLF [EMULATOR...] PROGRAM
set -euo pipefail
case $1 in LF) newline='\n' ;; CRLF) newline='\r\n' ;; *) echo "LF or CRLF, not $1"; exit 2 ;; esac
shift
expected=$(printf '\x8E\x9F\x8C\xB3\x82\xAA\x88\xEA\x92\x76\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1'"$newline" | od -An -tx1)
written=$("$@" | od -An -tx1)
[ "$written" = "$expected" ] || { printf 'FAILED: expected\n%s\nwritten\n%s\n' "$expected" "$written"; exit 1; }
echo "passed:$written"
