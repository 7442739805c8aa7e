// The textbook leapfrog scheme beside the program's wave on the page. The
// page advances it a frame at a time up to the frame the program's canvas
// shows, so the program's frames are its clock, and draws it on a canvas of
// its own; the program's model and drawing know nothing of it.
#include <cmath>
#include <cstdint>

#include "fitted_view.hpp"
#include "linalg/vector_summary.hpp"
#include "wave/textbook_model.hpp"

namespace {

TextbookWave started(double stiffness, int stepsPerFrame) {
  TextbookWave wave;
  wave.stiffness = stiffness;
  wave.stepsPerFrame = stepsPerFrame;
  start(wave);
  return wave;
}
TextbookWave& textbook() {
  static TextbookWave wave = started(STIFFNESS, STEPS_PER_FRAME);
  return wave;
}
double framesAdvanced = 0;  // the textbook wave is at this frame

}  // namespace

// For the page, as Module._wave1dTextbookFrame() and so on (see web_gl_compat.cpp).
extern "C" [[gnu::used]] double wave1dTextbookFrame() { return framesAdvanced; }
extern "C" [[gnu::used]] void wave1dTextbookAdvance() {
  advance(textbook());
  ++framesAdvanced;
}
extern "C" [[gnu::used]] double wave1dTextbookLargest() { return largestMagnitude(textbook().current); }
extern "C" [[gnu::used]] int wave1dTextbookNans() {
  int nans = 0;
  for (double value : textbook().current.data) nans += std::isnan(value) ? 1 : 0;
  return nans;
}
extern "C" [[gnu::used]] double wave1dTextbookValue(std::int32_t i) { return textbook().current[i]; }
// Back at the start, with the program's wave and its c and steps a frame (web_controls.cpp).
extern "C" [[gnu::used]] void wave1dTextbookRestart(double stiffness, int stepsPerFrame) {
  textbook() = started(stiffness, stepsPerFrame);
  framesAdvanced = 0;
}
// Its values are drawn times this when the page fits each wave to its view.
extern "C" [[gnu::used]] double wave1dTextbookFittedScale() { return fittedScale(textbook().current); }
