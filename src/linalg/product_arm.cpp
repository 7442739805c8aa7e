// The product for AArch64, where Advanced SIMD is part of every processor:
// two rows per vector, as in two_lane_product.hpp.
#if defined(__aarch64__)

#include <arm_neon.h>

#include "two_lane_product.hpp"

namespace {

struct NeonLanes {
  using V = float64x2_t;
  static V zero() { return vdupq_n_f64(0.0); }
  static V load(const double* p) { return vld1q_f64(p); }
  static V pair(double lo, double hi) { return vcombine_f64(vdup_n_f64(lo), vdup_n_f64(hi)); }
  static V splat(double x) { return vdupq_n_f64(x); }
  static V mul(V a, V b) { return vmulq_f64(a, b); }
  static V add(V a, V b) { return vaddq_f64(a, b); }
  static V low(V a, V b) { return vzip1q_f64(a, b); }
  static V high(V a, V b) { return vzip2q_f64(a, b); }
  static void store(double* p, V a) { vst1q_f64(p, a); }
};

}  // namespace

// 32 vector registers: eight blocks of rows in flight.
void multiplyNeon(const double* m, const double* v, double* r, std::int32_t n) {
  multiplyTwoLanes<NeonLanes, 8>(m, v, r, n);
}

#endif
