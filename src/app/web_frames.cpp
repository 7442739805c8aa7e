#include "web_frames.hpp"

#include <algorithm>
#include <cmath>

namespace {
FrameSummary last;
double counted = 0;  // a double: the page's numbers are
}  // namespace

void FrameSummary::add(double value) {
  if (std::isnan(value))
    ++nans;
  else
    largest = std::max(largest, std::fabs(value));
}

void countFrame(const FrameSummary& frame) {
  last = frame;
  ++counted;
}

void forgetFrames() {
  last = FrameSummary{};
  counted = 0;
}

double framesShown() { return counted; }
const FrameSummary& lastFrameShown() { return last; }
