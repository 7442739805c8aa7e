// The arm64 build of the program under qemu's user-mode emulation, checked
// from its pixels as the native one is. Mesa's softpipe driver starts in
// seconds where llvmpipe, its code generator emulated too, takes minutes;
// softpipe reads the window back with XGetImage, which the X server refuses
// for a window partly off screen, so the window is placed on screen. It is
// a little over 400 pixels high: at exactly 400 the trough of the sine falls
// 0.04 pixels inside the bottom row, which softpipe leaves out.
#include <cstdlib>

#include "window_fixture.hpp"

namespace {

class Arm64Program : public Window1d {
 protected:
  Arm64Program() {
    setenv("GALLIUM_DRIVER", "softpipe", 1);
    command = {EMULATOR, title = ARM64_PROGRAM, "-geometry", "1000x440+0+0"};
  }
};

TEST_F(Arm64Program, FirstFrameIsTheSineALeftClickAnimatesARightPressStops) {
  FrameMatch first;
  const auto picture = waitForFrame(1000, 440, &first);
  ASSERT_TRUE(picture);
  EXPECT_TRUE(drawingMatches(*picture, modelFrames(1)[0]));
  EXPECT_EQ(picture->otherColours, 0);
  ASSERT_TRUE(staysStill()) << "the wave moved before any click";
  click(1);
  FrameMatch later;
  EXPECT_TRUE(waitFor([&] {
    const auto now = captureWindow(x(), window);
    return now && (later = identifyFrame(*now, FRAMES_TO_SEARCH)).frame >= first.frame + 10;
  })) << "frame "
      << first.frame << " then " << later.frame;
  button(3, true);
  EXPECT_TRUE(staysStill()) << "still moving after the right press";
}

}  // namespace
