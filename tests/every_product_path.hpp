// Runs a test once for every product path built in, with that path chosen
// for the product operator; a path this processor lacks is skipped, and the
// dispatcher's choice comes back afterwards. Use with
//   INSTANTIATE_TEST_SUITE_P(Every, Suite, EVERY_PRODUCT_PATH);
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "linalg/product_kernels.hpp"

class EveryProductPath : public ::testing::TestWithParam<ProductPath> {
 protected:
  void SetUp() override {
    if (!GetParam().runsHere()) GTEST_SKIP() << GetParam().name << " is not available here";
    useProductPath(GetParam());
  }
  void TearDown() override { useProductPath(preferredProductPath()); }
};

// GoogleTest names each test and prints its parameter by the path's name.
inline void PrintTo(const ProductPath& path, std::ostream* out) { *out << path.name; }
#define EVERY_PRODUCT_PATH \
  ::testing::ValuesIn(PRODUCT_PATHS), [](const auto& info) { return std::string(info.param.name); }
