#!/usr/bin/env bash
# The aligned-move check fails on an object with an aligned spill of a wide
# register to the stack, and passes on the same code assembled as the
# Windows build assembles it.
set -euo pipefail
check=$(dirname "$0")/aligned_wide_moves.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'vmovapd %%ymm1, 32(%%rsp)\nvmovaps 64(%%rsp), %%zmm2\nret\n' >"$work/spill.s"
x86_64-w64-mingw32-as "$work/spill.s" -o "$work/spill.o"
x86_64-w64-mingw32-as -muse-unaligned-vector-move "$work/spill.s" -o "$work/unaligned.o"
if said=$("$check" "$work/spill.o"); then
  echo "FAILED: passed a spill with aligned moves: $said"
  exit 1
fi
grep -q 'vmovapd %ymm1,0x20(%rsp)' <<<"$said" || { echo "FAILED: the spill is not named: $said"; exit 1; }
"$check" "$work/unaligned.o"
