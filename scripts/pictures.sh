#!/usr/bin/env bash
# Makes docs/wave1d.png (the first frame) and docs/wave1d.gif (a few seconds
# after a left click) from the real program in a private Xvfb, at 1000 x 400
# so that the whole wave is in view. The PNG carries no timestamps, so a
# second run writes the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the pictures" "${BUILD_PACKAGES[@]}" xvfb xdotool imagemagick x11-apps
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target wave1d >/dev/null

work=$(mktemp -d)
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $program $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")

program_path=$PWD/build/wave1d
"$program_path" --frames-per-second 0 -geometry 1000x400+0+0 >/dev/null &
program=$!
window=$(xdotool search --sync --name "^$program_path\$" | head -n1)
# The first frame: wait until something is drawn, then once more so that the
# capture is not taken mid-frame.
until import -window "$window" "$work/first.png" 2>/dev/null &&
  [ "$(convert "$work/first.png" -format '%[fx:minima]' info:)" = 0 ]; do sleep 0.1; done
sleep 0.5
import -window "$window" -strip -define png:exclude-chunks=date,time "$work/first.png"
convert "$work/first.png" -strip -define png:exclude-chunks=date,time -type Grayscale docs/wave1d.png

# Unpaced, the program runs hundreds of frames a second, so the captures
# are taken as fast as xwd allows: the GIF shows every few dozenth frame of
# the first seconds, from the split pulse to the unbounded growth.
xdotool mousemove --window "$window" 500 200 click 1
for i in $(seq -w 0 39); do xwd -silent -id "$window" -out "$work/frame$i.xwd"; done
xdotool click 3
convert -delay 10 -loop 0 "$work"/frame*.xwd -threshold 50% -type Bilevel -layers Optimize docs/wave1d.gif
ls -l docs/wave1d.png docs/wave1d.gif
