// The page's stability lesson runs both schemes with another c and steps a
// frame. Here each is computed a second way, as its recurrence on three
// neighbours with the matrix entries worked out afresh, and must give the
// model's values exactly: the dense product adds each row's zeros to a sum
// they cannot change, so only the three terms, in column order, count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "wave/textbook_model.hpp"
#include "wave/wave_model.hpp"

namespace {

using Values = std::vector<double>;

// (shift I + c L) u, each entry of the matrix rounded once, the row's terms in column order.
Values shiftedSecondDifference(double shift, double c, const Values& u) {
  const std::size_t last = u.size() - 1;
  Values out(u.size());
  out[0] = (shift + c * -1.0) * u[0] + c * u[1];
  for (std::size_t i = 1; i < last; ++i) out[i] = c * u[i - 1] + (shift + c * -2.0) * u[i] + c * u[i + 1];
  out[last] = c * u[last - 1] + (shift + c * -1.0) * u[last];
  return out;
}

Values startingShape() {
  Values u(POINT_COUNT, 0.0);
  for (int i = 0; i <= 100; ++i) u[i] = 2.0 * std::sin((i * 3.1415) / 50);
  return u;
}

// Frame `frame` of this program's scheme (textbook false) or the textbook's.
Values recurrence(bool textbook, double c, int stepsPerFrame, int frame) {
  Values older = startingShape(), newer = older;
  for (int s = 0; s < frame * stepsPerFrame; ++s) {
    Values next(POINT_COUNT);
    const Values r =
        textbook ? shiftedSecondDifference(2.0, c, newer) : shiftedSecondDifference(-1.0, c, older);
    for (int i = 0; i < POINT_COUNT; ++i) next[i] = textbook ? r[i] + -1.0 * older[i] : 2.0 * newer[i] + r[i];
    older = std::move(newer);
    newer = std::move(next);
  }
  return newer;
}

struct Choice {
  double c;
  int stepsPerFrame;
  int frame;  // still finite in both schemes
};

}  // namespace

TEST(ChosenRun, BothSchemesAreTheirRecurrenceToTheBit) {
  // nu = 1.1 a step at a time; nu = 0.1 at 51 steps; nu = 1.01 at 3, just past the textbook scheme's limit.
  for (const Choice run : {Choice{1.21, 1, 120}, Choice{0.01, 51, 40}, Choice{1.0201, 3, 200}}) {
    auto program = std::make_unique<WaveState>();
    program->stiffness = run.c;
    program->stepsPerFrame = run.stepsPerFrame;
    ensureInitialized(*program);
    auto textbook = std::make_unique<TextbookWave>();
    textbook->stiffness = run.c;
    textbook->stepsPerFrame = run.stepsPerFrame;
    start(*textbook);
    for (int f = 0; f < run.frame; ++f) {
      advance(*program);
      advance(*textbook);
    }
    const Values expectedProgram = recurrence(false, run.c, run.stepsPerFrame, run.frame);
    const Values expectedTextbook = recurrence(true, run.c, run.stepsPerFrame, run.frame);
    for (int i = 0; i < POINT_COUNT; ++i) {
      ASSERT_EQ(program->shown[i], expectedProgram[i]) << "c " << run.c << ", point " << i;
      ASSERT_EQ(textbook->current[i], expectedTextbook[i]) << "c " << run.c << ", point " << i;
    }
    // Far from its start: the frame compared is one the lesson shows grown.
    EXPECT_GT(*std::max_element(expectedProgram.begin(), expectedProgram.end()), 100.0) << "c " << run.c;
  }
}

TEST(ChosenRun, TheProgramsOwnRunIsTheDefault) {
  WaveState chosen;
  chosen.stiffness = 0.00005;
  chosen.stepsPerFrame = 51;
  ensureInitialized(chosen);
  WaveState own;
  ensureInitialized(own);
  for (int f = 0; f < 3; ++f) {
    advance(chosen);
    advance(own);
  }
  EXPECT_EQ(chosen.shown.data, own.shown.data);
  EXPECT_EQ(chosen.stepMatrix.data, own.stepMatrix.data);
}
