// Starting and stopping the animation with synthetic button events.
#include "window_fixture.hpp"

namespace {

constexpr unsigned LEFT = 1, MIDDLE = 2, RIGHT = 3;
constexpr int FRAMES_WHILE_RUNNING = 2000;

class Animation : public Window1d {
 protected:
  void SetUp() override {
    Window1d::SetUp();
    XMoveResizeWindow(x(), window, 0, 0, 1000, 400);
    FrameMatch match;
    ASSERT_TRUE(waitForFrame(1000, 400, &match));
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
  auto picture = captureWindow(x(), window);
  int frame = identifyFrame(*picture, FRAMES_WHILE_RUNNING).frame;
  for (int sample = 0; sample < 5; ++sample) {
    const int next = nextFrameShown(*picture, FRAMES_WHILE_RUNNING);
    ASSERT_GT(next, frame) << "sample " << sample;
    frame = next;
    picture = captureWindow(x(), window);
  }
  button(RIGHT, true);
  EXPECT_TRUE(staysStill()) << "still moving after the right press";
  button(RIGHT, false);
  EXPECT_TRUE(staysStill()) << "a right release started it";
}

TEST_F(Animation, OnlyTheLeftButtonStartsIt) {
  click(RIGHT);
  EXPECT_TRUE(staysStill());
  click(MIDDLE);
  EXPECT_TRUE(staysStill()) << "a middle click started it";
  button(LEFT, true);
  EXPECT_TRUE(running()) << "a left press alone did not start it";
  click(MIDDLE);
  EXPECT_TRUE(running()) << "a middle click stopped it";
  button(RIGHT, false);
  EXPECT_TRUE(running()) << "a right release stopped it";
  button(RIGHT, true);
  EXPECT_TRUE(staysStill());
}

TEST_F(Animation, RightPressWhileLeftIsHeldStopsUntilTheLeftRelease) {
  button(LEFT, true);
  ASSERT_TRUE(running());
  button(RIGHT, true);
  EXPECT_TRUE(staysStill());
  button(RIGHT, false);
  EXPECT_TRUE(staysStill());
  button(LEFT, false);
  EXPECT_TRUE(running()) << "the left release did not start it again";
  button(RIGHT, true);
  EXPECT_TRUE(staysStill());
}

}  // namespace
