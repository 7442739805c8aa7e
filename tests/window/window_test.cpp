// The real program in a real X server: its window is read back pixel by
// pixel and compared with the wave model's own states.
#include <fstream>
#include <sstream>
#include <thread>

#include "window_fixture.hpp"

namespace {

TEST_F(Window1d, TitleIsThePathTheProgramWasStartedWith) { EXPECT_EQ(windowTitle(x(), window), PROGRAM); }

TEST_F(Window1d, FirstFrameIsTheInitialSineAtDefaultSize) {
  const auto shown = waitForFrame(START_WIDTH, START_HEIGHT);
  ASSERT_TRUE(shown);
  const Capture& picture = shown->picture;
  EXPECT_TRUE(drawingMatches(picture, modelFrames(1)[0]));
  EXPECT_LE(shown->frame, 1) << "frames 0 and 1 are less than a pixel apart";
  EXPECT_FALSE(drawingMatches(picture, modelFrames(21)[20])) << "the comparison cannot tell frames apart";
  EXPECT_EQ(picture.otherColours, 0) << "black on white only";
  // At 300 pixels only |x| <= 1.5 is in view: the strip enters at the
  // bottom near x = -0.7 (y = -1.5) and runs at y = 0 to the right edge.
  EXPECT_NEAR(picture.firstDarkColumn(), 80, 3);
  EXPECT_GE(picture.lastDarkColumn(), 298);
}

TEST_F(Window1d, StandsStillWithoutInput) {
  const auto before = waitForFrame(START_WIDTH, START_HEIGHT);
  ASSERT_TRUE(before);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_EQ(captureWindow(x(), window), before->picture);
}

TEST_F(Window1d, ResizeShowsTheWholeWaveEdgeToEdge) {
  const auto resized = resizeTo(1000, 400);
  ASSERT_TRUE(resized) << "no drawing of the wave at 1000 x 400";
  EXPECT_EQ(resized->picture.otherColours, 0);
  EXPECT_LE(resized->picture.firstDarkColumn(), 1) << "x = -5 is the left edge";
  EXPECT_GE(resized->picture.lastDarkColumn(), 998) << "x = 5 is the right edge";
}

// A frame moves the wave by under two pixels, so the test uncovers the
// window many times and checks that the drawing has moved on by as many
// frames. Each uncovering leaves the cover's black pixels behind until the
// program repaints, so the next one waits for a drawing of the wave: on a
// busy machine uncoverings faster than the repaints would be folded.
TEST_F(Window1d, EveryRepaintAdvancesTheWave) {
  const auto before = resizeTo(1000, 400);
  ASSERT_TRUE(before);
  constexpr int UNCOVERINGS = 30;
  const ::Window cover = XCreateSimpleWindow(x(), DefaultRootWindow(x()), 0, 0, 1000, 400, 0, 0, 0);
  std::optional<ShownFrame> after;
  for (int i = 0; i < UNCOVERINGS; ++i) {
    XMapWindow(x(), cover);
    XSync(x(), False);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    XUnmapWindow(x(), cover);
    XSync(x(), False);
    after = waitForFrame(1000, 400);
    ASSERT_TRUE(after) << "no repaint after uncovering " << i + 1;
  }
  // Early frames are told apart only within a frame or two.
  EXPECT_GE(after->frame, before->frame + UNCOVERINGS - 2)
      << "frame " << before->frame << " then " << after->frame;
  EXPECT_LE(after->frame, before->frame + UNCOVERINGS + 2);
}

// The desktop entry's command as a desktop runs it: the installed program
// found by its name, which is then its argv[0] and so its window's title.
TEST(Window1dStart, TheMenuEntryOpensAWindowThatHoldsTheWholeString) {
  std::ifstream entry(DESKTOP_ENTRY_PATH);
  std::vector<std::string> command;
  for (std::string line; std::getline(entry, line);) {
    if (line.rfind("Exec=", 0) != 0) continue;
    std::istringstream words(line.substr(5));
    for (std::string word; words >> word;) command.push_back(word);
  }
  ASSERT_FALSE(command.empty()) << "no Exec line in " << DESKTOP_ENTRY_PATH;
  ASSERT_EQ(command[0], "wave1d");
  PrivateXServer server;
  ASSERT_EQ(server.error(), "");
  RunningProgram program(PROGRAM, command, server.name());
  const auto window = findWindowByTitle(server.connection(), "wave1d");
  ASSERT_TRUE(window) << program.standardError();
  std::optional<Capture> shown;
  EXPECT_TRUE(waitFor([&] {
    shown = captureWindow(server.connection(), *window);
    return shown && shown->anyDark() && identifyFrame(*shown, 3).frame >= 0;
  })) << "no drawing of the first frames";
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->width, 1000);
  EXPECT_EQ(shown->height, 400);
}

TEST(Window1dStart, EmptyArgumentVectorStillOpensTheWindow) {
  PrivateXServer server;
  ASSERT_EQ(server.error(), "");
  RunningProgram program(PROGRAM, {}, server.name());
  ASSERT_TRUE(findWindowByTitle(server.connection(), "")) << program.standardError();
  EXPECT_FALSE(program.exitStatus()) << "ended early: " << program.standardError();
}

}  // namespace
