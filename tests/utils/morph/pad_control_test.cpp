// Coordinates, clamps, the focus rule, the pulse on the injected clock and host values.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/utils/morph/pad_session.h"
#include "tests/support/field_edit.h"
#include "tests/support/morph_pad_probe.h"

namespace zarvo::morph::test {
namespace {

TEST(PadControl, AspectAndSnapRadiiFollowThePadRectangle)
{
  PadSession p;
  EXPECT_NEAR(227.0 / 101.0, p.engine.editState().aspect, 1e-6);
  EXPECT_NEAR(18.0 / 404.0, p.engine.editState().snapRadius, 1e-9);
  EXPECT_NEAR(15.0 / 404.0, p.engine.editState().centreSnapRadius, 1e-9);

  // A pad without height leaves them alone.
  p.s.G().SetControlBounds(p.pad, IRECT(16, 200, 924, 200));
  EXPECT_NEAR(227.0 / 101.0, p.engine.editState().aspect, 1e-6);
  EXPECT_NEAR(18.0 / 404.0, p.engine.editState().snapRadius, 1e-9);

  // Point scale 2 doubles the radii.
  PadSession big(kPadRect, 2.0);
  EXPECT_NEAR(36.0 / 404.0, big.engine.editState().snapRadius, 1e-9);
  EXPECT_NEAR(30.0 / 404.0, big.engine.editState().centreSnapRadius, 1e-9);
}

TEST(PadControl, CentresClampLowerBoundFirst)
{
  // 20 px wide: narrower than a point (36 px), so both bounds cross and the lower one wins.
  PadSession p(IRECT(100, 100, 120, 500));
  float x = 0.f;
  float y = 0.f;
  p.engine.edit({.point = 3, .x = 0.5, .y = 0.5});
  p.pad->modeCenter(p.engine.editState().points[3], x, y);
  EXPECT_FLOAT_EQ(118.f, x);
  EXPECT_FLOAT_EQ(300.f, y);
  // Not below the lower bound: limited to the upper one.
  vemlor_test::editPoint(p.engine, 3, [&](auto& point) { point.x = 1.0; });
  p.pad->modeCenter(p.engine.editState().points[3], x, y);
  EXPECT_FLOAT_EQ(102.f, x);
  p.engine.edit({.point = 0, .x = 0.5, .y = 0.0});
  p.pad->teleportCenter(x, y);
  EXPECT_FLOAT_EQ(115.f, x);
  EXPECT_FLOAT_EQ(485.f, y);

  // A wide pad clamps each side by the point's half size.
  PadSession w;
  w.engine.edit({.point = 3, .x = 0.0, .y = 1.0});
  w.pad->modeCenter(w.engine.editState().points[3], x, y);
  EXPECT_FLOAT_EQ(34.f, x);
  EXPECT_FLOAT_EQ(218.f, y);
}

TEST(PadControl, FocusRule)
{
  struct Case
  {
    const char* name;
    bool editing;
    bool moving;
    uint32_t mask;
    int focus;
  };
  const Case cases[] = {
    {"one point", false, false, 1u << 4, 4},
    {"teleport point", false, false, 1u, 0},
    {"two points", false, false, (1u << 4) | (1u << 5), -1},
    {"nothing", false, false, 0, -1},
    {"moving: one point not focused", false, true, 1u << 4, -1},
    {"editing while moving: focused", true, true, 1u << 4, 4},
    {"editing: one point", true, false, 1u << 7, 7},
    {"bits above 16 are cut", false, false, (1u << 20) | (1u << 2), 2},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    p.engine.edit({.editing = c.editing});
    p.engine.edit({.moving = c.moving});
    p.pad->applySelection(c.mask);
    EXPECT_EQ(c.focus, p.engine.editState().focus) << c.name;
    EXPECT_EQ(c.mask & 0x1FFFFu, p.engine.selection()) << c.name;
  }
}

TEST(PadControl, SelectionGoesToTheCallbackWhenSet)
{
  PadSession p;
  uint32_t got = 99;
  padProbe(*p.pad).callbacks.onSelectionChanged = [&got](uint32_t m) { got = m; };
  p.pad->applySelection((1u << 3) | (1u << 30));
  EXPECT_EQ(1u << 3, got);
  EXPECT_EQ(0u, p.engine.selection()); // the editor applies it, not the pad
}

TEST(PadControl, PulseTargetsAndEnvelopeOnTheInjectedClock)
{
  struct Case
  {
    const char* name;
    bool editing;
    bool moving;
    int target;
  };
  const Case cases[] = {{"settings mode: points", true, true, 3},
                        {"sound lock: its button", false, true, 1},
                        {"plain: points", false, false, 3}};
  for (const Case& c : cases)
  {
    PadSession p;
    p.engine.edit({.editing = c.editing});
    p.engine.edit({.moving = c.moving});
    p.pad->pulseEditAffordance();
    EXPECT_EQ(c.target, padProbe(*p.pad).pulseTarget) << c.name;
  }

  PadSession p;
  p.pad->pulseEditAffordance();
  for (double ms : {112.5, 225.0, 450.0, 675.0, 899.0})
  {
    p.s.platform.nowMs = 1000.0 + ms;
    p.s.G().Tick();
    const double t = ms / 900.0;
    const double want = (1.0 - t) * (0.5 - 0.5 * std::cos(4.0 * std::numbers::pi * t));
    EXPECT_NEAR(want, padProbe(*p.pad).pulseAmount, 1e-5) << ms;
  }
  EXPECT_GT(padProbe(*p.pad).pulseAmount, 0.f);
  p.s.platform.nowMs = 1900.0;
  p.s.G().Tick();
  EXPECT_EQ(0.f, padProbe(*p.pad).pulseAmount);
  EXPECT_FALSE(p.pad->GetAnimationFunction());
}

TEST(PadControl, HostValueDuringAPositionDragIsIgnored)
{
  PadSession p;
  auto& in = p.s.Input();
  // A press on the empty field starts a position drag at the pointer.
  in.Press(300, 300);
  ASSERT_TRUE(padProbe(*p.pad).userDragActive());
  const double x = p.pad->GetValue(0);
  p.pad->SetValueFromDelegate(0.9, 0);
  EXPECT_EQ(x, p.pad->GetValue(0));
  in.Release(300, 300);
  p.pad->SetValueFromDelegate(0.9, 0);
  EXPECT_EQ(0.9, p.pad->GetValue(0));

  // An equal value causes no redraw.
  p.s.G().Tick();
  p.pad->SetValueFromDelegate(0.9, 0);
  plugkit::gfx::IRECTList rects;
  EXPECT_FALSE(p.s.G().IsDirty(rects));
}

} // namespace
} // namespace zarvo::morph::test
