#include <gtest/gtest.h>

#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

// The clip rectangles the frame set, in order.
std::vector<IRECT> Clips(const DrawRecorder& rec)
{
  std::vector<IRECT> out;
  for (const DrawCall& c : rec.Only("SetClipRegion"))
    out.push_back(c.rect);
  return out;
}

class FrameLoopTest : public ::testing::Test
{
protected:
  // Draws the frame after opening, so that only what a test dirties is drawn next.
  void Settle()
  {
    s.G().Tick();
    s.recorder.Clear();
    for (int i = 0; i < s.G().NControls(); ++i)
      static_cast<RecordingControl*>(s.G().GetControl(i))->events.clear();
  }

  EditorSession s;
};

TEST_F(FrameLoopTest, NothingDirtyBeginsNoFrame)
{
  s.Attach<RecordingControl>(IRECT(10, 10, 20, 20));
  Settle();
  IRECTList rects;
  EXPECT_FALSE(s.G().IsDirty(rects));
  EXPECT_EQ(0, rects.Size());
  s.G().Draw(rects);
  EXPECT_TRUE(s.recorder.Calls().empty()) << s.recorder.Dump();
}

TEST_F(FrameLoopTest, DirtyControlIsPaddedAndDrawnInAlignedRegion)
{
  s.platform.screenScale = 2.f;
  s.Reopen();
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 20, 20));
  Settle();

  c->SetDirty(false);
  IRECTList rects;
  ASSERT_TRUE(s.G().IsDirty(rects));
  ASSERT_EQ(1, rects.Size());
  EXPECT_EQ(IRECT(9.25f, 9.25f, 20.75f, 20.75f), rects.Get(0));

  s.G().SetAllControlsClean();
  s.G().Draw(rects);
  EXPECT_EQ(std::vector<IRECT>{IRECT(9, 9, 21, 21)}, Clips(s.recorder));
  // Region preparation, the control's drawing, then the region's completion, inside one frame.
  const std::vector<std::string> ops{
    "BeginFrame", "PathTransformSetMatrix", "PathClear", "SetClipRegion", "PathMoveTo", "PathLineTo",
    "PathFill",   "CompleteRegion",         "EndFrame"};
  std::vector<std::string> seen;
  for (const DrawCall& call : s.recorder.Calls())
    seen.push_back(call.op);
  EXPECT_EQ(ops, seen);
  EXPECT_EQ((std::vector<float>{1, 0, 0, 1, 0, 0}), s.recorder.Only("PathTransformSetMatrix")[0].args);
}

TEST_F(FrameLoopTest, EachControlIsClippedToRegionAndItsPaddedRect)
{
  auto* bg = s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "bg");
  auto* dirty = s.Attach<RecordingControl>(IRECT(10, 10, 20, 20), -1, "dirty");
  auto* overlapping = s.Attach<RecordingControl>(IRECT(15, 15, 100, 100), -1, "overlapping");
  auto* elsewhere = s.Attach<RecordingControl>(IRECT(300, 100, 310, 110), -1, "elsewhere");
  Settle();

  dirty->SetDirty(false);
  ASSERT_TRUE(s.G().Tick());
  EXPECT_EQ((std::vector<IRECT>{IRECT(9, 9, 21, 21), IRECT(9, 9, 21, 21), IRECT(14, 14, 21, 21)}), Clips(s.recorder));
  EXPECT_EQ(1, bg->Count("draw"));
  EXPECT_EQ(1, dirty->Count("draw"));
  EXPECT_EQ(1, overlapping->Count("draw"));
  EXPECT_EQ(0, elsewhere->Count("draw"));
}

TEST_F(FrameLoopTest, StrictDrawingDrawsOneAlignedUnion)
{
  struct Case
  {
    const char* name;
    bool strict;
    int frames;
    int regionsDrawnOfBetween;
  };
  for (const Case& c : {Case{"strict", true, 1, 1}, Case{"optimised", false, 1, 0}})
  {
    EditorSession session;
    auto* a = session.Attach<RecordingControl>(IRECT(0.5f, 0.5f, 10, 10), -1, "a");
    auto* b = session.Attach<RecordingControl>(IRECT(50, 50, 60, 60), -1, "b");
    auto* between = session.Attach<RecordingControl>(IRECT(30, 30, 40, 40), -1, "between");
    auto* outside = session.Attach<RecordingControl>(IRECT(200, 100, 210, 110), -1, "outside");
    session.G().SetStrictDrawing(c.strict);
    session.G().Tick();
    session.recorder.Clear();
    for (RecordingControl* rc : {a, b, between, outside})
      rc->events.clear();

    a->SetDirty(false);
    b->SetDirty(false);
    ASSERT_TRUE(session.G().Tick()) << c.name;
    EXPECT_EQ(c.frames, session.recorder.Count("BeginFrame")) << c.name;
    EXPECT_EQ(1, a->Count("draw")) << c.name;
    EXPECT_EQ(1, b->Count("draw")) << c.name;
    EXPECT_EQ(c.regionsDrawnOfBetween, between->Count("draw")) << c.name;
    EXPECT_EQ(0, outside->Count("draw")) << c.name;
    if (c.strict)
    {
      // One region: the union of both padded rectangles, aligned outward; a's clip is cut from it.
      EXPECT_EQ(IRECT(-1, -1, 61, 61).Intersect(IRECT(-1, -1, 11, 11)), Clips(session.recorder).front());
    }
  }
}

TEST_F(FrameLoopTest, HiddenControlsAreSkippedExceptTheBackground)
{
  auto* bg = s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "bg");
  auto* hidden = s.Attach<RecordingControl>(IRECT(10, 10, 20, 20), -1, "hidden");
  bg->Hide(true);
  hidden->Hide(true);
  ASSERT_TRUE(s.G().Tick());
  EXPECT_EQ(1, bg->Count("draw"));
  EXPECT_EQ(0, hidden->Count("draw"));
}

TEST_F(FrameLoopTest, ChildRectangleIsShiftedIntoItsParent)
{
  auto* parent = s.Attach<RecordingControl>(IRECT(100, 100, 200, 150), -1, "parent");
  auto* child = s.Attach<RecordingControl>(IRECT(95, 110, 115, 120), -1, "child");
  child->SetParent(parent);
  Settle();

  child->SetDirty(false);
  IRECTList rects;
  ASSERT_TRUE(s.G().IsDirty(rects));
  ASSERT_EQ(1, rects.Size());
  // 5 pixels left of the padded parent: moved right by 5 with its width kept.
  EXPECT_EQ(IRECT(99.25f, 109.25f, 120.75f, 120.75f), rects.Get(0));
}

TEST_F(FrameLoopTest, AnimationKeepsAControlDirtyUntilItsProgressPassesOne)
{
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 20, 20));
  Settle();
  DefaultClickActionFunc(c);
  for (double advanceMs : {0., 50., 50.})
  {
    s.platform.nowMs += advanceMs;
    EXPECT_TRUE(s.G().Tick()) << "progress " << c->GetAnimationProgress();
  }
  EXPECT_DOUBLE_EQ(1., c->GetAnimationProgress()); // exactly 1 does not end it yet
  EXPECT_TRUE(c->GetAnimationFunction() != nullptr);
  s.platform.nowMs += 1.;
  EXPECT_TRUE(s.G().Tick()); // ends here, and the end marks it dirty once more
  EXPECT_TRUE(c->GetAnimationFunction() == nullptr);
  EXPECT_FALSE(s.G().Tick());
}

TEST_F(FrameLoopTest, DisplayTickRunsAtEveryCheck)
{
  int ticks = 0;
  s.G().SetDisplayTickFunc([&ticks] { ++ticks; });
  IRECTList rects;
  s.G().IsDirty(rects);
  s.G().SetAllControlsClean();
  s.G().IsDirty(rects);
  EXPECT_EQ(2, ticks);
}

TEST_F(FrameLoopTest, SetStrictDrawingRedrawsEverything)
{
  auto* a = s.Attach<RecordingControl>(IRECT(10, 10, 20, 20));
  auto* b = s.Attach<RecordingControl>(IRECT(500, 100, 520, 120));
  Settle();
  s.G().SetStrictDrawing(true);
  ASSERT_TRUE(s.G().Tick());
  EXPECT_EQ(1, a->Count("draw"));
  EXPECT_EQ(1, b->Count("draw"));
}

} // namespace
} // namespace plugkit::gfx::test
