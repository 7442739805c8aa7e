// The page's "fit the wave to the view": y is scaled so that the frame's
// largest finite |value| reaches FITTED_SHARE of the canvas's half-height,
// which otherwise shows y from -2 to 2 (400 pixels at 100 pixels per unit).
// The largest value is kept off the edge, where a line may be clipped.
#pragma once

#include <algorithm>
#include <cmath>

#include "linalg/vector_matrix.hpp"

inline constexpr double UNFITTED_HALF_HEIGHT = 2.0;
inline constexpr double FITTED_SHARE = 0.95;

// The factor a frame's values are drawn with; 1, the program's own view,
// when nothing finite and non-zero is left to fit.
inline double fittedScale(const Vector& values) {
  double largest = 0;
  for (double x : values.data)
    if (std::isfinite(x)) largest = std::max(largest, std::fabs(x));
  return largest > 0 ? UNFITTED_HALF_HEIGHT * FITTED_SHARE / largest : 1.0;
}
