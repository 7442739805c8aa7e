// The matrix-vector product's inner loop in several implementations that
// all return the same bits: every row is one running sum, started at +0.0,
// adding m[i][j] * v[j] for j = 0 .. n-1 in order, each multiply and add
// rounded to double. The faster ones keep several rows' sums side by side
// (one row per SIMD lane or scalar accumulator); they never reorder a row.
#pragma once

#include <cstddef>
#include <cstdint>

// r[i] = sum over j of m[i * n + j] * v[j]; r must not overlap m or v.
using ProductKernel = void (*)(const double* m, const double* v, double* r, std::int32_t n);

// One way to take the product: a row of its processor family's table.
struct ProductPath {
  const char* name;
  ProductKernel kernel;
  bool (*runsHere)();    // this processor has the instructions
  bool (*preferHere)();  // ... and the dispatcher may choose the path on it
};

// Two rows are the same path when they take the product with the same kernel.
inline bool operator==(const ProductPath& a, const ProductPath& b) { return a.kernel == b.kernel; }

inline bool everyProcessor() { return true; }
inline bool neverPreferred() { return false; }

// For any processor: the reference, one row at a time, and four rows
// interleaved in scalar code.
void multiplyInOrder(const double* m, const double* v, double* r, std::int32_t n);
void multiplyPortable(const double* m, const double* v, double* r, std::int32_t n);
inline constexpr ProductPath IN_ORDER{"in_order", multiplyInOrder, everyProcessor, neverPreferred};
inline constexpr ProductPath PORTABLE{"portable", multiplyPortable, everyProcessor, everyProcessor};

// The paths built into this program, one table per processor family in the
// order the dispatcher prefers them: it takes the first that runs here at
// full width. Adding a path is its kernel's file and one row.
#if defined(__x86_64__)
void multiplySse2(const double* m, const double* v, double* r, std::int32_t n);
void multiplyAvx2(const double* m, const double* v, double* r, std::int32_t n);
void multiplyAvx512(const double* m, const double* v, double* r, std::int32_t n);
bool hasAvx2();
bool hasAvx512();
bool runsAvx512AtFullWidth();
// Eight, four and two rows per vector; every x86-64 processor has SSE2.
inline constexpr ProductPath PRODUCT_PATHS[] = {
    {"avx512", multiplyAvx512, hasAvx512, runsAvx512AtFullWidth},
    {"avx2", multiplyAvx2, hasAvx2, hasAvx2},
    {"sse2", multiplySse2, everyProcessor, everyProcessor},
    PORTABLE,
    IN_ORDER,
};
#elif defined(__aarch64__)
void multiplyNeon(const double* m, const double* v, double* r, std::int32_t n);
// Two rows per vector; every AArch64 processor has NEON.
inline constexpr ProductPath PRODUCT_PATHS[] = {
    {"neon", multiplyNeon, everyProcessor, everyProcessor},
    PORTABLE,
    IN_ORDER,
};
#elif defined(__wasm_simd128__)
void multiplyWasmSimd(const double* m, const double* v, double* r, std::int32_t n);
// Two rows per vector; the page loads this build only where SIMD validates.
inline constexpr ProductPath PRODUCT_PATHS[] = {
    {"wasm_simd", multiplyWasmSimd, everyProcessor, everyProcessor},
    PORTABLE,
    IN_ORDER,
};
#else
inline constexpr ProductPath PRODUCT_PATHS[] = {PORTABLE, IN_ORDER};
#endif

// The first of `rows` that runs here and may be preferred here; the in-order
// loop if none. A row that claims preference without the instructions is
// passed over, however it is written.
template <std::size_t N>
const ProductPath& firstPreferredPath(const ProductPath (&rows)[N]) {
  for (const ProductPath& path : rows)
    if (path.runsHere() && path.preferHere()) return path;
  return IN_ORDER;
}

// The path the product uses unless told otherwise: the first preferred of PRODUCT_PATHS.
const ProductPath& preferredProductPath();
const ProductPath& activeProductPath();
// For tests and benchmarks: forces a path this processor runs; returns
// false (and changes nothing) for one it does not.
bool useProductPath(const ProductPath& path);
