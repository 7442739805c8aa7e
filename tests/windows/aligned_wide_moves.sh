#!/usr/bin/env bash
# No aligned 256- or 512-bit move of any kind in the Windows programs or
# objects given. Windows aligns the stack to 16 bytes only, so a compiler
# that spills a wide register with an aligned move (vmovapd, vmovaps,
# vmovdqa...) makes a program that crashes there at random on Windows; Wine,
# whose stacks happen to be better aligned, would not show it. The Windows
# build assembles every aligned vector move as its unaligned twin
# (-muse-unaligned-vector-move), as fast on aligned data, so none may remain,
# whatever its operand.
set -euo pipefail
status=0
for program in "$@"; do
  wide=$(x86_64-w64-mingw32-objdump -d --no-show-raw-insn "$program" | grep -E '%[yz]mm[0-9]' || true)
  aligned=$(grep -E '[[:space:]](vmovap[sd]|vmovdqa(32|64)?|vmovntp[sd]|vmovntdqa?)[[:space:]]' <<<"$wide" || true)
  echo "$(basename "$program"): $(grep -c . <<<"$wide") wide operations, $(grep -c . <<<"$aligned") of them aligned moves"
  [ -z "$aligned" ] || { echo "$aligned"; status=1; }
done
exit $status
