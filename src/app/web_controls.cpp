// What the page's controls ask of the program beyond the mouse: start and
// stop as the buttons do, one frame drawn on request, and the wave back at
// its start or passed on frame by frame without drawing, as a jump to a
// frame does. The model is set up afresh exactly as at the page's load, so
// every frame after a restart is the same bits as one reached from a fresh
// page; only this page asks for it, the model itself has no reset. A
// restart may choose another c and steps a frame, for the page's stability
// lesson; the program's own are STIFFNESS and STEPS_PER_FRAME.
#include <GL/glut.h>

#include "animation.hpp"
#include "wave/wave_model.hpp"
#include "web_frames.hpp"

extern "C" [[gnu::used]] void wave1dStart() { startAnimation(); }
extern "C" [[gnu::used]] void wave1dStop() { stopAnimation(); }
extern "C" [[gnu::used]] int wave1dAnimating() { return animating() ? 1 : 0; }
// Draws the next frame (and advances the wave past it), as a repaint does.
extern "C" [[gnu::used]] void wave1dRedisplay() { glutPostRedisplay(); }

extern "C" [[gnu::used]] void wave1dRestart(double stiffness, int stepsPerFrame) {
  wave = WaveState{};
  wave.stiffness = stiffness;
  wave.stepsPerFrame = stepsPerFrame;
  ensureInitialized(wave);
  forgetFrames();
}

// The frame the next display would draw, counted as shown, and the wave
// advanced past it: the readout then has its largest |value| as if drawn.
extern "C" [[gnu::used]] void wave1dPassFrame() {
  ensureInitialized(wave);
  FrameSummary frame;
  for (double value : wave.shown.data) frame.add(value);
  countFrame(frame);
  advance(wave);
}
