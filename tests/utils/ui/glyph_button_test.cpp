#include <gtest/gtest.h>

#include "IGfx/IGfx.h"
#include "IGfx/IPattern.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/ui/GlyphLabelControl.h"

namespace zarvo::ui {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::DrawCall;
using plugkit::gfx::test::EditorSession;

const IColor kBG(255, 10, 20, 30);
const IColor kPressed(255, 200, 0, 0);
const IColor kHighlight(255, 0, 200, 0);
const IColor kFrame(255, 0, 0, 200);
const IColor kText(255, 220, 220, 220);
const IRECT kBounds(100, 50, 140, 70);

IVStyle Style()
{
  IVStyle style = DEFAULT_STYLE;
  style.colorSpec.SetColor(EVColor::BG, kBG);
  style.colorSpec.SetColor(EVColor::PR, kPressed);
  style.colorSpec.SetColor(EVColor::HL, kHighlight);
  style.colorSpec.SetColor(EVColor::FR, kFrame);
  style.valueText = IText(14.f, kText, "Body", EAlign::Near, EVAlign::Top);
  style.labelText = IText(9.f, COLOR_RED, "Other");
  return style;
}

class GlyphButtonTest : public ::testing::Test
{
protected:
  GlyphButtonTest()
  {
    // Index 0 is the background, which is never hovered.
    s.G().AttachPanelBackground(IPattern(COLOR_BLACK));
    s.G().EnableMouseOver(true);
    button = s.Attach<GlyphButtonControl>(
      kBounds, GlyphLabel("Go"), [this](IControl* c) { fired.push_back(c); }, Style());
  }

  // The fills, the frame and the texts of one draw of the button.
  struct Look
  {
    std::vector<IColor> fills;
    std::vector<IColor> strokes;
    std::vector<DrawCall> texts;
  };
  Look Draw()
  {
    s.recorder.Clear();
    button->Draw(s.G());
    Look look;
    for (const DrawCall& c : s.recorder.Only("PathFill"))
      look.fills.push_back(c.color);
    for (const DrawCall& c : s.recorder.Only("PathStroke"))
      look.strokes.push_back(c.color);
    look.texts = s.recorder.Only("DoDrawText");
    return look;
  }

  EditorSession s;
  GlyphButtonControl* button;
  std::vector<IControl*> fired;
};

TEST_F(GlyphButtonTest, FreshButton)
{
  EXPECT_EQ(0.f, button->spacing);
  EXPECT_FALSE(button->pressed);
  EXPECT_EQ(IColor(255, 0, 0, 0), button->hoverTextColor);
  EXPECT_FALSE(button->useHoverTextColor);
  EXPECT_FALSE(button->enabledQuery);
  EXPECT_TRUE(button->enabled);
  EXPECT_EQ(0, button->enabledPollCountdown);
  EXPECT_LT(button->GetParamIdx(), 0);
  EXPECT_FALSE(button->GetActionFunction());
}

TEST_F(GlyphButtonTest, ReleaseInsideFiresOnceAndOutsideCancels)
{
  struct Case
  {
    const char* name;
    float x, y;
    bool fires;
  };
  const Case cases[] = {
    {"middle", 120, 60, true},
    {"left and top edges are inside", 100, 50, true},
    {"right edge is outside", 140, 60, false},
    {"bottom edge is outside", 120, 70, false},
    {"far away", 400, 150, false},
  };
  for (const Case& c : cases)
  {
    fired.clear();
    s.Input().Press(120, 60);
    EXPECT_TRUE(button->pressed) << c.name;
    s.G().SetAllControlsClean();
    s.Input().Release(c.x, c.y);
    EXPECT_FALSE(button->pressed) << c.name;
    EXPECT_TRUE(button->IsDirty()) << c.name << ": the release redraws the button";
    ASSERT_EQ(c.fires ? 1u : 0u, fired.size()) << c.name;
    if (c.fires)
    {
      EXPECT_EQ(button, fired[0]) << c.name;
    }
  }
}

TEST_F(GlyphButtonTest, TheSecondClickOfAQuickPairFiresToo)
{
  s.Input().Click(120, 60);
  // The platform reports the second press of a quick pair as a double click.
  s.Input().DoubleClick(120, 60);
  s.Input().Release(120, 60);
  EXPECT_EQ(fired.size(), 2u);
}

TEST_F(GlyphButtonTest, PressMarksDirtyWithoutFiring)
{
  s.G().SetAllControlsClean();
  s.Input().Press(120, 60);
  EXPECT_TRUE(button->IsDirty());
  EXPECT_TRUE(fired.empty());
}

TEST_F(GlyphButtonTest, WithoutActionAReleaseCallsNothing)
{
  button->action = nullptr;
  s.Input().Click(120, 60);
  EXPECT_FALSE(button->pressed);
}

TEST_F(GlyphButtonTest, LookPerState)
{
  struct Case
  {
    const char* name;
    bool enabled, pressed, hover, useHoverColour;
    std::vector<IColor> fills;
    IColor text;
  };
  const IColor hoverText(255, 255, 128, 0);
  const IColor dimmed(89, 220, 220, 220);
  const Case cases[] = {
    {"idle", true, false, false, false, {kBG}, kText},
    {"hovered", true, false, true, false, {kBG, kHighlight}, kText},
    {"hovered, hover text colour", true, false, true, true, {kBG, kHighlight}, hoverText},
    {"pressed", true, true, true, false, {kBG, kPressed}, kText},
    {"disabled", false, false, false, false, {kBG}, dimmed},
    {"disabled, hovered and pressed", false, true, true, true, {kBG}, dimmed},
  };
  for (const Case& c : cases)
  {
    button->enabled = c.enabled;
    button->pressed = c.pressed;
    button->useHoverTextColor = c.useHoverColour;
    button->hoverTextColor = hoverText;
    if (c.hover)
      s.Input().Hover(120, 60);
    else
      s.Input().Leave();
    const Look look = Draw();
    EXPECT_EQ(c.fills, look.fills) << c.name;
    EXPECT_EQ(std::vector<IColor>{kFrame}, look.strokes) << c.name;
    ASSERT_EQ(1u, look.texts.size()) << c.name;
    EXPECT_EQ(c.text, look.texts[0].color) << c.name;
    EXPECT_EQ("Body", look.texts[0].font) << c.name << ": the value text, not the label text";
    EXPECT_EQ(kBounds, look.texts[0].rect) << c.name;
  }
}

TEST_F(GlyphButtonTest, TransparentBackgroundAndFrameAreNotDrawn)
{
  IVStyle style = Style();
  style.colorSpec.SetColor(EVColor::BG, COLOR_TRANSPARENT);
  style.colorSpec.SetColor(EVColor::FR, IColor(0, 255, 255, 255));
  button->SetStyle(style);
  const Look look = Draw();
  EXPECT_TRUE(look.fills.empty());
  EXPECT_TRUE(look.strokes.empty());
  EXPECT_EQ(1u, look.texts.size());
}

TEST_F(GlyphButtonTest, EnabledQueryIsAskedAtTheFirstDrawThenEvery20th)
{
  int asked = 0;
  bool answer = false;
  button->enabledQuery = [&] {
    ++asked;
    return answer;
  };
  std::vector<int> askedAtDraw;
  for (int draw = 1; draw <= 45; ++draw)
  {
    const int before = asked;
    EXPECT_TRUE(button->IsDirty()) << "polling buttons draw every frame";
    s.G().Tick();
    if (asked != before)
      askedAtDraw.push_back(draw);
  }
  EXPECT_EQ((std::vector<int>{1, 21, 41}), askedAtDraw);
  EXPECT_FALSE(button->enabled);

  // Disabled: a press is ignored and a release fires nothing.
  s.Input().Press(120, 60);
  EXPECT_FALSE(button->pressed);
  s.Input().Release(120, 60);
  EXPECT_TRUE(fired.empty());

  // Turned true: the button reacts within 20 frames.
  answer = true;
  int frames = 0;
  while (!button->enabled && frames < 25)
  {
    s.G().Tick();
    ++frames;
  }
  EXPECT_TRUE(button->enabled);
  EXPECT_LE(frames, 20);
  s.Input().Click(120, 60);
  EXPECT_EQ(1u, fired.size());
}

TEST(GlyphLabelControl, DrawsBackgroundAndLabelAndLetsClicksThrough)
{
  EditorSession s;
  auto* beneath = s.Attach<plugkit::gfx::test::RecordingControl>(IRECT(0, 0, 100, 40));
  IVStyle style = Style();
  auto* label = s.Attach<GlyphLabelControl>(IRECT(0, 0, 100, 40), GlyphLabel("a") + GlyphLabel("bb"), style);
  EXPECT_EQ(0.f, label->spacing);
  label->spacing = 4.f;
  EXPECT_TRUE(label->GetIgnoreMouse());
  EXPECT_LT(label->GetParamIdx(), 0);

  s.recorder.Clear();
  label->Draw(s.G());
  const auto fills = s.recorder.Only("PathFill");
  ASSERT_EQ(1u, fills.size());
  EXPECT_EQ(kBG, fills[0].color);
  const auto texts = s.recorder.Only("DoDrawText");
  ASSERT_EQ(2u, texts.size());
  // 7 + 4 + 14 = 25 wide, centred on 50.
  EXPECT_EQ(IRECT(37.5f, 0, 44.5f, 40), texts[0].rect);
  EXPECT_EQ(IRECT(48.5f, 0, 62.5f, 40), texts[1].rect);
  EXPECT_EQ("Body", texts[0].font);

  s.Input().Click(50, 20);
  EXPECT_FALSE(beneath->events.empty()) << "the click reaches the control beneath";
}

} // namespace
} // namespace zarvo::ui
