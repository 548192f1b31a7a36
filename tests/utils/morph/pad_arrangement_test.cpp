// Keeping points apart: coincident pairs, edges, random layouts, spreads and the cost of a drag step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "tests/utils/morph/pad_session.h"
#include "tests/support/field_edit.h"

#ifdef VEMLOR_COUNT_ALLOCATIONS
#include "tests/host/allocation_counter.h"
#include "tests/support/morph_pad_probe.h"
#endif

namespace zarvo::morph::test {
namespace {

float footprint(const PadSession& p, int i)
{
  return (p.engine.editState().points[static_cast<size_t>(i)].active ? 18.f : 9.f) *
         static_cast<float>(p.engine.pointScale());
}

// The worst overlap of any two user points and whether every point lies inside its inset.
float worstOverlap(const PadSession& p)
{
  float worst = 0.f;
  for (int i = 1; i < 17; ++i)
    for (int j = i + 1; j < 17; ++j)
    {
      float ax = 0.f;
      float ay = 0.f;
      float bx = 0.f;
      float by = 0.f;
      p.centre(i, ax, ay);
      p.centre(j, bx, by);
      worst = std::max(worst, footprint(p, i) + footprint(p, j) - std::hypot(ax - bx, ay - by));
    }
  return worst;
}

bool allInside(const PadSession& p)
{
  const IRECT& r = p.pad->GetRECT();
  const float m = 18.f * static_cast<float>(p.engine.pointScale());
  for (size_t i = 1; i < 17; ++i)
  {
    const float px = r.L + static_cast<float>(p.engine.editState().points[i].x) * r.W();
    const float py = r.B - static_cast<float>(p.engine.editState().points[i].y) * r.H();
    if (px < r.L + m - 0.01f || px > r.R - m + 0.01f || py < r.T + m - 0.01f || py > r.B - m + 0.01f)
      return false;
  }
  return true;
}

TEST(PadArrangement, CoincidentPairLeavesAlongTheGoldenAngle)
{
  struct Case
  {
    const char* name;
    uint32_t first;
    int mover;
    int other;
  };
  // The point treated first leaves; the sign follows whether the other index is larger.
  const Case cases[] = {{"lower index first", 0, 3, 7}, {"higher index first", 1u << 7, 7, 3}};
  for (const Case& c : cases)
  {
    PadSession p;
    p.place(3, 470.f, 400.f);
    p.place(7, 470.f, 400.f);
    p.pad->relaxAllPoints(c.first);
    const float theta = 2.3999631f * static_cast<float>(17 * 3 + 7);
    const float s = c.other > c.mover ? 1.f : -1.f;
    float x = 0.f;
    float y = 0.f;
    p.centre(c.mover, x, y);
    EXPECT_NEAR(470.f + s * 36.f * std::cos(theta), x, 1e-3) << c.name;
    EXPECT_NEAR(400.f + s * 36.f * std::sin(theta), y, 1e-3) << c.name;
    p.centre(c.other, x, y);
    EXPECT_NEAR(470.f, x, 1e-3) << c.name;
    EXPECT_NEAR(400.f, y, 1e-3) << c.name;
  }
}

TEST(PadArrangement, EdgesClampAndPinnedPointsSlideInwards)
{
  struct Case
  {
    const char* name;
    double scale;
    int point;
    float toX, toY;
    float wantX, wantY;
  };
  const Case cases[] = {
    {"user point, left", 1.0, 4, -50.f, 400.f, 34.f, 400.f},
    {"user point at scale 2, bottom right", 2.0, 4, 2000.f, 900.f, 888.f, 568.f},
    {"teleport point, top", 1.0, 0, 470.f, 0.f, 470.f, 215.f},
  };
  for (const Case& c : cases)
  {
    PadSession p(kPadRect, c.scale);
    p.place(4, 470.f, 400.f);
    p.place(0, 470.f, 400.f);
    vemlor_test::editPoint(p.engine, 4, [&](auto& point) { point.x = 0.3; }); // apart from the teleport point
    p.pad->capturePreDragPositions();
    float gx = 0.f;
    float gy = 0.f;
    p.centre(c.point, gx, gy);
    p.pad->moveDraggedPoints(c.point, c.toX, c.toY);
    float x = 0.f;
    float y = 0.f;
    p.centre(c.point, x, y);
    const IRECT& r = p.pad->GetRECT();
    const float px = r.L + static_cast<float>(p.engine.editState().points[static_cast<size_t>(c.point)].x) * r.W();
    const float py = r.B - static_cast<float>(p.engine.editState().points[static_cast<size_t>(c.point)].y) * r.H();
    EXPECT_NEAR(c.wantX, px, 1e-3) << c.name;
    EXPECT_NEAR(c.wantY, py, 1e-3) << c.name;
  }

  // Pinned against the left wall with a neighbour 20 px in: the pinned point slides off the wall.
  PadSession p;
  p.place(2, 16.f + 38.f, 400.f);
  p.place(3, 16.f + 18.f, 400.f);
  p.pad->relaxAllPoints(1u << 3);
  float x3 = 0.f;
  float y3 = 0.f;
  p.centre(3, x3, y3);
  EXPECT_GT(x3, 16.f + 18.f + 1.f);
  EXPECT_LE(worstOverlap(p), 1.f);
}

TEST(PadArrangement, RandomLayoutsRelaxApartAndStayInside)
{
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double scales[] = {1.0, 1.5, 2.0};
  for (int layout = 0; layout < 1000; ++layout)
  {
    const double scale = scales[layout % 3];
    PadSession p(kPadRect, scale);
    const int n = 1 + layout % 16;
    for (size_t i = 1; i < 17; ++i)
    {
      const double x = unit(rng);
      p.engine.edit({.point = i, .x = x, .y = unit(rng)});
      p.engine.edit({.point = i, .active = static_cast<int>(i) <= n});
    }
    // Some clumps of three on one spot.
    if (layout % 5 == 0)
      for (size_t i = 2; i < 4; ++i)
        p.engine.edit({.point = i, .x = p.engine.editState().points[1].x, .y = p.engine.editState().points[1].y});
    p.pad->relaxAllPoints(layout % 2 ? (1u << (1 + layout % 16)) : 0u);
    ASSERT_LE(worstOverlap(p), 1.f) << "layout " << layout;
    ASSERT_TRUE(allInside(p)) << "layout " << layout;
  }
}

TEST(PadArrangement, DraggingASelectedPointMovesTheSelectionRigidly)
{
  PadSession p;
  p.place(2, 300.f, 300.f);
  p.place(5, 360.f, 340.f);
  p.place(9, 600.f, 450.f); // a neighbour outside the selection
  p.engine.edit({.selection = (1u << 2) | (1u << 5)});
  p.pad->capturePreDragPositions();
  p.pad->moveDraggedPoints(2, 400.f, 330.f);
  float x2, y2, x5, y5;
  p.centre(2, x2, y2);
  p.centre(5, x5, y5);
  EXPECT_NEAR(400.f, x2, 1e-3);
  EXPECT_NEAR(330.f, y2, 1e-3);
  EXPECT_NEAR(460.f, x5, 1e-3);
  EXPECT_NEAR(370.f, y5, 1e-3);

  // An unselected point moves alone.
  p.pad->capturePreDragPositions();
  p.pad->moveDraggedPoints(9, 700.f, 450.f);
  p.centre(2, x2, y2);
  EXPECT_NEAR(400.f, x2, 1e-3);
  float x9, y9;
  p.centre(9, x9, y9);
  EXPECT_NEAR(700.f, x9, 1e-3);
}

TEST(PadArrangement, NeighboursYieldAndReturnWhenTheMoverPasses)
{
  PadSession p;
  p.place(2, 300.f, 400.f);
  p.place(6, 400.f, 400.f);
  p.pad->capturePreDragPositions();
  p.pad->moveDraggedPoints(2, 400.f, 400.f); // onto the neighbour
  float x6, y6;
  p.centre(6, x6, y6);
  EXPECT_NEAR(436.f, x6, 1e-3); // pushed aside along (1, 0)
  EXPECT_LE(worstOverlap(p), 1.f);
  p.pad->moveDraggedPoints(2, 200.f, 300.f); // gone again
  p.centre(6, x6, y6);
  EXPECT_NEAR(400.f, x6, 1e-3);
  EXPECT_NEAR(400.f, y6, 1e-3);
}

TEST(PadArrangement, SpreadScalesTheGroupAboutItsCentre)
{
  PadSession p;
  p.logCallbacks();
  p.place(2, 400.f, 400.f);
  p.place(3, 500.f, 400.f);
  p.engine.edit({.selection = (1u << 2) | (1u << 3)});
  p.pad->beginSpread();
  EXPECT_FLOAT_EQ(450.f, padProbe(*p.pad).spreadCentre[0]);
  EXPECT_FLOAT_EQ(1.f, padProbe(*p.pad).spreadAtStart);

  p.pad->scaleSpreadGroup(1.f); // no change: no edit opened
  EXPECT_FALSE(padProbe(*p.pad).pointsEditOpen);
  p.pad->scaleSpreadGroup(2.f);
  EXPECT_TRUE(padProbe(*p.pad).pointsEditOpen);
  float x2, y2, x3, y3;
  p.centre(2, x2, y2);
  p.centre(3, x3, y3);
  EXPECT_NEAR(350.f, x2, 1e-3);
  EXPECT_NEAR(550.f, x3, 1e-3);
  EXPECT_NEAR(200.f / (908.f - 36.f), padProbe(*p.pad).spreadFill, 1e-5);

  // Below 0.01 acts as 0.01: the pair collapses and is separated again.
  p.pad->scaleSpreadGroup(0.f);
  p.centre(2, x2, y2);
  p.centre(3, x3, y3);
  EXPECT_NEAR(36.f, std::hypot(x3 - x2, y3 - y2), 1.f);

  // An empty group changes nothing but the results.
  p.pad->capturePreDragPositions();
  const auto before = p.engine.editState().points;
  padProbe(*p.pad).spreadGroup = 0;
  p.pad->scaleSpreadGroup(3.f);
  EXPECT_EQ(0.f, padProbe(*p.pad).spreadFill);
  for (size_t i = 0; i < 17; ++i)
    EXPECT_EQ(before[i].x, p.engine.editState().points[i].x);
}

TEST(PadArrangement, SpreadSliderDragIsOneEditAndReportsItsValue)
{
  PadSession p;
  p.logCallbacks();
  float reported = -1.f;
  padProbe(*p.pad).callbacks.onDragEndValue = [&reported](float v) { reported = v; };
  p.place(2, 400.f, 400.f);
  p.place(3, 500.f, 400.f);
  p.pad->applySelection((1u << 2) | (1u << 3));
  padProbe(*p.pad).spreadValue = 0.5f; // where the last spread left the slider
  ASSERT_TRUE(p.pad->spreadSliderShown());
  const IRECT r = p.pad->spreadSliderRect();
  p.s.Input().Press(r.L + 84.f, r.MH()); // the middle: factor 1
  float x2, y2;
  p.centre(2, x2, y2);
  EXPECT_NEAR(400.f, x2, 1e-3);
  p.s.Input().DragTo(r.L + 126.f, r.MH());
  p.s.Input().DragTo(r.L + 168.f, r.MH()); // factor 2
  p.s.Input().Release(r.L + 168.f, r.MH());
  p.centre(2, x2, y2);
  EXPECT_NEAR(350.f, x2, 1e-3);
  EXPECT_FLOAT_EQ(1.f, reported);
  const auto log = p.padLog();
  EXPECT_EQ(1, std::count(log.begin(), log.end(), "edit begin"));
  EXPECT_EQ(1, std::count(log.begin(), log.end(), "edit end"));
  // In the settings mode the contrast slider has that place.
  p.engine.edit({.editing = true});
  EXPECT_FALSE(p.pad->spreadSliderShown());
}

TEST(PadArrangement, APressOnTheSpreadSliderMovesNoPointWhereverTheSliderStood)
{
  struct Case
  {
    const char* what;
    float stored; // where the last spread left the slider
    bool fine;    // shift held: the slider stays where it stood
    float dragTo; // pointer travel from the middle, in pixels of the 168 px track
    float factor; // the drag's scale of the group's extent
  };
  const Case cases[] = {
    {"stored 0, plain", 0.f, false, 42.f, 1.5f},  // 0.5 at the press, 0.75 after the drag
    {"stored 1, plain", 1.f, false, -42.f, 0.5f}, // 0.5, then 0.25
    {"stored 0.3, fine", 0.3f, true, 84.f, 1.3f}, // 0.3, then 0.3 + 0.5 x 0.18
    {"stored 0, fine", 0.f, true, 0.f, 1.f},      // a start at 0 is a start at 0.01, never a collapse
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    PadSession p;
    p.logCallbacks();
    p.place(2, 400.f, 400.f);
    p.place(3, 500.f, 400.f);
    p.engine.edit({.selection = (1u << 2) | (1u << 3)});
    padProbe(*p.pad).spreadValue = c.stored;
    ASSERT_TRUE(p.pad->spreadSliderShown());
    const IRECT r = p.pad->spreadSliderRect();
    const auto before = p.engine.editState().points;
    plugkit::gfx::IMouseMod mod = shiftLeft();
    mod.S = c.fine;
    p.s.Input().Press(r.MW(), r.MH(), mod);
    for (size_t i = 0; i < 17; ++i)
    {
      EXPECT_EQ(before[i].x, p.engine.editState().points[i].x) << i;
      EXPECT_EQ(before[i].y, p.engine.editState().points[i].y) << i;
    }
    EXPECT_TRUE(p.padLog().empty()) << "nothing changed, so no edit was opened";

    p.s.Input().DragTo(r.MW() + c.dragTo, r.MH(), mod);
    float x2, y2, x3, y3;
    p.centre(2, x2, y2);
    p.centre(3, x3, y3);
    EXPECT_NEAR(100.f * c.factor, x3 - x2, 1e-2);
    EXPECT_NEAR(450.f, (x2 + x3) / 2.f, 1e-2);
    p.s.Input().Release(r.MW() + c.dragTo, r.MH(), mod);
  }
}

#ifdef VEMLOR_COUNT_ALLOCATIONS
TEST(PadArrangement, DragStepsAllocateNothing)
{
  PadSession p;
  for (size_t i = 1; i < 17; ++i)
    p.place(i, 100.f + 50.f * static_cast<float>(i), 300.f + 10.f * static_cast<float>(i % 3));
  p.engine.edit({.selection = (1u << 2) | (1u << 3) | (1u << 4)});
  padProbe(*p.pad).callbacks.onPointsEdit = [](bool) {};
  float x = 0.f;
  float y = 0.f;
  p.centre(3, x, y);
  p.s.Input().Press(x, y);
  p.s.Input().DragTo(x + 10.f, y); // the drag has started
  plugkit::gfx::IMouseMod mod;
  mod.L = true;
  vemlor::testhost::beginCountingAllocations();
  for (int step = 0; step < 50; ++step)
    p.pad->OnMouseDrag(x + 10.f + 7.f * static_cast<float>(step), y + 2.f * static_cast<float>(step % 9), 7.f, 0.f,
                       mod);
  EXPECT_EQ(0u, vemlor::testhost::endCountingAllocations());
  p.s.Input().Release(x, y);
}
#endif

} // namespace
} // namespace zarvo::morph::test
