// The program on other processors under qemu's user-mode emulation, checked
// from its pixels as the native one is: this build on an x86-64 with SSE2
// only, where the dispatcher must keep to SSE2 (any wider instruction would
// end it with SIGILL at the first frame's steps), and an arm64 build. Mesa's
// softpipe driver starts in seconds where llvmpipe, its code generator
// emulated too, takes minutes; softpipe reads the window back with XGetImage,
// which the X server refuses for a window partly off screen, so the window
// is placed on screen. It is a little over 400 pixels high: at exactly 400
// the trough of the sine falls 0.04 pixels inside the bottom row, which
// softpipe leaves out.
#include <cstdlib>

#include "window_fixture.hpp"

namespace {

class EmulatedProgram : public Window1d {
 protected:
  EmulatedProgram(std::vector<std::string> emulator, const std::string& program) {
    setenv("GALLIUM_DRIVER", "softpipe", 1);
    command = std::move(emulator);
    command.insert(command.end(), {title = program, "-geometry", "1000x440+0+0"});
  }

  void expectFirstFrameThenLeftClickAnimatesAndRightPressStops() {
    const auto first = waitForFrame(1000, 440);
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
};

#if defined(QEMU_X86_64)
class Sse2OnlyProcessor : public EmulatedProgram {
 protected:
  Sse2OnlyProcessor() : EmulatedProgram({QEMU_X86_64, "-cpu", "qemu64"}, PROGRAM) {}
};

TEST_F(Sse2OnlyProcessor, FirstFrameIsTheSineALeftClickAnimatesARightPressStops) {
  expectFirstFrameThenLeftClickAnimatesAndRightPressStops();
}
#endif

#if defined(ARM64_PROGRAM)
class Arm64Program : public EmulatedProgram {
 protected:
  Arm64Program() : EmulatedProgram({QEMU_AARCH64}, ARM64_PROGRAM) {}
};

TEST_F(Arm64Program, FirstFrameIsTheSineALeftClickAnimatesARightPressStops) {
  expectFirstFrameThenLeftClickAnimatesAndRightPressStops();
}
#endif

}  // namespace
