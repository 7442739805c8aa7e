#include "vector_matrix.hpp"

#include "product_kernels.hpp"

#include <iostream>
#include <new>

namespace {

// std::vector would throw length_error for an impossible count; the vector
// and the matrix promise the ordinary allocation failure instead.
std::vector<double> zeros(std::int64_t count) {
  const std::vector<double> none;
  if (count < 0 || static_cast<std::uint64_t>(count) > none.max_size()) throw std::bad_alloc();
  return std::vector<double>(static_cast<std::size_t>(count), 0.0);
}

void reportDimensionMismatch() {
  std::cout.write(DIMENSION_MESSAGE, sizeof DIMENSION_MESSAGE - 1) << std::endl;
}

}  // namespace

Vector::Vector(std::int32_t n) : data(zeros(n)), size(n) {}

// n * n is formed in 64 bits: in 32 it would overflow from n = 46,341 on.
Matrix::Matrix(std::int32_t n) : data(zeros(n < 0 ? -1 : std::int64_t{n} * n)), n(n) {}

Vector operator+(const Vector& a, const Vector& b) {
  if (a.size != b.size) {
    reportDimensionMismatch();
    return b;
  }
  Vector sum(a.size);
  for (std::int32_t i = 0; i < a.size; ++i) sum[i] = b[i] + a[i];
  return sum;
}

Vector operator*(double x, const Vector& v) {
  Vector scaled(v.size);
  for (std::int32_t i = 0; i < v.size; ++i) scaled[i] = x * v[i];
  return scaled;
}

Vector operator*(const Matrix& m, const Vector& v) {
  if (v.size != m.n) {
    reportDimensionMismatch();
    return v;
  }
  Vector r(m.n);
  activeProductPath().kernel(m.data.data(), v.data.data(), r.data.data(), m.n);
  return r;
}
