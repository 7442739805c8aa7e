// The product for WebAssembly with its 128-bit SIMD (built with -msimd128;
// the page loads that build only in a browser that validates SIMD code):
// two rows per vector, as in two_lane_product.hpp.
#if defined(__wasm_simd128__)

#include <wasm_simd128.h>

#include "two_lane_product.hpp"

namespace {

struct WasmLanes {
  using V = v128_t;
  static V zero() { return wasm_f64x2_splat(0.0); }
  static V load(const double* p) { return wasm_v128_load(p); }
  static V pair(double lo, double hi) { return wasm_f64x2_make(lo, hi); }
  static V splat(double x) { return wasm_f64x2_splat(x); }
  static V mul(V a, V b) { return wasm_f64x2_mul(a, b); }
  static V add(V a, V b) { return wasm_f64x2_add(a, b); }
  static V low(V a, V b) { return wasm_i64x2_shuffle(a, b, 0, 2); }
  static V high(V a, V b) { return wasm_i64x2_shuffle(a, b, 1, 3); }
  static void store(double* p, V a) { wasm_v128_store(p, a); }
};

}  // namespace

// Engines map these to SSE2 or NEON registers: six blocks of rows, as for SSE2.
void multiplyWasmSimd(const double* m, const double* v, double* r, std::int32_t n) {
  multiplyTwoLanes<WasmLanes, 6>(m, v, r, n);
}

#endif
