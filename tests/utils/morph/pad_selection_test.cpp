// Delayed selection, the marquee, activation and the callback order of moving the morph position,
// on the injected clock.
#include <gtest/gtest.h>

#include <functional>

#include "tests/utils/morph/pad_session.h"
#include "tests/support/morph_pad_probe.h"

namespace zarvo::morph::test {
namespace {

TEST(PadSelection, DelayedSelectionCommitsAfter150ms)
{
  PadSession p;
  p.place(4, 300.f, 300.f);
  p.s.Input().Click(300.f, 300.f);
  EXPECT_EQ(4, padProbe(*p.pad).pendingSelectPoint);
  EXPECT_EQ(0u, p.engine.selection());
  EXPECT_EQ(1u << 4, p.pad->displaySelection()); // the rings show it at once
  p.advance(149.);
  EXPECT_EQ(0u, p.engine.selection());
  p.advance(2.);
  EXPECT_EQ(1u << 4, p.engine.selection());
  EXPECT_EQ(4, p.engine.editState().focus);
  EXPECT_EQ(-1, padProbe(*p.pad).pendingSelectPoint);
}

TEST(PadSelection, ArmedSelectionIsCancelled)
{
  struct Case
  {
    const char* name;
    std::function<void(PadSession&)> cancel;
    uint32_t want;
  };
  const Case cases[] = {
    {"double click",
     [](PadSession& p) {
       p.s.Input().DoubleClick(300.f, 300.f);
       p.s.Input().Release(300.f, 300.f);
     },
     0u},
    {"select all", [](PadSession& p) { EXPECT_TRUE(p.pad->toggleSelectAllPoints()); }, (1u << 4) | (1u << 6)},
    {"new press", [](PadSession& p) { p.s.Input().Press(500.f, 300.f); }, 0u},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    p.place(4, 300.f, 300.f);
    p.place(6, 500.f, 300.f);
    p.s.Input().Click(300.f, 300.f);
    ASSERT_EQ(4, padProbe(*p.pad).pendingSelectPoint) << c.name;
    c.cancel(p);
    EXPECT_EQ(-1, padProbe(*p.pad).pendingSelectPoint) << c.name;
    p.advance(500.);
    EXPECT_EQ(c.want, p.engine.selection()) << c.name;
  }
}

TEST(PadSelection, ClickOnTheOnlySelectedPointDeselectsAtOnce)
{
  PadSession p;
  p.place(4, 300.f, 300.f);
  p.pad->applySelection(1u << 4);
  p.s.Input().Click(300.f, 300.f);
  EXPECT_EQ(0u, p.engine.selection());
  EXPECT_EQ(-1, padProbe(*p.pad).pendingSelectPoint);
  // With shift it arms a toggle.
  p.pad->applySelection(1u << 4);
  p.s.Input().Click(300.f, 300.f, shiftLeft());
  EXPECT_TRUE(padProbe(*p.pad).pendingSelectAdd);
  p.advance(200.);
  EXPECT_EQ(0u, p.engine.selection());
}

TEST(PadSelection, MarqueeTakesPointsInsideHalfOpen)
{
  PadSession p;
  p.place(2, 200.f, 300.f, false); // inactive points count too
  p.place(3, 260.f, 300.f);
  p.place(5, 400.f, 300.f); // on the right edge: outside
  p.place(0, 300.f, 350.f);
  padProbe(*p.pad).marqueeStart = {400.f, 360.f};
  padProbe(*p.pad).marqueeEnd = {200.f, 280.f}; // corners in any order
  EXPECT_EQ((1u << 0) | (1u << 2) | (1u << 3), p.pad->marqueeMask());
  padProbe(*p.pad).marqueeStart = {0.f, 0.f};
  padProbe(*p.pad).marqueeEnd = {0.f, 0.f};
  EXPECT_EQ(0u, p.pad->marqueeMask());

  // Shift on the empty field drags a band; the release selects what it holds.
  PadSession q;
  q.place(2, 200.f, 300.f);
  q.place(3, 260.f, 300.f);
  q.s.Input().Press(180.f, 280.f, shiftLeft());
  EXPECT_TRUE(padProbe(*q.pad).marqueeActive());
  q.s.Input().DragTo(280.f, 320.f, shiftLeft());
  EXPECT_EQ((1u << 2) | (1u << 3), q.pad->displaySelection());
  EXPECT_EQ("editing 2 morph points", q.pad->statusLines().lines[0]);
  q.s.Input().Release(280.f, 320.f, shiftLeft());
  EXPECT_FALSE(padProbe(*q.pad).marqueeActive());
  EXPECT_EQ((1u << 2) | (1u << 3), q.engine.selection());
}

TEST(PadSelection, ActivationTable)
{
  struct Case
  {
    const char* name;
    std::vector<int> active;
    uint32_t selection;
    int clicked;
    std::vector<int> wantActive;
    uint32_t wantSelection;
  };
  const Case cases[] = {
    {"activates one point", {1}, 0, 5, {1, 5}, 0},
    {"deactivates one point", {1, 5}, 0, 5, {1}, 0},
    {"the last active point stays active", {5}, 0, 5, {5}, 0},
    {"a selection holding every active point keeps the clicked one",
     {2, 5, 7},
     (1u << 2) | (1u << 5) | (1u << 7),
     5,
     {5},
     (1u << 2) | (1u << 5) | (1u << 7)},
    {"a selected single point leaves the selection", {1, 5}, 1u << 5, 5, {1}, 0},
    {"an unselected point toggles alone", {1, 2, 5}, (1u << 1) | (1u << 2), 5, {1, 2}, (1u << 1) | (1u << 2)},
    {"activating a selection", {1}, (1u << 2) | (1u << 3), 3, {1, 2, 3}, (1u << 2) | (1u << 3)},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    for (size_t i = 1; i < 17; ++i)
      p.place(i, 60.f + 50.f * static_cast<float>(i), 300.f, false);
    for (int i : c.active)
      p.engine.edit({.point = static_cast<size_t>(i), .active = true});
    p.engine.edit({.selection = c.selection});
    p.pad->toggleActivation(c.clicked);
    std::vector<int> got;
    for (int i = 0; i < 17; ++i)
      if (p.engine.editState().points[static_cast<size_t>(i)].active)
        got.push_back(i);
    EXPECT_EQ(c.wantActive, got) << c.name;
    EXPECT_EQ(c.wantSelection, p.engine.selection()) << c.name;
  }
}

TEST(PadSelection, DoubleClickOnAMemberTogglesTheWholeSelection)
{
  PadSession p;
  p.place(2, 200.f, 300.f);
  p.place(3, 300.f, 300.f);
  p.place(4, 400.f, 300.f);
  p.pad->applySelection((1u << 2) | (1u << 3));
  // The first click arms a collapse to point 3; the double click acts on the selection as it was.
  p.s.Input().Click(300.f, 300.f);
  EXPECT_EQ((1u << 2) | (1u << 3), padProbe(*p.pad).pendingCollapseMask);
  p.s.Input().DoubleClick(300.f, 300.f);
  p.s.Input().Release(300.f, 300.f);
  EXPECT_FALSE(p.engine.editState().points[2].active);
  EXPECT_FALSE(p.engine.editState().points[3].active);
  EXPECT_TRUE(p.engine.editState().points[4].active);
  p.advance(500.);
  EXPECT_EQ((1u << 2) | (1u << 3), p.engine.selection());
}

TEST(PadSelection, MovingTheMorphPositionCallsBackInOrder)
{
  PadSession p;
  p.logCallbacks();
  p.pad->moveUserPointTo(16.f + 454.f, 200.f + 202.f); // the current position: nothing
  EXPECT_TRUE(p.padLog().empty());
  p.pad->moveUserPointTo(16.f + 227.f, 200.f + 101.f);
  const std::vector<std::string> want = {"gesture begin", "edit begin", "send 0 0.25",
                                         "send 1 0.75",   "edit end",   "gesture end"};
  EXPECT_EQ(want, p.padLog());
}

TEST(PadSelection, SelectAllAndItsRefusals)
{
  PadSession p;
  EXPECT_FALSE(p.pad->toggleSelectAllPoints()); // no active user point
  p.place(2, 200.f, 300.f);
  p.place(7, 300.f, 300.f);
  p.place(0, 500.f, 300.f); // the teleport point is not a user point
  EXPECT_TRUE(p.pad->toggleSelectAllPoints());
  EXPECT_EQ((1u << 2) | (1u << 7), p.engine.selection());
  EXPECT_TRUE(p.pad->toggleSelectAllPoints());
  EXPECT_EQ(0u, p.engine.selection());
  p.engine.edit({.moving = true});
  p.engine.edit({.padOption = true});
  EXPECT_FALSE(p.pad->toggleSelectAllPoints());
}

} // namespace
} // namespace zarvo::morph::test
