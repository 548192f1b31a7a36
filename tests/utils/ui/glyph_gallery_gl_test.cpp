// Glyph buttons in every state, glyph labels and the help bubble, drawn by the NanoVG backend in the
// bundle's fonts at draw scales 1 and 2 and written as PNG files for review, with a few pixel checks.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/IPattern.h"
#include "product/ui/theme.h"
#include "product/ui/tooltip_bubble_control.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/ui/GlyphLabelControl.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;
using namespace vemlor::ui;
using plugkit::gfx::test::FakeDelegate;
using zarvo::ui::GlyphButtonControl;
using zarvo::ui::GlyphLabel;
using zarvo::ui::GlyphLabelControl;

namespace {

using ClockedGfx = ClockedOffscreenGfx;

bool Near(const RGBA& p, const IColor& want, int tol = 10)
{
  return std::abs(p.r - want.R) <= tol && std::abs(p.g - want.G) <= tol && std::abs(p.b - want.B) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

// A button look as the editor's header uses it: no fill at rest, a grey hover and an accent press.
IVStyle ButtonStyle(const IText& text)
{
  IVStyle style = DEFAULT_STYLE;
  style.colorSpec.SetColor(EVColor::BG, COLOR_TRANSPARENT);
  style.colorSpec.SetColor(EVColor::PR, accentColor);
  style.colorSpec.SetColor(EVColor::HL, colHighlightGray);
  style.colorSpec.SetColor(EVColor::FR, colHighlightGray);
  style.valueText = text;
  return style;
}

class GlyphGallery : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    g = std::make_unique<ClockedGfx>(delegate, gl, 620, 420, GetParam());
    const std::string npm = VEMLOR_NPM_DIR;
    ASSERT_TRUE(
      g->LoadFont(kTextFont, (npm + "/@expo-google-fonts/roboto-mono/400Regular/RobotoMono_400Regular.ttf").c_str()));
    ASSERT_TRUE(g->LoadFont(kIconFont, (npm + "/@mdi/font/fonts/materialdesignicons-webfont.ttf").c_str()));
    g->AttachPanelBackground(IPattern(colDarkGray));
  }
  void TearDown() override { g.reset(); }

  void Run(double ms)
  {
    for (double t = 0.; t < ms; t += 20.)
    {
      g->nowMs += 20.;
      g->Frame();
    }
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }
  void Caption(float x, float y, const char* text)
  {
    g->AttachControl(new ITextControl(IRECT(x, y, x + 110, y + 30), text, smallTxtLight, COLOR_TRANSPARENT));
  }

  OffscreenGL gl;
  FakeDelegate delegate{2};
  std::unique_ptr<ClockedGfx> g;
};

enum class State
{
  Idle,
  Hover,
  Pressed,
  Disabled
};

} // namespace

TEST_P(GlyphGallery, ButtonsInEveryStateAndLabels)
{
  IText wordText = smallTxtLight;
  wordText.mAlign = EAlign::Center;
  const GlyphLabel iconAndWord = iconSave + GlyphLabel(" save");
  struct Row
  {
    const char* caption;
    GlyphLabel label;
    IText text;
    float width;
    bool hoverTextColour;
  };
  const Row rows[] = {
    {"icon", iconLoad, smallIconsLight, 40.f, false},
    {"icon+word", iconAndWord, wordText, 100.f, false},
    {"word", GlyphLabel("undo"), wordText, 80.f, false},
    {"hover text", iconCopy + GlyphLabel::glyph(" copy", kTextFont), smallIconsLight, 100.f, true},
  };
  const State states[] = {State::Idle, State::Hover, State::Pressed, State::Disabled};
  const char* stateNames[] = {"idle", "hover", "pressed", "disabled"};
  for (int i = 0; i < 4; ++i)
    Caption(130.f + 120.f * static_cast<float>(i), 10.f, stateNames[i]);

  GlyphButtonControl* pressedIcon = nullptr;
  float y = 45.f;
  for (const Row& row : rows)
  {
    Caption(10.f, y, row.caption);
    float x = 130.f;
    for (State state : states)
    {
      IVStyle style = ButtonStyle(row.text);
      if (row.hoverTextColour)
      {
        style.colorSpec.SetColor(EVColor::PR, COLOR_TRANSPARENT);
        style.colorSpec.SetColor(EVColor::HL, COLOR_TRANSPARENT);
      }
      auto* b = new GlyphButtonControl(IRECT(x, y, x + row.width, y + 30.f), row.label, nullptr, style);
      b->spacing = 2.f;
      b->useHoverTextColor = row.hoverTextColour;
      b->hoverTextColor = accentColor;
      g->AttachControl(b);
      if (state == State::Hover)
        b->OnMouseOver(x + 1.f, y + 1.f, IMouseMod());
      if (state == State::Pressed)
        b->OnMouseDown(x + 1.f, y + 1.f, IMouseMod());
      if (state == State::Disabled)
        b->enabledQuery = [] { return false; };
      if (state == State::Pressed && !pressedIcon)
        pressedIcon = b;
      x += 120.f;
    }
    y += 45.f;
  }

  // Labels: an icon, an icon with a word, and a word on a filled box.
  Caption(10.f, y, "labels");
  IVStyle labelStyle = ButtonStyle(smallIconsLight);
  g->AttachControl(new GlyphLabelControl(IRECT(130, y, 170, y + 30), iconPaste, labelStyle));
  auto* both =
    new GlyphLabelControl(IRECT(250, y, 350, y + 30), iconCopy + GlyphLabel::glyph(" copy", kTextFont), labelStyle);
  both->spacing = 2.f;
  g->AttachControl(both);
  IVStyle midStyle = ButtonStyle(IText(16.f, colMidLightGray, kTextFont));
  midStyle.colorSpec.SetColor(EVColor::BG, IColor(255, 45, 45, 45));
  g->AttachControl(new GlyphLabelControl(IRECT(370, y, 470, y + 30), GlyphLabel("edit"), midStyle));

  Run(100);
  gl.WritePNG(Name("glyph_buttons"));

  // The pressed icon button is filled with the accent, away from its glyph.
  ASSERT_NE(nullptr, pressedIcon);
  const IRECT p = pressedIcon->GetRECT();
  EXPECT_TRUE(Near(At(p.L + 3.f, p.T + 3.f), accentColor)) << Str(At(p.L + 3.f, p.T + 3.f));
  // The idle icon button shows the panel through.
  EXPECT_TRUE(Near(At(133.f, 48.f), colDarkGray)) << Str(At(133.f, 48.f));
}

TEST_P(GlyphGallery, HelpBubbleBesideAndFlipped)
{
  auto* bubble = new TooltipBubbleControl(smallTxtWhite, colDarkGray, colLightGray, 5.f);
  g->AttachBubbleControl(bubble);
  const IColor knobColour(255, 120, 120, 130);
  auto* left =
    new LambdaControl(IRECT(30, 150, 90, 210), [&](IGfx& gg, const IRECT& r) { gg.FillEllipse(knobColour, r); });
  auto* right =
    new LambdaControl(IRECT(540, 40, 600, 100), [&](IGfx& gg, const IRECT& r) { gg.FillEllipse(knobColour, r); });
  g->AttachControl(left);
  g->AttachControl(right);

  const char* cutoffHelp = "main filter frequency\n\nyou can also control it with midi notes.\nhold alt/opt to snap to "
                           "the nearest note.\nhold shift for precision setting.";
  bubble->showTooltip(left, left->GetRECT(), cutoffHelp);
  Run(100);
  gl.WritePNG(Name("help_bubble_fading_in"));
  Run(200);
  gl.WritePNG(Name("help_bubble"));
  const IRECT body = bubble->GetBubbleBounds().GetPadded(-10.f);
  EXPECT_EQ(90.f, bubble->GetBubbleBounds().L);
  // Inside the body, right of the text: the bubble's fill at 95 % over the panel.
  EXPECT_TRUE(Near(At(body.R - 6.f, body.B - 4.f), colDarkGray, 6)) << Str(At(body.R - 6.f, body.B - 4.f));

  bubble->showTooltip(right, right->GetRECT(),
                      "gain\n\ndepending on the \"gain on dry\" param,\ncan affect only the "
                      "wet signal or both wet and dry");
  Run(60);
  gl.WritePNG(Name("help_bubble_flipped"));
  EXPECT_EQ(540.f, bubble->GetBubbleBounds().R);
  EXPECT_EQ(IBubbleControl::kEast, bubble->GetArrowDir());
}

// The bubble is laid out between frames and drawn inside one: both must see the same text widths.
TEST_P(GlyphGallery, TextMeasuredBetweenFramesIsAsWideAsInAFrame)
{
  const char* line = "can affect only the wet signal or both wet and dry";
  IRECT r;
  const float between = g->MeasureText(smallTxtWhite, line, r);
  float inFrame = 0.f;
  g->AttachControl(new LambdaControl(IRECT(0, 0, 10, 10), [&](IGfx& gg, const IRECT&) {
    IRECT b;
    inFrame = gg.MeasureText(smallTxtWhite, line, b);
  }));
  Run(20);
  EXPECT_GT(inFrame, 0.f);
  EXPECT_FLOAT_EQ(inFrame, between);
}

INSTANTIATE_TEST_SUITE_P(Scales, GlyphGallery, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
