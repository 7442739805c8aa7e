#include "product_kernels.hpp"
#include "row_groups.hpp"

// The product as first written: r[i] accumulates in place, column by column.
void multiplyInOrder(const double* m, const double* v, double* r, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    r[i] = 0.0;
    for (std::int32_t j = 0; j < n; ++j) r[i] += m[static_cast<std::size_t>(i) * n + j] * v[j];
  }
}

namespace {

constexpr int ROWS = 4;  // interleaved scalar sums: enough to hide an add's latency

template <int B>
void portableGroup(const double* m, const double* v, double* r, std::int32_t n, const std::int32_t* first) {
  double sum[B][ROWS] = {};
  for (std::int32_t j = 0; j < n; ++j)
    for (int b = 0; b < B; ++b)
      for (int k = 0; k < ROWS; ++k) sum[b][k] += m[static_cast<std::size_t>(first[b] + k) * n + j] * v[j];
  for (int b = 0; b < B; ++b)
    for (int k = 0; k < ROWS; ++k) r[first[b] + k] = sum[b][k];
}

}  // namespace

void multiplyPortable(const double* m, const double* v, double* r, std::int32_t n) {
  if (n < ROWS) return multiplyInOrder(m, v, r, n);
  forEachRowGroup<ROWS, 2>(n, [&](auto count, const std::int32_t* first) {
    portableGroup<decltype(count)::value>(m, v, r, n, first);
  });
}
