#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <new>
#include <sstream>
#include <string>

#include "approx.hpp"
#include "linalg/vector_matrix.hpp"

namespace {

// Captures everything written to std::cout while it lives.
struct CoutCapture {
  std::ostringstream text;
  std::streambuf* saved = std::cout.rdbuf(text.rdbuf());
  ~CoutCapture() { std::cout.rdbuf(saved); }
};

const std::string ONE_MESSAGE =
    "\x8E\x9F\x8C\xB3\x82\xAA\x88\xEA\x92\x76\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\n";

Vector vectorOf(std::initializer_list<double> values) {
  Vector v(static_cast<std::int32_t>(values.size()));
  std::int32_t i = 0;
  for (double x : values) v[i++] = x;
  return v;
}

void expectBitsEqual(const Vector& actual, std::initializer_list<double> expected) {
  ASSERT_EQ(actual.size, static_cast<std::int32_t>(expected.size()));
  ASSERT_EQ(actual.data.size(), expected.size());
  std::int32_t i = 0;
  for (double x : expected) {
    EXPECT_EQ(std::signbit(actual[i]), std::signbit(x)) << "element " << i;
    EXPECT_EQ(actual[i], x) << "element " << i;
    ++i;
  }
}

}  // namespace

TEST(Construction, AllElementsStartAtZero) {
  for (std::int32_t n : {0, 1, 7, 201}) {
    const Vector v(n);
    EXPECT_EQ(v.size, n);
    ASSERT_EQ(v.data.size(), static_cast<std::size_t>(n));
    for (double x : v.data) EXPECT_EQ(x, 0.0);
    const Matrix m(n);
    EXPECT_EQ(m.n, n);
    ASSERT_EQ(m.data.size(), static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (double x : m.data) EXPECT_EQ(x, 0.0);
  }
}

TEST(Construction, ImpossibleSizesFailAsAllocationFailure) {
  EXPECT_THROW(Vector(-1), std::bad_alloc);
  EXPECT_THROW(Vector{std::numeric_limits<std::int32_t>::min()}, std::bad_alloc);
  EXPECT_THROW(Matrix(-1), std::bad_alloc);
  // n * n * 8 bytes exceeds the address range: must not wrap to a small count.
  EXPECT_THROW(Matrix{std::numeric_limits<std::int32_t>::max()}, std::bad_alloc);
}

TEST(Construction, RowMajorElementAccess) {
  Matrix m(3);
  m(1, 2) = 5.0;
  EXPECT_EQ(m.data[1 * 3 + 2], 5.0);
}

TEST(ValueSemantics, CopiesAreIndependent) {
  Vector a = vectorOf({1, 2, 3});
  Vector b = a;
  b[0] = 9;
  EXPECT_EQ(a[0], 1);
  b = vectorOf({4, 5});
  EXPECT_EQ(b.size, 2);
  expectBitsEqual(a, {1, 2, 3});

  Matrix m(2);
  Matrix n = m;
  n(0, 0) = 1;
  EXPECT_EQ(m(0, 0), 0.0);
}

TEST(Arithmetic, WorkedExamples) {
  CoutCapture out;
  expectBitsEqual(vectorOf({1, 2, 3}) + vectorOf({10, 20, 30}), {11, 22, 33});
  expectBitsEqual(2.0 * vectorOf({1, -1.5}), {2, -3});
  Matrix m(2);
  m.data = {1, 2, 3, 4};
  expectBitsEqual(m * vectorOf({1, 1}), {3, 7});
  expectBitsEqual(Vector(0) + Vector(0), {});
  expectBitsEqual(Matrix(0) * Vector(0), {});
  EXPECT_EQ(out.text.str(), "") << "a successful operation writes nothing";
}

TEST(Arithmetic, OperandsAreLeftUntouched) {
  const Vector a = vectorOf({1, 2});
  const Vector b = vectorOf({3, 4});
  Matrix m(2);
  m.data = {1, 2, 3, 4};
  (void)(a + b);
  (void)(2.0 * a);
  (void)(m * b);
  expectBitsEqual(a, {1, 2});
  expectBitsEqual(b, {3, 4});
  EXPECT_EQ(m.data, (std::vector<double>{1, 2, 3, 4}));
}

TEST(Product, SumsEachRowInColumnOrder) {
  // In column order 1 is lost against 1e16 before the cancellation; any
  // other order or pairing keeps it.
  Matrix m(3);
  m.data = {1, 1e16, -1e16, 0, 0, 0, 0, 0, 0};
  expectBitsEqual(m * vectorOf({1, 1, 1}), {0.0, 0.0, 0.0});
}

TEST(Product, EveryElementTakesPartZerosIncluded) {
  // 0 * inf is NaN: skipping the zero would hide it.
  Matrix m(2);
  m.data = {0, 1, 1, 0};
  const Vector r = m * vectorOf({std::numeric_limits<double>::infinity(), 1});
  EXPECT_TRUE(std::isnan(r[0]));
  EXPECT_TRUE(std::isinf(r[1]));
}

TEST(Product, MultiplyAndAddAreRoundedSeparately) {
  // (1 + 2^-30)(1 - 2^-30) = 1 - 2^-60 rounds to 1, so -1 + that is 0; a
  // fused multiply-add would give -2^-60.
  Matrix m(2);
  m.data = {-1, 1 + std::ldexp(1.0, -30), 0, 0};
  expectBitsEqual(m * vectorOf({1, 1 - std::ldexp(1.0, -30)}), {0.0, 0.0});
}

TEST(DimensionMismatch, AdditionWritesOnceAndReturnsRightOperand) {
  CoutCapture out;
  expectBitsEqual(vectorOf({1, 2, 3}) + vectorOf({4, 5, 6, 7}), {4, 5, 6, 7});
  EXPECT_EQ(out.text.str(), ONE_MESSAGE);
  expectBitsEqual(vectorOf({4, 5, 6, 7}) + vectorOf({1, 2, 3}), {1, 2, 3});
  EXPECT_EQ(out.text.str(), ONE_MESSAGE + ONE_MESSAGE);
}

TEST(DimensionMismatch, ProductWritesOnceAndReturnsTheVector) {
  CoutCapture out;
  Vector v(200);
  v[7] = -0.0;
  v[199] = 3.5;
  const Vector r = Matrix(201) * v;
  EXPECT_EQ(r.size, 200);
  EXPECT_TRUE(std::signbit(r[7]));
  EXPECT_EQ(r[199], 3.5);
  EXPECT_EQ(out.text.str(), ONE_MESSAGE);
}

TEST(DimensionMismatch, MessageIsExactlyTheShiftJisBytes) {
  const unsigned char expected[] = {0x8E, 0x9F, 0x8C, 0xB3, 0x82, 0xAA, 0x88, 0xEA, 0x92, 0x76, 0x82,
                                    0xB5, 0x82, 0xC4, 0x82, 0xA2, 0x82, 0xDC, 0x82, 0xB9, 0x82, 0xF1};
  CoutCapture out;
  (void)(Vector(1) + Vector(2));
  const std::string text = out.text.str();
  ASSERT_EQ(text.size(), sizeof expected + 1);
  for (std::size_t i = 0; i < sizeof expected; ++i)
    EXPECT_EQ(static_cast<unsigned char>(text[i]), expected[i]) << "byte " << i;
  EXPECT_EQ(text.back(), '\n');
}

TEST(DimensionMismatch, ScalingNeverWrites) {
  CoutCapture out;
  for (std::int32_t n : {0, 1, 200, 201}) EXPECT_EQ((0.5 * Vector(n)).size, n);
  EXPECT_EQ(out.text.str(), "");
}
