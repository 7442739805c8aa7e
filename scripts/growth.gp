# The pictures of docs/growth.md from growth_data's numbers in `data`;
# `last` is the largest |value| at frame 4000, which the predicted line
# passes through, and `nan` the first frame drawn with every value NaN.
# The textbook scheme's numbers are beside them, in textbook.dat, and both
# schemes' growth per step at the page's Courant numbers in courant.dat.
c = 0.00005
lambda = 4 * cos(pi / 402)**2          # the largest eigenvalue of -L for 201 points
rate = 25.5 * log(1 + c * lambda)      # per frame: 51 steps, two roots of modulus sqrt(1 + c lambda)

# The plots as SVG, sharp at any size; the space-time picture, a field of
# colour, as a PNG.
set terminal svg size 900,500 font "DejaVu Sans,14"
set output "docs/growth-largest.svg"
set logscale y
set format y "10^{%T}"
set xlabel "frame"
set ylabel "largest |value|"
set key top left
set grid
set xrange [0:150000]
set yrange [0.1:1e308]
set arrow from nan, graph 0 to nan, graph 1 nohead dt 3
set label sprintf("every value NaN\nfrom frame %d", nan) at nan, graph 0.45 right offset -1,0
plot data."/largest.dat" using 1:2 every 50 with lines lw 2 title "the model", \
     (x <= nan ? last * exp(rate * (x - 4000)) : 1/0) with lines dt 2 lw 2 title sprintf("fastest mode: x %.6f per frame", exp(rate))

# Both schemes from the same start over the first 4,000 frames.
set output "docs/growth-textbook.svg"
unset arrow
unset label
set xrange [0:4000]
set yrange [0.1:1e7]
plot data."/largest.dat" using 1:2 every 10 with lines lw 2 title "this program: L of the older level", \
     data."/textbook.dat" using 1:2 every 10 with lines lw 2 title "textbook leapfrog: L of the newer level"

# Growth per step against the Courant number nu, c = nu^2: the analysis's
# lines and the models' measured points, once with English and once with
# Japanese words.
set encoding utf8
nustar = 1 / sin(200 * pi / 402)       # where c lambda = 4 for the fastest mode
program(nu) = sqrt(1 + nu**2 * lambda)
textbook(nu) = nu**2 * lambda <= 4 ? 1 : (nu**2 * lambda - 2 + sqrt((nu**2 * lambda - 2)**2 - 4)) / 2
set xrange [0:1.15]
set yrange [0.9:3]
set format y "%g"
set ytics (0.9, 1, 1.2, 1.5, 2, 2.5, 3)
set xtics 0.1
# The textbook scheme's line is drawn in two pieces, so that its corner at
# the CFL limit is sharp without thousands of samples.
set samples 300
set key top left
set arrow from nustar, graph 0 to nustar, graph 1 nohead dt 3
do for [language in "en ja"] {
  ja = language eq "ja"
  set output ja ? "docs/growth-courant.ja.svg" : "docs/growth-courant.svg"
  set xlabel ja ? "クーラン数 ν = v Δt / Δx" : "Courant number ν = v Δt / Δx"
  set ylabel ja ? "1ステップあたりの成長率" : "growth per step"
  set label 1 sprintf(ja ? "CFL条件の限界\nν* = %.7f" : "CFL limit\nν* = %.7f", nustar) at nustar, graph 0.55 right offset -1,0
  plot sample [0:1.15] program(x) with lines lw 2 lc rgb "#9400d3" title (ja ? "このプログラム（解析）" : "this program, analysis"), \
       data."/courant.dat" using 1:3 with points pt 7 ps 1.2 lc rgb "#9400d3" title (ja ? "このプログラム（測定）" : "this program, measured"), \
       [0:nustar] 1 with lines lw 2 lc rgb "#009e73" title (ja ? "教科書どおりのリープフロッグ法（解析）" : "textbook leapfrog, analysis"), \
       [nustar:1.15] textbook(x) with lines lw 2 lc rgb "#009e73" notitle, \
       data."/courant.dat" using 1:5 with points pt 6 ps 1.6 lw 2 lc rgb "#009e73" title (ja ? "教科書どおりのリープフロッグ法（測定）" : "textbook leapfrog, measured")
}
unset label 1
set ytics autofreq
set xtics autofreq

set terminal pngcairo size 700,900 font "DejaVu Sans,11"
set output "docs/growth-spacetime.png"
unset arrow
unset label
unset logscale y
set format y "%g"
unset grid
set xlabel "point"
set ylabel "frame"
set yrange [1500:0]
set xrange [0:200]
set cbrange [-4:4]
set cblabel "value"
set palette defined (-4 "#08306b", -1 "#6baed6", 0 "white", 1 "#fc9272", 4 "#67000d")
plot data."/spacetime.dat" matrix with image notitle
