// Approximate comparison for the tests: every tolerance has a name.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

// A figure quoted to some number of digits holds when the value lies within
// one unit of the last quoted digit, whether the figure was rounded or cut.
inline constexpr double UNITS_IN_LAST_QUOTED_DIGIT = 1.0;

// Results that are exact in real arithmetic but pass through a few roundings.
inline constexpr double FEW_ROUNDINGS = 8 * 2.220446049250313e-16;

// The wave's measured growth against the fastest mode's: the other modes and
// the end rows keep them apart by a fraction of a percent.
inline constexpr double GROWTH_RATE_TOLERANCE = 0.01;

// "1.2290" -> 0.0001, "961,941" -> 1, "6.2789e-06" -> 1e-10.
inline double lastQuotedDigit(const char* quoted) {
  const char* e = std::strpbrk(quoted, "eE");
  const std::string mantissa(quoted, e != nullptr ? e : quoted + std::strlen(quoted));
  const std::size_t point = mantissa.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
  const int exponent = e != nullptr ? std::atoi(e + 1) : 0;
  return std::pow(10.0, exponent - decimals);
}

inline double parseQuoted(const char* quoted) {
  std::string digits;
  for (const char* c = quoted; *c != '\0'; ++c)
    if (*c != ',') digits += *c;
  return std::strtod(digits.c_str(), nullptr);
}

// Use as EXPECT_TRUE(agreesToDigitsGiven(value, "1.9995")).
inline ::testing::AssertionResult agreesToDigitsGiven(double actual, const char* quoted) {
  const double expected = parseQuoted(quoted);
  const double tolerance = UNITS_IN_LAST_QUOTED_DIGIT * lastQuotedDigit(quoted);
  if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << actual << " is not " << quoted << " to the digits given (tolerance " << tolerance << ")";
}
