// Iso lines: the marching-squares table, iso lines on a real field, labelled and reference levels,
// label placement along links and label thinning.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tests/utils/morph/overlay_fixture.h"
#include "tests/support/field_edit.h"

using namespace morph_overlay_test;
using plugkit::gfx::IRECT;
using Segment = MorphFieldOverlay::Segment;

namespace {

// Crossing at the middle of each edge of the unit cell: bottom, right, top, left.
constexpr float kMid[4][2] = {{0.5f, 0.f}, {1.f, 0.5f}, {0.5f, 1.f}, {0.f, 0.5f}};

Segment edges(int a, int b) { return {kMid[a][0], kMid[a][1], kMid[b][0], kMid[b][1]}; }

std::vector<Segment> march(double bl, double br, double tr, double tl, double level = 0.5)
{
  MorphFieldOverlay overlay;
  overlay.marchCell(bl, br, tr, tl, 0, 0, 1, 1, level);
  return overlay.isoSegments;
}

TEST(IsoLines, MarchingSquaresTableOverAllCases)
{
  // Corner values 1 (at or above the level) or 0: bit 0 bottom-left, 1 bottom-right, 2 top-right,
  // 3 top-left. The saddles 5 and 10 here have a centre of exactly 0.5, which counts as high.
  const std::vector<Segment> expected[16] = {
    {},
    {edges(3, 0)},
    {edges(0, 1)},
    {edges(3, 1)},
    {edges(1, 2)},
    {edges(0, 1), edges(2, 3)},
    {edges(0, 2)},
    {edges(2, 3)},
    {edges(2, 3)},
    {edges(0, 2)},
    {edges(3, 0), edges(1, 2)},
    {edges(1, 2)},
    {edges(3, 1)},
    {edges(0, 1)},
    {edges(3, 0)},
    {},
  };
  for (int kase = 0; kase < 16; ++kase)
  {
    SCOPED_TRACE("case " + std::to_string(kase));
    const auto v = [&](int bit) { return (kase >> bit) & 1 ? 1.0 : 0.0; };
    EXPECT_EQ(march(v(0), v(1), v(2), v(3)), expected[kase]);
  }
}

TEST(IsoLines, SaddlesFollowTheCentreValue)
{
  // High corners 0.9 or 0.6, low ones 0.3 or 0: the mean decides which corners the lines cut off.
  const struct
  {
    const char* name;
    double high, low;
    bool fiveCase; // bottom-left and top-right high, else bottom-right and top-left
    bool cutsOffLowCorners;
  } cases[] = {
    {"5, centre high", 0.9, 0.3, true, true},
    {"5, centre low", 0.6, 0.0, true, false},
    {"10, centre high", 0.9, 0.3, false, true},
    {"10, centre low", 0.6, 0.0, false, false},
  };
  const double corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    const double val[4] = {c.fiveCase ? c.high : c.low, c.fiveCase ? c.low : c.high, c.fiveCase ? c.high : c.low,
                           c.fiveCase ? c.low : c.high};
    const auto cross = [&](int e, float& u, float& v) {
      const int f = (e + 1) % 4;
      const double t = (0.5 - val[e]) / (val[f] - val[e]);
      u = static_cast<float>(corners[e][0] + (corners[f][0] - corners[e][0]) * t);
      v = static_cast<float>(corners[e][1] + (corners[f][1] - corners[e][1]) * t);
    };
    const auto seg = [&](int a, int b) {
      Segment s;
      cross(a, s.u0, s.v0);
      cross(b, s.u1, s.v1);
      return s;
    };
    // The low corners are 1 and 3 in case 5, 0 and 2 in case 10.
    const bool lowCornersAreOneAndThree = c.fiveCase;
    const bool cutOneAndThree = c.cutsOffLowCorners == lowCornersAreOneAndThree;
    const std::vector<Segment> expected =
      cutOneAndThree ? std::vector<Segment>{seg(0, 1), seg(2, 3)} : std::vector<Segment>{seg(3, 0), seg(1, 2)};
    EXPECT_EQ(march(val[0], val[1], val[2], val[3]), expected);
  }
}

TEST(IsoLines, ValueAtTheLevelCountsAsAboveAndFlatEdgesCrossInTheMiddle)
{
  EXPECT_TRUE(march(0.5, 0.5, 0.5, 0.5).empty()) << "case 15";
  // Bottom-left exactly at the level, the rest a hair below: case 1 with near-equal corners.
  const auto got = march(0.5, 0.5 - 1e-13, 0.5 - 1e-13, 0.5 - 1e-13);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], edges(3, 0));
}

TEST(IsoLines, CellsMapIntoTheFieldWithRowZeroOnTop)
{
  MorphFieldOverlay overlay;
  overlay.marchCell(1.0, 0.0, 0.0, 0.0, 3, 1, 10, 4, 0.5); // case 1 in column 3 of 10, row 1 of 4
  ASSERT_EQ(overlay.isoSegments.size(), 1u);
  const Segment& s = overlay.isoSegments[0];
  EXPECT_FLOAT_EQ(s.u0, 0.3f); // left edge, halfway up the cell from v 0.5 to 0.75
  EXPECT_FLOAT_EQ(s.v0, 0.625f);
  EXPECT_FLOAT_EQ(s.u1, 0.35f); // bottom edge, halfway along
  EXPECT_FLOAT_EQ(s.v1, 0.5f);
}

TEST(IsoLines, OnARealFieldEverySegmentEndLiesOnItsLevel)
{
  // Model 2 at sigma 0.4 leaves gaps between its compact kernels where the field falls back to the
  // nearest point and steps at the border between two; 0.7 keeps the kernels overlapping.
  const std::pair<uint32_t, double> cases[] = {{0, 1.0}, {0, 0.4}, {1, 1.0}, {1, 0.4},
                                               {2, 1.0}, {2, 0.7}, {3, 1.0}, {3, 0.4}};
  for (const auto& [model, sigma] : cases)
  {
    SCOPED_TRACE("model " + std::to_string(model) + ", sigma " + std::to_string(sigma));
    MorphEngine engine;
    // Points further apart than two snap reaches (2 x 2.75 x 18 px): where two reaches overlap,
    // the snap target switches at the border between them and the field steps instead of sloping.
    spreadSixteen(engine);
    for (size_t i = 1; i <= 16; ++i)
      vemlor_test::editPoint(engine, i,
                             [&](auto& point) { point.y = 0.125 + 0.25 * static_cast<double>((i - 1) / 4); });
    engine.edit({.point = 0, .active = true});
    engine.edit({.point = 0, .x = 0.52, .y = 0.47});
    engine.edit({.model = model});
    engine.edit({.sigma = sigma});
    MorphFieldOverlay overlay;
    overlay.rebuildIfNeeded(engine, kPad);
    ASSERT_GT(overlay.isoSegments.size(), 100u);
    const Scales scales = scalesOf(engine);
    const double step = 1.0 / (overlay.isoLevelCount + 1);
    double worst = 0.0;
    for (const Segment& s : overlay.isoSegments)
    {
      for (const auto& [u, v] : {std::pair{s.u0, s.v0}, std::pair{s.u1, s.v1}})
      {
        const double d = engine.dominanceAt(u, v, scales);
        const double level = std::clamp(std::round(d / step), 1.0, double(overlay.isoLevelCount)) * step;
        worst = std::max(worst, std::abs(d - level));
      }
    }
    EXPECT_LT(worst, 0.01);
  }
}

TEST(IsoLines, LevelsComeInLevelOrder)
{
  MorphEngine engine;
  placePoints(engine, {{0.3, 0.5}, {0.7, 0.5}});
  MorphFieldOverlay overlay;
  overlay.rebuildIfNeeded(engine, kPad);
  const Scales scales = scalesOf(engine);
  double previous = 0.0;
  for (const Segment& s : overlay.isoSegments)
  {
    const double d = engine.dominanceAt(s.u0, s.v0, scales);
    EXPECT_GE(d, previous - 0.02);
    previous = std::max(previous, d);
  }
}

TEST(IsoLines, LabelledAndReferenceLevels)
{
  const struct
  {
    int count;
    std::vector<float> labelled;
    std::vector<float> reference;
  } cases[] = {
    {7, {0.25f, 0.5f, 0.75f}, {0.f, 0.25f, 0.5f, 0.75f, 1.f}},
    {9, {0.2f, 0.4f, 0.6f, 0.8f}, {0.f, 0.2f, 0.4f, 0.6f, 0.8f, 1.f}},
    {5, {1.f / 3, 2.f / 3}, {0.f, 1.f / 3, 2.f / 3, 1.f}},
    {17, {1.f / 3, 2.f / 3}, {0.f, 1.f / 3, 2.f / 3, 1.f}},
    {13, {0.5f}, {0.f, 0.5f, 1.f}},
    {1, {0.5f}, {0.f, 0.5f, 1.f}},
    {0, {1.f, 1.f, 1.f}, {0.f, 0.25f, 0.5f, 0.75f, 1.f}},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE("level count " + std::to_string(c.count));
    MorphFieldOverlay overlay;
    overlay.isoLevelCount = c.count;
    const auto labelled = overlay.labelledIsoLevels();
    ASSERT_EQ(labelled.size(), c.labelled.size());
    for (size_t k = 0; k < labelled.size(); ++k)
      EXPECT_FLOAT_EQ(labelled[k], c.labelled[k]);
    const auto reference = overlay.histogramRefLevels();
    ASSERT_EQ(reference.size(), c.reference.size());
    for (size_t k = 0; k < reference.size(); ++k)
      EXPECT_FLOAT_EQ(reference[k], c.reference[k]);
  }
}

TEST(IsoLines, TwoPointsGetALabelNearEachForEveryLevelTheLinkDipsBelow)
{
  MorphEngine engine;
  placePoints(engine, {{0.3, 0.5}, {0.7, 0.5}});
  MorphFieldOverlay overlay;
  overlay.rebuildIfNeeded(engine, kPad);
  ASSERT_EQ(overlay.linkSegments.size(), 1u);
  // Between two points the dominance falls to about one half: 3/4 is crossed twice, 1/2 and 1/4
  // not clearly.
  ASSERT_EQ(overlay.contourLabels.size(), 2u);
  const auto& falling = overlay.contourLabels[0];
  const auto& rising = overlay.contourLabels[1];
  EXPECT_FLOAT_EQ(falling.level, 0.75f);
  EXPECT_FLOAT_EQ(rising.level, 0.75f);
  EXPECT_LT(falling.u, 0.5f);
  EXPECT_GT(rising.u, 0.5f);
  EXPECT_FLOAT_EQ(falling.v, 0.5f);
  const Scales scales = scalesOf(engine);
  EXPECT_NEAR(engine.dominanceAt(falling.u, falling.v, scales), 0.75, 0.01);
  EXPECT_NEAR(engine.dominanceAt(rising.u, rising.v, scales), 0.75, 0.01);

  overlay.setIsoLevels(10); // 13 levels: only 1/2 is labelled, and the link never dips below it
  overlay.rebuildIfNeeded(engine, kPad);
  EXPECT_TRUE(overlay.contourLabels.empty());

  overlay.setIsoLevels(6);
  overlay.showLabels = false;
  overlay.rebuildIfNeeded(engine, kPad);
  EXPECT_TRUE(overlay.contourLabels.empty());
}

TEST(IsoLines, CrowdedLabelsOfOneLevelAroundOnePointAreThinned)
{
  const struct
  {
    const char* name;
    double chord;   // pixels between the two labels
    double degrees; // angle between them, seen from the point
    float secondLevel;
    size_t kept;
  } cases[] = {
    {"59 px at 80 degrees", 59.0, 80.0, 0.5f, 1},
    {"61 px at 80 degrees", 61.0, 80.0, 0.5f, 2},
    {"59 px at 100 degrees", 59.0, 100.0, 0.5f, 2},
    {"another level", 40.0, 30.0, 0.75f, 2},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    MorphEngine engine;
    placePoints(engine, {{0.5, 0.5}, {0.95, 0.95}});
    MorphFieldOverlay overlay;
    overlay.bounds = IRECT(0, 0, 400, 400);
    const double a = c.degrees * std::numbers::pi / 180.0;
    const double r = c.chord / (2.0 * std::sin(a / 2.0)) / 400.0;
    overlay.contourLabels = {
      {static_cast<float>(0.5 + r), 0.5f, 0.5f},
      {static_cast<float>(0.5 + r * std::cos(a)), static_cast<float>(0.5 + r * std::sin(a)), c.secondLevel},
      {0.9f, 0.9f, 0.5f}, // around the other point: never compared with the first two
    };
    overlay.thinContourLabels(engine);
    EXPECT_EQ(overlay.contourLabels.size(), c.kept + 1);
    EXPECT_FLOAT_EQ(overlay.contourLabels[0].u, static_cast<float>(0.5 + r)) << "the earlier label survives";
  }
}

} // namespace
