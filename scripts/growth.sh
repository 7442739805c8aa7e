#!/usr/bin/env bash
# Makes docs/growth-largest.svg, docs/growth-textbook.svg,
# docs/growth-courant.svg and its Japanese docs/growth-courant.ja.svg (the
# plots, drawn as vectors to stay sharp at any size) and
# docs/growth-spacetime.png from
# the program's own model and the textbook scheme beside it, and prints the
# figures docs/growth.md quotes. The pictures carry no timestamps: a second
# run writes the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
need_packages "the growth pictures" "${BUILD_PACKAGES[@]}" gnuplot-nox fonts-dejavu-core
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target growth_data courant_data >/dev/null
work=build/growth
mkdir -p "$work"
build/tools/growth_data "$work"
build/tools/courant_data "$work/courant.dat"
cat "$work/events.txt"
awk '$1 == 1000 || $1 == 2000 || $1 == 4000 {print "largest |value| at frame " $1 ": " $2}' "$work/largest.dat"
awk '$2 > peak {peak = $2; at = $1} $1 == 4000 {last = $2}
  END {print "textbook scheme: largest |value| " peak " at frame " at ", " last " at frame 4000"}' "$work/textbook.dat"
# Each Courant number's growth per step, measured and from the analysis
# (lambda the fastest mode's), and ln(growth) per unit of time, the time
# unit dx / v: a step is nu of them.
awk 'BEGIN {lambda = 4 * sin(200 * atan2(0, -1) / 402)^2
            print "   nu         c   this program: measured  analysis  exponent off | textbook: measured  analysis  largest |value|"}
  {x = $2 * lambda; p = sqrt(1 + x); t = x <= 4 ? 1 : (x - 2 + sqrt((x - 2)^2 - 4)) / 2
   printf "%7.5f %9.7g   %12.10f %12.10f  %+7.3f%% | %12.10f %12.10f  %.3g\n", $1, $2, $3, p, 100 * (log($3) / log(p) - 1), $5, t, $7
   rate[NR] = log($3) / $1; nu[NR] = $1}
  END {for (i = 2; i <= NR; ++i) printf "nu %g -> %g: dt x %.4f, this program'"'"'s ln(growth) per unit time %.5f -> %.5f, x %.4f\n",
         nu[i - 1], nu[i], nu[i] / nu[i - 1], rate[i - 1], rate[i], rate[i] / rate[i - 1]}' "$work/courant.dat"
last=$(awk '$1 == 4000 {print $2}' "$work/largest.dat")
nan=$(sed -n 's/.*drawn from frame \([0-9]*\).*/\1/p' "$work/events.txt")
gnuplot -e "data='$work'; last=$last; nan=$nan" scripts/growth.gp
# Where DejaVu Sans is not installed, the plots' words in the viewer's own sans-serif.
sed -i 's/font-family="DejaVu Sans"/font-family="DejaVu Sans, sans-serif"/g' docs/growth-largest.svg docs/growth-textbook.svg \
  docs/growth-courant.svg docs/growth-courant.ja.svg
sha256sum docs/growth-largest.svg docs/growth-textbook.svg docs/growth-courant.svg docs/growth-courant.ja.svg \
  docs/growth-spacetime.png
