// SIMD products for x86-64, each compiled for its own instruction set and
// chosen at run time. Every lane is one row's running sum: a block of rows
// is loaded row-wise, multiplied by the matching part of v, transposed in
// registers, and its columns are added to the sums in column order.
#if defined(__x86_64__)

#include <immintrin.h>

// GCC 12's AVX-512 intrinsics start from a deliberately undefined register,
// which its own flow analysis then reports as uninitialized.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#include "two_lane_product.hpp"

namespace {

std::size_t offset(std::int32_t row, std::int32_t n) { return static_cast<std::size_t>(row) * n; }

// SSE2 is part of every x86-64 processor.
struct Sse2Lanes {
  using V = __m128d;
  static V zero() { return _mm_setzero_pd(); }
  static V load(const double* p) { return _mm_loadu_pd(p); }
  static V pair(double lo, double hi) { return _mm_set_pd(hi, lo); }
  static V splat(double x) { return _mm_set1_pd(x); }
  static V mul(V a, V b) { return _mm_mul_pd(a, b); }
  static V add(V a, V b) { return _mm_add_pd(a, b); }
  static V low(V a, V b) { return _mm_unpacklo_pd(a, b); }
  static V high(V a, V b) { return _mm_unpackhi_pd(a, b); }
  static void store(double* p, V a) { _mm_storeu_pd(p, a); }
};

template <int B>
__attribute__((target("avx2"))) void avx2Group(const double* m, const double* v, double* r, std::int32_t n,
                                               const std::int32_t* first) {
  __m256d sum[B];
  const double* row[B];  // first of the block's four rows
  for (int b = 0; b < B; ++b) {
    sum[b] = _mm256_setzero_pd();
    row[b] = m + offset(first[b], n);
  }
  const std::size_t n2 = 2 * static_cast<std::size_t>(n), n3 = 3 * static_cast<std::size_t>(n);
  std::int32_t j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m256d vj = _mm256_loadu_pd(v + j);
#pragma GCC unroll 8
    for (int b = 0; b < B; ++b) {
      const double* q = row[b] + j;
      const __m256d p0 = _mm256_mul_pd(_mm256_loadu_pd(q), vj);
      const __m256d p1 = _mm256_mul_pd(_mm256_loadu_pd(q + n), vj);
      const __m256d p2 = _mm256_mul_pd(_mm256_loadu_pd(q + n2), vj);
      const __m256d p3 = _mm256_mul_pd(_mm256_loadu_pd(q + n3), vj);
      // Rows 0, 1 at columns j, j+2 (even) and j+1, j+3 (odd); likewise rows 2, 3.
      const __m256d even01 = _mm256_unpacklo_pd(p0, p1), odd01 = _mm256_unpackhi_pd(p0, p1);
      const __m256d even23 = _mm256_unpacklo_pd(p2, p3), odd23 = _mm256_unpackhi_pd(p2, p3);
      __m256d s = sum[b];
      s = _mm256_add_pd(s, _mm256_permute2f128_pd(even01, even23, 0x20));
      s = _mm256_add_pd(s, _mm256_permute2f128_pd(odd01, odd23, 0x20));
      s = _mm256_add_pd(s, _mm256_permute2f128_pd(even01, even23, 0x31));
      s = _mm256_add_pd(s, _mm256_permute2f128_pd(odd01, odd23, 0x31));
      sum[b] = s;
    }
  }
  for (; j < n; ++j) {
    const __m256d vj = _mm256_set1_pd(v[j]);
    for (int b = 0; b < B; ++b) {
      const double* q = row[b] + j;
      sum[b] = _mm256_add_pd(sum[b], _mm256_mul_pd(_mm256_set_pd(q[n3], q[n2], q[n], q[0]), vj));
    }
  }
  for (int b = 0; b < B; ++b) _mm256_storeu_pd(r + first[b], sum[b]);
}

// Row k's four elements at q in the low half, row k + 4's in the high half.
__attribute__((target("avx512f"))) inline __m512d rowPair(const double* q, std::size_t k,
                                                          std::size_t stride) {
  return _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_loadu_pd(q + k * stride)),
                            _mm256_loadu_pd(q + (k + 4) * stride), 1);
}

// Eight rows per vector: rows k and k + 4 share a register, one per 256-bit
// half, so the transpose never crosses the halves until one shuffle per
// column. The lanes then hold rows 0 1 4 5 2 3 6 7, put back in order at the end.
template <int B>
__attribute__((target("avx512f"))) void avx512Group(const double* m, const double* v, double* r,
                                                    std::int32_t n, const std::int32_t* first) {
  __m512d sum[B];
  const double* row[B];  // first of the block's eight rows
  for (int b = 0; b < B; ++b) {
    sum[b] = _mm512_setzero_pd();
    row[b] = m + offset(first[b], n);
  }
  const std::size_t stride = n;
  std::int32_t j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m512d vj = _mm512_broadcast_f64x4(_mm256_loadu_pd(v + j));
#pragma GCC unroll 8
    for (int b = 0; b < B; ++b) {
      const double* q = row[b] + j;
      const __m512d p0 = _mm512_mul_pd(rowPair(q, 0, stride), vj),
                    p1 = _mm512_mul_pd(rowPair(q, 1, stride), vj);
      const __m512d p2 = _mm512_mul_pd(rowPair(q, 2, stride), vj),
                    p3 = _mm512_mul_pd(rowPair(q, 3, stride), vj);
      const __m512d even01 = _mm512_unpacklo_pd(p0, p1), odd01 = _mm512_unpackhi_pd(p0, p1);
      const __m512d even23 = _mm512_unpacklo_pd(p2, p3), odd23 = _mm512_unpackhi_pd(p2, p3);
      __m512d s = sum[b];
      s = _mm512_add_pd(s, _mm512_shuffle_f64x2(even01, even23, 0x88));
      s = _mm512_add_pd(s, _mm512_shuffle_f64x2(odd01, odd23, 0x88));
      s = _mm512_add_pd(s, _mm512_shuffle_f64x2(even01, even23, 0xDD));
      s = _mm512_add_pd(s, _mm512_shuffle_f64x2(odd01, odd23, 0xDD));
      sum[b] = s;
    }
  }
  const __m512i inOrder = _mm512_set_epi64(7, 6, 3, 2, 5, 4, 1, 0);
  for (int b = 0; b < B; ++b) sum[b] = _mm512_permutexvar_pd(inOrder, sum[b]);
  for (; j < n; ++j) {
    const __m512d vj = _mm512_set1_pd(v[j]);
    for (int b = 0; b < B; ++b) {
      const double* q = row[b] + j;
      const __m512d column = _mm512_set_pd(q[7 * stride], q[6 * stride], q[5 * stride], q[4 * stride],
                                           q[3 * stride], q[2 * stride], q[stride], q[0]);
      sum[b] = _mm512_add_pd(sum[b], _mm512_mul_pd(column, vj));
    }
  }
  for (int b = 0; b < B; ++b) _mm512_storeu_pd(r + first[b], sum[b]);
}

}  // namespace

// Group sizes: enough rows in flight to cover the add latency (three to four
// cycles, two adds a cycle) without running out of vector registers.
void multiplySse2(const double* m, const double* v, double* r, std::int32_t n) {
  multiplyTwoLanes<Sse2Lanes, 6>(m, v, r, n);
}

void multiplyAvx2(const double* m, const double* v, double* r, std::int32_t n) {
  if (n < 4) return multiplyInOrder(m, v, r, n);
  forEachRowGroup<4, 6>(n, [&](auto count, const std::int32_t* first) {
    avx2Group<decltype(count)::value>(m, v, r, n, first);
  });
}

void multiplyAvx512(const double* m, const double* v, double* r, std::int32_t n) {
  if (n < 8) return multiplyInOrder(m, v, r, n);
  forEachRowGroup<8, 3>(n, [&](auto count, const std::int32_t* first) {
    avx512Group<decltype(count)::value>(m, v, r, n, first);
  });
}

#endif
