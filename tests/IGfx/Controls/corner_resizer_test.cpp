#include <gtest/gtest.h>

#include "IGfx/Controls/ICornerResizerControl.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

// The product's resizer: scale mode, 30 screen pixels.
void AttachProductResizer(IGfx& g)
{
  g.AttachCornerResizer(EUIResizerMode::Scale, false, COLOR_TRANSLUCENT, COLOR_LIGHT_GRAY, COLOR_WHITE, 30.f);
}

TEST(CornerResizerTest, KeepsItsScreenSizeInTheCornerAtEveryScale)
{
  struct Case
  {
    const char* name;
    float createdAt;
    float scale;
    IRECT expected;
  };
  const Case cases[] = {
    {"scale 1", 1.f, 1.f, {910, 170, 940, 200}},
    {"scale 2", 1.f, 2.f, {925, 185, 940, 200}},
    {"scale 1.5", 1.f, 1.5f, {920, 180, 940, 200}},
    {"made at scale 2", 2.f, 2.f, {925, 185, 940, 200}},
    {"made at 2, back to 1", 2.f, 1.f, {910, 170, 940, 200}},
  };
  for (const Case& c : cases)
  {
    EditorSession s(8, 940, 200, c.createdAt);
    AttachProductResizer(s.G());
    s.G().Resize(940, 200, c.scale, true);
    ASSERT_NE(nullptr, s.G().GetCornerResizer()) << c.name;
    EXPECT_EQ(c.expected, s.G().GetCornerResizer()->GetRECT()) << c.name;
    EXPECT_EQ(c.expected, s.G().GetCornerResizer()->GetTargetRECT()) << c.name;
  }
}

TEST(CornerResizerTest, DoubleClickRestoresTheCreationSizeAtScaleOne)
{
  for (float scale : {1.5f, 2.f})
  {
    EditorSession s;
    AttachProductResizer(s.G());
    s.G().Resize(940, 200, scale, true);
    s.dlg.log.clear();
    const IRECT r = s.G().GetCornerResizer()->GetRECT();
    EXPECT_TRUE(s.Input().DoubleClick(r.R - 2.f, r.B - 2.f));
    EXPECT_FLOAT_EQ(1.f, s.G().GetDrawScale()) << scale;
    EXPECT_EQ(940, s.G().Width());
    EXPECT_EQ(200, s.G().Height());
    EXPECT_EQ(std::vector<std::string>{"resize 940 200"}, s.dlg.log) << scale;
    EXPECT_EQ(IRECT(910, 170, 940, 200), s.G().GetCornerResizer()->GetRECT()) << scale;
  }
}

TEST(CornerResizerTest, SizeModeDoubleClickRestoresASizeChangedByDragging)
{
  EditorSession s;
  s.G().AttachCornerResizer(EUIResizerMode::Size);
  s.Input().Press(935, 195);
  s.Input().DragTo(700, 150);
  s.Input().Release(700, 150);
  ASSERT_EQ(700, s.G().Width());
  ASSERT_EQ(150, s.G().Height());
  s.Input().DoubleClick(695, 145);
  EXPECT_EQ(940, s.G().Width());
  EXPECT_EQ(200, s.G().Height());
}

TEST(CornerResizerTest, HoverSetsTheDiagonalCursorOnceAndLeavingRestoresThePreviousOne)
{
  EditorSession s;
  AttachProductResizer(s.G());
  s.G().SetMouseCursor(ECursor::HAND);
  s.Input().Hover(930, 190);
  s.Input().Hover(935, 195);
  s.Input().Hover(500, 100); // off the handle, still inside the editor
  EXPECT_EQ((std::vector<ECursor>{ECursor::HAND, ECursor::SIZENWSE, ECursor::HAND}), s.platform.cursorsSet);
}

TEST(CornerResizerTest, TriangleColourFollowsHoverAndDrag)
{
  struct Case
  {
    const char* name;
    bool hover, press;
    IColor expected;
  };
  const Case cases[] = {
    {"idle", false, false, COLOR_TRANSLUCENT},
    {"hovered", true, false, COLOR_LIGHT_GRAY},
    {"dragging", true, true, COLOR_WHITE},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    AttachProductResizer(s.G());
    if (c.hover)
      s.Input().Hover(935, 195);
    if (c.press)
      s.Input().Press(935, 195);
    EXPECT_EQ(c.press, s.G().GetResizingInProcess()) << c.name;
    s.G().GetCornerResizer()->SetDirty(false);
    s.recorder.Clear();
    s.G().Tick();
    // (L, B), (R, T), (R, B) of (910, 170, 940, 200).
    const std::vector<float> corners{910, 200, 940, 170, 940, 200};
    std::vector<float> points;
    for (const DrawCall& call : s.recorder.Calls())
      if (call.op == "PathMoveTo" || call.op == "PathLineTo")
        points.insert(points.end(), call.args.begin(), call.args.end());
    EXPECT_EQ(corners, points) << c.name << "\n" << s.recorder.Dump();
    const std::vector<DrawCall> fills = s.recorder.Only("PathFill");
    ASSERT_EQ(1u, fills.size()) << c.name;
    EXPECT_EQ(c.expected, fills[0].color) << c.name;
  }
}

TEST(CornerResizerTest, ASecondResizerChangesNothing)
{
  EditorSession s;
  AttachProductResizer(s.G());
  IControl* first = s.G().GetCornerResizer();
  s.G().AttachCornerResizer(EUIResizerMode::Size, true, COLOR_BLACK, COLOR_BLACK, COLOR_BLACK, 50.f);
  EXPECT_EQ(first, s.G().GetCornerResizer());
  EXPECT_EQ(EUIResizerMode::Scale, s.G().GetResizerMode());
}

} // namespace
} // namespace plugkit::gfx::test
