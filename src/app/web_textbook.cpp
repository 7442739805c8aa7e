// The textbook leapfrog scheme beside the program's wave on the page. The
// page advances it a frame at a time up to the frame the program's canvas
// shows, so the program's frames are its clock, and draws it on a canvas of
// its own; the program's model and drawing know nothing of it.
#include <cstdint>

#include "linalg/vector_summary.hpp"
#include "wave/textbook_model.hpp"

namespace {

TextbookWave& textbook() {
  static TextbookWave wave = [] {
    TextbookWave started;
    start(started);
    return started;
  }();
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
