// The matrix-vector product's inner loop in several implementations that
// all return the same bits: every row is one running sum, started at +0.0,
// adding m[i][j] * v[j] for j = 0 .. n-1 in order, each multiply and add
// rounded to double. The faster ones keep several rows' sums side by side
// (one row per SIMD lane or scalar accumulator); they never reorder a row.
#pragma once

#include <cstdint>

enum class ProductPath {
  InOrder,   // one row at a time: the reference
  Portable,  // four rows interleaved in scalar code, for any processor
  Sse2,      // x86-64: two rows per vector, 2 x 2 transposes
  Avx2,      // four rows per vector, 4 x 4 transposes
  Avx512,    // eight rows per vector, 4 x 4 transposes in each 256-bit half
  Neon,      // AArch64: two rows per vector, 2 x 2 transposes
  WasmSimd,  // WebAssembly SIMD: two rows per vector, 2 x 2 transposes
};

// The paths built into this program: the portable ones and those of the
// processor family it was compiled for (each may still need a check at run
// time, see productPathSupported).
inline constexpr ProductPath BUILT_PRODUCT_PATHS[] = {
    ProductPath::InOrder, ProductPath::Portable,
#if defined(__x86_64__)
    ProductPath::Sse2,    ProductPath::Avx2,     ProductPath::Avx512,
#elif defined(__aarch64__)
    ProductPath::Neon,
#elif defined(__wasm_simd128__)
    ProductPath::WasmSimd,
#endif
};

// r[i] = sum over j of m[i * n + j] * v[j]; r must not overlap m or v.
using ProductKernel = void (*)(const double* m, const double* v, double* r, std::int32_t n);

const char* productPathName(ProductPath path);
bool productPathSupported(ProductPath path);  // by this build and this processor
ProductKernel productKernel(ProductPath path);

// The path the product uses unless told otherwise: the widest one that runs
// at full width here.
ProductPath preferredProductPath();
ProductPath activeProductPath();
// For tests and benchmarks: forces a supported path; returns false (and
// changes nothing) for one that is not.
bool useProductPath(ProductPath path);

// The kernels themselves; the x86 ones exist only in x86-64 builds, the
// Neon one only in AArch64 builds, the WasmSimd one only in WebAssembly
// builds with SIMD.
void multiplyInOrder(const double* m, const double* v, double* r, std::int32_t n);
void multiplyPortable(const double* m, const double* v, double* r, std::int32_t n);
void multiplySse2(const double* m, const double* v, double* r, std::int32_t n);
void multiplyAvx2(const double* m, const double* v, double* r, std::int32_t n);
void multiplyAvx512(const double* m, const double* v, double* r, std::int32_t n);
void multiplyNeon(const double* m, const double* v, double* r, std::int32_t n);
void multiplyWasmSimd(const double* m, const double* v, double* r, std::int32_t n);
