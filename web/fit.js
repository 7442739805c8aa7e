// "Fit the wave to the view": the program draws each frame's values times a
// scale that brings its largest finite |value| to 95% of the canvas's half
// height (src/app/fitted_view.hpp); unfitted, the canvas shows y from -2 to 2.
export const UNFITTED_HALF_HEIGHT = 2;

// What the canvas shows of y, from -half to half, drawn with `scale`.
export function halfHeight(scale) {
  return UNFITTED_HALF_HEIGHT / scale;
}

// "y from −1,473 to 1,473": four figures at most, whole from a thousand on,
// and as the readout writes them beyond a million.
export function rangeText(scale, words, number) {
  const half = halfHeight(scale);
  const shown = half >= 1e6 ? number(half, words).shown
    : half.toLocaleString(words.locale, half >= 1000 ? { maximumFractionDigits: 0 } : { maximumSignificantDigits: 4 });
  return words.fitRange.replace(/\{half\}/g, shown);
}
