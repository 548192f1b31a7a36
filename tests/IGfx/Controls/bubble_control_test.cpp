#include <gtest/gtest.h>

#include "IGfx/Controls/IBubbleControl.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

// The recording backend measures half the font size per byte, one font size high; with the default
// 14 px text and the 50 x 30 minimum content, a short text gives a bubble of 80 x 50.
const IRECT kMinContent(0.f, 0.f, 50.f, 30.f);

class BubbleTest : public ::testing::Test
{
protected:
  BubbleTest()
  {
    s.G().AttachBubbleControl();
    bubble = static_cast<IBubbleControl*>(s.G().GetBubbleControl());
  }

  // Moves the clock to ms after t0 and runs a frame.
  void At(double ms)
  {
    s.platform.nowMs = t0 + ms;
    s.G().Tick();
  }

  EditorSession s;
  IBubbleControl* bubble;
  double t0 = s.platform.nowMs;
};

TEST_F(BubbleTest, PlacementFlipsNearTheRightEdgeAndTheTop)
{
  struct Case
  {
    const char* name;
    EDirection dir;
    IRECT caller;
    float x, y;
    const char* str;
    IRECT expected;
    IBubbleControl::EArrowDir arrow;
  };
  const Case cases[] = {
    {"beside, room on the right",
     EDirection::Horizontal,
     {100, 80, 140, 120},
     140,
     100,
     "0.5",
     {140, 75, 220, 125},
     IBubbleControl::kWest},
    {"beside, at the right edge: moves to the caller's left",
     EDirection::Horizontal,
     {880, 80, 920, 120},
     920,
     100,
     "0.5",
     {800, 75, 880, 125},
     IBubbleControl::kEast},
    {"just inside the edge margin",
     EDirection::Horizontal,
     {800, 80, 845, 120},
     845,
     100,
     "0.5",
     {845, 75, 925, 125},
     IBubbleControl::kWest},
    {"above, room on top",
     EDirection::Vertical,
     {100, 80, 140, 120},
     120,
     80,
     "0.5",
     {80, 30, 160, 80},
     IBubbleControl::kSouth},
    {"above, at the top: moves below the caller",
     EDirection::Vertical,
     {100, 10, 140, 50},
     120,
     10,
     "0.5",
     {80, 50, 160, 100},
     IBubbleControl::kNorth},
    {"empty text: the minimum plus the paddings",
     EDirection::Horizontal,
     {100, 80, 140, 120},
     140,
     100,
     "",
     {140, 75, 220, 125},
     IBubbleControl::kWest},
    {"text wider than the minimum",
     EDirection::Horizontal,
     {100, 80, 140, 120},
     140,
     100,
     "-12.5 dB gain",
     {140, 75, 140 + 91 + 30, 125},
     IBubbleControl::kWest},
  };
  for (const Case& c : cases)
  {
    EditorSession e;
    e.G().AttachBubbleControl();
    auto* b = static_cast<IBubbleControl*>(e.G().GetBubbleControl());
    auto* caller = e.Attach<RecordingControl>(c.caller);
    e.G().ShowBubbleControl(caller, c.x, c.y, c.str, c.dir, kMinContent);
    EXPECT_EQ(c.expected, b->GetBubbleBounds()) << c.name;
    EXPECT_EQ(c.arrow, b->GetArrowDir()) << c.name;
    EXPECT_STREQ(c.str, b->GetStr()) << c.name;
  }
}

TEST_F(BubbleTest, RectangleCoversEveryPlaceForOneCallerAndStartsAfreshForAnother)
{
  auto* a = s.Attach<RecordingControl>(IRECT(100, 80, 140, 120));
  auto* b = s.Attach<RecordingControl>(IRECT(300, 80, 340, 120));
  s.G().ShowBubbleControl(a, 140, 100, "1", EDirection::Horizontal, kMinContent);
  EXPECT_EQ(IRECT(140, 75, 220, 125), bubble->GetRECT());
  s.G().ShowBubbleControl(a, 140, 110, "2", EDirection::Horizontal, kMinContent);
  EXPECT_EQ(IRECT(140, 75, 220, 135), bubble->GetRECT()) << "the area it leaves is redrawn too";

  s.G().SetAllControlsClean();
  s.G().ShowBubbleControl(b, 340, 100, "3", EDirection::Horizontal, kMinContent);
  EXPECT_EQ(IRECT(340, 75, 420, 125), bubble->GetRECT());
  EXPECT_TRUE(a->IsDirty()) << "every control is redrawn so the old bubble is erased";
}

TEST_F(BubbleTest, FadesInHoldsWhileHeldAndFadesOutOnTheInjectedClock)
{
  using S = IBubbleControl::EState;
  struct Step
  {
    double ms;
    bool release; // release the mouse before this frame
    S state;
    float weight;
  };
  struct Scenario
  {
    const char* name;
    std::vector<Step> steps;
  };
  const float o = 0.95f;
  const Scenario scenarios[] = {
    {"held past the hold: re-checked every 200 ms, fades after release",
     {{0, false, S::kExpanding, 0.f},
      {100, false, S::kExpanding, 0.5f * o},
      {200, false, S::kExpanding, o},
      {201, false, S::kShown, o},  // the 1000 ms hold starts here
      {1201, false, S::kShown, o}, // hold still running
      {1202, false, S::kShown, o}, // held: another 200 ms
      {1402, false, S::kShown, o},
      {1403, false, S::kShown, o}, // still held: another 200 ms
      {1500, true, S::kShown, o},  // released: the running check finishes first
      {1603, false, S::kShown, o},
      {1604, false, S::kCollapsing, o},
      {1704, false, S::kCollapsing, 0.5f * o},
      {1804, false, S::kCollapsing, 0.f},
      {1805, false, S::kCollapsed, 0.f}}},
    {"released during the hold: the hold still runs out",
     {{0, false, S::kExpanding, 0.f},
      {201, false, S::kShown, o},
      {500, true, S::kShown, o},
      {1201, false, S::kShown, o},
      {1202, false, S::kCollapsing, o},
      {1402, false, S::kCollapsing, 0.f},
      {1403, false, S::kCollapsed, 0.f}}},
  };
  for (const Scenario& sc : scenarios)
  {
    EditorSession e;
    e.G().AttachBubbleControl();
    auto* b = static_cast<IBubbleControl*>(e.G().GetBubbleControl());
    auto* caller = e.Attach<RecordingControl>(IRECT(100, 80, 140, 120));
    const double start = e.platform.nowMs;
    e.Input().Press(120, 100);
    e.G().ShowBubbleControl(caller, 140, 100, "0.5", EDirection::Horizontal, kMinContent);
    EXPECT_FALSE(b->IsHidden()) << sc.name;
    for (const Step& st : sc.steps)
    {
      if (st.release)
        e.Input().Release(120, 100);
      e.platform.nowMs = start + st.ms;
      e.G().Tick();
      EXPECT_EQ(st.state, b->GetState()) << sc.name << " at " << st.ms << " ms";
      EXPECT_NEAR(st.weight, b->GetBlend().mWeight, 1e-5) << sc.name << " at " << st.ms << " ms";
    }
    EXPECT_TRUE(b->IsHidden()) << sc.name;
    EXPECT_FALSE(b->IsDirty()) << sc.name << ": no animation left once collapsed";
  }
}

TEST_F(BubbleTest, AskedForAgainWhileFadingOutItMovesButStillHides)
{
  auto* caller = s.Attach<RecordingControl>(IRECT(100, 80, 140, 120));
  s.G().ShowBubbleControl(caller, 140, 100, "1", EDirection::Horizontal, kMinContent);
  At(201);
  At(1202);
  ASSERT_EQ(IBubbleControl::kCollapsing, bubble->GetState());
  s.G().ShowBubbleControl(caller, 140, 150, "2", EDirection::Horizontal, kMinContent);
  EXPECT_EQ(IBubbleControl::kCollapsing, bubble->GetState());
  EXPECT_STREQ("2", bubble->GetStr());
  EXPECT_EQ(IRECT(140, 125, 220, 175), bubble->GetBubbleBounds());
  At(1403);
  EXPECT_EQ(IBubbleControl::kCollapsed, bubble->GetState());
  EXPECT_TRUE(bubble->IsHidden());

  // Once collapsed it can be shown again.
  s.G().ShowBubbleControl(caller, 140, 100, "3", EDirection::Horizontal, kMinContent);
  EXPECT_EQ(IBubbleControl::kExpanding, bubble->GetState());
  EXPECT_FALSE(bubble->IsHidden());
}

TEST_F(BubbleTest, PressesOverTheBubbleReachTheControlBeneath)
{
  auto* caller = s.Attach<RecordingControl>(IRECT(100, 80, 140, 120), -1, "caller");
  auto* beneath = s.Attach<RecordingControl>(IRECT(140, 60, 260, 140), -1, "beneath");
  s.G().ShowBubbleControl(caller, 140, 100, "0.5", EDirection::Horizontal, kMinContent);
  At(201);
  ASSERT_TRUE(bubble->GetRECT().Contains(180, 100));
  s.Input().Click(180, 100);
  EXPECT_EQ(1, beneath->Count("down"));
  EXPECT_EQ(0, caller->Count("down"));
}

TEST_F(BubbleTest, DrawsShadowBodyWithArrowAndTextWithTheFadeBlend)
{
  auto* caller = s.Attach<RecordingControl>(IRECT(880, 80, 920, 120));
  s.G().ShowBubbleControl(caller, 920, 100, "0.5", EDirection::Horizontal, kMinContent);
  At(0);
  s.recorder.Clear();
  At(100);
  // Body (810, 85, 870, 115); the arrow on its right points at the caller.
  const IRECT body(810, 85, 870, 115);
  bool tip = false;
  for (const DrawCall& c : s.recorder.Only("PathLineTo"))
    tip = tip || (c.args == std::vector<float>{body.R + 10.f, body.MH()});
  EXPECT_TRUE(tip) << s.recorder.Dump();

  const std::vector<DrawCall> fills = s.recorder.Only("PathFill");
  const std::vector<DrawCall> strokes = s.recorder.Only("PathStroke");
  const std::vector<DrawCall> texts = s.recorder.Only("DoDrawText");
  ASSERT_EQ(1u, texts.size()) << s.recorder.Dump();
  ASSERT_FALSE(fills.empty());
  ASSERT_FALSE(strokes.empty());
  EXPECT_EQ(COLOR_WHITE, fills.back().color);
  EXPECT_EQ(COLOR_BLACK, strokes.back().color);
  EXPECT_FLOAT_EQ(2.f, strokes.back().thickness);
  EXPECT_EQ("0.5", texts[0].text);
  EXPECT_EQ(body, texts[0].rect);
  for (const DrawCall* c : {&fills.back(), &strokes.back(), &texts[0]})
  {
    ASSERT_TRUE(c->hasBlend) << c->Describe();
    EXPECT_NEAR(0.475f, c->blend.mWeight, 1e-5) << c->Describe();
  }
}

TEST_F(BubbleTest, WithoutABubbleNothingHappens)
{
  EditorSession e;
  auto* caller = e.Attach<RecordingControl>(IRECT(100, 80, 140, 120));
  e.G().ShowBubbleControl(caller, 140, 100, "0.5");
  EXPECT_EQ(0, e.G().NBubbles());
}

} // namespace
} // namespace plugkit::gfx::test
