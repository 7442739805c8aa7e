// The X server killed under the program, as a logout, a dropped ssh -X
// connection or a crashed compositor would: at moments spread over its
// start-up, where the GL driver's set-up used to crash it (a fault or a
// SIGPIPE in about one run in six), with the wave standing still, and while
// it animates. Every time it must end at once with status 1 and say which
// display it lost.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "reset_connection.hpp"
#include "resetting_proxy.hpp"
#include "window_fixture.hpp"

namespace {

// Far longer than an ending takes; a program past it has hung.
constexpr std::chrono::seconds AT_ONCE{10};
constexpr int START_UP_RUNS = 24;
constexpr std::chrono::milliseconds START_UP_SPACING{10};

std::string lostLine(const std::string& display) {
  return "wave1d: lost the connection to the X display " + display + "\n";
}

void expectEndedWithStatusOne(RunningProgram& program, const std::string& when) {
  const auto status = program.waitForExit(AT_ONCE);
  ASSERT_TRUE(status) << when << ": still running " << AT_ONCE.count() << " s after the display was lost";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1)
      << when << ": " << (WIFSIGNALED(*status) ? "died of signal " : "wait status ")
      << (WIFSIGNALED(*status) ? WTERMSIG(*status) : *status) << "; " << program.standardError();
  EXPECT_EQ(program.standardOutput(), "");
}

// Killed this early, the toolkit may not have connected yet and fails to
// open the display instead; its message names the display too.
TEST(DisplayLoss, DuringStartUpTheProgramEndsWithStatusOne) {
  for (const auto transport : {PrivateXServer::Transport::UNIX_SOCKET, PrivateXServer::Transport::TCP})
    for (int run = 0; run < START_UP_RUNS; ++run) {
      PrivateXServer server(transport);
      ASSERT_EQ(server.error(), "");
      RunningProgram program(PROGRAM, {PROGRAM}, server.name());
      const auto delay = run * START_UP_SPACING;
      std::this_thread::sleep_for(delay);
      server.crash();
      const std::string when = std::to_string(delay.count()) + " ms after the start on " + server.name();
      expectEndedWithStatusOne(program, when);
      const std::string said = program.standardError();
      EXPECT_NE(said.find(server.name(), said.rfind('\n', said.size() - 2) + 1), std::string::npos)
          << when << ": the last line does not name " << server.name() << ": " << said;
    }
}

// Lost as the toolkit starts, before the window exists, by `lose()`, and
// the GL driver then faulting on the dead connection.
void expectLostBeforeTheWindowExists(const std::string& display, const std::function<void()>& lose) {
  RunningProgram program(PROGRAM, {PROGRAM}, display,
                         {"LD_PRELOAD=" FAULTY_GL_DRIVER_PATH,
                          "FAULT_IN=glXQueryExtension once the display is gone", faultsEndInTheirSignal()});
  ASSERT_TRUE(waitFor([&] {
    return program.standardError().find("waiting for the display") != std::string::npos;
  })) << program.standardError();
  lose();
  expectEndedWithStatusOne(program, "lost on " + display);
  EXPECT_EQ(program.standardError(), "faulty GL driver: waiting for the display to go\n" + lostLine(display));
}

// The server killed, over either transport: its connection hangs up.
TEST(DisplayLoss, LostBeforeTheWindowExistsAndThenAFaultEndsWithStatusOne) {
  for (const auto transport : {PrivateXServer::Transport::UNIX_SOCKET, PrivateXServer::Transport::TCP}) {
    PrivateXServer server(transport);
    ASSERT_EQ(server.error(), "");
    expectLostBeforeTheWindowExists(server.name(), [&] { server.crash(); });
  }
}

// The display's TCP connection reset on the way, with the server alive: it
// has no peer address left to tell it by.
TEST(DisplayLoss, ResetBeforeTheWindowExistsAndThenAFaultEndsWithStatusOne) {
  PrivateXServer server(PrivateXServer::Transport::TCP);
  ASSERT_EQ(server.error(), "");
  ResettingProxy proxy(6000 + std::stoi(server.name().substr(server.name().rfind(':') + 1)));
  ASSERT_NE(proxy.name(), "") << "no display number free for the proxy";
  expectLostBeforeTheWindowExists(proxy.name(), [&] { proxy.reset(); });
}

// The other way round: the display alive, a genuine fault in the GL driver
// and sockets besides the display's connection that have hung up: one the
// program inherited (a TCP connection, reset, so with no peer address, as a
// display's can be) and the driver's own (see faulty_gl_driver.cpp). That is
// a crash, to be reported as one, before the window exists and after.
void expectTheFaultsOwnSignal(const char* faultIn) {
  PrivateXServer server;
  ASSERT_EQ(server.error(), "");
  const int inherited = resetConnection();
  ASSERT_GE(inherited, 0);
  RunningProgram program(
      PROGRAM, {PROGRAM}, server.name(),
      {"LD_PRELOAD=" FAULTY_GL_DRIVER_PATH, std::string("FAULT_IN=") + faultIn, faultsEndInTheirSignal()});
  close(inherited);
  const auto status = program.waitForExit(AT_ONCE);
  ASSERT_TRUE(status) << "still running";
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGSEGV)
      << "wait status " << *status << "; " << program.standardError();
  EXPECT_EQ(program.standardError().find("lost the connection"), std::string::npos)
      << program.standardError();
}

TEST(DisplayLoss, AFaultBeforeTheWindowExistsEndsInItsSignalWhateverElseHungUp) {
  expectTheFaultsOwnSignal("glXQueryExtension");
}

TEST(DisplayLoss, AFaultWithTheWindowUpEndsInItsSignalWhateverElseHungUp) {
  expectTheFaultsOwnSignal("glFlush");
}

TEST_F(Window1d, DisplayLostWhileStoppedEndsTheProgramWithStatusOne) {
  ASSERT_TRUE(waitForFrame(START_WIDTH, START_HEIGHT));
  const std::string display = server.name();
  server.crash();
  expectEndedWithStatusOne(*program, "stopped");
  EXPECT_EQ(program->standardError(), lostLine(display));
}

// Paced, the program mostly sleeps between frames when the display goes;
// unpaced, it is mostly drawing.
class DisplayLostWhileAnimating : public Window1d,
                                  public ::testing::WithParamInterface<std::vector<std::string>> {
 protected:
  DisplayLostWhileAnimating() { command.insert(command.end(), GetParam().begin(), GetParam().end()); }
};

TEST_P(DisplayLostWhileAnimating, EndsTheProgramWithStatusOne) {
  const auto before = waitForFrame(START_WIDTH, START_HEIGHT);
  ASSERT_TRUE(before);
  click(LEFT);
  ASSERT_TRUE(waitFor([&] { return !(captureWindow(x(), window) == before->picture); }))
      << "the animation did not start";
  const std::string display = server.name();
  server.crash();
  expectEndedWithStatusOne(*program, "animating");
  EXPECT_EQ(program->standardError(), lostLine(display));
}

INSTANTIATE_TEST_SUITE_P(PacedAndUnpaced, DisplayLostWhileAnimating,
                         ::testing::Values(std::vector<std::string>{}, AS_FAST_AS_IT_GOES));

}  // namespace
