#include "wave_model.hpp"

#include <cmath>
#include <utility>

WaveState wave;

namespace {

// One period of a sine of amplitude 2 over the first 101 points, at rest.
// The constant is 3.1415 rather than pi, so the ends of the period are not
// exactly zero.
void writeInitialShape(WaveState& state) {
  for (std::int32_t i = 0; i <= 100; ++i) state.previous[i] = 2.0 * std::sin((i * 3.1415) / 50);
  state.previous[200] = 0.0;
  state.current = state.previous;
  state.shown = state.previous;
}

// -I + 0.00005 L; the end rows reflect, so every row sums to -1.
void writeStepMatrix(Matrix& m) {
  m(0, 0) = -1.00005;
  m(0, 1) = 0.00005;
  for (std::int32_t r = 1; r <= 199; ++r) {
    m(r, r - 1) = 0.00005;
    m(r, r) = -1.0001;
    m(r, r + 1) = 0.00005;
  }
  m(200, 199) = 0.00005;
  m(200, 200) = -1.00005;
}

}  // namespace

void ensureInitialized(WaveState& state) {
  if (state.initialized) return;
  writeInitialShape(state);
  writeStepMatrix(state.stepMatrix);
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
  for (int s = 0; s < STEPS_PER_FRAME; ++s) step(state);
}
