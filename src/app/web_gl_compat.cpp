// The browser's fixed-function OpenGL is emulated over WebGL, whose vertices
// are floats; the emulation lacks glVertex2d, so the double form is supplied
// here and rounds as a desktop driver does when it stores the vertex.
//
// It also tells the page's readout what the canvas shows. The state a frame
// draws reaches OpenGL here, POINT_COUNT values a frame, so the frame on the
// canvas and its values are known exactly as drawn, while the model, the
// drawing and the order of drawing and advancing stay as they are. And it
// fits the wave to the view when the page asks: a frame's vertices are held
// until the last has come, then scaled by its largest value, in double
// before they are rounded to floats, so that values far beyond a float's
// range are still drawn where they belong.
#include <GL/gl.h>

#include <array>
#include <utility>

#include "fitted_view.hpp"
#include "wave/wave_model.hpp"
#include "web_frames.hpp"

namespace {

std::int32_t vertexInFrame = 0;  // 0 <= vertexInFrame < POINT_COUNT
std::array<std::pair<double, double>, POINT_COUNT> frameVertices;
Vector frameValues{POINT_COUNT};  // the y of frameVertices, for the scale
bool fitting = false;
double scaleShown = 1.0;  // of the frame on the canvas; exactly 1 when not fitted

// The program's view, or each y times the scale that fits the frame.
void emitFrame() {
  scaleShown = fitting ? fittedScale(frameValues) : 1.0;
  for (const auto& [x, y] : frameVertices)
    glVertex2f(static_cast<GLfloat>(x), static_cast<GLfloat>(y * scaleShown));
}

}  // namespace

extern "C" void glVertex2d(GLdouble x, GLdouble y) {
  frameVertices[vertexInFrame] = {x, y};
  frameValues[vertexInFrame] = y;
  if (++vertexInFrame < POINT_COUNT) return;
  vertexInFrame = 0;
  emitFrame();
  FrameSummary frame;
  for (double value : frameValues.data) frame.add(value);
  countFrame(frame);
}

// For the page, as Module._wave1dFramesShown() and so on: Emscripten exports
// what is marked used (its EMSCRIPTEN_KEEPALIVE says just that).
extern "C" [[gnu::used]] double wave1dFramesShown() { return framesShown(); }
extern "C" [[gnu::used]] double wave1dLargestShown() { return lastFrameShown().largest; }
extern "C" [[gnu::used]] int wave1dNansShown() { return lastFrameShown().nans; }
extern "C" [[gnu::used]] double wave1dScaleShown() { return scaleShown; }

// The frame on the canvas drawn again in the view asked for, as display()
// drew it: not a repaint, so the wave does not advance and no frame is
// counted. Before any frame there is nothing to draw.
extern "C" [[gnu::used]] void wave1dFitToView(int on) {
  fitting = on != 0;
  if (framesShown() == 0) return;
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3d(0, 0, 0);
  glBegin(GL_LINE_STRIP);
  emitFrame();
  glEnd();
  glFlush();
}
