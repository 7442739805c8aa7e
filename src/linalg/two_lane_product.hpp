// The product with two rows per 128-bit vector of two doubles, written once
// for every instruction set that has such vectors. Each lane is one row's
// running sum: two rows are multiplied by the same two elements of v, the
// 2 x 2 block of products is transposed, and its columns are added to the
// sums in column order, so every row keeps the in-order loop's bits.
//
// Lanes supplies the vector type V and zero(), load(p), pair(lo, hi),
// splat(x), mul(a, b), add(a, b), low(a, b) = (a0, b0), high(a, b) = (a1, b1)
// and store(p, a).
#pragma once

#include <cstddef>
#include <cstdint>

#include "product_kernels.hpp"
#include "row_groups.hpp"

template <typename Lanes, int B>
void twoLaneGroup(const double* m, const double* v, double* r, std::int32_t n, const std::int32_t* first) {
  typename Lanes::V sum[B];
  const double* row[B];  // first of the block's two rows
  for (int b = 0; b < B; ++b) {
    sum[b] = Lanes::zero();
    row[b] = m + static_cast<std::size_t>(first[b]) * n;
  }
  std::int32_t j = 0;
  for (; j + 2 <= n; j += 2) {
    const auto vj = Lanes::load(v + j);
#pragma GCC unroll 8
    for (int b = 0; b < B; ++b) {
      const auto p0 = Lanes::mul(Lanes::load(row[b] + j), vj);
      const auto p1 = Lanes::mul(Lanes::load(row[b] + n + j), vj);
      sum[b] = Lanes::add(sum[b], Lanes::low(p0, p1));
      sum[b] = Lanes::add(sum[b], Lanes::high(p0, p1));
    }
  }
  for (; j < n; ++j) {
    const auto vj = Lanes::splat(v[j]);
    for (int b = 0; b < B; ++b)
      sum[b] = Lanes::add(sum[b], Lanes::mul(Lanes::pair(row[b][j], row[b][n + j]), vj));
  }
  for (int b = 0; b < B; ++b) Lanes::store(r + first[b], sum[b]);
}

// GROUP blocks side by side: enough independent add chains to cover the
// add latency without running out of vector registers.
template <typename Lanes, int GROUP>
void multiplyTwoLanes(const double* m, const double* v, double* r, std::int32_t n) {
  if (n < 2) return multiplyInOrder(m, v, r, n);
  forEachRowGroup<2, GROUP>(n, [&](auto count, const std::int32_t* first) {
    twoLaneGroup<Lanes, decltype(count)::value>(m, v, r, n, first);
  });
}
