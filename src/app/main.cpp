// wave1d: one window, one wave.
#include <GL/glut.h>

#include "window.hpp"

int main(int argc, char** argv) {
  openWindow(&argc, argv);
  glutMainLoop();
  return 0;
}
