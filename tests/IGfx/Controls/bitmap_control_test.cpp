#include <gtest/gtest.h>

#include "IGfx/Controls/IBitmapControl.h"
#include "IGfx/IBitmap.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

// A bitmap the context finds by name: put into the shared cache, which owns and frees it.
IBitmap CachedBitmap(IGfx& g, const char* name, int w, int h, int nFrames, bool horizontal)
{
  g.RetainBitmap(IBitmap(new APIBitmap(1, w, h, 1.f, 1.f), nFrames, horizontal, name), name);
  return g.LoadBitmap(name, nFrames, horizontal);
}

TEST(BitmapControlTest, ValueChoosesTheFrame)
{
  struct Case
  {
    const char* name;
    bool horizontal;
    double value;
    int frame; // 1-based
  };
  const Case cases[] = {
    {"0 -> first", false, 0., 1},           {"0.5 -> middle", false, 0.5, 3}, {"1 -> last", false, 1., 5},
    {"just below a step", false, 0.124, 1}, {"a step", false, 0.125, 2},      {"horizontal 0.5", true, 0.5, 3},
    {"horizontal 1", true, 1., 5},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    // Five 30 x 20 frames, stacked or side by side.
    const IBitmap bitmap = c.horizontal ? CachedBitmap(s.G(), "strip_h.png", 150, 20, 5, true)
                                        : CachedBitmap(s.G(), "strip_v.png", 30, 100, 5, false);
    ASSERT_TRUE(bitmap.IsValid()) << c.name;
    auto* control = s.Attach<IBitmapControl>(10.f, 20.f, bitmap, 2);
    EXPECT_EQ(IRECT(10, 20, 40, 40), control->GetRECT()) << c.name;
    control->SetValue(c.value);
    control->SetDirty(false);
    s.recorder.Clear();
    s.G().Tick();
    const std::vector<DrawCall> draws = s.recorder.Only("DrawBitmap");
    ASSERT_EQ(1u, draws.size()) << c.name;
    const float offset = static_cast<float>(c.frame - 1) * (c.horizontal ? 30.f : 20.f);
    const std::vector<float> src = c.horizontal ? std::vector<float>{offset, 0} : std::vector<float>{0, offset};
    EXPECT_EQ(src, draws[0].args) << c.name;
    EXPECT_EQ(IRECT(10, 20, 40, 40), draws[0].rect) << c.name;
  }
}

TEST(BitmapControlTest, FrameTable)
{
  struct Case
  {
    int n;
    double value;
    int frame;
  };
  const Case cases[] = {{1, 0.7, 1}, {0, 1., 1}, {2, 0.49, 1}, {2, 0.5, 2}, {5, -0.3, 1}, {5, 1.4, 5}, {3, 0.75, 3}};
  for (const Case& c : cases)
    EXPECT_EQ(c.frame, IBitmapBase::FrameForValue(c.n, c.value)) << c.n << " frames at " << c.value;
}

TEST(BitmapControlTest, FrameIsCentredInALargerRectangleWithTheControlsBlend)
{
  EditorSession s;
  const IBitmap bitmap = CachedBitmap(s.G(), "dot.png", 20, 20, 1, false);
  auto* control = s.Attach<IBitmapControl>(0.f, 0.f, bitmap, -1, EBlend::Add);
  s.G().SetControlBounds(control, IRECT(100, 100, 160, 140));
  s.recorder.Clear();
  s.G().Tick();
  const std::vector<DrawCall> draws = s.recorder.Only("DrawBitmap");
  ASSERT_EQ(1u, draws.size());
  EXPECT_EQ(IRECT(120, 110, 140, 130), draws[0].rect);
  ASSERT_TRUE(draws[0].hasBlend);
  EXPECT_EQ(IBlend(EBlend::Add, 1.f), draws[0].blend);
}

TEST(BitmapControlTest, BackgroundGoesUnderwhatIsAlreadyAttachedAndSurvivesARescale)
{
  EditorSession s;
  auto* first = s.Attach<RecordingControl>(IRECT(10, 10, 50, 50));
  CachedBitmap(s.G(), "background.png", 940, 200, 1, false);
  s.G().AttachBackground("background.png");
  ASSERT_EQ(2, s.G().NControls());
  EXPECT_EQ(first, s.G().GetControl(1));
  auto* background = dynamic_cast<IBitmapControl*>(s.G().GetControl(0));
  ASSERT_NE(nullptr, background);
  EXPECT_EQ(IRECT(0, 0, 940, 200), background->GetRECT());
  // A press on it goes to the control above it where they overlap.
  s.Input().Click(20, 20);
  EXPECT_EQ(1, first->Count("down"));

  // No file at scale 2: the bitmap held is kept.
  s.G().SetScreenScale(2.f);
  EXPECT_TRUE(background->GetBitmap().IsValid());
}

} // namespace
} // namespace plugkit::gfx::test
