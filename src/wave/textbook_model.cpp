#include "textbook_model.hpp"

#include <utility>

void start(TextbookWave& wave) {
  writeInitialShape(wave.previous);
  wave.current = wave.previous;
  writeShiftedSecondDifference(wave.stepMatrix, 2.0, wave.stiffness);
}

void step(TextbookWave& wave) {
  Vector next = wave.stepMatrix * wave.current + -1.0 * wave.previous;
  wave.previous = std::move(wave.current);
  wave.current = std::move(next);
}

void advance(TextbookWave& wave) {
  for (int s = 0; s < wave.stepsPerFrame; ++s) step(wave);
}
