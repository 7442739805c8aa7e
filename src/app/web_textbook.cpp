// The textbook leapfrog scheme beside the program's wave on the page. The
// page advances it a frame at a time up to the frame the program's canvas
// shows, so the program's frames are its clock, and draws it on a canvas of
// its own; the program's model and drawing know nothing of it.
#include <cstdint>

#include "fitted_view.hpp"
#include "linalg/vector_summary.hpp"
#include "wave/textbook_model.hpp"

namespace {

TextbookWave started() {
  TextbookWave wave;
  start(wave);
  return wave;
}
TextbookWave& textbook() {
  static TextbookWave wave = started();
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
extern "C" [[gnu::used]] double wave1dTextbookValue(std::int32_t i) { return textbook().current[i]; }
// Back at the start, with the program's wave (web_controls.cpp).
extern "C" [[gnu::used]] void wave1dTextbookRestart() {
  textbook() = started();
  framesAdvanced = 0;
}
// Its values are drawn times this when the page fits each wave to its view.
extern "C" [[gnu::used]] double wave1dTextbookFittedScale() { return fittedScale(textbook().current); }
