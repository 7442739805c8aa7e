// The browser's fixed-function OpenGL is emulated over WebGL, whose vertices
// are floats; the emulation lacks glVertex2d, so the double form is supplied
// here and rounds as a desktop driver does when it stores the vertex.
#include <GL/gl.h>

extern "C" void glVertex2d(GLdouble x, GLdouble y) {
  glVertex2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
}
