// The frames the page's canvas has shown, counted as the program draws them
// (web_gl_compat.cpp) and as the page's controls pass them without drawing
// (web_controls.cpp), so that the page's frame number is always the model's.
#pragma once

struct FrameSummary {
  double largest = 0;  // largest |value| that is not NaN
  int nans = 0;        // 0 <= nans <= POINT_COUNT

  void add(double value);
};

// A frame drawn whole or passed; the canvas then shows frame framesShown() - 1.
void countFrame(const FrameSummary& frame);
// As at the page's start: no frame shown yet.
void forgetFrames();

double framesShown();
const FrameSummary& lastFrameShown();
