// Reading the program's window back from the X server and comparing what it
// shows with the wave model's own states.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "wave/wave_model.hpp"

struct Capture {
  int width = 0;  // the window's size in pixels
  int height = 0;
  int left = 0;                    // columns left of this one lie off screen and were not read
  int top = 0;                     // likewise rows above this one
  std::vector<std::uint8_t> dark;  // width * height, row by row: 1 where the pixel is black
  int otherColours = 0;            // read pixels that are neither pure white nor pure black
  struct Span {
    int top = -1;     // first black row of a column, -1 when the column has none
    int bottom = -1;  // last black row
  };
  std::vector<Span> columns;  // width spans

  bool operator==(const Capture& o) const {
    return width == o.width && height == o.height && dark == o.dark && otherColours == o.otherColours;
  }
  bool anyDark() const { return firstDarkColumn() >= 0; }
  int firstDarkColumn() const;  // -1 when there is none
  int lastDarkColumn() const;
};

// A picture of width x height pixels of which columns left .. right - 1 and
// rows top .. bottom - 1 were read; rgbAt gives a pixel as 0xRRGGBB.
Capture pictureFromPixels(int width, int height, int left, int top, int right, int bottom,
                          const std::function<unsigned long(int col, int row)>& rgbAt);

// The part of the window that is on screen; nothing if it cannot be read
// (not mapped yet, for instance).
std::optional<Capture> captureWindow(Display* x, Window w);

// Columns where the drawing disagrees with `shown` drawn as a 1-pixel line
// strip at 100 pixels per unit, origin at the window centre.
int disagreeingColumns(const Capture& picture, const Vector& shown);

// What frame `k` draws: the set-up state advanced k times. Computed once,
// shared by the tests, extended on demand.
const std::vector<Vector>& modelFrames(int count);

// Mean distance in rows between the middle of each column's dark pixels and
// the strip at the column's centre: fine enough to tell neighbouring frames
// apart, which move by a pixel or two.
double meanRowError(const Capture& picture, const Vector& shown);

// Rasterising puts the line up to half a pixel off its exact row, so the
// right state averages about 0.4; a wrong one soon exceeds a pixel.
inline constexpr double TOLERATED_ROW_ERROR = 0.75;

bool drawingMatches(const Capture& picture, const Vector& shown);

// Frames 0 and 1 differ by under a pixel, so the frame a drawing shows is
// known only within a frame or two early on; later frames move further.
struct FrameMatch {
  int frame = -1;       // the closest matching frame, or -1 if none matches
  double rowError = 0;  // its mean row error
};

// The closest of frames 0 to framesToSearch - 1 among those that match.
FrameMatch identifyFrame(const Capture& picture, int framesToSearch);

// A drawing matches a frame when at most this many columns disagree: a line
// rasteriser may place a pixel or two differently where the line is steep.
inline constexpr int TOLERATED_COLUMNS = 3;
