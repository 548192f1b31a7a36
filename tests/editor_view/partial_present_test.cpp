// A frame that redraws a few controls reaches the window as their pixels alone: after a run of such
// frames the window shows exactly what one full frame shows.
#include "tests/editor_view/view_session.h"

namespace vemlor::viewtest {
namespace {

class PartialPresent : public ::testing::TestWithParam<float>
{};

TEST_P(PartialPresent, KnobFramesLeaveTheWindowAsAFullFrameDoes)
{
  REQUIRE_X_DISPLAY();
  const float screenScale = GetParam();
  ViewSession s;
  // A second control far from the knob: frames that redraw both have two regions.
  s.plug->extraLayout = [](plugkit::gfx::IGfx* g) {
    g->AttachControl(new KnobControl(plugkit::gfx::IRECT(700.f, 40.f, 820.f, 160.f), 0));
  };
  ASSERT_TRUE(s.open(screenScale));
  ASSERT_TRUE(s.waitForFirstFrame());
  KnobControl* knob = s.plug->Knob();
  ASSERT_NE(knob, nullptr);
  plugkit::gfx::IControl* other = s.ui()->GetControl(s.ui()->NControls() - 1);
  Display* editor = s.ui()->EditorWindow().Window().GetDisplay();

  auto frame = [&] {
    const int frames = s.ui()->NFramesDrawn();
    ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NFramesDrawn() > frames; }));
    XSync(editor, False);
  };
  int partialFrames = 0;
  for (int i = 0; i < 12; ++i)
  {
    knob->SetValueFromDelegate(0.1 + 0.07 * i);
    if (i % 3 == 0)
      other->SetValueFromDelegate(0.9 - 0.05 * i);
    frame();
    const int regions = s.ui()->NLastFrameRegions();
    int area = 0;
    for (int r = 0; r < regions; ++r)
    {
      int x = 0, y = 0, w = 0, h = 0;
      s.ui()->LastFrameRegion(r, x, y, w, h);
      area += w * h;
    }
    EXPECT_EQ(regions, i % 3 == 0 ? 2 : 1);
    EXPECT_LT(area, s.ui()->PixelWidth() * s.ui()->PixelHeight() / 3);
    partialFrames += regions > 0 ? 1 : 0;
  }
  EXPECT_EQ(partialFrames, 12);
  std::vector<unsigned char> partial, full;
  int width = 0, height = 0;
  ASSERT_TRUE(Capture(s.parent.display(), s.childWindow(), partial, width, height));

  s.ui()->SetAllControlsDirty();
  frame();
  EXPECT_EQ(s.ui()->NLastFrameRegions(), 0);
  ASSERT_TRUE(Capture(s.parent.display(), s.childWindow(), full, width, height));
  const std::string name = "partial_present_x" + std::to_string(static_cast<int>(screenScale));
  WritePNG(partial, width, height, name + "_partial");
  WritePNG(full, width, height, name + "_full");
  ASSERT_EQ(partial.size(), full.size());
  int differing = 0;
  for (size_t k = 0; k < full.size(); ++k)
    differing += full[k] != partial[k] ? 1 : 0;
  EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, PartialPresent, ::testing::Values(1.f, 2.f));

} // namespace
} // namespace vemlor::viewtest
