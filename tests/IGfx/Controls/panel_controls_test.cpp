#include <gtest/gtest.h>

#include "IGfx/Controls/IAboutBoxControl.h"
#include "IGfx/Controls/IPanelControl.h"
#include "IGfx/Controls/ISVGControl.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

TEST(PanelTest, FillsItsBoundsAndDrawsTheFrameOnTopWithTheSameBlend)
{
  struct Case
  {
    const char* name;
    bool frame;
  };
  for (const Case& c : {Case{"plain", false}, Case{"framed", true}})
  {
    EditorSession s;
    auto* panel = s.Attach<IPanelControl>(IRECT(20, 20, 120, 80), COLOR_BLUE, c.frame);
    panel->SetBlend(IBlend(EBlend::Default, 0.4f));
    s.recorder.Clear();
    s.G().Tick();
    const std::vector<DrawCall> fills = s.recorder.Only("PathFill");
    const std::vector<DrawCall> strokes = s.recorder.Only("PathStroke");
    ASSERT_EQ(1u, fills.size()) << c.name;
    EXPECT_EQ(COLOR_BLUE, fills[0].color) << c.name;
    EXPECT_FLOAT_EQ(0.4f, fills[0].blend.mWeight) << c.name;
    ASSERT_EQ(c.frame ? 1u : 0u, strokes.size()) << c.name;
    if (c.frame)
    {
      EXPECT_EQ(COLOR_LIGHT_GRAY, strokes[0].color);
      EXPECT_FLOAT_EQ(1.f, strokes[0].thickness);
      EXPECT_FLOAT_EQ(0.4f, strokes[0].blend.mWeight);
    }
  }
}

TEST(PanelTest, BackgroundPanelGoesUnderEverythingAndLetsTheMouseThrough)
{
  EditorSession s;
  auto* first = s.Attach<RecordingControl>(IRECT(10, 10, 50, 50));
  s.G().AttachPanelBackground(IPattern(COLOR_GREEN));
  ASSERT_EQ(2, s.G().NControls());
  auto* panel = dynamic_cast<IPanelControl*>(s.G().GetControl(0));
  ASSERT_NE(nullptr, panel);
  EXPECT_EQ(IRECT(0, 0, 940, 200), panel->GetRECT());
  EXPECT_EQ(first, s.G().GetControl(1));
  EXPECT_TRUE(panel->GetIgnoreMouse());
}

class AboutBoxTest : public ::testing::Test
{
protected:
  AboutBoxTest()
  {
    s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "background");
    under = s.Attach<RecordingControl>(IRECT(300, 50, 400, 150), -1, "under");
    box = s.Attach<IAboutBoxControl>(
      IRECT(200, 20, 700, 180), IPattern(COLOR_WHITE),
      [this](IContainerBase* c, const IRECT& r) {
        child = static_cast<RecordingControl*>(
          c->AddChildControl(new RecordingControl(IRECT(r.L + 10, r.T + 10, r.L + 60, r.T + 30), -1, "child")));
      },
      nullptr, 300);
    box->Hide(true);
  }

  EditorSession s;
  RecordingControl* under;
  RecordingControl* child = nullptr;
  IAboutBoxControl* box;
};

TEST_F(AboutBoxTest, FadesInWithItsChildrenOnTheInjectedClock)
{
  ASSERT_NE(nullptr, child);
  EXPECT_TRUE(child->IsHidden());
  const double t0 = s.platform.nowMs;
  box->Show();
  EXPECT_FALSE(box->IsHidden());
  EXPECT_FALSE(child->IsHidden());
  struct Step
  {
    double ms;
    float weight;
    bool animating;
  };
  for (const Step& st : {Step{0, 0.f, true}, Step{150, 0.5f, true}, Step{300, 1.f, true}, Step{301, 1.f, false}})
  {
    s.platform.nowMs = t0 + st.ms;
    s.G().Tick();
    EXPECT_FLOAT_EQ(st.weight, box->GetBlend().mWeight) << st.ms;
    EXPECT_FLOAT_EQ(st.weight, child->GetBlend().mWeight) << st.ms;
    EXPECT_EQ(st.animating, box->GetAnimationFunction() != nullptr) << st.ms;
  }
}

TEST_F(AboutBoxTest, APressOnTheBoxClosesItAPressOnAChildDoesNot)
{
  box->Show();
  s.Input().Click(220, 40); // the child
  EXPECT_EQ(1, child->Count("down"));
  EXPECT_FALSE(box->IsHidden());
  s.Input().Click(500, 100, InputDriver::Right());
  EXPECT_TRUE(box->IsHidden());
  EXPECT_TRUE(child->IsHidden());
  // Hidden, it lets presses through to what lies beneath.
  s.Input().Click(350, 100);
  EXPECT_EQ(1, under->Count("down"));
}

TEST_F(AboutBoxTest, EscapeClosesItOtherKeysAreNotConsumed)
{
  box->Show();
  EXPECT_FALSE(s.Input().KeyDown('A', 500, 100));
  EXPECT_FALSE(box->IsHidden());
  EXPECT_TRUE(s.Input().KeyDown(27, 500, 100));
  EXPECT_TRUE(box->IsHidden());
  EXPECT_TRUE(child->IsHidden());
  box->Show();
  EXPECT_FALSE(box->IsHidden()) << "shown again";
}

TEST(SVGControlTest, DrawsTheDocumentOverItsBoundsWithItsBlend)
{
  constexpr const char* kSquare =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><rect width="10" height="10" fill="#ff0000"/></svg>)";
  EditorSession s;
  const ISVG svg = s.G().LoadSVG("square.svg", static_cast<const void*>(kSquare), 0);
  ASSERT_TRUE(svg.IsValid());
  auto* control = s.Attach<ISVGControl>(IRECT(100, 50, 140, 90), svg);
  control->SetBlend(IBlend(EBlend::Default, 0.5f));
  s.recorder.Clear();
  s.G().Tick();
  const std::vector<DrawCall> fills = s.recorder.Only("PathFill");
  ASSERT_EQ(1u, fills.size()) << s.recorder.Dump();
  EXPECT_EQ(COLOR_RED, fills[0].color);
  EXPECT_FLOAT_EQ(0.5f, fills[0].blend.mWeight);
  // The 10 x 10 document scaled by 4 into the bounds.
  const std::vector<DrawCall> transforms = s.recorder.Only("PathTransformSetMatrix");
  ASSERT_FALSE(transforms.empty());
  bool scaled = false;
  for (const DrawCall& t : transforms)
    scaled = scaled || (t.args.size() == 6 && t.args[0] == 4.f && t.args[4] == 100.f && t.args[5] == 50.f);
  EXPECT_TRUE(scaled) << s.recorder.Dump();
}

TEST(SVGControlTest, SVGBackgroundCoversTheEditorUnderEverything)
{
  EditorSession s;
  auto* first = s.Attach<RecordingControl>(IRECT(10, 10, 50, 50));
  s.G().AttachSVGBackground("missing.svg");
  ASSERT_EQ(2, s.G().NControls());
  auto* background = dynamic_cast<ISVGControl*>(s.G().GetControl(0));
  ASSERT_NE(nullptr, background);
  EXPECT_EQ(IRECT(0, 0, 940, 200), background->GetRECT());
  EXPECT_EQ(first, s.G().GetControl(1));
  EXPECT_TRUE(s.G().Tick()) << "a document that failed to load draws nothing and breaks nothing";
}

TEST(FromHSLATest, ConvertsLikeTheUsualHSLFormula)
{
  struct Case
  {
    const char* name;
    float h, s, l, a;
    IColor expected;
  };
  const Case cases[] = {
    {"red", 0.f, 1.f, 0.5f, 1.f, {255, 255, 0, 0}},
    {"white", 0.f, 0.f, 1.f, 1.f, {255, 255, 255, 255}},
    {"dark blue, half alpha", 2.f / 3.f, 1.f, 0.25f, 0.5f, {127, 0, 0, 127}},
    {"green", 1.f / 3.f, 1.f, 0.5f, 1.f, {255, 0, 255, 0}},
    {"lightness 0 is black", 0.4f, 0.7f, 0.f, 1.f, {255, 0, 0, 0}},
    {"lightness 1 is white", 0.9f, 0.3f, 1.f, 1.f, {255, 255, 255, 255}},
    {"alpha is not clamped", 0.f, 1.f, 0.5f, 1.5f, {382, 255, 0, 0}},
    {"saturation clamped", 0.f, 3.f, 0.5f, 1.f, {255, 255, 0, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, IColor::FromHSLA(c.h, c.s, c.l, c.a)) << c.name;

  struct Wrap
  {
    float h, same;
  };
  for (const Wrap& w : {Wrap{1.25f, 0.25f}, Wrap{-0.25f, 0.75f}, Wrap{3.6f, 0.6f}})
    EXPECT_EQ(IColor::FromHSLA(w.same, 0.8f, 0.4f, 1.f), IColor::FromHSLA(w.h, 0.8f, 0.4f, 1.f)) << w.h;
}

} // namespace
} // namespace plugkit::gfx::test
