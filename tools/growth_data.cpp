// Writes the numbers behind docs/growth.md, from the program's own model:
//   largest.dat    frame and largest |value| of the state it draws, every
//                  frame from 0 until every value is NaN
//   spacetime.dat  the first SPACE_TIME_FRAMES + 1 frames, one row of
//                  POINT_COUNT values each
//   events.txt     the steps of the first infinite and the first NaN value,
//                  and the first frame whose values are all NaN
//   textbook.dat   frame and largest |value| of the textbook leapfrog scheme
//                  from the same start, every frame from 0 to TEXTBOOK_FRAMES
// Usage: growth_data DIRECTORY
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "linalg/vector_summary.hpp"
#include "wave/textbook_model.hpp"
#include "wave/wave_model.hpp"

namespace {

constexpr int SPACE_TIME_FRAMES = 1500;
constexpr int TEXTBOOK_FRAMES = 4000;

bool writeTextbook(const std::string& file) {
  std::ofstream out(file);
  out.precision(17);
  const auto textbook = std::make_unique<TextbookWave>();
  start(*textbook);
  for (int frame = 0; frame <= TEXTBOOK_FRAMES; ++frame) {
    out << frame << ' ' << largestMagnitude(textbook->current) << '\n';
    advance(*textbook);
  }
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: growth_data DIRECTORY\n";
    return 2;
  }
  const std::string directory = argv[1];
  std::ofstream largest(directory + "/largest.dat"), spaceTime(directory + "/spacetime.dat"),
      events(directory + "/events.txt");
  largest.precision(17);
  spaceTime.precision(9);

  const auto state = std::make_unique<WaveState>();
  ensureInitialized(*state);
  long firstInfiniteStep = -1, firstNanStep = -1, allNanStep = -1;
  for (long frame = 0;; ++frame) {
    // Frame `frame` draws the state after frame * STEPS_PER_FRAME steps.
    if (allNan(state->shown)) {
      events << "first infinite value: step " << firstInfiniteStep << "\nfirst NaN value: step "
             << firstNanStep << "\nevery value NaN: from step " << allNanStep << ", drawn from frame "
             << frame << "\n";
      break;
    }
    largest << frame << ' ' << largestMagnitude(state->shown) << '\n';
    if (frame <= SPACE_TIME_FRAMES) {
      for (double x : state->shown.data) spaceTime << x << ' ';
      spaceTime << '\n';
    }
    for (int s = 1; s <= STEPS_PER_FRAME; ++s) {
      step(*state);
      const long done = frame * STEPS_PER_FRAME + s;
      if (firstInfiniteStep < 0 && anyInfinite(state->shown)) firstInfiniteStep = done;
      if (firstNanStep < 0 && anyNan(state->shown)) firstNanStep = done;
      if (allNanStep < 0 && allNan(state->shown)) allNanStep = done;
    }
  }
  return largest && spaceTime && events && writeTextbook(directory + "/textbook.dat") ? 0 : 1;
}
