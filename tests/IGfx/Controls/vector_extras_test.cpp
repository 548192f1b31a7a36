// The group frame, colour swatch and vector label through the recording backend and the input driver.
#include <gtest/gtest.h>

#include "IGfx/Controls/IVColorSwatchControl.h"
#include "IGfx/Controls/IVGroupControl.h"
#include "IGfx/Controls/IVLabelControl.h"
#include "IGfx/Controls/IVKnobControl.h"
#include "tests/IGfx/Controls/extras2_support.h"

namespace plugkit::gfx::test {
namespace {

IControl* InGroup(EditorSession& s, const IRECT& r, const char* group)
{
  return s.G().AttachControl(new IVKnobControl(r, 0), -1, group);
}

TEST(VGroupTest, FramesItsGroupGrownByThePads)
{
  EditorSession s;
  s.Attach<IVKnobControl>(IRECT(0, 0, 5, 5), 1); // index 0 is the background
  InGroup(s, IRECT(10, 20, 50, 60), "filter");
  InGroup(s, IRECT(60, 30, 100, 80), "filter");
  InGroup(s, IRECT(300, 100, 340, 140), "other");
  auto* empty = InGroup(s, IRECT(0, 0, 1, 1), "filter");
  empty->SetTargetAndDrawRECTs(IRECT()); // empty rectangles do not widen the frame
  auto* group = s.Attach<IVGroupControl>("Filter", "filter", 5.f, 6.f, 7.f, 8.f);
  EXPECT_EQ(IRECT(5, 14, 107, 88), group->GetRECT());
  EXPECT_TRUE(group->GetIgnoreMouse());

  // Moving the grouped controls later leaves the frame where it is until asked again.
  s.G().SetControlBounds(s.G().GetControl(1), IRECT(10, 0, 50, 60));
  EXPECT_EQ(IRECT(5, 14, 107, 88), group->GetRECT());
  group->SetBoundsBasedOnGroup("filter", 0.f, 0.f, 0.f, 0.f);
  EXPECT_EQ(IRECT(10, 0, 100, 80), group->GetRECT());

  auto* lonely = s.Attach<IVGroupControl>("None", "nobody", 5.f, 6.f, 7.f, 8.f);
  EXPECT_EQ(IRECT(-5, -6, 7, 8), lonely->GetRECT()) << "the pads around an empty rectangle at the origin";
}

TEST(VGroupTest, FrameLineRunsThroughTheTitleAndLeavesItsGapOpen)
{
  struct Case
  {
    const char* name;
    const char* label;
    bool shadows;
    float roundness;
  };
  const Case cases[] = {
    {"titled, shadowed", "Filter", true, 0.2f}, {"titled, plain", "Filter", false, 0.f}, {"untitled", "", false, 0.5f}};
  for (const Case& c : cases)
  {
    EditorSession s;
    IVStyle style = DEFAULT_STYLE;
    style.drawShadows = c.shadows;
    style.roundness = c.roundness;
    style.frameThickness = 2.f;
    auto* g = s.Attach<IVGroupControl>(IRECT(100, 100, 300, 200), c.label, 12.f, style);
    const IRECT w = g->GetWidgetBounds();
    const IRECT l = g->GetLabelBounds();
    const float r = c.roundness * std::min(w.W(), w.H()) / 2.f;
    const bool titled = c.label[0] != 0;
    if (titled)
    {
      EXPECT_FLOAT_EQ(100.f + 2.f + 12.f + r, l.L) << c.name;
      EXPECT_FLOAT_EQ(l.MH(), w.T + 1.f) << c.name << ": the line through the title's middle";
    }
    DrawFrame(s);
    const auto shapes = PaintedShapes(s.recorder);
    ASSERT_FALSE(shapes.empty()) << c.name;
    const PaintedShape& frame = shapes.back();
    EXPECT_FALSE(frame.fill);
    EXPECT_EQ(c.shadows ? style.colorSpec.GetColor(EVColor::SH) : style.colorSpec.GetColor(EVColor::FR), frame.color)
      << c.name;
    ASSERT_EQ(6u, frame.path.size()) << c.name << "\n" << s.recorder.Dump();
    const float y = w.T + 1.f;
    EXPECT_EQ((std::vector<float>{titled ? l.R : 200.f, y}), frame.path.front().args) << c.name;
    EXPECT_EQ((std::vector<float>{titled ? l.L : 200.f, y}), frame.path.back().args) << c.name;
    const float in = r + 1.f;
    const std::vector<std::vector<float>> arcs{{w.R - in, w.T + in, r, 0, 90},
                                               {w.R - in, w.B - in, r, 90, 180},
                                               {w.L + in, w.B - in, r, 180, 270},
                                               {w.L + in, w.T + in, r, 270, 360}};
    for (size_t i = 0; i < 4; ++i)
    {
      ASSERT_EQ("PathArc", frame.path[i + 1].op) << c.name;
      const std::vector<float> got(frame.path[i + 1].args.begin(), frame.path[i + 1].args.begin() + 5);
      EXPECT_EQ(arcs[i], got) << c.name << " corner " << i;
    }
    if (titled)
    {
      EXPECT_EQ(1, s.recorder.Count("DoDrawText")) << c.name;
    }
  }
}

// Cells relative to the widget rectangle, in fractions of it, before the 2-pixel inset.
struct CellCase
{
  const char* name;
  IVColorSwatchControl::ECellLayout layout;
  int n;
  std::vector<IRECT> fractions;
};

TEST(VColorSwatchTest, CellLayouts)
{
  using L = IVColorSwatchControl::ECellLayout;
  const float t = 1.f / 3.f;
  const CellCase cases[] = {
    {"grid", L::kGrid, 4, {IRECT(0, 0, t, t), IRECT(t, 0, 2 * t, t), IRECT(2 * t, 0, 1, t), IRECT(0, t, t, 2 * t)}},
    {"grid of ten: the tenth over everything",
     L::kGrid,
     10,
     {IRECT(0, 0, t, t), IRECT(t, 0, 2 * t, t), IRECT(2 * t, 0, 1, t), IRECT(0, t, t, 2 * t), IRECT(t, t, 2 * t, 2 * t),
      IRECT(2 * t, t, 1, 2 * t), IRECT(0, 2 * t, t, 1), IRECT(t, 2 * t, 2 * t, 1), IRECT(2 * t, 2 * t, 1, 1),
      IRECT(0, 0, 1, 1)}},
    {"row",
     L::kHorizontal,
     4,
     {IRECT(0, 0, .25f, 1), IRECT(.25f, 0, .5f, 1), IRECT(.5f, 0, .75f, 1), IRECT(.75f, 0, 1, 1)}},
    {"column", L::kVertical, 2, {IRECT(0, 0, 1, .5f), IRECT(0, .5f, 1, 1)}},
    {"no colours", L::kHorizontal, 0, {}},
  };
  for (const CellCase& c : cases)
  {
    EditorSession s;
    std::vector<EVColor> ids(static_cast<size_t>(c.n), EVColor::FG);
    auto* swatch = s.Attach<IVColorSwatchControl>(IRECT(0, 0, 300, 240), "Colours", nullptr, DEFAULT_STYLE, c.layout,
                                                  ids, std::vector<const char*>{});
    const IRECT w = swatch->GetWidgetBounds();
    ASSERT_EQ(c.fractions.size(), swatch->GetCellRects().size()) << c.name;
    for (size_t i = 0; i < c.fractions.size(); ++i)
    {
      const IRECT& f = c.fractions[i];
      const IRECT want(w.L + f.L * w.W() + 2, w.T + f.T * w.H() + 2, w.L + f.R * w.W() - 2, w.T + f.B * w.H() - 2);
      const IRECT& got = swatch->GetCellRects()[i];
      EXPECT_NEAR(want.L, got.L, 1e-3) << c.name << " cell " << i;
      EXPECT_NEAR(want.T, got.T, 1e-3) << c.name << " cell " << i;
      EXPECT_NEAR(want.R, got.R, 1e-3) << c.name << " cell " << i;
      EXPECT_NEAR(want.B, got.B, 1e-3) << c.name << " cell " << i;
    }
  }
}

TEST(VColorSwatchTest, LabelledCellsShowTheirColourInTheRightQuarterAndTheHoveredOneIsOutlinedLighter)
{
  EditorSession s;
  s.G().EnableMouseOver(true);
  s.Attach<IVKnobControl>(IRECT(500, 0, 510, 10), 1); // index 0 is the background
  IVStyle style = DEFAULT_STYLE;
  style.colorSpec.SetColor(EVColor::X1, COLOR_ORANGE);
  style.colorSpec.SetColor(EVColor::X2, COLOR_GREEN);
  auto* swatch = s.Attach<IVColorSwatchControl>(
    IRECT(0, 0, 400, 40), "", nullptr, style, IVColorSwatchControl::ECellLayout::kHorizontal,
    std::vector<EVColor>{EVColor::X1, EVColor::X2}, std::vector<const char*>{"Accent"});
  const IRECT a = swatch->GetCellRects()[0], b = swatch->GetCellRects()[1];
  s.Input().Hover(b.MW(), b.MH());
  EXPECT_EQ(1, swatch->GetCellUnderMouse());
  s.recorder.Clear();
  swatch->Draw(s.G());
  const auto shapes = PaintedShapes(s.recorder);
  std::vector<IRECT> fills, outlines;
  std::vector<IColor> fillColors, outlineColors;
  for (const PaintedShape& p : shapes)
  {
    (p.fill ? fills : outlines).push_back(BoxOf(p));
    (p.fill ? fillColors : outlineColors).push_back(p.color);
  }
  const IRECT quarter(a.R - a.W() / 4.f, a.T, a.R, a.B);
  EXPECT_EQ((std::vector<IRECT>{quarter, b}), fills);
  EXPECT_EQ((std::vector<IColor>{COLOR_ORANGE, COLOR_GREEN}), fillColors);
  EXPECT_EQ((std::vector<IRECT>{quarter.GetPadded(0.5f), b.GetPadded(0.5f)}), outlines);
  EXPECT_EQ((std::vector<IColor>{COLOR_DARK_GRAY, COLOR_GRAY}), outlineColors);
  const auto texts = s.recorder.Only("DoDrawText");
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("Accent", texts[0].text);

  s.Input().Hover(a.L - 1.f, a.T); // the 2-pixel gap outside every cell
  EXPECT_EQ(-1, swatch->GetCellUnderMouse());
  s.Input().Hover(a.MW(), a.MH());
  EXPECT_EQ(0, swatch->GetCellUnderMouse());
  s.Input().Leave();
  EXPECT_EQ(-1, swatch->GetCellUnderMouse());
}

TEST(VColorSwatchTest, PickedColourUpdatesTheStyleAndTellsTheOwner)
{
  struct Case
  {
    const char* name;
    bool answer;
    bool insideCell;
  };
  const Case cases[] = {{"picked", true, true}, {"cancelled", false, true}, {"outside every cell", true, false}};
  for (const Case& c : cases)
  {
    EditorSession s;
    if (c.answer)
      s.platform.colorAnswer = COLOR_MID_GRAY;
    std::vector<std::pair<int, IColor>> told;
    auto* swatch = s.Attach<IVColorSwatchControl>(
      IRECT(0, 0, 300, 100), "", [&](int i, const IColor& color) { told.emplace_back(i, color); }, DEFAULT_STYLE,
      IVColorSwatchControl::ECellLayout::kHorizontal, std::vector<EVColor>{EVColor::BG, EVColor::HL},
      std::vector<const char*>{"", ""});
    const IColor before = swatch->GetColor(EVColor::HL);
    const IRECT cell = swatch->GetCellRects()[1];
    if (c.insideCell)
      s.Input().Click(cell.MW(), cell.MH());
    else
      s.Input().Click(cell.L - 1.f, cell.MH());
    const bool picked = c.answer && c.insideCell;
    EXPECT_EQ(picked ? COLOR_MID_GRAY : before, swatch->GetColor(EVColor::HL)) << c.name;
    EXPECT_EQ(DEFAULT_STYLE.colorSpec.GetColor(EVColor::BG), swatch->GetColor(EVColor::BG)) << c.name;
    EXPECT_EQ(picked ? 1u : 0u, told.size()) << c.name;
    if (picked)
    {
      EXPECT_EQ(1, told[0].first);
      EXPECT_EQ(COLOR_MID_GRAY, told[0].second);
    }
  }
}

TEST(VLabelTest, ShadowFrameAndDisabledLook)
{
  struct Case
  {
    const char* name;
    bool shadows, frame, disabled;
    const char* text;
    int texts;
    int strokes;
  };
  const Case cases[] = {
    {"shadowed and framed", true, true, false, "Drive", 2, 1},
    {"disabled draws no shadow", true, true, true, "Drive", 1, 1},
    {"plain", false, false, false, "Drive", 1, 0},
    {"empty text draws only background and frame", true, true, false, "", 0, 1},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    IVStyle style = DEFAULT_STYLE;
    style.drawShadows = c.shadows;
    style.drawFrame = c.frame;
    style.shadowOffset = 4.f;
    auto* label = s.Attach<IVLabelControl>(IRECT(10, 10, 110, 40), c.text, style);
    EXPECT_TRUE(label->GetIgnoreMouse());
    EXPECT_STREQ(c.text, label->GetLabelStr());
    label->SetDisabled(c.disabled);
    DrawFrame(s);
    const auto texts = s.recorder.Only("DoDrawText");
    ASSERT_EQ(static_cast<size_t>(c.texts), texts.size()) << c.name;
    if (c.texts == 2)
    {
      EXPECT_EQ(style.colorSpec.GetColor(EVColor::SH), texts[0].color) << c.name;
      EXPECT_EQ(IRECT(14, 14, 114, 44), texts[0].rect) << c.name;
      EXPECT_EQ(IRECT(10, 10, 110, 40), texts[1].rect) << c.name;
    }
    int strokes = 0;
    for (const PaintedShape& p : PaintedShapes(s.recorder))
      if (!p.fill)
      {
        ++strokes;
        EXPECT_EQ(style.colorSpec.GetColor(EVColor::FR), p.color) << c.name;
        EXPECT_EQ(IRECT(10, 10, 110, 40), BoxOf(p)) << c.name;
      }
    EXPECT_EQ(c.strokes, strokes) << c.name;
  }
  EditorSession s;
  auto* label = s.Attach<IVLabelControl>(IRECT(10, 10, 110, 40), "a");
  label->SetStrFmt(16, "%d dB", -6);
  EXPECT_STREQ("-6 dB", label->GetStr());
  label->ClearStr();
  EXPECT_STREQ("", label->GetStr());
}

} // namespace
} // namespace plugkit::gfx::test
