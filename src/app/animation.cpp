#include "animation.hpp"

#include <GL/glut.h>

#include "callbacks.hpp"

namespace {
bool running = false;
}

// Installing idle again while it is installed is the same as once.
void startAnimation() {
  glutIdleFunc(idle);
  running = true;
}

void stopAnimation() {
  glutIdleFunc(nullptr);
  running = false;
}

bool animating() { return running; }
