// The textbook leapfrog scheme on the program's string, shown beside the
// program's own on the page: the same start, the same L and STIFFNESS and
// STEPS_PER_FRAME steps a frame, but the second difference taken of the
// newer level,
//   u(n+1) = (2 I + STIFFNESS L) u(n) - u(n-1).
// For a mode of L with eigenvalue -lambda the roots of
// z^2 - (2 - STIFFNESS lambda) z + 1 = 0 have modulus 1 while
// STIFFNESS lambda <= 4, so no mode grows: the wave stays bounded.
#pragma once

#include "wave_model.hpp"

struct TextbookWave {
  Vector previous{POINT_COUNT};    // the wave one time level back
  Vector current{POINT_COUNT};     // the newest time level, what a frame draws
  Matrix stepMatrix{POINT_COUNT};  // 2 I + STIFFNESS L, constant after the start
};

// The program's starting shape, at rest, and the step matrix.
void start(TextbookWave& wave);

// One time step: next = stepMatrix * current + (-1.0) * previous.
void step(TextbookWave& wave);

// STEPS_PER_FRAME steps, back to back.
void advance(TextbookWave& wave);
