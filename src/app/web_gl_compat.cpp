// The browser's fixed-function OpenGL is emulated over WebGL, whose vertices
// are floats; the emulation lacks glVertex2d, so the double form is supplied
// here and rounds as a desktop driver does when it stores the vertex.
//
// It also tells the page's readout what the canvas shows. The state a frame
// draws reaches OpenGL here, POINT_COUNT values a frame, so the frame on the
// canvas and its values are known exactly as drawn, while the model, the
// drawing and the order of drawing and advancing stay as they are.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "wave/wave_model.hpp"

namespace {

struct DrawnFrame {
  double largest = 0;  // largest |value| that is not NaN
  int nans = 0;        // 0 <= nans <= POINT_COUNT
};

std::int32_t vertexInFrame = 0;  // 0 <= vertexInFrame < POINT_COUNT
DrawnFrame drawing;
DrawnFrame shown;        // the last frame drawn whole
double framesShown = 0;  // frames drawn whole; the canvas shows frame framesShown - 1

}  // namespace

extern "C" void glVertex2d(GLdouble x, GLdouble y) {
  glVertex2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y));
  if (std::isnan(y))
    ++drawing.nans;
  else
    drawing.largest = std::max(drawing.largest, std::fabs(y));
  if (++vertexInFrame < POINT_COUNT) return;
  shown = drawing;
  drawing = DrawnFrame{};
  vertexInFrame = 0;
  ++framesShown;
}

// For the page, as Module._wave1dFramesShown() and so on: Emscripten exports
// what is marked used (its EMSCRIPTEN_KEEPALIVE says just that).
extern "C" [[gnu::used]] double wave1dFramesShown() { return framesShown; }
extern "C" [[gnu::used]] double wave1dLargestShown() { return shown.largest; }
extern "C" [[gnu::used]] int wave1dNansShown() { return shown.nans; }
