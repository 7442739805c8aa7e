// The program's own window and callbacks, with the wave set a few hundred
// frames short of overflowing the double range, so that the window tests
// see infinite and NaN values drawn (under the sanitizers too) without
// animating the 140,000 frames it takes from the real start. Standard error
// says "NaN from frame K" once every value has turned NaN.
#include <GL/glut.h>

#include <cmath>
#include <cstdio>

#include "app/callbacks.hpp"
#include "app/window.hpp"
#include "wave/wave_model.hpp"

namespace {

// By frame 2000 the fastest-growing mode dominates (largest value about 37);
// scaled by 1e305 the values overflow some 650 frames later.
constexpr int GROWN_FRAMES = 2000;
constexpr double SCALE = 1e305;

int framesDrawn = 0;
bool reported = false;

void countingDisplay() {
  display();
  ++framesDrawn;
  if (!reported && std::isnan(wave.shown[0])) {
    std::fprintf(stderr, "NaN from frame %d\n", framesDrawn);
    reported = true;
  }
}

}  // namespace

int main(int argc, char** argv) {
  ensureInitialized(wave);
  for (int frame = 0; frame < GROWN_FRAMES; ++frame) advance(wave);
  for (Vector* v : {&wave.previous, &wave.current, &wave.shown})
    for (double& x : v->data) x *= SCALE;
  openWindow(&argc, argv);
  glutDisplayFunc(countingDisplay);
  glutMainLoop();
  return 0;
}
