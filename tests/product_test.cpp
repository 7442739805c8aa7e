// Every product path against the in-order loop, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "every_product_path.hpp"
#include "linalg/vector_matrix.hpp"

namespace {

// Mostly ordinary numbers, with the values that expose a reordered or fused
// sum, a flushed subnormal or a skipped zero.
double awkwardValue(std::mt19937_64& random) {
  std::uniform_int_distribution<int> pick(0, 19);
  std::normal_distribution<double> normal;
  switch (pick(random)) {
    case 0:
      return 0.0;
    case 1:
      return -0.0;
    case 2:
      return normal(random) * std::numeric_limits<double>::denorm_min() * 1e6;
    case 3:
      return normal(random) * 1e300;
    case 4:
      return std::ldexp(normal(random), std::uniform_int_distribution<int>(-1070, 1020)(random));
    case 5:
      return pick(random) < 10 ? std::numeric_limits<double>::infinity()
                               : -std::numeric_limits<double>::infinity();
    case 6:
      return pick(random) < 2 ? std::numeric_limits<double>::quiet_NaN() : normal(random);
    default:
      return normal(random) * std::ldexp(1.0, std::uniform_int_distribution<int>(-30, 30)(random));
  }
}

bool sameResult(double a, double b) {
  return std::isnan(a) ? std::isnan(b) : std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<std::int32_t> sizesToTry() {
  std::vector<std::int32_t> sizes;
  for (std::int32_t n = 0; n <= 70; ++n) sizes.push_back(n);
  for (std::int32_t n : {95, 127, 128, 129, 199, 200, 201, 202, 203, 255, 256, 257, 301, 400, 401})
    sizes.push_back(n);
  return sizes;
}

using ProductPaths = EveryProductPath;

TEST_P(ProductPaths, MatchesTheInOrderLoopBitForBit) {
  const ProductKernel kernel = GetParam().kernel;
  std::mt19937_64 random(201);
  for (std::int32_t n : sizesToTry()) {
    for (int trial = 0; trial < 3; ++trial) {
      std::vector<double> m(static_cast<std::size_t>(n) * n), v(n);
      // One trial in three has no infinities or NaNs to hide ordinary mismatches.
      for (double& x : m) x = trial == 0 ? std::normal_distribution<double>()(random) : awkwardValue(random);
      for (double& x : v) x = trial == 0 ? std::normal_distribution<double>()(random) : awkwardValue(random);
      std::vector<double> expected(n, 1.0), actual(n, 2.0);
      multiplyInOrder(m.data(), v.data(), expected.data(), n);
      kernel(m.data(), v.data(), actual.data(), n);
      for (std::int32_t i = 0; i < n; ++i)
        ASSERT_TRUE(sameResult(actual[i], expected[i])) << "n = " << n << ", trial " << trial << ", row " << i
                                                        << ": " << actual[i] << " vs " << expected[i];
    }
  }
}

TEST_P(ProductPaths, OperatorUsesTheChosenPath) {
  ASSERT_TRUE(useProductPath(GetParam()));
  EXPECT_EQ(activeProductPath(), GetParam());
  Matrix m(9);
  Vector v(9);
  for (std::int32_t i = 0; i < 9; ++i) {
    v[i] = i;
    for (std::int32_t j = 0; j < 9; ++j) m(i, j) = i == j ? 2.0 : 0.0;
  }
  const Vector r = m * v;
  for (std::int32_t i = 0; i < 9; ++i) EXPECT_EQ(r[i], 2.0 * i);
}

INSTANTIATE_TEST_SUITE_P(Every, ProductPaths, EVERY_PRODUCT_PATH);

TEST(ProductDispatch, PrefersAPathThisProcessorRuns) {
  EXPECT_TRUE(preferredProductPath().runsHere());
  EXPECT_EQ(activeProductPath(), preferredProductPath());
  EXPECT_TRUE(PORTABLE.runsHere());
}

TEST(ProductDispatch, NeverPrefersAPathThisProcessorLacks) {
  bool (*const lacking)() = [] { return false; };
  const ProductPath rows[] = {{"absent", multiplyPortable, lacking, everyProcessor}, PORTABLE};
  EXPECT_STREQ(firstPreferredPath(rows).name, PORTABLE.name);
  const ProductPath onlyAbsent[] = {{"absent", multiplyPortable, lacking, everyProcessor}};
  EXPECT_STREQ(firstPreferredPath(onlyAbsent).name, IN_ORDER.name);
}

// Run on an emulated processor, the test command names the path the
// dispatcher must choose there: the widest one that processor has.
TEST(ProductDispatch, ChoosesThePathNamedForThisProcessor) {
  const char* expected = std::getenv("WAVE1D_EXPECTED_PATH");
  if (expected == nullptr) GTEST_SKIP() << "WAVE1D_EXPECTED_PATH names no path for this processor";
  EXPECT_STREQ(preferredProductPath().name, expected);
}

}  // namespace
