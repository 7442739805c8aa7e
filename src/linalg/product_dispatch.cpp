#include "product_kernels.hpp"

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

#if defined(__x86_64__)
// AMD's family 19h (Zen 4) runs each 512-bit operation as two 256-bit
// halves: there the AVX-512 product measured slower than the AVX2 one
// (4.8 against 3.8 microseconds at n = 201), so it is not preferred.
bool splitsWideVectors() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0 || !__builtin_cpu_is("amd")) return false;
  const unsigned family = ((eax >> 8) & 0xF) + ((eax >> 20) & 0xFF);
  return family == 0x19;
}
#endif

ProductPath& activePath() {
  static ProductPath path = preferredProductPath();
  return path;
}

}  // namespace

const char* productPathName(ProductPath path) {
  switch (path) {
    case ProductPath::InOrder:
      return "in_order";
    case ProductPath::Portable:
      return "portable";
    case ProductPath::Sse2:
      return "sse2";
    case ProductPath::Avx2:
      return "avx2";
    case ProductPath::Avx512:
      return "avx512";
    case ProductPath::Neon:
      return "neon";
    case ProductPath::WasmSimd:
      return "wasm_simd";
  }
  return "?";
}

bool productPathSupported(ProductPath path) {
  switch (path) {
    case ProductPath::InOrder:
    case ProductPath::Portable:
#if defined(__x86_64__)
    case ProductPath::Sse2:  // part of every x86-64 processor
#elif defined(__aarch64__)
    case ProductPath::Neon:  // part of every AArch64 processor
#elif defined(__wasm_simd128__)
    case ProductPath::WasmSimd:  // a SIMD build runs only where SIMD validates
#endif
      return true;
#if defined(__x86_64__)
    case ProductPath::Avx2:
      return __builtin_cpu_supports("avx2");
    case ProductPath::Avx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:  // another processor's path
      return false;
  }
}

ProductKernel productKernel(ProductPath path) {
  switch (path) {
    case ProductPath::InOrder:
      return multiplyInOrder;
    case ProductPath::Portable:
      return multiplyPortable;
#if defined(__x86_64__)
    case ProductPath::Sse2:
      return multiplySse2;
    case ProductPath::Avx2:
      return multiplyAvx2;
    case ProductPath::Avx512:
      return multiplyAvx512;
#elif defined(__aarch64__)
    case ProductPath::Neon:
      return multiplyNeon;
#elif defined(__wasm_simd128__)
    case ProductPath::WasmSimd:
      return multiplyWasmSimd;
#endif
    default:  // another processor's path
      return nullptr;
  }
}

ProductPath preferredProductPath() {
#if defined(__x86_64__)
  if (productPathSupported(ProductPath::Avx512) && !splitsWideVectors()) return ProductPath::Avx512;
  if (productPathSupported(ProductPath::Avx2)) return ProductPath::Avx2;
  return ProductPath::Sse2;
#elif defined(__aarch64__)
  return ProductPath::Neon;
#elif defined(__wasm_simd128__)
  return ProductPath::WasmSimd;
#else
  return ProductPath::Portable;
#endif
}

ProductPath activeProductPath() { return activePath(); }

bool useProductPath(ProductPath path) {
  if (!productPathSupported(path)) return false;
  activePath() = path;
  return true;
}
