#!/usr/bin/env bash
# No 256- or 512-bit aligned move to or from the stack in the Windows
# programs given. Windows aligns the stack to 16 bytes only, so a compiler
# that spills a wide register with an aligned move (vmovapd, vmovaps,
# vmovdqa...) makes a program that crashes there at random on Windows; Wine,
# whose stacks happen to be better aligned, would not show it. Debian's
# MinGW-w64 GCC emits unaligned moves there instead.
set -euo pipefail
status=0
for program in "$@"; do
  wide=$(x86_64-w64-mingw32-objdump -d --no-show-raw-insn "$program" | grep -E '%[yz]mm[0-9]' |
    grep -E '\(%r[sb]p[,)]' || true)
  aligned=$(grep -E '[[:space:]](vmovap[sd]|vmovdqa(32|64)?|vmovntp[sd]|vmovntdqa?)[[:space:]]' <<<"$wide" || true)
  echo "$(basename "$program"): $(grep -c . <<<"$wide") wide operands on the stack, $(grep -c . <<<"$aligned") of them aligned moves"
  [ -z "$aligned" ] || { echo "$aligned"; status=1; }
done
exit $status
