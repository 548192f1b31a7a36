#include "utils/utils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zarvo::utils {
namespace {

TEST(NumericUtils, ExactValues)
{
  struct Case
  {
    const char* name;
    double actual;
    double expected;
  };
  const Case cases[] = {
    {"two(0) is the middle of the first interval", fastPowf.two(0.0f), 1.0000845193862915},
    {"two(1)", fastPowf.two(1.0f), 2.000169038772583},
    {"centsFactorFast(0)", centsFactorFast(0.0f), 1.0000845193862915},
    {"dbToLinear(-140)", dbToLinear(-140.0f), 0.0},
    {"dbToLinear(-200)", dbToLinear(-200.0f), 0.0},
    {"dbToLinear(0)", dbToLinear(0.0f), 1.0},
    {"linearToDB(1e-7)", linearToDB(1e-7f), -140.0},
    {"linearToDB(0)", linearToDB(0.0f), -140.0},
    {"msToSamples(0, 48000)", static_cast<double>(msToSamples(0.0f, 48000.0f)), 1.0},
    {"msToSamples(1, 44100)", static_cast<double>(msToSamples(1.0f, 44100.0f)), 44.0},
    {"msToSamples(1.5, 1000) rounds half up", static_cast<double>(msToSamples(1.5f, 1000.0f)), 2.0},
    {"msToSamples(-5, 48000)", static_cast<double>(msToSamples(-5.0f, 48000.0f)), 1.0},
    {"PowFast(30) has precision 18", static_cast<double>(fast_approx::PowFast(30).precision()), 18.0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(NumericUtils, ApproximationsStayClose)
{
  struct Case
  {
    const char* name;
    double actual;
    double expected;
    double relTolerance;
  };
  const Case cases[] = {
    {"two(-3.3)", fastPowf.two(-3.3f), std::exp2(-3.3), 2e-4},
    {"two(7.9)", fastPowf.two(7.9f), std::exp2(7.9), 2e-4},
    {"e(2.5)", fastPowf.e(2.5f), std::exp(2.5), 2e-4},
    {"ten(-1.7)", fastPowf.ten(-1.7f), std::pow(10.0, -1.7), 2e-4},
    {"r(ln 3, 2)", fastPowf.r(std::log(3.0f), 2.0f), 9.0, 2e-4},
    {"dbToLinearFast(-6)", dbToLinearFast(-6.0f), std::pow(10.0, -0.3), 2e-4},
    {"dbToLinear(6)", dbToLinear(6.0f), std::pow(10.0, 0.3), 1e-6},
    {"noteToFreqFast(81, 440)", noteToFreqFast(81.0f, 440.0f), 880.0, 2e-4},
    {"centsFactorFast(1200)", centsFactorFast(1200.0f), 2.0, 2e-4},
    {"fastLog2f(10)", fastLog2f(10.0f), std::log2(10.0), 1e-3},
    {"fastLog10f(1000)", fastLog10f(1000.0f), 3.0, 1e-3},
    {"linearToDBFast(0.5)", linearToDBFast(0.5f), 20.0 * std::log10(0.5), 1e-3},
    {"msToSamplesFloat(2, 48000)", msToSamplesFloat(2.0f, 48000.0f), 96.0, 1e-7},
    {"samplesToMs(441, 44100)", samplesToMs(441, 44100.0f), 10.0, 1e-6},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(c.actual, c.expected, std::fabs(c.expected) * c.relTolerance) << c.name;
}

TEST(NumericUtils, InterleaveRoundTrip)
{
  AudioBuffer planar(3, 4);
  for (std::size_t c = 0; c < 3; ++c)
    for (std::size_t f = 0; f < 4; ++f)
      planar.channel(c)[f] = static_cast<double>(10 * c + f);
  AudioBuffer flat(1, 12);
  interleave(planar, flat);
  const double expected[12] = {0, 10, 20, 1, 11, 21, 2, 12, 22, 3, 13, 23};
  for (std::size_t i = 0; i < 12; ++i)
    EXPECT_EQ(flat.channel(0)[i], expected[i]) << i;

  AudioBuffer back(3, 4);
  deinterleave(flat, back);
  for (std::size_t c = 0; c < 3; ++c)
    for (std::size_t f = 0; f < 4; ++f)
      EXPECT_EQ(back.channel(c)[f], planar.channel(c)[f]);

  // A destination too short for every frame takes the frames that fit.
  AudioBuffer shortFlat(1, 7);
  interleave(planar, shortFlat);
  EXPECT_EQ(shortFlat.channel(0)[5], 21.0);
  EXPECT_EQ(shortFlat.channel(0)[6], 0.0);
}

} // namespace
} // namespace zarvo::utils
