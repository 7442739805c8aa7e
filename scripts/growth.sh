#!/usr/bin/env bash
# Makes docs/growth-largest.svg, docs/growth-textbook.svg (the plots, drawn
# as vectors to stay sharp at any size) and docs/growth-spacetime.png from
# the program's own model and the textbook scheme beside it, and prints the
# figures docs/growth.md quotes. The pictures carry no timestamps: a second
# run writes the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the growth pictures" "${BUILD_PACKAGES[@]}" gnuplot-nox fonts-dejavu-core
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target growth_data >/dev/null
work=build/growth
mkdir -p "$work"
build/tools/growth_data "$work"
cat "$work/events.txt"
awk '$1 == 1000 || $1 == 2000 || $1 == 4000 {print "largest |value| at frame " $1 ": " $2}' "$work/largest.dat"
awk '$2 > peak {peak = $2; at = $1} $1 == 4000 {last = $2}
  END {print "textbook scheme: largest |value| " peak " at frame " at ", " last " at frame 4000"}' "$work/textbook.dat"
last=$(awk '$1 == 4000 {print $2}' "$work/largest.dat")
nan=$(sed -n 's/.*drawn from frame \([0-9]*\).*/\1/p' "$work/events.txt")
gnuplot -e "data='$work'; last=$last; nan=$nan" scripts/growth.gp
# Where DejaVu Sans is not installed, the plots' words in the viewer's own sans-serif.
sed -i 's/font-family="DejaVu Sans"/font-family="DejaVu Sans, sans-serif"/g' docs/growth-largest.svg docs/growth-textbook.svg
sha256sum docs/growth-largest.svg docs/growth-textbook.svg docs/growth-spacetime.png
