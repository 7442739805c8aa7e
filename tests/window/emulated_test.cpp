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
#include "window_fixture.hpp"

namespace {

class EmulatedProgram : public Window1d {
 protected:
  EmulatedProgram(std::vector<std::string> emulator, const std::string& program) {
    environment = {"GALLIUM_DRIVER=softpipe"};
    command = std::move(emulator);
    command.insert(command.end(), {title = program, "-geometry", "1000x440+0+0"});
  }
};

#if defined(QEMU_X86_64)
class Sse2OnlyProcessor : public EmulatedProgram {
 protected:
  Sse2OnlyProcessor() : EmulatedProgram({QEMU_X86_64, "-cpu", "qemu64"}, PROGRAM) {}
};

TEST_F(Sse2OnlyProcessor, FirstFrameIsTheSineALeftClickAnimatesARightPressStops) {
  expectFirstFrameThenLeftClickAnimatesAndRightPressStops(1000, 440);
}
#endif

#if defined(ARM64_PROGRAM)
class Arm64Program : public EmulatedProgram {
 protected:
  Arm64Program() : EmulatedProgram({QEMU_AARCH64, "-L", ARM64_SYSROOT}, ARM64_PROGRAM) {}
};

TEST_F(Arm64Program, FirstFrameIsTheSineALeftClickAnimatesARightPressStops) {
  expectFirstFrameThenLeftClickAnimatesAndRightPressStops(1000, 440);
}
#endif

}  // namespace
