// The program's bad inputs: no display, odd toolkit options, being closed
// or killed, and values that have overflowed the double range.
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <iostream>
#include <thread>

#include "window_fixture.hpp"

namespace {

// The drawing code with infinite and NaN values: frames keep coming, nothing
// is drawn, and the program still obeys the mouse and the window system.
// The real program's own run to NaN, 140,000 frames long, is a soak test.
class NearOverflow : public Window1d {
 protected:
  NearOverflow() {
    command = {title = NEAR_OVERFLOW_PATH};
    command.insert(command.end(), AS_FAST_AS_IT_GOES.begin(), AS_FAST_AS_IT_GOES.end());
  }
};

TEST_F(NearOverflow, KeepsRunningOnceTheValuesAreNan) {
  ASSERT_TRUE(waitFor([&] { return captureWindow(x(), window).has_value(); }));
  click(LEFT);
  ASSERT_TRUE(waitFor([&] { return program->standardError().find("NaN from frame") != std::string::npos; }))
      << "no NaN frame: " << program->standardError();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  press(RIGHT);
  const auto stopped = captureWindow(x(), window);
  ASSERT_TRUE(stopped);
  EXPECT_FALSE(stopped->anyDark());
  EXPECT_LT(cpuSecondsOverASecondOnceStopped(), IDLE_CPU_SECONDS) << "still animating after the right press";
  EXPECT_TRUE(repaintsBlankAfterResize());
  EXPECT_FALSE(program->exitStatus()) << program->standardError();
}

void expectNoDisplayFailure(RunningProgram& program) {
  const auto status = program.waitForExit();
  ASSERT_TRUE(status) << "still running without a display";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) != 0) << "wait status " << *status;
  EXPECT_NE(program.standardError().find("failed to open display"), std::string::npos)
      << program.standardError();
  EXPECT_EQ(program.standardOutput(), "");
}

TEST(NoDisplay, FailsWithTheToolkitsMessage) {
  RunningProgram program(PROGRAM, {PROGRAM}, "");
  expectNoDisplayFailure(program);
}

TEST(NoDisplay, UnreachableDisplayFailsWithTheToolkitsMessage) {
  RunningProgram program(PROGRAM, {PROGRAM}, "unix:/nonexistent/display:0");
  expectNoDisplayFailure(program);
}

class ToolkitOptions : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(server.error(), ""); }

  // Starts the program with `options` after its path; the window it opens.
  Window start(const std::vector<std::string>& options, const std::string& display) {
    std::vector<std::string> argv{PROGRAM};
    argv.insert(argv.end(), options.begin(), options.end());
    program.emplace(PROGRAM, argv, display);
    const auto window = findWindowByTitle(server.connection(), PROGRAM);
    EXPECT_TRUE(window) << program->standardError();
    return window.value_or(0);
  }

  // Drawn as the first frames, at whatever size the window got.
  void expectTheWaveDrawn(Window window, int width, int height) {
    std::optional<Capture> picture;
    EXPECT_TRUE(waitFor([&] {
      picture = captureWindow(server.connection(), window);
      return picture && picture->width == width && picture->height == height && picture->anyDark() &&
             identifyFrame(*picture, 3).frame >= 0;
    })) << "no drawing of the first frames at "
        << width << " x " << height;
    EXPECT_FALSE(program->exitStatus()) << program->standardError();
    EXPECT_EQ(program->standardOutput(), "");
  }

  PrivateXServer server;
  std::optional<RunningProgram> program;
};

TEST_F(ToolkitOptions, DisplayOptionReplacesTheVariable) {
  expectTheWaveDrawn(start({"-display", server.name()}, ""), START_WIDTH, START_HEIGHT);
}

TEST_F(ToolkitOptions, GeometrySetsTheWindowSize) {
  expectTheWaveDrawn(start({"-geometry", "500x300"}, server.name()), 500, 300);
}

TEST_F(ToolkitOptions, UnknownOptionsAndArgumentsAreLeftAlone) {
  expectTheWaveDrawn(start({"-no-such-option", "extra"}, server.name()), START_WIDTH, START_HEIGHT);
}

// As a tiling window manager does: the window is given its size on its map
// request, before it is shown, so its first drawing must already fill it.
TEST_F(ToolkitOptions, AWindowSizedBeforeItIsShownIsDrawnWhole) {
  Display* x = server.connection();
  XSelectInput(x, DefaultRootWindow(x), SubstructureRedirectMask);
  XSync(x, False);
  const Window window = start({}, server.name());
  EXPECT_TRUE(waitFor([&] {
    XEvent event;
    if (!XCheckTypedEvent(x, MapRequest, &event)) return false;
    XMoveResizeWindow(x, event.xmaprequest.window, 0, 0, 1000, 400);
    XMapWindow(x, event.xmaprequest.window);
    XSync(x, False);
    return event.xmaprequest.window == window;
  })) << "no map request";
  expectTheWaveDrawn(window, 1000, 400);
}

// The toolkit leaves the size it could not parse unset and creates a window
// of whatever the memory held (seen: 0 and 32896 pixels), run by run. The X
// server may then refuse the first drawing, and the toolkit ends the program
// with that X error: a message and status 1. Or the window takes it and the
// program runs. Never a death by a signal, nor a word on standard output.
TEST_F(ToolkitOptions, UnparsableGeometryEitherEndsWithTheToolkitsErrorOrRuns) {
  for (const char* geometry : {"garbage", "500x", "x300+5"}) {
    program.emplace(PROGRAM, std::vector<std::string>{PROGRAM, "-geometry", geometry}, server.name());
    if (const auto status = program->waitForExit(std::chrono::seconds(5))) {
      EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << geometry << ": wait status " << *status;
      EXPECT_NE(program->standardError(), "") << geometry;
    } else {
      EXPECT_TRUE(findWindowByTitle(server.connection(), PROGRAM))
          << geometry << ": running without a window";
    }
    EXPECT_EQ(program->standardOutput(), "");
  }
}

TEST_F(ToolkitOptions, DisplayOptionWithoutItsValueEndsCleanly) {
  program.emplace(PROGRAM, std::vector<std::string>{PROGRAM, "-display"}, server.name());
  const auto status = program->waitForExit();
  ASSERT_TRUE(status) << "still running";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) != 0) << "wait status " << *status;
  EXPECT_NE(program->standardError(), "");
}

// Ends promptly and completely whichever way it is told to go.
void expectEndedPromptly(RunningProgram& program) {
  const auto status = program.waitForExit();
  ASSERT_TRUE(status) << "still running";
  EXPECT_FALSE(WIFSIGNALED(*status) && WTERMSIG(*status) != SIGTERM)
      << "died of signal " << WTERMSIG(*status);
  EXPECT_FALSE(program.processExists()) << "the process is still there";
}

TEST_F(Window1d, ClosingTheWindowEndsTheProgram) {
  askToClose();
  expectEndedPromptly(*program);
  const auto status = program->exitStatus();
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
      << "wait status " << *status << "; " << program->standardError();
}

// Once the window is up: a connection cut while the toolkit is still
// creating the window can deadlock inside the toolkit's exit handler.
TEST_F(Window1d, ADisconnectionByTheWindowSystemEndsTheProgram) {
  ASSERT_TRUE(waitForFrame(START_WIDTH, START_HEIGHT));
  XKillClient(x(), window);
  XSync(x(), False);
  expectEndedPromptly(*program);
}

// As a user's kill -SEGV would: the signal ends it the first time, as it
// would any program, though the program handles SIGSEGV from a lost display.
class SentSignal : public Window1d {
 protected:
  SentSignal() { environment = {faultsEndInTheirSignal()}; }
};

TEST_F(SentSignal, ASigsegvSentOnceEndsTheProgram) {
  ASSERT_TRUE(waitForFrame(START_WIDTH, START_HEIGHT));
  program->signal(SIGSEGV);
  const auto status = program->waitForExit(std::chrono::seconds(10));
  ASSERT_TRUE(status) << "still running after a SIGSEGV";
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV) << "wait status " << *status;
}

TEST_F(Window1d, SigtermEndsTheProgramWhileAnimating) {
  click(LEFT);
  program->signal(SIGTERM);
  expectEndedPromptly(*program);
}

}  // namespace
