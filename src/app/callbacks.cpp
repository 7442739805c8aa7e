#include "callbacks.hpp"

#include <GL/glut.h>

#include "animation.hpp"
#include "wave/wave_model.hpp"

void display() {
  glClear(GL_COLOR_BUFFER_BIT);
  ensureInitialized(wave);
  glColor3d(0, 0, 0);
  glBegin(GL_LINE_STRIP);
  // x runs from -5 to 5 in steps of 0.05: an integer grid scaled, so no
  // rounding error accumulates along the strip.
  for (std::int32_t i = 0; i < POINT_COUNT; ++i) glVertex2d((5 * i) * 0.01 - 5.0, wave.shown.data[i]);
  glEnd();
  glFlush();
  advance(wave);
}

// The matrix mode is never selected, so this projection goes into the
// model-view matrix and the projection matrix stays identity.
void reshape(int w, int h) {
  glViewport(0, 0, w, h);
  glLoadIdentity();
  glOrtho(-w / 200.0, w / 200.0, -h / 200.0, h / 200.0, -1.0, 1.0);
}

// Left press and release both start it: starting it twice is the same as once.
void mouse(int button, int state, int /*x*/, int /*y*/) {
  if (button == GLUT_LEFT_BUTTON)
    startAnimation();
  else if (button == GLUT_RIGHT_BUTTON && state == GLUT_DOWN)
    stopAnimation();
}
