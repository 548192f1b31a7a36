#include "product/dsp/break.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "product/dsp/saturation.h"

namespace zarvo {
namespace {

TEST(Break, CharacterValueSelectsFunctionsAndBlend)
{
  struct Case
  {
    const char* name;
    double v;
    BreakFunction f1;
    BreakFunction f2;
    double blend;
  };
  const Case cases[] = {
    {"3.05 is negFiveSat alone", 3.05, Break::negFiveSat, Break::negFiveSat, 0.0},
    {"3.5 blends negFiveSat and dblCubeSat halfway", 3.5, Break::negFiveSat, Break::dblCubeSat, 0.5},
    {"3.9 is dblCubeSat alone", 3.9, Break::dblCubeSat, Break::dblCubeSat, 0.0},
    {"4.1 is dblCubeSat alone", 4.1, Break::dblCubeSat, Break::dblCubeSat, 0.0},
    {"4.2 starts the next blend", 4.2, Break::dblCubeSat, Break::sinCrest, 0.125},
    {"0 is square", 0.0, Break::square, Break::square, 0.0},
    {"10 is clicks", 10.0, Break::clicks, Break::clicks, 0.0},
    {"above the range is clicks", 12.0, Break::clicks, Break::clicks, 0.0},
    {"below the range is square", -3.0, Break::square, Break::square, 0.0},
    {"NaN is square", NAN, Break::square, Break::square, 0.0},
  };
  for (const Case& c : cases)
  {
    const BreakSelection s = BreakSelection::of(c.v);
    EXPECT_EQ(s.f1, c.f1) << c.name;
    EXPECT_EQ(s.f2, c.f2) << c.name;
    EXPECT_NEAR(s.blend, c.blend, 1e-12) << c.name;
  }
}

TEST(Break, GetFunctionClampsTheCharacter)
{
  const BreakFunction inOrder[] = {Break::square,     Break::bitCrush,  Break::nSquare,   Break::negFiveSat,
                                   Break::dblCubeSat, Break::sinCrest,  Break::trigNoise, Break::wavefold,
                                   Break::wavefold2,  Break::transBird, Break::clicks};
  for (int c = 0; c < kNumBreakChars; ++c)
    EXPECT_EQ(Break::getFunction(static_cast<BreakChar>(c)), inOrder[c]) << c;
  EXPECT_EQ(Break::getFunction(static_cast<BreakChar>(11)), Break::clicks);
  EXPECT_EQ(Break::getFunction(static_cast<BreakChar>(-1)), Break::square);
}

TEST(Break, FunctionValues)
{
  struct Case
  {
    const char* name;
    BreakFunction f;
    double x, p, s;
    double expected;
  };
  const double sin32 = std::sin(32.0 * -0.1);
  const Case cases[] = {
    {"square of -4", Break::square, -4.0, 0.3, 2.0, -2.0},
    {"square of 9", Break::square, 9.0, 0.0, 0.0, 3.0},
    {"bitCrush p 1 truncates to whole numbers", Break::bitCrush, 1.7, 1.0, 0.0, 1.0},
    {"bitCrush p 1 truncates toward zero", Break::bitCrush, -1.7, 1.0, 0.0, -1.0},
    {"bitCrush p 0 has 8 levels", Break::bitCrush, 0.3, 0.0, 0.0, 0.25},
    {"nSquare", Break::nSquare, 0.5, 1.0, 0.0, saturate(0.25, 0.0) * 4.0},
    {"negFiveSat", Break::negFiveSat, 0.5, 0.0, 1.0, saturate(0.5 - 0.03125, 1.0)},
    {"dblCubeSat", Break::dblCubeSat, -0.5, 1.0, 0.0, saturate(-0.5, 0.0)},
    {"sinCrest p 0 passes -0.9", Break::sinCrest, -0.9, 0.0, 0.0, -0.9},
    {"sinCrest p 0 bends below -0.9", Break::sinCrest, -1.0, 0.0, 0.0, std::pow(std::sin(-0.1), 3)},
    {"sinCrest p 1 bends below -0.5", Break::sinCrest, -0.6, 1.0, 0.0, sin32 * sin32 * sin32},
    {"sinCrest p 1 passes -0.5", Break::sinCrest, -0.5, 1.0, 0.0, -0.5},
    {"trigNoise", Break::trigNoise, 0.5, 0.5, 0.0, saturate(std::sin(3.141592653589793 * 0.125) * 2.0, 0.0) + 0.25},
    {"wavefold p 0 is sin", Break::wavefold, 1.3, 0.0, 0.0, std::sin(1.3)},
    {"wavefold p 1", Break::wavefold, 0.1, 1.0, 0.0, std::sin(2.4)},
    {"wavefold2 p 0", Break::wavefold2, 0.7, 0.0, 0.0,
     0.5 * (std::sin(0.7) - std::sin(2.1) + std::sin(3.5) - std::sin(4.9) + std::sin(6.3))},
    {"transBird p 0", Break::transBird, 0.8, 0.0, 0.0, std::asinh(std::sin(0.8))},
    {"clicks p 0 changes 1 < x < 1.01", Break::clicks, 1.005, 0.0, 0.0, std::fmod(1.055 * 4.0, 1.5)},
    {"clicks p 0 passes 1.02", Break::clicks, 1.02, 0.0, 0.0, 1.02},
    {"clicks p 0 passes 0.99", Break::clicks, 0.99, 0.0, 0.0, 0.99},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(c.f(c.x, c.p, c.s), c.expected, 1e-12) << c.name;
  EXPECT_TRUE(std::signbit(Break::square(0.0, 0.0, 0.0)));
}

// The main filter runs the break stage on both channels at once; each lane must give exactly what
// the function gives for that channel alone.
TEST(Break, LaneShapesMatchTheFunctions)
{
  const double inputs[] = {-1.7, -0.95, -0.6, -0.2, 0.0, 0.3, 0.99, 1.005, 1.3, 2.5};
  for (int c = 0; c < kNumBreakChars; ++c)
  {
    const BreakFunction f = Break::getFunction(static_cast<BreakChar>(c));
    const break_shapes::Shape<v2d> lanes = break_shapes::of<v2d>(f);
    ASSERT_NE(lanes, nullptr) << c;
    for (const double p : {0.0, 0.4, 1.0})
      for (const double s : {0.0, 2.5})
        for (const double x : inputs)
        {
          const v2d y = lanes(v2d{x, -0.7 * x}, p, SatCurves::of(s));
          EXPECT_EQ(y[0], f(x, p, s)) << "character " << c << " at " << x;
          EXPECT_EQ(y[1], f(-0.7 * x, p, s)) << "character " << c << " at " << -0.7 * x;
        }
  }
  EXPECT_EQ(break_shapes::of<v2d>([](double x, double, double) { return x; }), nullptr);
}

// The same bit for bit where the channel-pair forms take their own road: signed zeros, values
// beyond the 32-bit range of the pair's truncation, and values that are not numbers.
TEST(Break, LaneShapesMatchTheFunctionsBitForBitAtTheEdges)
{
  const double inputs[] = {0.0,
                           -0.0,
                           -0.05,
                           1e-310,
                           -1e-310,
                           3e9,
                           -3e12,
                           1e300,
                           std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (int c = 0; c < kNumBreakChars; ++c)
  {
    const BreakFunction f = Break::getFunction(static_cast<BreakChar>(c));
    for (const double p : {0.0, 0.5, 1.0})
      for (const double x : inputs)
      {
        const v2d y = break_shapes::apply(c, v2d{x, 0.3}, p, SatCurves::of(1.0));
        EXPECT_EQ(std::bit_cast<uint64_t>(y[0]), std::bit_cast<uint64_t>(f(x, p, 1.0)))
          << "character " << c << " at " << x;
        EXPECT_EQ(std::bit_cast<uint64_t>(y[1]), std::bit_cast<uint64_t>(f(0.3, p, 1.0))) << "character " << c;
      }
  }
}

} // namespace
} // namespace zarvo
