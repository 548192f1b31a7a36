#include "utils/soft_limiter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zarvo {
namespace {

const double kCeiling = std::pow(10.0, 6.0 / 20.0); // 6 dB

TEST(SoftLimiter, ModelSettings)
{
  const SoftLimiter limiter(6.0, 6.0);
  EXPECT_DOUBLE_EQ(limiter.threshold(), kCeiling);
  EXPECT_DOUBLE_EQ(limiter.softness(), 0.49881276637272776);
  EXPECT_NEAR(limiter.kneeStart(), 1.0, 1e-12);
  EXPECT_DOUBLE_EQ(limiter.kneeEnd(), 2.9905246299377595);
  EXPECT_DOUBLE_EQ(limiter.curve(), -0.25119005938431127);
}

TEST(SoftLimiter, Values)
{
  struct Case
  {
    const char* name;
    double softnessDb;
    double in;
    double out;
  };
  const double knee = kCeiling - 0.25119005938431127 * 0.9905246299377595 * 0.9905246299377595;
  const Case cases[] = {
    {"below the knee passes", 6.0, 0.9, 0.9},
    {"negative below the knee passes", 6.0, -0.5, -0.5},
    {"inside the knee bends", 6.0, 2.0, knee},
    {"inside the knee, negative", 6.0, -2.0, -knee},
    {"beyond the knee holds the ceiling", 6.0, 3.0, kCeiling},
    {"far beyond, negative", 6.0, -5.0, -kCeiling},
    {"hard clip passes below the ceiling", 0.0, 1.9, 1.9},
    {"hard clip clips", 0.0, 2.5, kCeiling},
    {"hard clip clips negative", 0.0, -2.5, -kCeiling},
  };
  for (const Case& c : cases)
  {
    const SoftLimiter limiter(6.0, c.softnessDb);
    EXPECT_NEAR(limiter.process(c.in), c.out, 1e-12) << c.name;
  }
}

TEST(SoftLimiter, KneeIsSmoothAndZerosKeepTheirSign)
{
  const SoftLimiter limiter(6.0, 6.0);
  const double k = limiter.kneeStart(), b = limiter.kneeEnd(), e = 1e-6;
  EXPECT_NEAR((limiter.process(k + e) - limiter.process(k)) / e, 1.0, 1e-5);
  EXPECT_NEAR((limiter.process(b) - limiter.process(b - e)) / e, 0.0, 1e-5);
  EXPECT_TRUE(std::signbit(limiter.process(-0.0)));
  EXPECT_FALSE(std::signbit(limiter.process(0.0)));

  double left[3] = {0.5, 2.0, 9.0}, right[3] = {-9.0, -0.5, 0.75};
  double* channels[2] = {left, right};
  AudioBuffer block(channels, 2, 3);
  limiter.processBuffer(block);
  EXPECT_EQ(left[0], 0.5);
  EXPECT_EQ(left[2], kCeiling);
  EXPECT_EQ(right[0], -kCeiling);
  EXPECT_EQ(right[2], 0.75);
}

// The model limits both channels at once; each must come out exactly as it does alone, signed
// zeros, the knee's edges, infinities and NaN included.
TEST(SoftLimiter, ChannelPairGivesEachSampleAsAloneBitForBit)
{
  const double inf = std::numeric_limits<double>::infinity();
  const double inputs[] = {0.0,   -0.0, 0.5,
                           0.9,   1.0,  std::nextafter(1.0, 2.0),
                           1.7,   -2.0, 2.9905246299377595,
                           -3.0,  5.0,  1e300,
                           -inf,  inf,  std::numeric_limits<double>::quiet_NaN(),
                           4e-320};
  for (const double softnessDb : {6.0, 0.0})
  {
    const SoftLimiter limiter(6.0, softnessDb);
    for (const double a : inputs)
      for (const double b : {-a, 0.25})
      {
        double pair[2];
        _mm_storeu_pd(pair, limiter.process(_mm_set_pd(b, a)));
        EXPECT_EQ(std::bit_cast<uint64_t>(pair[0]), std::bit_cast<uint64_t>(limiter.process(a))) << a;
        EXPECT_EQ(std::bit_cast<uint64_t>(pair[1]), std::bit_cast<uint64_t>(limiter.process(b))) << b;
      }
  }
}

} // namespace
} // namespace zarvo
