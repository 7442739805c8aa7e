// What a vector's values come to, for the tools and tests that follow the
// wave's growth: its largest magnitude, and whether any or all of its values
// have overflowed to infinity or NaN.
#pragma once

#include <algorithm>
#include <cmath>

#include "vector_matrix.hpp"

inline double largestMagnitude(const Vector& v) {
  double largest = 0.0;
  for (double x : v.data) largest = std::max(largest, std::fabs(x));
  return largest;
}

inline bool anyInfinite(const Vector& v) {
  return std::any_of(v.data.begin(), v.data.end(), [](double x) { return std::isinf(x); });
}

inline bool anyNan(const Vector& v) {
  return std::any_of(v.data.begin(), v.data.end(), [](double x) { return std::isnan(x); });
}

inline bool allNan(const Vector& v) {
  return std::all_of(v.data.begin(), v.data.end(), [](double x) { return std::isnan(x); });
}
