// The real program's long runs, in the optimised build only: under the
// sanitizers the same code runs in the short window tests, and these would
// take many minutes there while proving nothing more.
#include <algorithm>
#include <iostream>
#include <thread>

#include "window_fixture.hpp"

namespace {

// One leaked step vector would be 1.6 KB a step, 80 KB a frame; this allows
// only the toolkit's and driver's one-off growth (up to 516 KiB seen).
constexpr long TOLERATED_GROWTH_KIB = 2048;

// Every value is NaN from frame 140,530 on; before that they pass 1e308 and
// infinity. The frame rate is measured early on, while the drawing still
// tells which frame is shown, per second of the program's own CPU time,
// which stays steady however busy the machine is; the run lasts until the
// program has used half as much CPU time again as the NaN frame needs.
constexpr int FIRST_NAN_FRAME = 140530;
constexpr int RATE_FRAMES = 1000;

TEST_F(Window1d, KeepsRunningOnceTheValuesOverflowToNan) {
  modelFrames(RATE_FRAMES + 200);
  const double cpuAtClick = program->cpuSeconds();
  click(LEFT);
  const auto clicked = Clock::now();
  FrameMatch match;
  ASSERT_TRUE(waitFor([&] {
    const auto now = captureWindow(x(), window);
    return now && (match = identifyFrame(*now, RATE_FRAMES + 200)).frame >= RATE_FRAMES;
  })) << "the animation did not reach frame "
      << RATE_FRAMES;
  const double perCpuSecond = match.frame / (program->cpuSeconds() - cpuAtClick);
  const double neededCpu = 1.5 * FIRST_NAN_FRAME / perCpuSecond;
  std::cout << "[   INFO   ] " << perCpuSecond << " frames per CPU second; running until " << neededCpu
            << " CPU seconds\n";
  const long earlyKiB = program->residentKiB();
  long largestKiB = earlyKiB;
  while (program->cpuSeconds() - cpuAtClick < neededCpu) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_FALSE(program->exitStatus()) << "ended while animating: " << program->standardError();
    ASSERT_LT(Clock::now() - clicked, std::chrono::minutes(20)) << "too slow here";
    largestKiB = std::max(largestKiB, program->residentKiB());
  }
  std::cout << "[   INFO   ] resident " << earlyKiB << " KiB at frame " << match.frame << ", at most "
            << largestKiB << " KiB over the next " << static_cast<long>(neededCpu * perCpuSecond)
            << " frames or so, in " << std::chrono::duration<double>(Clock::now() - clicked).count()
            << " s\n";
  EXPECT_LE(largestKiB - earlyKiB, TOLERATED_GROWTH_KIB);
  // Nothing of the NaN state is drawn, and the program still obeys.
  press(RIGHT);
  ASSERT_TRUE(staysStill());
  const auto stopped = captureWindow(x(), window);
  ASSERT_TRUE(stopped);
  EXPECT_FALSE(stopped->anyDark());
  EXPECT_TRUE(repaintsBlankAfterResize());
  EXPECT_FALSE(program->exitStatus()) << program->standardError();
}

// 40 units high: the wave, which grows without bound, stays in view until
// about frame 1850.
constexpr int TALL = 4000;
constexpr int LONG_RUN_FRAMES = 2400;
constexpr int CHECKED_FRAME = 1600;

TEST_F(Window1d, AfterThousandsOfFramesTheDrawingIsStillTheModelsAndMemoryIsFlat) {
  ASSERT_TRUE(resizeTo(1000, TALL));
  const std::vector<Vector>& frames = modelFrames(LONG_RUN_FRAMES);
  click(LEFT);
  long earlyKiB = -1;
  Clock::time_point earlyTime;
  int earlyFrame = 0;
  FrameMatch seen;
  const bool reached = waitFor(
      [&] {
        const auto picture = captureWindow(x(), window);
        if (!picture) return false;
        seen = identifyFrame(*picture, LONG_RUN_FRAMES);
        if (seen.frame >= 300 && earlyKiB < 0) {
          earlyKiB = program->residentKiB();
          earlyTime = Clock::now();
          earlyFrame = seen.frame;
        }
        return seen.frame >= CHECKED_FRAME;
      },
      std::chrono::milliseconds(100));
  press(RIGHT);
  ASSERT_TRUE(reached) << "the animation did not reach frame " << CHECKED_FRAME << ", last seen "
                       << seen.frame;
  const double framesPerSecond =
      (seen.frame - earlyFrame) / std::chrono::duration<double>(Clock::now() - earlyTime).count();

  const auto picture = settledCapture();
  ASSERT_TRUE(picture);
  const FrameMatch stopped = identifyFrame(*picture, LONG_RUN_FRAMES);
  ASSERT_GE(stopped.frame, CHECKED_FRAME);
  ASSERT_LT(stopped.frame + 2, LONG_RUN_FRAMES);
  EXPECT_TRUE(drawingMatches(*picture, frames[stopped.frame]));
  EXPECT_FALSE(drawingMatches(*picture, frames[stopped.frame - 2]))
      << "the comparison cannot tell frames apart";
  EXPECT_FALSE(drawingMatches(*picture, frames[stopped.frame + 2]));

  // Another two thousand frames or so, beyond what the picture can check.
  click(LEFT);
  std::this_thread::sleep_for(std::chrono::duration<double>(std::min(60.0, 2000 / framesPerSecond)));
  press(RIGHT);
  EXPECT_LE(program->residentKiB() - earlyKiB, TOLERATED_GROWTH_KIB)
      << "resident memory at frame " << earlyFrame << ": " << earlyKiB << " KiB";
  std::cout << "[   INFO   ] " << framesPerSecond << " frames/s at 1000 x " << TALL << "; resident "
            << earlyKiB << " KiB at frame " << earlyFrame << ", " << program->residentKiB()
            << " KiB at the end\n";
}

}  // namespace
