// The channel-pair sine and inverse hyperbolic sine and the two break characters built on them,
// against the C library.
#include "product/dsp/lane_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "product/dsp/break.h"
#include "product/dsp/transistor_fractal.h"

namespace zarvo {
namespace {

// -120 dBFS: the most a faster formula may move any output sample.
constexpr double kAllowedDifference = 1e-6;

// The formulas as first written, one library sine per harmonic: the reference.
double referenceWavefold2(double v, double p, double)
{
  const std::array<double, 4> w = break_shapes::wavefold2Weights(p);
  return 0.5 * (std::sin(v) + w[0] * std::sin(-3.0 * v) + w[1] * std::sin(5.0 * v) + w[2] * std::sin(-7.0 * v) +
                w[3] * std::sin(9.0 * v));
}

double referenceTransBird(double v, double p, double)
{
  return std::asinh(std::sin(v) + std::sin(3.0 * v * p) + std::sin(5.0 * v * p * p) + std::sin(7.0 * v * p * p * p));
}

// The reference with its last term added first: a change of rounding only, to tell a patch that
// amplifies any rounding (chaotic feedback) from one that a formula's error would move.
double reorderedWavefold2(double v, double p, double)
{
  const std::array<double, 4> w = break_shapes::wavefold2Weights(p);
  return 0.5 * (w[3] * std::sin(9.0 * v) + std::sin(v) + w[0] * std::sin(-3.0 * v) + w[1] * std::sin(5.0 * v) +
                w[2] * std::sin(-7.0 * v));
}

double reorderedTransBird(double v, double p, double)
{
  return std::asinh(std::sin(7.0 * v * p * p * p) + std::sin(v) + std::sin(3.0 * v * p) + std::sin(5.0 * v * p * p));
}

// Distance in representable doubles.
int64_t ulpsBetween(double a, double b)
{
  const auto ordered = [](double d) {
    const auto i = std::bit_cast<int64_t>(d);
    return i < 0 ? std::numeric_limits<int64_t>::min() - i : i;
  };
  const int64_t d = ordered(a) - ordered(b);
  return d < 0 ? -d : d;
}

TEST(LaneMath, WithinAnUlpOfTheLibrary)
{
  struct Case
  {
    const char* name;
    double low, high;
  };
  const Case cases[] = {
    {"tiny", -1e-7, 1e-7},
    {"first quadrants", -3.2, 3.2},
    {"signal range", -40.0, 40.0},
    {"up to the reduction's limit", -lane_math::kMaxArgument, lane_math::kMaxArgument},
  };
  std::mt19937_64 rng(11);
  for (const Case& c : cases)
  {
    std::uniform_real_distribution<double> draw(c.low, c.high);
    int64_t worst = 0;
    for (int i = 0; i < 200000; ++i)
    {
      const v2d x{draw(rng), draw(rng)};
      const v2d s = lane_math::sin(x);
      worst = std::max({worst, ulpsBetween(s[0], std::sin(x[0])), ulpsBetween(s[1], std::sin(x[1]))});
      ASSERT_EQ(std::bit_cast<uint64_t>(lane_math::sin(x[0])), std::bit_cast<uint64_t>(s[0])) << "one channel";
    }
    EXPECT_LE(worst, 1) << c.name;
  }
  // Next to multiples of pi/2, where the reduction cancels most of the argument.
  int64_t worst = 0;
  for (int k = -2000; k <= 2000; ++k)
  {
    double x = k * 1.5707963267948966;
    for (int step = 0; step < 4; ++step, x = std::nextafter(x, 1e9))
      worst = std::max(worst, ulpsBetween(lane_math::sin(x), std::sin(x)));
  }
  EXPECT_LE(worst, 1) << "near multiples of pi/2";
}

TEST(LaneMath, EdgesAsTheLibraryGivesThem)
{
  const double inputs[] = {0.0,
                           -0.0,
                           1e-310,
                           -1e-310,
                           2.0 * lane_math::kMaxArgument,
                           -1e300,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (const double x : inputs)
  {
    const v2d s = lane_math::sin(v2d{x, 0.5});
    if (std::isnan(std::sin(x)))
      EXPECT_TRUE(std::isnan(s[0])) << x;
    else
      EXPECT_EQ(std::bit_cast<uint64_t>(s[0]), std::bit_cast<uint64_t>(std::sin(x))) << x;
    EXPECT_EQ(s[1], lane_math::sin(0.5)) << "the other lane at " << x;
  }
}

TEST(LaneMath, AsinhWithinTwoUlpsOfTheLibrary)
{
  std::mt19937_64 rng(13);
  for (const double range : {1e-9, 1e-3, 0.5, 4.0, lane_math::kMaxAsinhArgument})
  {
    std::uniform_real_distribution<double> draw(-range, range);
    int64_t worst = 0;
    for (int i = 0; i < 100000; ++i)
    {
      const v2d y{draw(rng), draw(rng)};
      const v2d a = lane_math::asinh(y);
      worst = std::max({worst, ulpsBetween(a[0], std::asinh(y[0])), ulpsBetween(a[1], std::asinh(y[1]))});
    }
    EXPECT_LE(worst, 2) << "within " << range;
  }
  for (const double y : {0.0, -0.0, 1e-310, -1e-310, 40.0, -1e300, std::numeric_limits<double>::infinity()})
    EXPECT_EQ(std::bit_cast<uint64_t>(lane_math::asinh(v2d{y, 0.5})[0]), std::bit_cast<uint64_t>(std::asinh(y))) << y;
  EXPECT_TRUE(std::isnan(lane_math::asinh(std::numeric_limits<double>::quiet_NaN())));
}

struct SineCharacter
{
  const char* name;
  BreakFunction now;
  BreakFunction reference;
  BreakFunction reordered;
};

const SineCharacter kSineCharacters[] = {
  {"wavefold2", Break::wavefold2, referenceWavefold2, reorderedWavefold2},
  {"transBird", Break::transBird, referenceTransBird, reorderedTransBird},
};

TEST(Break, SineCharactersFollowTheLibraryFormula)
{
  for (const SineCharacter& c : kSineCharacters)
    for (const double p : {0.0, 0.1, 0.35, 0.5, 0.8, 1.0})
    {
      double worst = 0.0;
      for (int i = -40000; i <= 40000; ++i)
      {
        const double x = i * 2.5e-4; // -10 to 10
        worst = std::max(worst, std::fabs(c.now(x, p, 0.0) - c.reference(x, p, 0.0)));
      }
      // Rounding only: a few units in the last place of the sums.
      EXPECT_LT(worst, 1e-13) << c.name << " at p " << p;
    }
}

// The main filter with each sine character against the same filter running the library formula:
// the break in the feedback loop, several amounts, drives and parameters, over a quarter second.
// A chaotic patch turns any rounding into an audible difference within milliseconds (the library
// formula with its terms reordered as much as the channel-pair sine); there the new form must hold
// below -120 dBFS at least half as long as that reordering does.
TEST(Break, SineCharactersInTheFilterStayBelowMinus120Db)
{
  struct Patch
  {
    const char* name;
    double amount, drive, parameter, resonance, breakDouble;
    const char* chaoticFor; // the character whose feedback amplifies rounding, or nullptr
  };
  const Patch patches[] = {
    {"light", 0.2, 0.3, 0.5, 0.5, 0.0, nullptr},
    {"half", 0.5, 0.5, 0.2, 0.7, 0.0, nullptr},
    {"heavy", 0.6, 0.7, 0.5, 0.7, 0.0, nullptr},
    {"full, driven", 1.0, 0.8, 0.8, 0.7, 0.0, nullptr},
    {"full, high p", 1.0, 0.4, 1.0, 0.9, 0.0, "wavefold2"},
    {"doubled", 0.7, 0.6, 0.35, 0.8, 0.5, nullptr},
    {"low p, hot", 0.8, 1.0, 0.05, 0.6, 0.3, nullptr},
  };
  constexpr int kSamples = 24000;
  for (const SineCharacter& c : kSineCharacters)
    for (const Patch& patch : patches)
    {
      BasicTransistorFractal<v2d> now, reference, reordered;
      for (auto* f : {&now, &reference, &reordered})
      {
        f->prepare({96000.0, 512, 2});
        f->setFreq(v2d{900.0, 2500.0});
        f->setResonance(patch.resonance);
        f->setDrive(patch.drive);
        f->setSaturationType(1.0);
        f->setBreakIntensity(patch.amount);
        f->setBreakParam(patch.parameter);
        f->setBreakDouble(patch.breakDouble);
      }
      now.setBreakFunctions(c.now, c.now, 0.0);
      reference.setBreakFunctions(c.reference, c.reference, 0.0);
      reordered.setBreakFunctions(c.reordered, c.reordered, 0.0);
      std::mt19937 rng(5);
      std::uniform_real_distribution<double> noise(-0.3, 0.3);
      double worst = 0.0, peak = 0.0;
      int nowDeparts = kSamples, reorderedDeparts = kSamples; // first sample beyond -120 dBFS
      for (int i = 0; i < kSamples; ++i)
      {
        const double t = i / 96000.0;
        const v2d x{0.5 * std::sin(2.0 * 3.141592653589793 * 110.0 * t) + noise(rng),
                    0.4 * std::sin(2.0 * 3.141592653589793 * 1750.0 * t) + noise(rng)};
        const v2d a = now.processSample(x, both(1.0));
        const v2d b = reference.processSample(x, both(1.0));
        const v2d r = reordered.processSample(x, both(1.0));
        const double d = std::max(std::fabs(a[0] - b[0]), std::fabs(a[1] - b[1]));
        if (d >= kAllowedDifference && nowDeparts == kSamples)
          nowDeparts = i;
        if (std::max(std::fabs(r[0] - b[0]), std::fabs(r[1] - b[1])) >= kAllowedDifference &&
            reorderedDeparts == kSamples)
          reorderedDeparts = i;
        worst = std::max(worst, d);
        peak = std::max({peak, std::fabs(b[0]), std::fabs(b[1])});
      }
      const std::string row = std::string(c.name) + ", " + patch.name;
      EXPECT_GT(peak, 0.01) << row << ": the patch is audible";
      if (patch.chaoticFor != nullptr && std::string(patch.chaoticFor) == c.name)
      {
        EXPECT_LT(reorderedDeparts, kSamples) << row << " amplifies rounding";
        EXPECT_GE(nowDeparts, reorderedDeparts / 2) << row;
      }
      else
        EXPECT_LT(worst, kAllowedDifference) << row;
    }
}

} // namespace
} // namespace zarvo
