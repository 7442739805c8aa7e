#include "animation.hpp"

#include <GL/glut.h>

#include <algorithm>
#include <chrono>

// The web build sets 0: there the browser already paces each requested
// frame with the display.
#ifndef WAVE1D_DEFAULT_FRAMES_PER_SECOND
#define WAVE1D_DEFAULT_FRAMES_PER_SECOND 60  // a pace the eye can follow, a display's usual one
#endif

namespace {

using Clock = std::chrono::steady_clock;

int pace = WAVE1D_DEFAULT_FRAMES_PER_SECOND;  // frames a second; 0: unpaced
bool running = false;
// Paced frames come from a chain of timers, each one setting the next. The
// toolkit cannot cancel a timer, so a stop leaves the last one pending: each
// carries the number of its chain and ends the chain when a stop (or a new
// pace) has moved the number on. A stop and a start in quick succession thus
// never leave two chains asking for frames.
unsigned chain = 0;
Clock::time_point nextFrameDue;

Clock::duration period() { return Clock::duration(std::chrono::seconds(1)) / pace; }

void askForFrame() { glutPostRedisplay(); }

void onTimer(int chainNumber);

void setTimerForNextFrame(Clock::time_point now) {
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextFrameDue - now).count();
  glutTimerFunc(static_cast<unsigned>(std::max<decltype(wait)>(wait, 0)), onTimer, static_cast<int>(chain));
}

// The frames are due on a fixed grid of deadlines, so the toolkit's
// rounding to whole milliseconds evens out instead of slowing the pace. A
// frame later than a whole period skips the deadlines it missed: frames
// never come in a burst to catch up.
void onTimer(int chainNumber) {
  if (static_cast<unsigned>(chainNumber) != chain) return;
  askForFrame();
  const auto now = Clock::now();
  nextFrameDue += period();
  if (nextFrameDue <= now) nextFrameDue += ((now - nextFrameDue) / period() + 1) * period();
  setTimerForNextFrame(now);
}

void beginFrames(Clock::duration untilTheFirst) {
  if (pace == 0) {
    glutIdleFunc(askForFrame);
    return;
  }
  ++chain;
  const auto now = Clock::now();
  nextFrameDue = now + untilTheFirst;
  setTimerForNextFrame(now);
}

void endFrames() {
  glutIdleFunc(nullptr);
  ++chain;
}

}  // namespace

void setFramesPerSecond(int framesPerSecond) {
  const int wanted = std::clamp(framesPerSecond, 0, MOST_FRAMES_PER_SECOND);
  if (wanted == pace) return;
  if (running) endFrames();
  pace = wanted;
  if (running) beginFrames(pace == 0 ? Clock::duration::zero() : period());
}

void startAnimation() {
  if (running) return;
  running = true;
  beginFrames(Clock::duration::zero());
}

void stopAnimation() {
  if (!running) return;
  running = false;
  endFrames();
}

bool animating() { return running; }
