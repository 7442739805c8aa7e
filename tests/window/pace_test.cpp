// The animation's pace: 60 frames a second unless another is asked for, as
// fast as the machine allows with 0, and bad values refused before any window.
#include <sys/wait.h>

#include <algorithm>
#include <iostream>

#include "window_fixture.hpp"

namespace {

// At 1000 x 400 the wave stays in view until about frame 1300.
constexpr int FRAMES_TO_SEARCH = 1200;
constexpr std::chrono::seconds SPAN{2};

class AnimationPace : public Window1d {
 protected:
  AnimationPace() { command = {PROGRAM, "-geometry", "1000x400"}; }

  void SetUp() override {
    Window1d::SetUp();
    modelFrames(FRAMES_TO_SEARCH);  // computed now, not between captures
  }

  // The program started anew with `options`; `name` is its argv[0], so that
  // its window is told from the last one's by the title.
  void restartWith(const std::string& name, std::vector<std::string> options) {
    options.insert(options.begin(), title = name);
    options.insert(options.end(), {"-geometry", "1000x400"});
    program.emplace(PROGRAM, options, server.name());
    const auto found = findWindowByTitle(x(), title);
    ASSERT_TRUE(found) << "no window titled " << title << "; stderr: " << program->standardError();
    window = *found;
  }

  // Measured from the first frame the window shows, the GL driver being set
  // up by then; `start` is the clicking that starts the animation. Beside
  // it, when paced, the pace a sleeper gets meanwhile.
  struct Measured {
    Pace program;
    double sleepers = 0;
  };
  template <typename Start>
  std::optional<Measured> paceOnceStarted(int framesPerSecond, Start start) {
    if (!waitForFrame(1000, 400)) return std::nullopt;
    start();
    std::optional<SleepersPace> sleeper;
    if (framesPerSecond > 0) sleeper.emplace(framesPerSecond);
    const auto pace = measurePace(SPAN, FRAMES_TO_SEARCH);
    press(RIGHT);
    if (!pace) return std::nullopt;
    return Measured{*pace, sleeper ? sleeper->framesPerSecond() : 0};
  }
};

TEST_F(AnimationPace, SixtyFramesASecondByDefaultTheChosenPaceOnRequestAndFarMoreWithZero) {
  const auto byDefault = paceOnceStarted(60, [&] { click(LEFT); });
  ASSERT_TRUE(byDefault) << "no frames by default";
  // A stop and a start in quick succession leave it at its pace: neither
  // stopped by the stop's leftover timer nor faster for it.
  restartWith("paced at 20", {"--frames-per-second=20"});
  const auto at20 = paceOnceStarted(20, [&] {
    click(LEFT);
    click(RIGHT);
    click(LEFT);
  });
  ASSERT_TRUE(at20) << "no frames at 20 a second";
  restartWith("unpaced", AS_FAST_AS_IT_GOES);
  const auto unpaced = paceOnceStarted(0, [&] { click(LEFT); });
  ASSERT_TRUE(unpaced) << "no frames unpaced";
  for (const auto& [name, measured] :
       {std::pair{"by default", *byDefault}, {"at 20", *at20}, {"unpaced", *unpaced}})
    std::cout << "[   INFO   ] " << name << ": " << measured.program.framesPerSecond
              << " frames/s at 1000 x 400 (a sleeper's: " << measured.sleepers << "), "
              << measured.program.cpuSecondsPerFrame * 1e3 << " ms of CPU time a frame\n";

  // Within a third of the pace chosen, or of what a sleeper got meanwhile
  // if that was less.
  const auto expectNear = [&](const Measured& measured, double chosen) {
    EXPECT_LE(measured.program.framesPerSecond, chosen * 4 / 3) << "asked for " << chosen;
    EXPECT_GE(measured.program.framesPerSecond, std::min(chosen, measured.sleepers) * 2 / 3)
        << "asked for " << chosen;
  };
  expectNear(*byDefault, 60);
  expectNear(*at20, 20);
  EXPECT_GT(unpaced->program.framesPerSecond, 1.5 * byDefault->program.framesPerSecond);
  // Between paced frames the program sleeps: a frame costs it about what an
  // unpaced one does, where waiting by polling would cost a period's worth.
  EXPECT_LT(byDefault->program.cpuSecondsPerFrame, 4 * unpaced->program.cpuSecondsPerFrame);
}

// Refused before the toolkit starts: with no display at all, a value taken
// would end in the toolkit's failure to open one (status 1) instead.
TEST(FramesPerSecondOption, BadValuesAreRefusedInOneLineWithStatusTwoGoodOnesAreTaken) {
  const auto run = [](std::vector<std::string> options) {
    options.insert(options.begin(), PROGRAM);
    RunningProgram program(PROGRAM, options, "");
    const auto status = program.waitForExit();
    EXPECT_EQ(program.standardOutput(), "");
    return std::pair{status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1, program.standardError()};
  };
  const std::vector<std::vector<std::string>> bad{
      {"abc"}, {"-3"}, {"12.5"}, {""}, {" 60"}, {"+60"}, {"1e9"}, {"1001"}, {"99999999999999999999"}};
  for (const auto& value : bad) {
    std::vector<std::string> options{"--frames-per-second"};
    options.insert(options.end(), value.begin(), value.end());
    const auto [status, said] = run(options);
    EXPECT_EQ(status, 2) << value[0] << ": " << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(said.rfind("wave1d: --frames-per-second", 0), 0u) << said;
    EXPECT_NE(said.find("\"" + value[0] + "\""), std::string::npos) << "the value is not named: " << said;
  }
  for (const auto& options : {std::vector<std::string>{"--frames-per-second"},
                              {"-iconic", "--frames-per-second"},
                              {"--frames-per-second=x"},
                              {"--frames-per-second", "5", "--frames-per-second="}}) {
    const auto [status, said] = run(options);
    EXPECT_EQ(status, 2) << options.back() << ": " << said;
    EXPECT_NE(said.find("usage: wave1d [--frames-per-second N]"), std::string::npos) << said;
  }
  for (const char* good : {"0", "1", "007", "1000"}) {
    const auto [status, said] = run({"--frames-per-second", good});
    EXPECT_EQ(status, 1) << good << ": " << said;
    EXPECT_NE(said.find("failed to open display"), std::string::npos) << good << ": " << said;
  }
}

}  // namespace
