// Links between neighbouring points, basins and ridge rays, and cell borders.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/utils/morph/overlay_fixture.h"

using namespace morph_overlay_test;
using plugkit::gfx::IRECT;
using Segment = MorphFieldOverlay::Segment;
using PixelPos = MorphFieldOverlay::PixelPos;

namespace {

int liveBasins(const MorphFieldOverlay& overlay)
{
  int n = 0;
  for (const auto& b : overlay.basins())
    n += b.members != 0 ? 1 : 0;
  return n;
}

TEST(FieldLinks, OnePointHasNoLinksBasinsOrRidges)
{
  MorphEngine engine;
  placePoints(engine, {{0.4, 0.6}});
  MorphFieldOverlay overlay;
  overlay.rebuildIfNeeded(engine, kPad);
  EXPECT_TRUE(overlay.linkSegments.empty());
  EXPECT_TRUE(overlay.basins().empty());
  EXPECT_TRUE(overlay.ridgeSegments.empty());
  EXPECT_TRUE(overlay.isoSegments.empty()) << "a lone point dominates everywhere";
}

TEST(FieldLinks, TwoPointsShareOneLinkAndOneBasinWithARayToEach)
{
  // Model 0 keeps the basin at the midpoint; its rays stop (dominance above 0.99) just short of
  // the points' reach at the default sigma, so the rays are checked on the other models.
  for (uint32_t model : {0u, 1u, 2u})
  {
    SCOPED_TRACE("model " + std::to_string(model));
    MorphEngine engine;
    placePoints(engine, {{0.3, 0.4}, {0.7, 0.6}});
    engine.edit({.model = model});
    MorphFieldOverlay overlay;
    overlay.rebuildIfNeeded(engine, kPad);

    ASSERT_EQ(overlay.linkSegments.size(), 1u);
    EXPECT_EQ(overlay.linkSegments[0], (Segment{0.3f, 0.4f, 0.7f, 0.6f}));
    ASSERT_EQ(overlay.basins().size(), 1u);
    const auto& basin = overlay.basins()[0];
    EXPECT_EQ(basin.members, 0b11u);
    if (model == 0)
    {
      EXPECT_FLOAT_EQ(basin.u, 0.5f);
      EXPECT_FLOAT_EQ(basin.v, 0.5f);
    }
    else
    {
      const Scales scales = scalesOf(engine);
      EXPECT_LE(engine.dominanceForRidgesAt(basin.u, basin.v, scales), engine.dominanceForRidgesAt(0.5, 0.5, scales));
    }

    if (model == 0)
      continue;
    // Two rays, each ending near its point: chains of segments joined end to start.
    std::vector<std::pair<float, float>> ends;
    for (size_t k = 0; k < overlay.ridgeSegments.size(); ++k)
    {
      const Segment& s = overlay.ridgeSegments[k];
      const bool last = k + 1 == overlay.ridgeSegments.size() || overlay.ridgeSegments[k + 1].u0 != s.u1 ||
                        overlay.ridgeSegments[k + 1].v0 != s.v1;
      if (last)
        ends.emplace_back(s.u1, s.v1);
    }
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_NEAR(ends[0].first, 0.3f, 0.02f);
    EXPECT_NEAR(ends[0].second, 0.4f, 0.04f);
    EXPECT_NEAR(ends[1].first, 0.7f, 0.02f);
    EXPECT_NEAR(ends[1].second, 0.6f, 0.04f);
  }
}

TEST(FieldLinks, ThreePointsInALineLinkOnlyTheirNeighboursAndHaveNoBasin)
{
  MorphEngine engine;
  placePoints(engine, {{0.2, 0.5}, {0.5, 0.5}, {0.8, 0.5}});
  MorphFieldOverlay overlay;
  overlay.rebuildIfNeeded(engine, kPad);
  EXPECT_EQ(overlay.linkSegments, (std::vector<Segment>{{0.2f, 0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.8f, 0.5f}}));
  EXPECT_TRUE(overlay.basins().empty());
  EXPECT_TRUE(overlay.ridgeSegments.empty());
}

TEST(FieldLinks, BasinsWithin14PixelsMerge)
{
  // A rhombus A B C D around the centre of a square pad: triangles ABC and ACD are the Delaunay
  // ones, their circumcentres on the vertical axis 2k apart, k = (b^2 - a^2) / 2b.
  const struct
  {
    const char* name;
    double pixels;
    int live;
  } cases[] = {{"13.9 px", 13.9, 1}, {"15 px", 15.0, 2}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    const double a = 0.2;
    const double k = c.pixels / 400.0 / 2.0;
    const double b = k + std::sqrt(k * k + a * a);
    MorphEngine engine;
    engine.edit({.model = 0}); // seeds stay where the circumcentres are
    placePoints(engine, {{0.5 - a, 0.5}, {0.5, 0.5 + b}, {0.5 + a, 0.5}, {0.5, 0.5 - b}});
    MorphFieldOverlay overlay;
    overlay.rebuildIfNeeded(engine, IRECT(0, 0, 400, 400));
    ASSERT_EQ(overlay.basins().size(), 2u);
    EXPECT_EQ(liveBasins(overlay), c.live);
    const auto& first = overlay.basins()[0];
    EXPECT_EQ(first.members, c.live == 1 ? 0b1111u : 0b0111u);
  }
}

TEST(FieldLinks, RaysCountOnlyWhenAnEndReachesAPoint)
{
  MorphEngine engine;
  placePoints(engine, {{0.25, 0.5}, {0.75, 0.5}});
  engine.edit({.snapRadius = 0.05, .centreSnapRadius = 0.04});
  MorphFieldOverlay overlay;
  overlay.bounds = IRECT(0, 0, 400, 200); // aspect 2: reach is 0.075 of the height, 15 px
  const struct
  {
    const char* name;
    PixelPos first, last;
    bool reaches;
  } cases[] = {
    {"last end on a point", {200, 100}, {100, 100}, true},
    {"first end within reach", {114, 100}, {200, 100}, true},
    {"both ends short of the reach", {116, 100}, {200, 40}, false},
    {"teleport point inactive", {200, 150}, {200, 100}, false},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(overlay.rayReachesAnchor(engine, 2.0, c.first, c.last), c.reaches);
  }
  engine.edit({.point = 0, .active = true});
  engine.edit({.point = 0, .x = 0.5, .y = 0.25});
  EXPECT_TRUE(overlay.rayReachesAnchor(engine, 2.0, {200, 150}, {200, 100})) << "teleport point reach 12 px";
  EXPECT_FALSE(overlay.rayReachesAnchor(engine, 2.0, {200, 163}, {200, 100}));
}

TEST(FieldLinks, SmoothingMovesOnlyInteriorPositions)
{
  MorphFieldOverlay overlay;
  std::vector<PixelPos> path = {{0, 0}, {1, 0}, {2, 4}, {3, 0}, {4, 0}};
  overlay.smoothPath(path);
  const float expected[] = {0.f, 0.875f, 1.25f, 0.875f, 0.f};
  for (size_t i = 0; i < path.size(); ++i)
  {
    EXPECT_FLOAT_EQ(path[i].x, static_cast<float>(i));
    EXPECT_FLOAT_EQ(path[i].y, expected[i]);
  }
  std::vector<PixelPos> two = {{0, 0}, {5, 5}};
  overlay.smoothPath(two);
  EXPECT_FLOAT_EQ(two[1].x, 5.f);
}

TEST(FieldLinks, ACellOfThreeOwnersJoinsItsCrossingsAtTheirCentroid)
{
  MorphEngine engine;
  engine.edit({.model = 0});
  engine.edit({.sigma = 0.05});
  engine.edit({.aspect = 1.0});
  // Owners of the whole-field cell: bottom-left point 1, both right corners point 2, top-left 3.
  placePoints(engine, {{0.1, 0.1}, {0.9, 0.5}, {0.1, 0.9}});
  MorphFieldOverlay overlay;
  overlay.bounds = IRECT(0, 0, 400, 400);
  overlay.cellsX = 1;
  overlay.cellsY = 1;
  overlay.nodeOwners = {3, 2, 1, 2}; // top row first
  overlay.rebuildCellBorders(engine, scalesOf(engine));
  ASSERT_EQ(overlay.cellBorderSegments.size(), 3u);
  float mu = 0.f, mv = 0.f;
  for (const Segment& s : overlay.cellBorderSegments)
  {
    mu += s.u0 / 3.f;
    mv += s.v0 / 3.f;
  }
  for (const Segment& s : overlay.cellBorderSegments)
  {
    EXPECT_NEAR(s.u1, mu, 1e-6);
    EXPECT_NEAR(s.v1, mv, 1e-6);
  }
  // Bottom edge first, then top, then left; each within 1/128 of the Voronoi border.
  const Segment& bottom = overlay.cellBorderSegments[0];
  EXPECT_FLOAT_EQ(bottom.v0, 0.f);
  EXPECT_NEAR(bottom.u0, 0.65, 1.0 / 128); // equidistant from (0.1, 0.1) and (0.9, 0.5) on v = 0
  const Segment& top = overlay.cellBorderSegments[1];
  EXPECT_FLOAT_EQ(top.v0, 1.f);
  EXPECT_NEAR(top.u0, 0.65, 1.0 / 128);
  const Segment& left = overlay.cellBorderSegments[2];
  EXPECT_FLOAT_EQ(left.u0, 0.f);
  EXPECT_NEAR(left.v0, 0.5, 1.0 / 128);
}

TEST(FieldLinks, TwoOwnersOnACellGiveOneBorderThroughIt)
{
  MorphEngine engine;
  engine.edit({.model = 1});
  engine.edit({.sigma = 0.05});
  engine.edit({.aspect = 1.0});
  placePoints(engine, {{0.2, 0.5}, {0.8, 0.5}});
  MorphFieldOverlay overlay;
  overlay.bounds = IRECT(0, 0, 400, 400);
  overlay.cellsX = 1;
  overlay.cellsY = 1;
  overlay.nodeOwners = {1, 2, 1, 2};
  overlay.rebuildCellBorders(engine, scalesOf(engine));
  ASSERT_EQ(overlay.cellBorderSegments.size(), 1u);
  const Segment& s = overlay.cellBorderSegments[0];
  EXPECT_NEAR(s.u0, 0.5, 1.0 / 128);
  EXPECT_NEAR(s.u1, 0.5, 1.0 / 128);
  EXPECT_FLOAT_EQ(s.v0, 0.f);
  EXPECT_FLOAT_EQ(s.v1, 1.f);
}

} // namespace
