// The textbook leapfrog scheme on the program's string, shown beside the
// program's own on the page: the same start, the same L, c and steps a
// frame, but the second difference taken of the newer level,
//   u(n+1) = (2 I + c L) u(n) - u(n-1).
// For a mode of L with eigenvalue -lambda the roots of
// z^2 - (2 - c lambda) z + 1 = 0 have modulus 1 while c lambda <= 4, so no
// mode grows: with the program's c the wave stays bounded; from a Courant
// number sqrt(c) a little above 1 the fastest modes grow.
#pragma once

#include "wave_model.hpp"

struct TextbookWave {
  Vector previous{POINT_COUNT};    // the wave one time level back
  Vector current{POINT_COUNT};     // the newest time level, what a frame draws
  Matrix stepMatrix{POINT_COUNT};  // 2 I + stiffness L, constant after the start
  // The program's own run unless the page chooses another before the start.
  double stiffness = STIFFNESS;         // c
  int stepsPerFrame = STEPS_PER_FRAME;  // 1 <= stepsPerFrame
};

// The program's starting shape, at rest, and the step matrix.
void start(TextbookWave& wave);

// One time step: next = stepMatrix * current + (-1.0) * previous.
void step(TextbookWave& wave);

// wave.stepsPerFrame steps, back to back.
void advance(TextbookWave& wave);
