#include <gtest/gtest.h>

#include "IGfx/Controls/IFPSDisplayControl.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

TEST(FPSDisplayTest, ShownAtItsDefaultPlaceAndRemovedAgain)
{
  EditorSession s;
  s.G().EnableMouseOver(true);
  s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "background");
  s.G().ShowFPSDisplay(true);
  IFPSDisplayControlBase* display = s.G().GetFPSDisplay();
  ASSERT_NE(nullptr, display);
  EXPECT_EQ(IRECT(10, 10, 210, 60), display->GetRECT());
  s.G().ShowFPSDisplay(true);
  EXPECT_EQ(display, s.G().GetFPSDisplay()) << "a second request keeps the one shown";
  s.Input().Hover(50, 30);
  EXPECT_EQ(display, s.G().GetMouseOver());
  s.G().ShowFPSDisplay(false);
  EXPECT_EQ(nullptr, s.G().GetFPSDisplay());
  EXPECT_EQ(nullptr, s.G().GetMouseOver());
  EXPECT_EQ(-1, s.G().GetMouseOverIdx());
}

TEST(FPSDisplayTest, ClicksCycleTheStylesAndTheReadoutFollows)
{
  EditorSession s;
  s.G().ShowFPSDisplay(true);
  auto* display = static_cast<IFPSDisplayControl*>(s.G().GetFPSDisplay());
  // Frames every 20 ms on the injected clock fill the ring of 100.
  for (int i = 0; i < 120; ++i)
  {
    s.platform.nowMs += 20.;
    s.G().Tick();
  }
  EXPECT_NEAR(0.02f, display->GetAverage(), 1e-5);

  struct Case
  {
    IFPSDisplayControl::EStyle style;
    std::vector<std::string> texts;
  };
  const Case cases[] = {{IFPSDisplayControl::kFPS, {"Frame Time", "50.00 FPS", "20.00 ms"}},
                        {IFPSDisplayControl::kFrameTime, {"Frame Time", "20.00 ms"}},
                        {IFPSDisplayControl::kPercentage, {"Frame Time", "0.0 %"}},
                        {IFPSDisplayControl::kFPS, {"Frame Time", "50.00 FPS", "20.00 ms"}}};
  for (const Case& c : cases)
  {
    EXPECT_EQ(c.style, display->GetStyle());
    s.recorder.Clear();
    s.platform.nowMs += 20.;
    EXPECT_TRUE(s.G().Tick()) << "redrawn every frame";
    std::vector<std::string> texts;
    for (const DrawCall& call : s.recorder.Only("DoDrawText"))
      texts.push_back(call.text);
    EXPECT_EQ(c.texts, texts) << c.style;
    s.Input().Click(50, 30);
  }
}

TEST(FPSDisplayTest, BeforeAnyFrameTheRateReadsZero)
{
  EditorSession s;
  s.G().AttachFPSDisplay(new IFPSDisplayControl(IRECT(10, 10, 210, 60)));
  // Drawn without the frame start that adds a sample.
  s.recorder.Clear();
  s.G().GetFPSDisplay()->Draw(s.G());
  std::vector<std::string> texts;
  for (const DrawCall& call : s.recorder.Only("DoDrawText"))
    texts.push_back(call.text);
  EXPECT_EQ((std::vector<std::string>{"Frame Time", "0.00 FPS", "0.00 ms"}), texts);
}

} // namespace
} // namespace plugkit::gfx::test
