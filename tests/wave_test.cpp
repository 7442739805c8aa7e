#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "approx.hpp"
#include "every_product_path.hpp"
#include "linalg/vector_summary.hpp"
#include "wave/wave_model.hpp"

namespace {

// A fresh wave per test; the state is large, so it lives on the heap.
std::unique_ptr<WaveState> setUpWave() {
  auto state = std::make_unique<WaveState>();
  ensureInitialized(*state);
  return state;
}

bool allZeroFrom(const Vector& v, std::int32_t first) {
  return std::all_of(v.data.begin() + first, v.data.end(), [](double x) { return x == 0.0; });
}

}  // namespace

TEST(WaveSetUp, EverythingIsZeroBeforeTheFirstFrame) {
  const auto state = std::make_unique<WaveState>();
  EXPECT_FALSE(state->initialized);
  for (const Vector* v : {&state->previous, &state->current, &state->shown}) {
    EXPECT_EQ(v->size, POINT_COUNT);
    EXPECT_TRUE(allZeroFrom(*v, 0));
  }
  EXPECT_EQ(state->stepMatrix.n, POINT_COUNT);
  EXPECT_TRUE(std::all_of(state->stepMatrix.data.begin(), state->stepMatrix.data.end(),
                          [](double x) { return x == 0.0; }));
}

TEST(WaveSetUp, InitialShapeIsOneSinePeriodAtRest) {
  const auto state = setUpWave();
  const Vector& p = state->previous;
  EXPECT_EQ(p[0], 0.0);
  EXPECT_TRUE(agreesToDigitsGiven(p[1], "0.12557734"));
  EXPECT_TRUE(agreesToDigitsGiven(p[25], "1.9999999979"));
  EXPECT_TRUE(agreesToDigitsGiven(p[50], "0.000185"));
  EXPECT_TRUE(agreesToDigitsGiven(p[75], "-1.9999999807"));
  EXPECT_TRUE(agreesToDigitsGiven(p[100], "-0.00037061"));
  EXPECT_TRUE(allZeroFrom(p, 101));
  EXPECT_EQ(state->current.data, p.data);
  EXPECT_EQ(state->shown.data, p.data);
  EXPECT_TRUE(state->initialized);
}

TEST(WaveSetUp, SecondCallChangesNothing) {
  const auto state = setUpWave();
  state->previous[3] = 42.0;
  state->stepMatrix(5, 5) = 42.0;
  ensureInitialized(*state);
  EXPECT_EQ(state->previous[3], 42.0);
  EXPECT_EQ(state->stepMatrix(5, 5), 42.0);
}

TEST(WaveSetUp, StepMatrixIsTridiagonalAndEveryRowSumsToMinusOne) {
  const auto state = setUpWave();
  const Matrix& m = state->stepMatrix;
  EXPECT_EQ(m(0, 0), -1.00005);
  EXPECT_EQ(m(0, 1), 0.00005);
  EXPECT_EQ(m(100, 99), 0.00005);
  EXPECT_EQ(m(100, 100), -1.0001);
  EXPECT_EQ(m(100, 101), 0.00005);
  EXPECT_EQ(m(200, 199), 0.00005);
  EXPECT_EQ(m(200, 200), -1.00005);
  int nonZero = 0;
  for (double x : m.data) nonZero += x != 0.0;
  EXPECT_EQ(nonZero, 3 * POINT_COUNT - 2);

  Vector ones(POINT_COUNT);
  std::fill(ones.data.begin(), ones.data.end(), 1.0);
  const Vector r = m * ones;
  for (std::int32_t i = 0; i < POINT_COUNT; ++i) EXPECT_NEAR(r[i], -1.0, FEW_ROUNDINGS) << "row " << i;
}

TEST(WaveStep, FirstStepsSpreadTheWaveOnePointAtATime) {
  const auto state = setUpWave();
  const Vector before = state->current;
  step(*state);
  EXPECT_TRUE(agreesToDigitsGiven(state->shown[0], "6.2789e-06"));
  EXPECT_TRUE(agreesToDigitsGiven(state->shown[101], "-1.8531e-08"));
  EXPECT_EQ(state->shown.data, state->current.data);
  EXPECT_EQ(state->previous.data, before.data) << "the older level is the one displaced";
  EXPECT_EQ(state->shown[102], 0.0);
  step(*state);
  EXPECT_EQ(state->shown[102], 0.0);
  step(*state);
  EXPECT_NE(state->shown[102], 0.0);
}

TEST(WaveAdvance, OneAndTwoFrames) {
  const auto state = setUpWave();
  advance(*state);
  const Vector& s = state->shown;
  EXPECT_TRUE(agreesToDigitsGiven(s[0], "0.0082411"));
  EXPECT_TRUE(agreesToDigitsGiven(s[50], "0.00018526"));
  EXPECT_TRUE(agreesToDigitsGiven(s[100], "-0.0085041"));
  EXPECT_TRUE(agreesToDigitsGiven(s[101], "-0.00010755"));
  EXPECT_NE(s[126], 0.0);
  EXPECT_TRUE(allZeroFrom(s, 127));
  advance(*state);
  EXPECT_NE(s[151], 0.0);
  EXPECT_TRUE(allZeroFrom(s, 152));
  EXPECT_TRUE(agreesToDigitsGiven(s[0], "0.031633"));
}

// The older level feeds the second difference, so every non-constant mode
// grows a little each step: slowly for a thousand frames, then without bound.
TEST(WaveAdvance, LongRunGrowsWithoutBound) {
  const auto state = setUpWave();
  const struct {
    int frames;
    const char* largest;
  } checkpoints[] = {{1, "1.9995"},    {1000, "1.2290"},  {1500, "3.9289"},
                     {2000, "36.905"}, {3000, "5,702.0"}, {4000, "961,941"}};
  int done = 0;
  double largestAt2000 = 0;
  for (const auto& checkpoint : checkpoints) {
    for (; done < checkpoint.frames; ++done) advance(*state);
    EXPECT_TRUE(agreesToDigitsGiven(largestMagnitude(state->shown), checkpoint.largest))
        << "after " << checkpoint.frames << " frames";
    if (done == 2000) largestAt2000 = largestMagnitude(state->shown);
  }
  // By frame 2000 the fastest mode dominates. Its eigenvalue under -L is
  // 4 cos^2(pi / 402); each step multiplies it by sqrt(1 + c lambda).
  const double lambda = 4 * std::pow(std::cos(3.14159265358979323846 / 402), 2);
  const double predictedPerFrame = STEPS_PER_FRAME / 2.0 * std::log1p(0.00005 * lambda);
  const double measuredPerFrame = std::log(largestMagnitude(state->shown) / largestAt2000) / 2000;
  EXPECT_NEAR(measuredPerFrame / predictedPerFrame, 1.0, GROWTH_RATE_TOLERANCE);
}

// The figures docs/growth.md gives, from the model itself: about 140,000
// frames, half a minute in an optimised build.
TEST(WaveOverflow, ReachedAtTheStepsTheGrowthPageGives) {
  constexpr long FIRST_INFINITE_STEP = 7167027, FIRST_ALL_NAN_STEP = 7167029;
  const auto state = setUpWave();
  long done = 0;
  while (!anyInfinite(state->shown)) {
    step(*state);
    ++done;
    ASSERT_LE(done, FIRST_INFINITE_STEP);
  }
  EXPECT_EQ(done, FIRST_INFINITE_STEP);
  while (!allNan(state->shown)) {
    step(*state);
    ++done;
    ASSERT_LE(done, FIRST_ALL_NAN_STEP);
  }
  EXPECT_EQ(done, FIRST_ALL_NAN_STEP);
}

// Near the end of the double range a step overflows to infinity; the
// next product then multiplies the matrix's zeros by it, and 0 x inf makes
// every row NaN, as IEEE arithmetic says. Nothing traps or stops.
TEST(WaveOverflow, InfinityTurnsEveryValueNanAndNanStays) {
  const auto state = setUpWave();
  for (double& x : state->current.data) x *= 1e308;
  step(*state);
  EXPECT_TRUE(anyInfinite(state->shown));
  step(*state);
  step(*state);
  EXPECT_TRUE(allNan(state->shown));
  advance(*state);
  EXPECT_TRUE(allNan(state->shown));
}

namespace {

// FNV-1a over the bits of the three state vectors, each value's eight bytes
// taken from the least significant up: the same digest on either byte order.
std::uint64_t stateDigest(const WaveState& state) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const Vector* v : {&state.previous, &state.current, &state.shown})
    for (double x : v->data) {
      std::uint64_t bits = 0;
      std::memcpy(&bits, &x, sizeof x);
      for (int shift = 0; shift < 64; shift += 8) hash = (hash ^ ((bits >> shift) & 0xFF)) * 0x100000001b3ULL;
    }
  return hash;
}

// The state after 200 and 4000 frames, recorded once from the in-order
// product. Any change of arithmetic order, a fused multiply-add or fast-math
// changes them. By frame 200 every point has moved and every step's products
// have been taken of the whole string: a fault in any operation shows in its
// bits already. The long run, in seconds natively, is for the growth as well.
//
// The set-up takes the C library's sine as it is, and Linux's (glibc, also
// on arm64; musl's under Emscripten agrees) and Windows' (MinGW-w64's own,
// linked into the program: x87 fsin at extended precision, which its start-up
// code sets) round 2 sin(i * 3.1415 / 50) differently at i = 4 and i = 50,
// in the last bit. That alone parts the two from the first frame on.
struct SineBits {
  std::int32_t point;
  std::uint64_t linux;
  std::uint64_t windows;
};
constexpr SineBits SINE_WHERE_LIBRARIES_DIFFER[] = {{4, 0x3fdfd4d5c06a48d0, 0x3fdfd4d5c06a48d1},
                                                    {50, 0x3f2849e08cbf6175, 0x3f2849e08cbf6174}};
constexpr std::uint64_t LINUX_DIGEST_AT_SET_UP = 0x6bb0b755a87ccec3;
constexpr std::uint64_t LINUX_DIGEST_AFTER_200_FRAMES = 0x178d2edde9555b9e;
#if defined(_WIN32)
constexpr std::uint64_t DIGEST_AFTER_200_FRAMES = 0xb9527dac3165c302;
constexpr std::uint64_t DIGEST_AFTER_4000_FRAMES = 0x69b0c2cb3bc432d8;
#else
constexpr std::uint64_t DIGEST_AFTER_200_FRAMES = LINUX_DIGEST_AFTER_200_FRAMES;
constexpr std::uint64_t DIGEST_AFTER_4000_FRAMES = 0xcd5276f2f2e4a1b4;
#endif

double fromBits(std::uint64_t bits) {
  double x = 0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

using WaveOnEveryPath = EveryProductPath;

TEST_P(WaveOnEveryPath, TwoHundredFramesEndInTheRecordedBits) {
  const auto state = setUpWave();
  for (int frame = 0; frame < 200; ++frame) advance(*state);
  EXPECT_EQ(stateDigest(*state), DIGEST_AFTER_200_FRAMES) << std::hex << stateDigest(*state);
}

TEST_P(WaveOnEveryPath, FourThousandFramesEndInTheRecordedBits) {
  const auto state = setUpWave();
  for (int frame = 0; frame < 4000; ++frame) advance(*state);
  EXPECT_EQ(stateDigest(*state), DIGEST_AFTER_4000_FRAMES) << std::hex << stateDigest(*state);
}

// Everything after the sine is the same arithmetic everywhere: given Linux's
// values at the two points, this platform's set-up is Linux's to the bit,
// and its steps end where Linux's do.
TEST(WaveBits, FromLinuxsSineEveryPlatformReachesLinuxsBits) {
  const auto state = setUpWave();
  for (const SineBits& differing : SINE_WHERE_LIBRARIES_DIFFER) {
    const double here = state->previous[differing.point];
    EXPECT_TRUE(here == fromBits(differing.linux) || here == fromBits(differing.windows))
        << "point " << differing.point << ": neither library's sine";
    for (Vector* v : {&state->previous, &state->current, &state->shown})
      (*v)[differing.point] = fromBits(differing.linux);
  }
  EXPECT_EQ(stateDigest(*state), LINUX_DIGEST_AT_SET_UP) << std::hex << stateDigest(*state);
  for (int frame = 0; frame < 200; ++frame) advance(*state);
  EXPECT_EQ(stateDigest(*state), LINUX_DIGEST_AFTER_200_FRAMES) << std::hex << stateDigest(*state);
}

INSTANTIATE_TEST_SUITE_P(Every, WaveOnEveryPath, EVERY_PRODUCT_PATH);

}  // namespace
