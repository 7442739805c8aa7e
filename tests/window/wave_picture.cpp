#include "wave_picture.hpp"

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double PIXELS_PER_UNIT = 100.0;
constexpr double FIRST_X = -5.0;
constexpr double SPACING = 0.05;
constexpr double LAST_X = FIRST_X + SPACING * (POINT_COUNT - 1);

double waveAt(const Vector& shown, double x) {
  const double position = std::clamp((x - FIRST_X) / SPACING, 0.0, POINT_COUNT - 1.0);
  const auto i = std::min(static_cast<std::int32_t>(position), POINT_COUNT - 2);
  const double t = position - i;
  return shown[i] * (1 - t) + shown[i + 1] * t;
}

struct Range {
  double low;
  double high;
};

// The wave's extent over [x0, x1], clipped to where the line strip runs.
std::optional<Range> waveOver(const Vector& shown, double x0, double x1) {
  x0 = std::max(x0, FIRST_X);
  x1 = std::min(x1, LAST_X);
  if (x0 > x1) return std::nullopt;
  Range r{std::min(waveAt(shown, x0), waveAt(shown, x1)), std::max(waveAt(shown, x0), waveAt(shown, x1))};
  for (auto i = static_cast<std::int32_t>(std::ceil((x0 - FIRST_X) / SPACING)); i * SPACING + FIRST_X < x1;
       ++i) {
    r.low = std::min(r.low, shown[i]);
    r.high = std::max(r.high, shown[i]);
  }
  return r;
}

}  // namespace

int Capture::firstDarkColumn() const {
  for (int c = 0; c < width; ++c)
    if (columns[c].top >= 0) return c;
  return -1;
}

int Capture::lastDarkColumn() const {
  for (int c = width - 1; c >= 0; --c)
    if (columns[c].top >= 0) return c;
  return -1;
}

Capture pictureFromPixels(int width, int height, int left, int top, int right, int bottom,
                          const std::function<unsigned long(int col, int row)>& rgbAt) {
  Capture c;
  c.width = width;
  c.height = height;
  c.left = left;
  c.top = top;
  c.dark.assign(static_cast<std::size_t>(c.width) * c.height, 0);
  c.columns.resize(c.width);
  for (int row = c.top; row < bottom; ++row)
    for (int col = c.left; col < right; ++col) {
      const unsigned long pixel = rgbAt(col, row) & 0xFFFFFF;
      if (pixel == 0) {
        c.dark[row * c.width + col] = 1;
        Capture::Span& span = c.columns[col];
        if (span.top < 0) span.top = row;
        span.bottom = row;
      } else if (pixel != 0xFFFFFF) {
        ++c.otherColours;
      }
    }
  return c;
}

std::optional<Capture> captureWindow(Display* x, Window w) {
  XWindowAttributes a;
  if (XGetWindowAttributes(x, w, &a) == 0 || a.map_state != IsViewable) return std::nullopt;
  Window child;
  int rootX = 0, rootY = 0;
  XTranslateCoordinates(x, w, DefaultRootWindow(x), 0, 0, &rootX, &rootY, &child);
  const int left = std::max(0, -rootX), top = std::max(0, -rootY);
  const int right = std::min(a.width, WidthOfScreen(a.screen) - rootX);
  const int bottom = std::min(a.height, HeightOfScreen(a.screen) - rootY);
  if (right <= left || bottom <= top) return std::nullopt;
  XImage* image = XGetImage(x, w, left, top, right - left, bottom - top, AllPlanes, ZPixmap);
  if (image == nullptr) return std::nullopt;
  Capture c = pictureFromPixels(a.width, a.height, left, top, right, bottom,
                                [&](int col, int row) { return XGetPixel(image, col - left, row - top); });
  XDestroyImage(image);
  return c;
}

// Per column: the dark pixels must lie where the strip runs within a pixel
// either side, and the strip at the column's centre must be drawn there.
int disagreeingColumns(const Capture& picture, const Vector& shown) {
  const double centreX = picture.width / 2.0;
  const double centreY = picture.height / 2.0;
  const auto rowOf = [&](double y) { return centreY - PIXELS_PER_UNIT * y; };
  int disagreeing = 0;
  for (int col = picture.left; col < picture.width; ++col) {
    const auto [top, bottom] = picture.columns[col];
    const bool drawn = bottom >= 0;
    const auto near =
        waveOver(shown, (col - 1 - centreX) / PIXELS_PER_UNIT, (col + 2 - centreX) / PIXELS_PER_UNIT);
    if (!near) {
      disagreeing += drawn;
      continue;
    }
    if (drawn && (top < std::floor(rowOf(near->high)) - 1 || bottom > rowOf(near->low) + 1)) {
      ++disagreeing;
      continue;
    }
    const double x = (col + 0.5 - centreX) / PIXELS_PER_UNIT;
    if (x < FIRST_X || x > LAST_X) continue;
    const double row = rowOf(waveAt(shown, x));
    if (row >= picture.top && row < picture.height && (!drawn || row < top - 1 || row > bottom + 2))
      ++disagreeing;
  }
  return disagreeing;
}

const std::vector<Vector>& modelFrames(int count) {
  static std::vector<Vector> frames;
  static WaveState state;
  if (frames.empty()) {
    ensureInitialized(state);
    frames.push_back(state.shown);
  }
  while (static_cast<int>(frames.size()) < count) {
    advance(state);
    frames.push_back(state.shown);
  }
  return frames;
}

double meanRowError(const Capture& picture, const Vector& shown) {
  double total = 0;
  int columns = 0;
  for (int col = picture.left; col < picture.width; ++col) {
    const double x = (col + 0.5 - picture.width / 2.0) / PIXELS_PER_UNIT;
    if (x < FIRST_X || x > LAST_X) continue;
    const double row = picture.height / 2.0 - PIXELS_PER_UNIT * waveAt(shown, x);
    if (!(row >= picture.top + 1 && row < picture.height - 1)) continue;
    const auto [top, bottom] = picture.columns[col];
    total += bottom < 0 ? picture.height : std::fabs((top + bottom + 1) / 2.0 - row);
    ++columns;
  }
  return columns == 0 ? 0 : total / columns;
}

bool drawingMatches(const Capture& picture, const Vector& shown) {
  return disagreeingColumns(picture, shown) <= TOLERATED_COLUMNS &&
         meanRowError(picture, shown) <= TOLERATED_ROW_ERROR;
}

FrameMatch identifyFrame(const Capture& picture, int framesToSearch) {
  const std::vector<Vector>& frames = modelFrames(framesToSearch);
  FrameMatch match;
  for (int k = 0; k < framesToSearch; ++k) {
    if (disagreeingColumns(picture, frames[k]) > TOLERATED_COLUMNS) continue;
    const double error = meanRowError(picture, frames[k]);
    if (error <= TOLERATED_ROW_ERROR && (match.frame < 0 || error < match.rowError))
      match = FrameMatch{k, error};
  }
  return match;
}
