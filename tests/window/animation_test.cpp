// Starting and stopping the animation with synthetic button events.
#include <algorithm>
#include <iostream>

#include "window_fixture.hpp"

namespace {

constexpr int FRAMES_WHILE_RUNNING = 2000;

class Animation : public Window1d {
 protected:
  void SetUp() override {
    Window1d::SetUp();
    ASSERT_TRUE(resizeTo(1000, 400));
    modelFrames(FRAMES_WHILE_RUNNING);  // computed now, not between captures
  }

  // True when the drawing changes within PATIENCE.
  bool running() {
    const auto now = captureWindow(x(), window);
    return now && waitFor([&] { return !(captureWindow(x(), window) == now); });
  }
};

TEST_F(Animation, LeftClickStartsFrameAfterFrameAndRightPressStops) {
  ASSERT_TRUE(staysStill()) << "the wave moved before any click";
  click(LEFT);
  const auto started = Clock::now();
  std::vector<int> shown;  // the frames identified, one per changed capture
  waitFor(
      [&] {
        const auto picture = captureWindow(x(), window);
        const int frame = picture ? identifyFrame(*picture, FRAMES_WHILE_RUNNING).frame : -1;
        if (frame >= 0 && (shown.empty() || frame != shown.back())) shown.push_back(frame);
        return shown.size() >= 5;
      },
      std::chrono::milliseconds(50));
  ASSERT_GE(shown.size(), 5u) << "the drawing did not move on";
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << ::testing::PrintToString(shown);
  std::cout << "[   INFO   ] "
            << (shown.back() - shown.front()) / std::chrono::duration<double>(Clock::now() - started).count()
            << " frames/s at 1000 x 400\n";
  press(RIGHT);
  EXPECT_TRUE(staysStill()) << "still moving after the right press";
  release(RIGHT);
  EXPECT_TRUE(staysStill()) << "a right release started it";

  // Stopped, it waits for events instead of asking for frames.
  const double before = program->cpuSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_LT(program->cpuSeconds() - before, IDLE_CPU_SECONDS);
}

TEST_F(Animation, OnlyTheLeftButtonStartsIt) {
  click(RIGHT);
  EXPECT_TRUE(staysStill());
  click(MIDDLE);
  EXPECT_TRUE(staysStill()) << "a middle click started it";
  press(LEFT);
  EXPECT_TRUE(running()) << "a left press alone did not start it";
  click(MIDDLE);
  EXPECT_TRUE(running()) << "a middle click stopped it";
  release(RIGHT);
  EXPECT_TRUE(running()) << "a right release stopped it";
  press(RIGHT);
  EXPECT_TRUE(staysStill());
}

TEST_F(Animation, RightPressWhileLeftIsHeldStopsUntilTheLeftRelease) {
  press(LEFT);
  ASSERT_TRUE(running());
  press(RIGHT);
  EXPECT_TRUE(staysStill());
  release(RIGHT);
  EXPECT_TRUE(staysStill());
  release(LEFT);
  EXPECT_TRUE(running()) << "the left release did not start it again";
  press(RIGHT);
  EXPECT_TRUE(staysStill());
}

}  // namespace
