#include "product/dsp/shape_match.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zarvo {
namespace {

using Candidates = std::array<std::optional<stage_coeffs>, kNumPassTypes>;

Candidates canonical()
{
  Candidates c;
  for (int t = 0; t < kNumPassTypes; ++t)
    c[t] = shapeOf(static_cast<FilterPassType>(t), 1.0, 0.0);
  return c;
}

TEST(ShapeMatch, NearestPassType)
{
  struct Case
  {
    const char* name;
    stage_coeffs target;
    Candidates candidates;
    int expected;
  };
  Candidates onlyBr;
  onlyBr[4] = shapeOf(FilterPassType::BR, 1.0, 0.0);
  Candidates twins;
  twins[1] = shapeOf(FilterPassType::HP, 0.5, 0.0);
  twins[3] = shapeOf(FilterPassType::HP, 0.5, 0.0);
  Candidates halfDepth;
  for (int t = 0; t < kNumPassTypes; ++t)
    halfDepth[t] = shapeOf(static_cast<FilterPassType>(t), 0.5, 0.0);
  const Case cases[] = {
    {"a canonical LP", shapeOf(FilterPassType::LP, 1.0, 0.0), canonical(), 0},
    {"a canonical P", shapeOf(FilterPassType::P, 1.0, 0.0), canonical(), 5},
    {"a deep HP", shapeOf(FilterPassType::HP, 0.9, 0.0), canonical(), 1},
    {"a tilted BP", shapeOf(FilterPassType::BP, 1.0, 0.3), canonical(), 3},
    {"a mostly-LP blend", {0, 0, 0.1, 0.2, 0.7}, canonical(), 0},
    {"only BR present wins whatever the target", shapeOf(FilterPassType::HP, 1.0, 0.0), onlyBr, 4},
    {"a tie keeps the lower index", shapeOf(FilterPassType::HP, 0.5, 0.0), twins, 1},
    {"half-depth BR among half-depth shapes", shapeOf(FilterPassType::BR, 0.5, 0.0), halfDepth, 4},
    {"no candidate gives 0", shapeOf(FilterPassType::BP, 1.0, 0.0), Candidates{}, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(nearestPassType(c.target, c.candidates), c.expected) << c.name;
}

TEST(ShapeMatch, Levels)
{
  struct Case
  {
    const char* name;
    double actual;
    double expected;
  };
  const stage_coeffs lp = shapeOf(FilterPassType::LP, 1.0, 0.0);
  const stage_coeffs hp = shapeOf(FilterPassType::HP, 1.0, 0.0);
  const Case cases[] = {
    {"four-pole LP at the cutoff", shape_match::ladderDb(lp, 0.0, 1000.0), 20.0 * std::log10(0.25)},
    {"four-pole LP well below the cutoff", shape_match::ladderDb(lp, 0.0, 20.0), -20.0 * std::log10(1.0004 * 1.0004)},
    {"deep HP stop band floors at -60", shape_match::ladderDb(hp, 0.0, 20.0), -60.0},
    {"resonance lifts the LP at the cutoff", shape_match::ladderDb(lp, 3.0, 1000.0),
     20.0 * std::log10(0.25 / std::abs(1.0 - 3.0 * 0.25))},
    {"a zero shape is at the floor", shape_match::ladderDb({0, 0, 0, 0, 0}, 0.0, 500.0), -60.0},
    {"SVF LP at the cutoff, Q 0.7071", shape_match::svfDb({1, 0, 0}, 0.7071, 1000.0), 20.0 * std::log10(0.7071)},
    {"SVF BP at the cutoff, Q 4", shape_match::svfDb({0, 0, 1}, 4.0, 1000.0), 20.0 * std::log10(4.0)},
    {"a shape against itself", shapeDistanceDb({1, -1, 0}, {1, -1, 0}), 0.0},
    {"grid starts at 20 Hz", shape_match::gridFrequency(0), 20.0},
    {"grid ends at 20 kHz", shape_match::gridFrequency(shape_match::kGridPoints - 1), 20000.0},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(c.actual, c.expected, 1e-9) << c.name;

  const double lpHp = shapeDistanceDb({1, 0, 0}, {0, 1, 0});
  EXPECT_GT(lpHp, 20.0);
  EXPECT_EQ(lpHp, shapeDistanceDb({0, 1, 0}, {1, 0, 0}));
  EXPECT_LT(shapeDistanceDb({1, 0, 0}, {1, 0, 0.1}), shapeDistanceDb({1, 0, 0}, {0, 0, 1}));
}

} // namespace
} // namespace zarvo
