#include "wave_model.hpp"

#include <cmath>
#include <utility>

WaveState wave;

// The constant is 3.1415 rather than pi, so the ends of the period are not
// exactly zero.
void writeInitialShape(Vector& start) {
  for (std::int32_t i = 0; i <= 100; ++i) start[i] = 2.0 * std::sin((i * 3.1415) / 50);
  start[200] = 0.0;
}

// Each entry is rounded once from shift + stiffness * (entry of L): for a
// shift of -1 and the program's STIFFNESS that is -1.00005, 0.00005 and
// -1.0001 to the bit.
void writeShiftedSecondDifference(Matrix& m, double shift, double stiffness) {
  m(0, 0) = shift + stiffness * -1.0;
  m(0, 1) = stiffness;
  for (std::int32_t r = 1; r < POINT_COUNT - 1; ++r) {
    m(r, r - 1) = stiffness;
    m(r, r) = shift + stiffness * -2.0;
    m(r, r + 1) = stiffness;
  }
  m(POINT_COUNT - 1, POINT_COUNT - 2) = stiffness;
  m(POINT_COUNT - 1, POINT_COUNT - 1) = shift + stiffness * -1.0;
}

void ensureInitialized(WaveState& state) {
  if (state.initialized) return;
  // The program's scheme takes the second difference of the older level:
  // stepMatrix = -I + c L multiplies u(n-1).
  writeInitialShape(state.previous);
  state.current = state.previous;
  state.shown = state.previous;
  writeShiftedSecondDifference(state.stepMatrix, -1.0, state.stiffness);
  state.initialized = true;
}

void step(WaveState& state) {
  const Vector r = state.stepMatrix * state.previous;
  const Vector t = 2.0 * state.current;
  Vector next = t + r;
  state.previous = std::move(state.current);
  state.current = next;
  state.shown = std::move(next);
}

void advance(WaveState& state) {
  for (int s = 0; s < state.stepsPerFrame; ++s) step(state);
}
