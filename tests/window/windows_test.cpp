// The Windows program under Wine, checked from its pixels as the native one
// is. Wine's OpenGL is the machine's Mesa, so the window is read back as
// any other. The window's title is the program's path as Windows gives it
// in argv[0]: Wine shows the machine's root as drive Z:.
#include <sys/wait.h>

#include <algorithm>

#include "window_fixture.hpp"

namespace {

std::string windowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

class WindowsProgram : public Window1d {
 protected:
  WindowsProgram() {
    command = {WINE, WINDOWS_PROGRAM, "-geometry", "1000x400+0+0"};
    environment = {"WINEPREFIX=" WINE_PREFIX, "WINEDEBUG=-all"};
    title = windowsPath(WINDOWS_PROGRAM);
  }
};

// In one run, as Wine takes a second or two to start: on Windows too, a
// right release and a middle click change nothing, and closing the window
// ends the program with status 0.
TEST_F(WindowsProgram, BehavesAsTheLinuxProgramFromFirstFrameToClosing) {
  expectFirstFrameThenLeftClickAnimatesAndRightPressStops(1000, 400);
  EXPECT_TRUE(unchangedBy([&] { release(RIGHT); })) << "a right release moved the wave";
  EXPECT_TRUE(unchangedBy([&] { click(MIDDLE); })) << "a middle click moved the wave";
  askToClose();
  const auto status = program->waitForExit();
  ASSERT_TRUE(status) << "still running after the window was closed";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
      << "wait status " << *status << "; " << program->standardError();
}

}  // namespace
