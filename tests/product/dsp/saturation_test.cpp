#include "product/dsp/saturation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <type_traits>

namespace zarvo {
namespace {

static_assert(std::has_virtual_destructor_v<ILUT>);

double asymmetric(double x) { return x > 0.0 ? std::tanh(x) : std::asinh(x); }

TEST(Saturation, ZeroMapsToZeroForEveryType)
{
  for (double type : {0.0, 0.5, 1.0, 1.25, 2.0, 2.5, 2.99, 3.0, -0.5})
  {
    EXPECT_EQ(saturate(0.0, type), 0.0) << type;
    EXPECT_EQ(saturate(both(0.0), SatCurves::of(type))[1], 0.0) << type;
  }
}

TEST(Saturation, EndsOfTheTables)
{
  struct Case
  {
    const char* name;
    double type;
    double low;
    double high;
  };
  const Case cases[] = {
    {"tanh", 0.0, -1.0, 1.0},
    {"asinh", 1.0, -5.545192702919391, 5.544704317332681},
    {"asymmetric", 2.0, -5.545192702919391, 1.0},
    {"type 3 is tanh again", 3.0, -1.0, 1.0},
  };
  const double inf = std::numeric_limits<double>::infinity();
  for (const Case& c : cases)
  {
    for (double x : {-128.0, -1e9, -inf})
      EXPECT_EQ(saturate(x, c.type), c.low) << c.name << " at " << x;
    for (double x : {127.9375, 128.0, 1e9, inf})
      EXPECT_EQ(saturate(x, c.type), c.high) << c.name << " at " << x;
  }
  EXPECT_NEAR(saturate(NAN, 0.0), -1.0, 1e-15);
}

TEST(Saturation, GridPointsAreExactAndBetweenThemTheCurveIsClose)
{
  struct Case
  {
    const char* name;
    double type;
    double (*curve)(double);
  };
  const Case cases[] = {
    {"tanh", 0.0, [](double x) { return std::tanh(x); }},
    {"asinh", 1.0, [](double x) { return std::asinh(x); }},
    {"asymmetric", 2.0, asymmetric},
  };
  for (const Case& c : cases)
    for (int i = 1; i < 4095; i += 7)
    {
      const double x = (i - 2048) * 0.0625;
      EXPECT_EQ(saturate(x, c.type), c.curve(x)) << c.name << " at " << x;
      const double mid = x + 0.03125;
      EXPECT_NEAR(saturate(mid, c.type), c.curve(mid), 2e-4) << c.name << " at " << mid;
    }
  // The first interval interpolates linearly.
  const double t0 = std::tanh(-128.0), t1 = std::tanh(-127.9375);
  EXPECT_EQ(saturate(-127.96875, 0.0), t0 + 0.5 * (t1 - t0));
}

// The pieces are precomputed per interval; they must give exactly the parabola through the three
// table entries around each position, for one channel and for both lanes of a pair.
TEST(Saturation, PiecesAreTheParabolaThroughThreeTableEntries)
{
  struct Case
  {
    const char* name;
    double type;
    std::size_t curve;
  };
  const Case cases[] = {{"tanh", 0.0, 0}, {"asinh", 1.0, 1}, {"asymmetric", 2.0, 2}};
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> position(1.0, 4095.0);
  for (const Case& c : cases)
  {
    const LUT<4096>& t = gSatBank.entry(c.curve).table;
    const SatCurves curves = SatCurves::of(c.type);
    for (int k = 0; k < 2000; ++k)
    {
      const double p = position(rng);
      const auto i = static_cast<unsigned short>(p);
      const double f = p - i;
      const double expected = t[i] + f * (t[i + 1] - t[i - 1]) / 2.0 + f * f * (t[i + 1] - 2.0 * t[i] + t[i - 1]) / 2.0;
      ASSERT_EQ(saturateAt(p, curves), expected) << c.name << " at " << p;
      const double q = 4096.0 - p;
      const v2d pair = saturateAt(v2d{p, q}, curves);
      ASSERT_EQ(pair[0], expected) << c.name << " at " << p;
      ASSERT_EQ(pair[1], saturateAt(q, curves)) << c.name << " at " << q;
    }
  }
}

// A pair with one lane beyond the table reads that lane's end without disturbing the other.
TEST(Saturation, LanesReadTheirOwnEnds)
{
  struct Case
  {
    const char* name;
    double x0;
    double x1;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
    {"low end beside the middle", -200.0, 0.3},
    {"middle beside the high end", -0.3, 200.0},
    {"NaN beside the middle", NAN, 1.7},
    {"both ends", inf, -inf},
  };
  for (double type : {0.0, 2.5})
  {
    const SatCurves curves = SatCurves::of(type);
    for (const Case& c : cases)
    {
      const v2d y = saturate(v2d{c.x0, c.x1}, curves);
      EXPECT_EQ(y[0], saturate(c.x0, type)) << c.name << ", type " << type;
      EXPECT_EQ(y[1], saturate(c.x1, type)) << c.name << ", type " << type;
    }
  }
}

TEST(Saturation, FractionalTypesBlendNeighbouringCurves)
{
  struct Case
  {
    const char* name;
    double type;
    double weightTanh;
    double weightAsinh;
    double weightAsym;
  };
  const Case cases[] = {
    {"0.5: half tanh, half asinh", 0.5, 0.5, 0.5, 0.0},
    {"1.25: asinh into asymmetric", 1.25, 0.0, 0.75, 0.25},
    {"2.75: a quarter asymmetric, three quarters tanh", 2.75, 0.75, 0.0, 0.25},
    {"3: tanh", 3.0, 1.0, 0.0, 0.0},
  };
  for (const Case& c : cases)
    for (double x : {-3.0, -0.7, 0.4, 2.2})
    {
      const double expected =
        c.weightTanh * saturate(x, 0.0) + c.weightAsinh * saturate(x, 1.0) + c.weightAsym * saturate(x, 2.0);
      EXPECT_NEAR(saturate(x, c.type), expected, 1e-12) << c.name << " at " << x;
    }
}

TEST(LookupTable, NormalizedPhaseWrapsLikeOnePeriod)
{
  LUT<4096> ramp;
  ramp.generate([](std::size_t size, double* first) {
    for (std::size_t i = 0; i < size; ++i)
      first[i] = static_cast<double>(i);
  });
  struct Case
  {
    const char* name;
    double phase;
    double expected;
  };
  const Case cases[] = {
    {"a quarter", 0.25, 1024.0},        {"between two entries", 10.5 / 4096.0, 10.5},
    {"one period later", 1.25, 1024.0}, {"far beyond the 16-bit index range", 16.5, 2048.0},
    {"negative", -0.75, 1024.0},        {"last entry wraps to the first", 4095.5 / 4096.0, 2047.5},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(ramp.getByNormalizedPhase(c.phase), c.expected, 1e-9) << c.name;
  EXPECT_NEAR(ramp.getByNormalizedPhaseMirrored(0.125), 1024.0, 1e-9);
  EXPECT_NEAR(ramp.getByNormalizedPhaseMirrored(0.625), -1024.0, 1e-9);
  EXPECT_TRUE(std::isfinite(ramp.getByNormalizedPhase(NAN)));

  std::unique_ptr<ILUT> copy = std::make_unique<LUT<4096>>();
  *copy = static_cast<const ILUT&>(ramp);
  EXPECT_EQ((*copy)[4095], 4095.0);
  EXPECT_EQ(copy->cend() - copy->cbegin(), 4096);
}

} // namespace
} // namespace zarvo
