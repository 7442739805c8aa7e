#!/usr/bin/env bash
# Makes the Windows program's icon, packaging/windows/wave1d.ico, from the
# desktop icon packaging/wave1d.svg at the sizes Windows shows: 16 and 32
# pixels in lists and the taskbar, 48 on the desktop, 256 in large views;
# and the web app's, web/icons/, at the sizes browsers ask for: 192 and 512
# pixels (the manifest's) and 180 (iOS's home screen). A second run writes
# the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the icons" librsvg2-bin icoutils python3-pil
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do rsvg-convert -w $size -h $size packaging/wave1d.svg -o "$work/$size.png"; done
# The largest is kept as PNG, as Windows reads it since Vista: a bitmap would be 256 KB.
icotool -c -o packaging/windows/wave1d.ico "$work"/{16,32,48}.png -r "$work/256.png"
mkdir -p web/icons
# In 16 colours (black, white and the edges' greys): a quarter of the bytes,
# for a first visit to the site.
for size in 180 192 512; do
  rsvg-convert -w $size -h $size packaging/wave1d.svg -o "$work/web.png"
  /usr/bin/python3 -c 'import sys; from PIL import Image
Image.open(sys.argv[1]).quantize(16).save(sys.argv[2], optimize=True)' "$work/web.png" web/icons/wave1d-$size.png
done
ls -l packaging/windows/wave1d.ico web/icons
