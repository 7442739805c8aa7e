#include <gtest/gtest.h>

#include <memory>

#include "linalg/vector_summary.hpp"
#include "wave/textbook_model.hpp"

namespace {

// Both schemes share the start; after one frame they differ only by
// STIFFNESS L (u(n) - u(n-1)) summed over its steps, about 1.3e-5 at most.
constexpr double FRAME_ONE_APART = 2e-5;
// The bounded scheme's largest |value| peaks at 2.23, when the reflected
// halves of the pulse meet; the program's is past 5,700 by frame 3,000.
constexpr double TEXTBOOK_BOUND = 2.5;

}  // namespace

TEST(TextbookWave, FirstFrameIsTheProgramsWithinTheSchemesDifference) {
  auto textbook = std::make_unique<TextbookWave>();
  auto program = std::make_unique<WaveState>();
  start(*textbook);
  ensureInitialized(*program);
  EXPECT_EQ(textbook->current.data, program->shown.data);
  advance(*textbook);
  advance(*program);
  double apart = 0;
  for (std::int32_t i = 0; i < POINT_COUNT; ++i)
    apart = std::max(apart, std::fabs(textbook->current[i] - program->shown[i]));
  EXPECT_GT(apart, 0.0) << "the schemes must differ";
  EXPECT_LE(apart, FRAME_ONE_APART);
}

TEST(TextbookWave, StaysBoundedForTenThousandFrames) {
  auto textbook = std::make_unique<TextbookWave>();
  start(*textbook);
  double peak = 0;
  for (int frame = 1; frame <= 10000; ++frame) {
    advance(*textbook);
    peak = std::max(peak, largestMagnitude(textbook->current));
  }
  EXPECT_LT(peak, TEXTBOOK_BOUND);
  EXPECT_GT(peak, 2.0) << "the halves meeting add up";
}
