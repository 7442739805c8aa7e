// libFuzzer target: any size, any bit patterns; every product path must
// return the in-order loop's bits (NaN compared by position only).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "linalg/product_kernels.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::int32_t n = data[0] % 48;
  std::vector<double> values(static_cast<std::size_t>(n) * n + n);
  // The input's bytes fill the matrix and then v; a short input repeats.
  for (std::size_t k = 0; k < values.size() * sizeof(double) && size > 1; ++k)
    reinterpret_cast<std::uint8_t*>(values.data())[k] = data[1 + k % (size - 1)];
  const double* m = values.data();
  const double* v = values.data() + static_cast<std::size_t>(n) * n;
  std::vector<double> expected(n), actual(n);
  multiplyInOrder(m, v, expected.data(), n);
  for (const ProductPath& path : PRODUCT_PATHS) {
    if (!path.runsHere()) continue;
    path.kernel(m, v, actual.data(), n);
    for (std::int32_t i = 0; i < n; ++i) {
      const bool same = std::isnan(expected[i]) ? std::isnan(actual[i])
                                                : std::memcmp(&expected[i], &actual[i], sizeof(double)) == 0;
      if (!same) std::abort();
    }
  }
  return 0;
}
