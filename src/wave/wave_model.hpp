// A one-dimensional wave on POINT_COUNT points, advanced by a three-level
// explicit scheme folded into one constant matrix:
//   u(n+1) = 2 u(n) + stepMatrix u(n-1),  stepMatrix = -I + 0.00005 L,
// with L the second difference with reflecting ends. The second difference
// is taken of the older level, which amplifies every non-constant mode a
// little at each step: over thousands of frames the wave grows without bound,
// and nothing here checks or limits the values.
#pragma once

#include "linalg/vector_matrix.hpp"

inline constexpr std::int32_t POINT_COUNT = 201;
inline constexpr int STEPS_PER_FRAME = 51;
// c: each step adds c times a second difference.
inline constexpr double STIFFNESS = 0.00005;

struct WaveState {
  Vector previous{POINT_COUNT};    // the wave one time level back
  Vector current{POINT_COUNT};     // the newest time level
  Vector shown{POINT_COUNT};       // what the next frame draws; equals current after a step
  Matrix stepMatrix{POINT_COUNT};  // constant after set-up
  // The program's own run; only the web page chooses others, before set-up.
  double stiffness = STIFFNESS;         // c, rounded into stepMatrix at set-up
  int stepsPerFrame = STEPS_PER_FRAME;  // 1 <= stepsPerFrame
  bool initialized = false;             // set-up has run; never reset
};

// The start every scheme shares: one period of a sine of amplitude 2 over the
// first 101 points, zero beyond; `start` holds POINT_COUNT values.
void writeInitialShape(Vector& start);

// shift I + stiffness L, L the second difference with reflecting ends (its
// end rows are (-1, 1) and (1, -1), so every row of L sums to zero); `m` is
// POINT_COUNT square and all zeros.
void writeShiftedSecondDifference(Matrix& m, double shift, double stiffness);

// The program's one wave, alive for the whole process.
extern WaveState wave;

// Writes the initial shape and the step matrix the first time; later calls do nothing.
void ensureInitialized(WaveState& state);

// One time step: next = 2.0 * current + stepMatrix * previous.
void step(WaveState& state);

// state.stepsPerFrame steps, back to back.
void advance(WaveState& state);
