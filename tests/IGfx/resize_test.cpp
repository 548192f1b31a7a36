#include <gtest/gtest.h>

#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

// Stands in for the corner resizer: a press starts a resize drag.
class DragResizer : public RecordingControl
{
public:
  using RecordingControl::RecordingControl;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override
  {
    RecordingControl::OnMouseDown(x, y, mod);
    GetUI()->StartDragResize();
  }
};

int CountOf(const Strings& log, const std::string& entry)
{
  return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

TEST(ResizeTest, ScaleIsClampedToItsLimits)
{
  struct Case
  {
    const char* name;
    float lo, hi;
    float requested;
    float expected;
  };
  const Case cases[] = {
    {"above the maximum", 0.5f, 4.f, 8.f, 4.f},
    {"below the minimum", 0.5f, 4.f, 0.25f, 0.5f},
    {"inside", 0.5f, 4.f, 1.75f, 1.75f},
    {"swapped limits are repaired", 2.f, 1.f, 3.f, 2.f},
    {"swapped limits, below", 2.f, 1.f, 0.5f, 1.f},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    s.G().SetScaleConstraints(c.lo, c.hi);
    s.G().Resize(940, 620, c.requested, true);
    EXPECT_FLOAT_EQ(c.expected, s.G().GetDrawScale()) << c.name;
    EXPECT_EQ(620, s.G().Height()) << c.name;
  }
}

TEST(ResizeTest, HostIsAskedForTheScaledSize)
{
  struct Case
  {
    const char* name;
    int h;
    float scale;
    float windowScale;
    std::string expected;
  };
  const Case cases[] = {{"1.5", 200, 1.5f, 1.f, "resize 1410 300"},
                        {"0.75", 200, 0.75f, 1.f, "resize 705 150"},
                        {"window scale 2", 620, 1.f, 2.f, "resize 1880 1240"}};
  for (const Case& c : cases)
  {
    EditorSession s;
    s.platform.windowScale = c.windowScale;
    s.dlg.resizeAnswer = true;
    s.dlg.log.clear();
    s.G().Resize(940, c.h, c.scale, true);
    EXPECT_EQ(Strings{c.expected}, s.dlg.log) << c.name;
    ASSERT_FALSE(s.platform.platformResizes.empty());
    EXPECT_TRUE(s.platform.platformResizes.back()) << c.name;
  }
}

TEST(ResizeTest, OpeningDoesNotAskTheHost)
{
  EditorSession s;
  EXPECT_EQ(0, CountOf(s.dlg.log, "resize 940 200"));
  ASSERT_FALSE(s.platform.platformResizes.empty());
  EXPECT_FALSE(s.platform.platformResizes.back());
}

TEST(ResizeTest, EqualValuesTouchNothing)
{
  int layouts = 0;
  EditorSession s;
  s.dlg.SetLayoutFunc([&layouts](IGfx*) { ++layouts; });
  s.G().SetLayoutOnResize(true);
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  s.G().Tick();
  s.Input().Press(20, 20);
  s.dlg.log.clear();
  const size_t resizesBefore = s.platform.platformResizes.size();
  c->events.clear();

  s.G().Resize(940, 200, 1.f, true);
  EXPECT_TRUE(s.G().ControlIsCaptured(c));
  EXPECT_EQ(0, layouts);
  EXPECT_TRUE(s.dlg.log.empty());
  EXPECT_EQ(resizesBefore, s.platform.platformResizes.size());
  EXPECT_TRUE(c->events.empty());
  IRECTList rects;
  EXPECT_FALSE(s.G().IsDirty(rects));
}

TEST(ResizeTest, EffectiveResizeReleasesCaptureResizesRedrawsAndLaysOutAgain)
{
  int layouts = 0;
  EditorSession s;
  s.dlg.SetLayoutFunc([&layouts](IGfx*) { ++layouts; });
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  s.G().Tick();
  s.Input().Press(20, 20);
  c->events.clear();

  s.G().Resize(940, 620, 1.f, true);
  EXPECT_FALSE(s.G().ControlIsCaptured());
  EXPECT_EQ(Strings{"resize"}, c->events);
  EXPECT_EQ(0, layouts); // layout on resize is off
  IRECTList rects;
  EXPECT_TRUE(s.G().IsDirty(rects));

  s.G().SetLayoutOnResize(true);
  s.G().Resize(940, 200, 1.f, true);
  EXPECT_EQ(1, layouts);
}

TEST(ResizeTest, CornerResizerDrags)
{
  struct Case
  {
    const char* name;
    EUIResizerMode mode;
    float toX, toY;
    int w, h;
    float scale;
    std::string hostAsked;
  };
  const Case cases[] = {
    {"scale: smaller ratio wins", EUIResizerMode::Scale, 1350.f, 360.f, 940, 200, 1.5f, "resize 1410 300"},
    {"size: pointer becomes the size", EUIResizerMode::Size, 700.9f, 400.2f, 700, 400, 1.f, "resize 700 400"},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* knob = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
    auto* resizer = new DragResizer(IRECT(880, 170, 940, 200));
    s.G().AttachCornerResizer(resizer, c.mode, false);
    knob->events.clear();
    s.dlg.log.clear();

    s.Input().Press(900, 180);
    EXPECT_TRUE(s.G().GetResizingInProcess()) << c.name;
    s.Input().DragTo(c.toX, c.toY);
    EXPECT_EQ(c.w, s.G().Width()) << c.name;
    EXPECT_EQ(c.h, s.G().Height()) << c.name;
    EXPECT_FLOAT_EQ(c.scale, s.G().GetDrawScale()) << c.name;
    EXPECT_EQ(Strings{c.hostAsked}, s.dlg.log) << c.name;
    s.Input().Release(c.toX, c.toY);
    EXPECT_FALSE(s.G().GetResizingInProcess()) << c.name;
    // Ending a scale drag rescales every control; a size drag only redraws the resizer.
    EXPECT_EQ(c.mode == EUIResizerMode::Scale ? 1 : 0, knob->Count("rescale")) << c.name;
    EXPECT_EQ(0, knob->Count("drag")) << c.name;
  }
}

TEST(ResizeTest, SecondCornerResizerIsDropped)
{
  EditorSession s;
  auto* first = new DragResizer(IRECT(880, 170, 940, 200));
  s.G().AttachCornerResizer(first, EUIResizerMode::Size, false);
  s.G().AttachCornerResizer(new DragResizer(IRECT(0, 0, 10, 10)), EUIResizerMode::Scale, true);
  EXPECT_EQ(first, s.G().GetCornerResizer());
  EXPECT_EQ(EUIResizerMode::Size, s.G().GetResizerMode());
}

TEST(ResizeTest, ScreenScaleRescalesAndAsksHost)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  c->events.clear();
  s.dlg.log.clear();
  s.G().SetScreenScale(2.f);
  EXPECT_FLOAT_EQ(2.f, s.G().GetScreenScale());
  EXPECT_FLOAT_EQ(2.f, s.G().GetBackingPixelScale());
  EXPECT_EQ(Strings{"rescale"}, c->events);
  EXPECT_EQ(Strings{"resize 940 200"}, s.dlg.log);
}

} // namespace
} // namespace plugkit::gfx::test
