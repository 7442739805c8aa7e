// Tells which of the model's frames a picture of the canvas shows, with the
// comparison the X window tests use. Reads lines "FILE.ppm FRAMES" (a binary
// PPM) on standard input and answers each with a line: the closest matching
// frame among the first FRAMES (-1 for none) and 1 or 0 for whether the
// drawing matches frame 0. A line "largest FRAME" is answered with the
// largest |value| the model's frame FRAME draws, to every digit. The textbook
// scheme's frames are asked for likewise: "textbook FRAME FILE.ppm" is
// answered 1 or 0 for whether the drawing matches its frame FRAME, and
// "textbook-largest FRAME" with that frame's largest |value| ("textbook-fitted
// FRAME FILE.ppm" for the frame fitted to the view). A line "frame
// FRAME FILE.ppm" is answered 1 or 0 for whether the drawing matches the
// model's frame FRAME, and "fitted FRAME FILE.ppm" likewise for that frame
// drawn fitted to the view, as the page draws it when asked. A line "run C
// STEPS" turns these questions (but the first kind's) to both schemes run
// with c = C and STEPS steps a frame, as the page's stability lesson runs
// them. One process serves a whole test, so the frames are computed once a run.
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../window/wave_picture.hpp"
#include "app/fitted_view.hpp"
#include "linalg/vector_summary.hpp"
#include "wave/textbook_model.hpp"

namespace {

std::optional<Capture> readPicture(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  in >> magic >> width >> height >> maximum;
  in.get();
  const std::vector<unsigned char> rgb((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
  if (magic != "P6" || maximum != 255 || rgb.size() != static_cast<std::size_t>(width) * height * 3)
    return {};
  return pictureFromPixels(width, height, 0, 0, width, height, [&](int col, int row) {
    const std::size_t at = (static_cast<std::size_t>(row) * width + col) * 3;
    return (static_cast<unsigned long>(rgb[at]) << 16) | (rgb[at + 1] << 8) | rgb[at + 2];
  });
}

// Both schemes' frames 0 to count - 1 in the run asked for, computed once, extended on demand.
struct RunFrames {
  WaveState program;
  TextbookWave textbook;
  std::vector<Vector> programFrames, textbookFrames;
};
std::unique_ptr<RunFrames> run = std::make_unique<RunFrames>();

void chooseRun(double stiffness, int stepsPerFrame) {
  run = std::make_unique<RunFrames>();
  run->program.stiffness = run->textbook.stiffness = stiffness;
  run->program.stepsPerFrame = run->textbook.stepsPerFrame = stepsPerFrame;
}

const std::vector<Vector>& textbookFrames(int count) {
  auto& frames = run->textbookFrames;
  if (frames.empty()) start(run->textbook);
  while (static_cast<int>(frames.size()) < count) {
    if (!frames.empty()) advance(run->textbook);
    frames.push_back(run->textbook.current);
  }
  return frames;
}

const std::vector<Vector>& programFrames(int count) {
  auto& frames = run->programFrames;
  ensureInitialized(run->program);
  while (static_cast<int>(frames.size()) < count) {
    if (!frames.empty()) advance(run->program);
    frames.push_back(run->program.shown);
  }
  return frames;
}

}  // namespace

int main() {
  std::string file;
  int frames = 0;
  while (std::cin >> file) {
    if (file == "run") {
      double stiffness = 0;
      std::cin >> stiffness >> frames;
      chooseRun(stiffness, frames);
      std::cout << std::endl;
      continue;
    }
    if (!(std::cin >> frames)) break;
    if (file == "textbook-largest") {
      std::cout << std::setprecision(17) << largestMagnitude(textbookFrames(frames + 1)[frames]) << std::endl;
      continue;
    }
    if (file == "textbook" || file == "textbook-fitted") {
      const bool fitted = file == "textbook-fitted";
      std::cin >> file;
      const auto picture = readPicture(file);
      const Vector& frame = textbookFrames(frames + 1)[frames];
      std::cout << (picture && drawingMatches(*picture, fitted ? fittedScale(frame) * frame : frame))
                << std::endl;
      continue;
    }
    if (file == "frame" || file == "fitted") {
      const bool fitted = file == "fitted";
      std::cin >> file;
      const auto picture = readPicture(file);
      const Vector& frame = programFrames(frames + 1)[frames];
      std::cout << (picture && drawingMatches(*picture, fitted ? fittedScale(frame) * frame : frame))
                << std::endl;
      continue;
    }
    if (file == "largest") {
      std::cout << std::setprecision(17) << largestMagnitude(programFrames(frames + 1)[frames]) << std::endl;
      continue;
    }
    const auto picture = readPicture(file);
    if (!picture) {
      std::cerr << file << ": not an 8-bit binary PPM\n";
      return 2;
    }
    std::cout << identifyFrame(*picture, frames).frame << ' ' << drawingMatches(*picture, modelFrames(1)[0])
              << std::endl;
  }
  return 0;
}
