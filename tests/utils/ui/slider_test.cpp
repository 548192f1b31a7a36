#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IGfx/Controls/ITextControl.h"
#include "IPlugin/IPluginParameter.h"
#include "product/ui/control_value_switch_control.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/utils/ui/painted.h"
#include "utils/ui/FillSliderControl.h"
#include "utils/ui/IntDragControl.h"
#include "utils/ui/SelectControl.h"
#include "utils/ui/SliderWidget.h"

namespace ui_widgets_test {
namespace {

using namespace plugkit::gfx;
using plugkit::IParam;
using plugkit::gfx::test::EditorSession;
using plugkit::gfx::test::InputDriver;
using zarvo::ui::FillSliderControl;
using zarvo::ui::IntDragControl;
using zarvo::ui::SelectControl;
using zarvo::ui::SliderWidget;

const IColor kTrack(255, 30, 30, 30), kFill(255, 100, 100, 100), kHover(255, 95, 55, 200);

TEST(SliderWidgetTest, FillRunsFromTheOriginToTheValue)
{
  struct Case
  {
    const char* name;
    float origin;
    float value;
    EDirection dir;
    bool filled;
    IRECT fill;
  } cases[] = {
    {"origin 0.5 at 0.5: no fill", 0.5f, 0.5f, EDirection::Horizontal, false, {}},
    {"origin 0.5 at 0.2", 0.5f, 0.2f, EDirection::Horizontal, true, {20, 0, 50, 10}},
    {"origin 0.5 at 0.9", 0.5f, 0.9f, EDirection::Horizontal, true, {50, 0, 90, 10}},
    {"origin 0 at 0.3", 0.f, 0.3f, EDirection::Horizontal, true, {0, 0, 30, 10}},
    {"value clamped", 0.f, 1.7f, EDirection::Horizontal, true, {0, 0, 100, 10}},
    {"vertical fills from the bottom", 0.f, 0.25f, EDirection::Vertical, true, {0, 7.5f, 100, 10}},
  };
  for (const Case& c : cases)
  {
    EditorSession s(1, 200, 100);
    SliderWidget w;
    w.trackColor = kTrack;
    w.fillColor = kFill;
    w.fillOrigin = c.origin;
    w.direction = c.dir;
    w.draw(s.G(), IRECT(0, 0, 100, 10), c.value, "", nullptr);
    const std::vector<Fill> fills = Fills(s.recorder);
    ASSERT_EQ(c.filled ? 2u : 1u, fills.size()) << c.name;
    EXPECT_EQ(kTrack, fills[0].color) << c.name;
    if (c.filled)
    {
      EXPECT_EQ(kFill, fills[1].color) << c.name;
      EXPECT_NEAR(c.fill.L, fills[1].rect.L, 1e-4) << c.name;
      EXPECT_NEAR(c.fill.T, fills[1].rect.T, 1e-4) << c.name;
      EXPECT_NEAR(c.fill.R, fills[1].rect.R, 1e-4) << c.name;
      EXPECT_NEAR(c.fill.B, fills[1].rect.B, 1e-4) << c.name;
    }
    EXPECT_TRUE(Texts(s.recorder).empty()) << c.name;
  }
}

class FillSlider : public ::testing::Test
{
protected:
  void SetUp() override
  {
    s.dlg.GetParam(0)->InitDouble("detune", 0., -50., 50., 0.01, "ct");
    s.Attach<ITextControl>(IRECT(200, 80, 210, 90)); // the first control is the background: it never hovers
  }
  FillSliderControl* Make(double gearing = 1.)
  {
    return s.Attach<FillSliderControl>(IRECT(0, 0, 100, 20), 0, kTrack, kFill, kHover, IText(14.f, COLOR_WHITE), "dtn",
                                       gearing);
  }
  EditorSession s{2, 300, 100};
};

TEST_F(FillSlider, BarTextChoices)
{
  FillSliderControl* f = Make();
  f->SetValue(s.dlg.GetParam(0)->ToNormalized(12.346));
  struct Case
  {
    const char* name;
    bool displayText;
    bool number;
    int decimals;
    const char* unit;
    const char* caption;
    const char* expected;
  } cases[] = {
    {"caption alone", false, false, 0, "", "dtn", "dtn"},
    {"two decimals and a unit", false, true, 2, "ct", "dtn", "12.35 ct"},
    {"caption and number", false, true, 2, "", "dtn", "dtn 12.35"},
    {"whole number", false, true, 0, "", "dtn", "dtn 12"},
    {"number alone", false, true, 1, "", "", "12.3"},
    {"display text wins", true, true, 2, "ct", "dtn", "12.35"},
  };
  for (const Case& c : cases)
  {
    f->setShowDisplayText(c.displayText);
    f->setShowNumber(c.number, c.decimals);
    f->setUnit(c.unit);
    f->setCaption(c.caption);
    EXPECT_EQ(c.expected, f->barText()) << c.name;
  }
}

TEST_F(FillSlider, DrawsLabelAboveAndBarBelowInHoverColours)
{
  FillSliderControl* f = Make();
  f->setFillOrigin(0.5f);
  f->setLabel("pt tilt");
  f->SetValue(0.5);
  s.recorder.Clear();
  f->Draw(s.G());
  std::vector<Fill> fills = Fills(s.recorder);
  ASSERT_EQ(1u, fills.size()) << "fill origin 0.5 at the middle: the track alone";
  EXPECT_EQ(IRECT(0, 10, 100, 20), fills[0].rect);
  const auto texts = Texts(s.recorder);
  ASSERT_EQ(2u, texts.size());
  EXPECT_EQ("pt tilt", texts[0].text);
  EXPECT_EQ(IRECT(0, 0, 100, 10), texts[0].rect);
  EXPECT_EQ("Roboto-Regular", texts[0].font);
  EXPECT_EQ("dtn", texts[1].text);

  f->SetValue(0.2);
  s.G().EnableMouseOver(true);
  s.Input().Hover(50, 15);
  s.recorder.Clear();
  f->Draw(s.G());
  fills = Fills(s.recorder);
  ASSERT_EQ(2u, fills.size());
  EXPECT_EQ(kFill, fills[0].color) << "hovered track";
  EXPECT_EQ(kHover, fills[1].color) << "hovered fill";
  EXPECT_EQ(IRECT(20, 10, 50, 20), fills[1].rect);
}

TEST_F(FillSlider, ShiftMidDragReanchorsWithoutAJump)
{
  FillSliderControl* f = Make(2.);
  f->SetValue(0.5);
  IMouseMod shift = InputDriver::Left();
  shift.S = true;
  s.Input().Press(50, 10);
  EXPECT_DOUBLE_EQ(0.5, f->GetValue()) << "a press does not move the value";
  s.Input().DragTo(60, 10);
  const double coarse = 0.5 + 10. * 0.75 / 100. / 2.;
  EXPECT_NEAR(coarse, f->GetValue(), 1e-9) << "horizontal motion counts three quarters";
  // The first event with Shift held re-anchors where it happens: its own motion moves nothing.
  s.Input().DragTo(60, 9, shift);
  EXPECT_NEAR(coarse, f->GetValue(), 1e-9) << "pressing Shift mid-drag does not jump";
  s.Input().DragTo(60, -1, shift);
  EXPECT_NEAR(coarse + 10. / 100. / 20., f->GetValue(), 1e-9) << "ten times finer, upward raises";
  s.Input().DragTo(61, -1);
  EXPECT_NEAR(coarse + 0.005, f->GetValue(), 1e-9) << "releasing Shift does not jump";
  s.Input().DragTo(41, -1);
  EXPECT_NEAR(coarse + 0.005 - 20. * 0.75 / 100. / 2., f->GetValue(), 1e-9);
  s.Input().Release(41, -1);
  EXPECT_NEAR(f->GetValue(), s.dlg.GetParam(0)->GetNormalized(), 1e-9) << "the value reached the plug-in";

  s.Input().DoubleClick(50, 10);
  EXPECT_DOUBLE_EQ(0.5, f->GetValue()) << "double click: the default";
}

TEST_F(FillSlider, TrackModeFollowsTheMotion)
{
  FillSliderControl* f = Make();
  f->setDragMode(1);
  s.Input().Press(30, 10);
  EXPECT_NEAR(0.3, f->GetValue(), 1e-3) << "the framework slider jumps to the press";
  s.Input().DragTo(40, 10);
  EXPECT_NEAR(0.4, f->GetValue(), 1e-3);
  s.Input().Release(40, 10);
}

TEST(SelectTest, GridCellsTakeSegmentsRowByRow)
{
  EditorSession s(1, 300, 200);
  s.dlg.GetParam(0)->InitEnum("pass", 0, {"lp", "bp", "hp", "notch", "peak", "ap", "user"});
  IVStyle style;
  style.showLabel = false;
  style.drawFrame = false;
  style.drawShadows = false;
  auto* sel = new SelectControl(IRECT(0, 0, 100, 90), 0, {}, "", style);
  sel->setGrid(2, 3);
  s.G().AttachControl(sel);
  ASSERT_EQ(7, sel->GetNStates());
  struct Cell
  {
    int idx;
    IRECT rect;
  } cells[] = {
    {0, {0, 0, 50, 30}},    {1, {50, 0, 100, 30}}, {2, {0, 30, 50, 60}}, {3, {50, 30, 100, 60}},
    {5, {50, 60, 100, 90}}, {6, {0, 60, 50, 90}}, // the seventh has no row of its own: the last row
  };
  for (const Cell& c : cells)
    EXPECT_EQ(c.rect, sel->segmentRect(c.idx)) << c.idx;
  EXPECT_EQ(IRECT(0, 0, 100, 90), sel->GetTargetRECT());

  s.Input().Click(75, 45);
  EXPECT_EQ(3, sel->GetSelectedIdx());
  EXPECT_NEAR(0.5, s.dlg.GetParam(0)->GetNormalized(), 1e-9);
  EXPECT_STREQ("notch", sel->GetTabLabel(3)) << "the parameter's display texts label the segments";
}

TEST(SelectTest, SegmentLookFillsSelectedAndHoveredAndDimsDisabled)
{
  EditorSession s(1, 300, 200);
  s.dlg.GetParam(0)->InitEnum("mode", 0, {"a", "b"});
  IVStyle style;
  style.colorSpec.SetColor(EVColor::PR, IColor(128, 95, 55, 200));
  style.colorSpec.SetColor(EVColor::HL, IColor(40, 100, 100, 100));
  style.colorSpec.SetColor(EVColor::X1, IColor(200, 10, 20, 30));
  auto* sel = s.Attach<SelectControl>(IRECT(0, 0, 100, 20), 0, std::vector<const char*>{}, "", style);
  const IRECT r(0, 0, 50, 20);
  struct Case
  {
    const char* name;
    bool pressed, over, disabled, noSelFill;
    int fillAlpha; // -1: no fill
    IColor fillRGB;
  } cases[] = {
    {"selected", true, false, false, false, 255, IColor(255, 95, 55, 200)},
    {"hovered", false, true, false, false, 255, IColor(255, 100, 100, 100)},
    {"idle", false, false, false, false, -1, {}},
    {"selected, disabled", true, false, true, false, 89, IColor(255, 95, 55, 200)},
    {"selected without selection fill", true, false, false, true, -1, {}},
  };
  for (const Case& c : cases)
  {
    sel->setNoSelectionFill(c.noSelFill);
    s.recorder.Clear();
    sel->DrawButton(s.G(), r, c.pressed, c.over, IVTabSwitchControl::ETabSegment::First, c.disabled);
    const std::vector<Fill> fills = Fills(s.recorder);
    if (c.fillAlpha < 0)
      EXPECT_TRUE(fills.empty()) << c.name;
    else
    {
      ASSERT_EQ(1u, fills.size()) << c.name;
      EXPECT_EQ(c.fillAlpha, fills[0].color.A) << c.name;
      EXPECT_EQ(c.fillRGB.R, fills[0].color.R) << c.name;
    }
    const auto strokes = s.recorder.Only("PathStroke");
    ASSERT_EQ(1u, strokes.size()) << c.name;
    const int frameAlpha = static_cast<int>(std::min(1.f, (c.disabled ? 0.35f : 1.f) * 200.f / 255.f * 0.6f) * 255.f);
    EXPECT_EQ(frameAlpha, strokes[0].color.A) << c.name;
  }
}

TEST(SelectTest, WithoutGridOneRow)
{
  EditorSession s(1, 300, 200);
  IVStyle style;
  style.showLabel = false;
  auto* sel = s.Attach<SelectControl>(IRECT(0, 0, 90, 20), -1, std::vector<const char*>{"a", "b", "c"}, "", style);
  EXPECT_FALSE(sel->hasGrid());
  EXPECT_FLOAT_EQ(sel->segmentRect(0).T, sel->segmentRect(2).T);
  EXPECT_LT(sel->segmentRect(0).R, sel->segmentRect(2).L);
}

TEST(IntDragTest, ValueTextLabelSidesAndFallback)
{
  EditorSession s(3, 300, 200);
  s.dlg.GetParam(0)->InitInt("voices", 3, 1, 8);
  s.dlg.GetParam(1)->InitDouble("blank", 4., 0., 10., 1., "", 0, "", IParam::ShapeLinear(), IParam::kUnitCustom,
                                [](double, TextString& str) { str.Set(""); });
  s.dlg.GetParam(2)->InitEnum("mode", 1, {"off", "on"});
  s.Attach<ITextControl>(IRECT(200, 80, 210, 90)); // the first control is the background: it never hovers
  IVStyle style;
  style.colorSpec.SetColor(EVColor::FG, IColor(255, 1, 2, 3));
  style.colorSpec.SetColor(EVColor::X1, IColor(255, 4, 5, 6));
  auto* voices =
    s.Attach<IntDragControl>(IRECT(0, 0, 100, 20), 0, style, "voices", IntDragControl::LabelPos::Left, 0.4f, 2.);
  auto* blank =
    s.Attach<IntDragControl>(IRECT(0, 30, 100, 50), 1, style, "hidden", IntDragControl::LabelPos::None, 0.4f, 2.);
  auto* mode =
    s.Attach<IntDragControl>(IRECT(0, 60, 100, 100), 2, style, "mode", IntDragControl::LabelPos::Below, 1.7f, 2.);
  voices->SetValue(s.dlg.GetParam(0)->GetNormalized());
  blank->SetValue(s.dlg.GetParam(1)->GetNormalized());
  mode->SetValue(s.dlg.GetParam(2)->GetNormalized());
  EXPECT_EQ("3", voices->valueText());
  EXPECT_EQ("4", blank->valueText()) << "an empty display text falls back to the whole number";
  EXPECT_EQ("on", mode->valueText());

  s.recorder.Clear();
  blank->Draw(s.G());
  EXPECT_EQ((std::vector<std::string>{"4"}), TextStrings(s.recorder)) << "label position none: no label";

  s.recorder.Clear();
  voices->Draw(s.G());
  auto texts = Texts(s.recorder);
  ASSERT_EQ(2u, texts.size());
  EXPECT_EQ(IRECT(40, 0, 100, 20), texts[0].rect);
  EXPECT_EQ(IColor(255, 1, 2, 3), texts[0].color);
  EXPECT_EQ(IRECT(0, 0, 40, 20), texts[1].rect);
  EXPECT_EQ("voices", texts[1].text);

  IRECT label, value;
  mode->split(label, value);
  EXPECT_EQ(IRECT(0, 60, 100, 100), label) << "the fraction is clamped to 1";

  s.G().EnableMouseOver(true);
  s.Input().Hover(50, 10);
  s.recorder.Clear();
  voices->Draw(s.G());
  EXPECT_EQ(IColor(255, 4, 5, 6), Texts(s.recorder)[0].color) << "hovered value colour";
}

TEST(IntDragTest, VerticalDragWithGearingAndFineControl)
{
  EditorSession s(1, 300, 200);
  s.dlg.GetParam(0)->InitDouble("amount", 0., 0., 100., 0.);
  auto* d =
    s.Attach<IntDragControl>(IRECT(0, 0, 100, 20), 0, DEFAULT_STYLE, "", IntDragControl::LabelPos::None, 0.f, 2.);
  s.Input().Press(50, 10);
  s.Input().DragTo(50, 6);
  EXPECT_NEAR(4. / 20. / 2., d->GetValue(), 1e-9);
  IMouseMod shift = InputDriver::Left();
  shift.S = true;
  s.Input().DragTo(50, 2, shift);
  EXPECT_NEAR(0.1 + 4. / 20. / 40., d->GetValue(), 1e-9);
  s.Input().Release(50, 2);
}

TEST(ValueSwitchTest, ValueTextIsTheDisplayTextOfItsOwnValue)
{
  EditorSession s(1, 300, 200);
  s.dlg.GetParam(0)->InitEnum("os", 0, {"1x", "2x", "4x"});
  auto* sw = s.Attach<vemlor::ui::ControlValueSwitchControl>(IRECT(0, 0, 60, 20), 0, "", DEFAULT_STYLE);
  sw->SetValue(1.);
  sw->SetDirty(false);
  EXPECT_STREQ("4x", sw->GetValueStr());
  sw->SetValue(0.5);
  sw->SetDirty(false);
  EXPECT_STREQ("2x", sw->GetValueStr());
}

} // namespace
} // namespace ui_widgets_test
