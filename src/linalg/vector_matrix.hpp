// Dense double vectors and square matrices with the four operations the wave
// model is written in. Every operation returns a new Vector and leaves its
// operands untouched; all arithmetic is plain IEEE 754 double, each multiply
// and add rounded on its own (build with -ffp-contract=off).
#pragma once

#include <cfloat>
#include <cstdint>

// Reassociation, flushed subnormals or ignored NaNs would change the results.
#if defined(__FAST_MATH__)
#error "wave1d needs IEEE arithmetic: build without -ffast-math"
#endif
// So would intermediates kept in a wider format, as x87 arithmetic does.
#if FLT_EVAL_METHOD != 0
#error "wave1d needs every double operation rounded to double: on 32-bit x86 build with -msse2 -mfpmath=sse"
#endif

#include <vector>

struct Vector {
  std::vector<double> data;  // exactly `size` elements, all 0.0 when made
  std::int32_t size;         // 0 <= size

  // Throws std::bad_alloc for a negative count, like any failed allocation.
  explicit Vector(std::int32_t n);

  double& operator[](std::int32_t i) { return data[static_cast<std::size_t>(i)]; }
  double operator[](std::int32_t i) const { return data[static_cast<std::size_t>(i)]; }
};

struct Matrix {
  std::vector<double> data;  // n * n elements, row-major: (r, c) is data[r * n + c]
  std::int32_t n;            // 0 <= n; rows = columns = n

  // Throws std::bad_alloc for a negative dimension or an element count that
  // does not fit in memory's address range.
  explicit Matrix(std::int32_t n);

  double& operator()(std::int32_t r, std::int32_t c) { return data[index(r, c)]; }
  double operator()(std::int32_t r, std::int32_t c) const { return data[index(r, c)]; }

 private:
  std::size_t index(std::int32_t r, std::int32_t c) const {
    return static_cast<std::size_t>(r) * static_cast<std::size_t>(n) + static_cast<std::size_t>(c);
  }
};

// Element i is b[i] + a[i]. On a size mismatch the dimension message is
// written and a copy of b comes back: the caller always gets a usable vector.
Vector operator+(const Vector& a, const Vector& b);

// Element i is x * v[i]; sizes cannot disagree, so there is no check.
Vector operator*(double x, const Vector& v);

// Row i is summed from column 0 to n - 1, every element taking part, to the
// same bits whichever processor runs it. On a dimension mismatch the message
// is written and a copy of v comes back.
Vector operator*(const Matrix& m, const Vector& v);

// The console's one message, "dimensions do not match" in Shift_JIS.
inline constexpr char DIMENSION_MESSAGE[] =
    "\x8E\x9F\x8C\xB3\x82\xAA\x88\xEA\x92\x76\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
