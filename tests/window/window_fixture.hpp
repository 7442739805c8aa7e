// The real program started in its own Xvfb, with helpers to read its window
// and to drive it with synthetic button events.
#pragma once

// GoogleTest comes before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>

#include <atomic>
#include <future>
#include <thread>

#include "wave_picture.hpp"
#include "x_session.hpp"

inline const std::string PROGRAM = WAVE1D_PATH;  // absolute, so it is also the title
inline constexpr int FRAMES_TO_SEARCH = 200;
inline constexpr int START_WIDTH = 300;  // the toolkit's default window size
inline constexpr int START_HEIGHT = 300;
// CPU time over a second or two stopped: an animating program would use all of it.
inline constexpr double IDLE_CPU_SECONDS = 0.1;

// The frames a second a thread of the test gets meanwhile by sleeping until
// each frame of a pace is due, skipping those whose time passed while it
// waited to run, as the program does. On a busy machine a sleeper wakes
// late; no program that sleeps between its frames keeps a better pace.
class SleepersPace {
 public:
  explicit SleepersPace(int framesPerSecond)
      : sleeper_(std::async(std::launch::async, sleepFromFrameToFrame, std::cref(stopping_),
                            Clock::duration(std::chrono::seconds(1)) / framesPerSecond)) {}
  ~SleepersPace() { stopping_ = true; }

  double framesPerSecond() {
    stopping_ = true;
    return sleeper_.get();
  }

 private:
  static double sleepFromFrameToFrame(const std::atomic<bool>& stopping, Clock::duration period) {
    const auto started = Clock::now();
    auto due = started, woke = started;
    int frames = 0;
    for (; !stopping; ++frames) {
      std::this_thread::sleep_until(due += period);
      woke = Clock::now();
      if (due <= woke - period) due += (woke - due) / period * period;
    }
    return frames / std::chrono::duration<double>(woke - started).count();
  }

  std::atomic<bool> stopping_{false};
  std::future<double> sleeper_;  // last: its thread starts once the rest is there
};

class Window1d : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(server.error(), "");
    program.emplace(command.front(), command, server.name(), environment);
    const auto found = findWindowByTitle(x(), title);
    ASSERT_TRUE(found) << "no window titled " << title << "; stderr: " << program->standardError();
    window = *found;
  }

  void TearDown() override {
    if (program) {
      EXPECT_EQ(program->standardOutput(), "") << "the program wrote to standard output";
    }
  }

  Display* x() const { return server.connection(); }

  // The window once it shows a drawing that matches some frame of the
  // model, and the closest such frame.
  struct ShownFrame {
    Capture picture;
    int frame;
  };
  std::optional<ShownFrame> waitForFrame(int width, int height, int framesToSearch = FRAMES_TO_SEARCH) {
    std::optional<ShownFrame> shown;
    waitFor([&] {
      const auto picture = captureWindow(x(), window);
      if (!picture || picture->width != width || picture->height != height || !picture->anyDark())
        return false;
      const int frame = identifyFrame(*picture, framesToSearch).frame;
      if (frame >= 0) shown = ShownFrame{*picture, frame};
      return frame >= 0;
    });
    return shown;
  }

  // As a user dragging the window's edge would.
  void setSize(int width, int height) {
    XMoveResizeWindow(x(), window, 0, 0, width, height);
    XSync(x(), False);
  }

  // The drawing at the new size.
  std::optional<ShownFrame> resizeTo(int width, int height, int framesToSearch = FRAMES_TO_SEARCH) {
    setSize(width, height);
    return waitForFrame(width, height, framesToSearch);
  }

  // Synthetic button events from the server itself, with the pointer over
  // the window's centre, as a user's would be.
  enum Button : unsigned { LEFT = 1, MIDDLE = 2, RIGHT = 3 };  // X's numbers
  void press(Button button) { sendButton(button, true); }
  void release(Button button) { sendButton(button, false); }
  void click(Button button) {
    press(button);
    release(button);
  }

  // The drawing once two captures a little apart agree: a frame requested
  // just before a stop may still be on its way.
  std::optional<Capture> settledCapture() {
    std::optional<Capture> settled;
    waitFor(
        [&] {
          auto previous = std::move(settled);
          settled = captureWindow(x(), window);
          return settled && previous == settled;
        },
        std::chrono::milliseconds(300));
    return settled;
  }

  // The first frame is the model's frame 0 and stays; a left click animates
  // the model's frames, a right press stops them.
  void expectFirstFrameThenLeftClickAnimatesAndRightPressStops(int width, int height) {
    const auto first = waitForFrame(width, height);
    ASSERT_TRUE(first);
    EXPECT_TRUE(drawingMatches(first->picture, modelFrames(1)[0]));
    EXPECT_EQ(first->picture.otherColours, 0);
    ASSERT_TRUE(staysStill()) << "the wave moved before any click";
    click(LEFT);
    FrameMatch later;
    EXPECT_TRUE(waitFor([&] {
      const auto now = captureWindow(x(), window);
      return now && (later = identifyFrame(*now, FRAMES_TO_SEARCH)).frame >= first->frame + 10;
    })) << "frame "
        << first->frame << " then " << later.frame << "; " << program->standardError();
    press(RIGHT);
    EXPECT_TRUE(staysStill()) << "still moving after the right press";
  }

  // True when the drawing settled before `act` is still there a second later.
  template <typename Act>
  bool unchangedBy(Act act) {
    const auto before = settledCapture();
    act();
    return staysStill() && captureWindow(x(), window) == before;
  }

  // As the window manager's close button does.
  void askToClose() {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(x(), "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(x(), "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(x(), window, False, NoEventMask, &close);
    XSync(x(), False);
  }

  // Once every value is NaN a repaint, here from a resize, draws nothing.
  bool repaintsBlankAfterResize() {
    setSize(1000, 400);
    return waitFor([&] {
      const auto resized = captureWindow(x(), window);
      return resized && resized->width == 1000 && !resized->anyDark();
    });
  }

  // CPU time the program uses over a second, from half a second after a
  // stop (a frame requested just before may still be on its way).
  double cpuSecondsOverASecondOnceStopped() {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double before = program->cpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return program->cpuSeconds() - before;
  }

  // The frame on screen, identified among the first `framesToSearch`, with
  // when it was read back and the program's CPU time by then.
  struct Sample {
    Clock::time_point at;
    int frame;
    double cpuSeconds;
  };
  std::optional<Sample> frameNow(int framesToSearch) {
    std::optional<Sample> now;
    waitFor(
        [&] {
          const double cpuSeconds = program->cpuSeconds();
          const auto before = Clock::now();
          const auto picture = captureWindow(x(), window);
          const auto at = before + (Clock::now() - before) / 2;
          const int frame = picture ? identifyFrame(*picture, framesToSearch).frame : -1;
          if (frame >= 0) now = Sample{at, frame, cpuSeconds};
          return frame >= 0;
        },
        std::chrono::milliseconds(1));
    return now;
  }

  // How fast the frames come while the animation runs, from the frames shown
  // at two moments `span` apart, or nearer where the drawing would pass half
  // of `framesToSearch` (frames beyond those could not be told), as a glance
  // at a tenth of the span foretells. The test sleeps in between, leaving
  // the machine to the program.
  struct Pace {
    double framesPerSecond;
    double cpuSecondsPerFrame;
  };
  std::optional<Pace> measurePace(std::chrono::milliseconds span, int framesToSearch) {
    const auto first = frameNow(framesToSearch);
    std::this_thread::sleep_for(span / 10);
    const auto glance = frameNow(framesToSearch);
    if (!first || !glance) return std::nullopt;
    const std::chrono::duration<double> glanced = glance->at - first->at;
    const double untilHalf =
        glanced.count() * (framesToSearch / 2 - glance->frame) / std::max(1, glance->frame - first->frame);
    std::this_thread::sleep_until(std::min(
        first->at + span,
        glance->at + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(untilHalf))));
    // Late (a busy machine), the last look may find the wave past the frames
    // searched: the glance is then the last.
    auto last = frameNow(framesToSearch);
    if (!last || last->frame <= glance->frame) last = glance;
    if (last->frame <= first->frame) return std::nullopt;
    const int frames = last->frame - first->frame;
    return Pace{frames / std::chrono::duration<double>(last->at - first->at).count(),
                (last->cpuSeconds - first->cpuSeconds) / frames};
  }

  bool staysStill() {
    const auto before = settledCapture();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return before && captureWindow(x(), window) == before;
  }

  void sendButton(Button button, bool down) {
    XWindowAttributes a;
    XGetWindowAttributes(x(), window, &a);
    XTestFakeMotionEvent(x(), -1, a.x + a.width / 2, a.y + a.height / 2, CurrentTime);
    XTestFakeButtonEvent(x(), button, down ? True : False, CurrentTime);
    XSync(x(), False);
  }

  // What is started, with what besides the test's environment, and the
  // title its window gets: fixtures for another build of the program set
  // them in their constructors.
  std::vector<std::string> command{PROGRAM};
  std::vector<std::string> environment;
  std::string title = PROGRAM;
  PrivateXServer server;
  std::optional<RunningProgram> program;
  Window window = 0;
};

// The program with frames as fast as the machine allows instead of at its
// watchable pace: for the runs of thousands of frames.
inline const std::vector<std::string> AS_FAST_AS_IT_GOES{"--frames-per-second", "0"};

class AsFastAsItGoes : public Window1d {
 protected:
  AsFastAsItGoes() { command.insert(command.end(), AS_FAST_AS_IT_GOES.begin(), AS_FAST_AS_IT_GOES.end()); }
};
