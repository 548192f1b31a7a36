#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "IPlugin/IPluginParameter.h"
#include "product/ui/control_value_knob_control.h"
#include "product/ui/freq_knob_control.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/utils/ui/painted.h"
#include "utils/ui/WrapKnobControl.h"

namespace ui_widgets_test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::EditorSession;
using plugkit::gfx::test::InputDriver;
using vemlor::ui::FreqKnobControl;
using zarvo::ui::WrapKnobControl;

constexpr int kCutoff = 0;
constexpr int kAnchor = 1;
constexpr int kOther = 2;

IMouseMod With(bool alt, bool shift = false)
{
  IMouseMod m = InputDriver::Left();
  m.A = alt;
  m.S = shift;
  return m;
}

TEST(FreqKnobTest, NoteNamesAndDeviationMarks)
{
  struct Case
  {
    const char* name;
    double hz;
    const char* text;
  } cases[] = {
    {"exact A4", 440., "A4"},        {"19.6 cents above", 445., "A4+"}, {"7.9 cents below", 438., "A4-"},
    {"under one cent", 440.2, "A4"}, {"middle C", 261.6256, "C4"},      {"lowest MIDI note", 8.1758, "C-1"},
    {"high B", 3951.066, "B7"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.text, FreqKnobControl::noteText(c.hz)) << c.name;

  EXPECT_EQ("C4", FreqKnobControl::noteName(60));
  EXPECT_EQ("A4", FreqKnobControl::noteName(69));
  EXPECT_EQ("C-1", FreqKnobControl::noteName(0));
  EXPECT_EQ("B-2", FreqKnobControl::noteName(-1));
  EXPECT_EQ("", FreqKnobControl::noteText(0.));
}

class FreqKnob : public ::testing::Test
{
protected:
  void SetUp() override
  {
    s.dlg.GetParam(kCutoff)->InitFrequency("cutoff", 1000., 20., 20000., 0.);
    s.dlg.GetParam(kAnchor)->InitBool("anchored", false);
    s.dlg.GetParam(kOther)->InitBool("other", true);
    knob = s.Attach<FreqKnobControl>(IRECT(0, 0, 80, 100), kCutoff, kAnchor, "cut", DEFAULT_STYLE);
  }
  void SetHz(double hz)
  {
    knob->SetValue(s.dlg.GetParam(kCutoff)->ToNormalized(hz));
    knob->SetDirty(false);
  }
  double Hz() const { return s.dlg.GetParam(kCutoff)->FromNormalized(knob->GetValue()); }
  bool Anchored() { return s.dlg.GetParam(kAnchor)->Value() > 0.5; }

  EditorSession s{4, 200, 200};
  FreqKnobControl* knob = nullptr;
};

TEST_F(FreqKnob, ValueTextFollowsAnchorAndDisplayMode)
{
  SetHz(445.);
  EXPECT_STRNE("A4+", knob->GetValueStr()) << "not anchored: the parameter's own text";
  s.dlg.GetParam(kAnchor)->Set(1.);
  knob->refreshValueStr();
  EXPECT_STREQ("A4+", knob->GetValueStr());
  SetHz(438.);
  EXPECT_STREQ("A4-", knob->GetValueStr());

  knob->setDisplayMode(FreqKnobControl::kDisplayParam);
  knob->refreshValueStr();
  TextString own;
  s.dlg.GetParam(kCutoff)->GetDisplay(knob->GetValue(), true, own, true);
  EXPECT_STREQ(own.Get(), knob->GetValueStr());

  knob->setDisplayMode(FreqKnobControl::kDisplayFixed);
  knob->setFixedText("morph");
  knob->refreshValueStr();
  EXPECT_STREQ("morph", knob->GetValueStr());
}

TEST_F(FreqKnob, AltClickSnapsToTheNearestNoteAndAnchors)
{
  SetHz(452.);
  s.dlg.log.clear();
  const IRECT w = knob->GetWidgetBounds();
  s.Input().Press(w.MW(), w.MH(), With(true));
  EXPECT_NEAR(440., Hz(), 1e-6);
  EXPECT_TRUE(Anchored());
  EXPECT_STREQ("A4", knob->GetValueStr());
  s.Input().Release(w.MW(), w.MH(), With(true));

  // A plain drag, wheel turn or double click each let go of the note.
  struct Undo
  {
    const char* name;
    std::function<void()> act;
  } undos[] = {
    {"drag",
     [&] {
       s.Input().Press(w.MW(), w.MH());
       s.Input().DragTo(w.MW(), w.MH() - 5.f);
       s.Input().Release(w.MW(), w.MH() - 5.f);
     }},
    {"wheel", [&] { s.Input().Wheel(w.MW(), w.MH(), 1.f); }},
    {"double click", [&] { s.Input().DoubleClick(w.MW(), w.MH()); }},
  };
  for (const Undo& u : undos)
  {
    s.dlg.GetParam(kAnchor)->Set(1.);
    SetHz(440.);
    u.act();
    EXPECT_FALSE(Anchored()) << u.name;
  }
  EXPECT_NEAR(1000., Hz(), 1e-6) << "double click returns to the default";
}

TEST_F(FreqKnob, AltDragMovesFromNoteToNote)
{
  SetHz(440.);
  const IRECT w = knob->GetWidgetBounds();
  s.Input().Press(w.MW(), w.MH(), With(true));
  for (int i = 1; i <= 10; ++i)
  {
    s.Input().DragTo(w.MW(), w.MH() - 2.f * static_cast<float>(i), With(true));
    const double n = 12. * std::log2(Hz() / 440.) + 69.;
    EXPECT_NEAR(std::round(n), n, 1e-6) << "step " << i;
  }
  EXPECT_GT(Hz(), 440.);
  EXPECT_TRUE(Anchored());
}

TEST_F(FreqKnob, WithoutAnchorParameterNoOtherParameterIsTouched)
{
  auto* free = s.Attach<FreqKnobControl>(IRECT(100, 0, 180, 100), kCutoff, -1, "cut", DEFAULT_STYLE);
  free->SetValue(s.dlg.GetParam(kCutoff)->ToNormalized(450.));
  s.dlg.log.clear();
  const IRECT w = free->GetWidgetBounds();
  s.Input().Press(w.MW(), w.MH(), With(true));
  s.Input().DragTo(w.MW(), w.MH() - 8.f);
  s.Input().Release(w.MW(), w.MH() - 8.f);
  s.Input().DoubleClick(w.MW(), w.MH());
  int sends = 0;
  for (const std::string& line : s.dlg.log)
  {
    for (const char* verb : {"send ", "begin ", "end "})
      if (line.rfind(verb, 0) == 0)
      {
        sends += line.rfind("send ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(kCutoff, std::stoi(line.substr(std::string(verb).size()))) << line;
      }
  }
  EXPECT_GT(sends, 0);
  EXPECT_EQ(0., s.dlg.GetParam(kAnchor)->Value());
}

TEST_F(FreqKnob, ShiftDragIsFortyTimesFiner)
{
  const IRECT w = knob->GetWidgetBounds();
  auto moved = [&](bool shift) {
    knob->SetValue(0.5);
    s.Input().Press(w.MW(), w.MH(), With(false, shift));
    s.Input().DragTo(w.MW(), w.MH() - 20.f, With(false, shift));
    s.Input().Release(w.MW(), w.MH() - 20.f, With(false, shift));
    return knob->GetValue() - 0.5;
  };
  const double plain = moved(false);
  const double fine = moved(true);
  ASSERT_GT(plain, 0.);
  EXPECT_NEAR(40., plain / fine, 1e-6);
}

TEST_F(FreqKnob, HighlightedValueIsFilledWiderAndRecoloured)
{
  s.dlg.GetParam(kAnchor)->Set(1.);
  SetHz(440.);
  const IColor fill(255, 95, 55, 200), text(255, 250, 250, 250);
  knob->setHighlightColors(fill, text);
  knob->setHighlighted(true);
  s.recorder.Clear();
  knob->DrawValue(s.G(), false);
  EXPECT_TRUE(Fills(s.recorder).empty()) << "highlight not enabled";

  knob->setHighlightEnabled(true);
  s.recorder.Clear();
  knob->DrawValue(s.G(), false);
  const std::vector<Fill> fills = Fills(s.recorder);
  ASSERT_EQ(1u, fills.size());
  const IRECT v = knob->GetValueBounds();
  EXPECT_EQ(fill, fills[0].color);
  EXPECT_FLOAT_EQ(v.L - 10.f, fills[0].rect.L);
  EXPECT_FLOAT_EQ(v.R + 10.f, fills[0].rect.R);
  const auto texts = Texts(s.recorder);
  ASSERT_EQ(1u, texts.size());
  EXPECT_EQ("A4", texts[0].text);
  EXPECT_EQ(text, texts[0].color);
}

TEST(ValueKnobTest, ValueTextCarriesTheUnit)
{
  EditorSession s(2, 200, 200);
  s.dlg.GetParam(0)->InitDouble("drive", 3., 0., 10., 0.1, "dB");
  s.dlg.GetParam(1)->InitEnum("mode", 1, {"soft", "hard"});
  auto* drive = s.Attach<vemlor::ui::ControlValueKnobControl>(IRECT(0, 0, 80, 100), 0, "drive", DEFAULT_STYLE);
  auto* mode = s.Attach<vemlor::ui::ControlValueKnobControl>(IRECT(100, 0, 180, 100), 1, "mode", DEFAULT_STYLE);
  drive->SetValue(0.5);
  drive->SetDirty(false);
  EXPECT_STREQ("5.0 dB", drive->GetValueStr());
  mode->SetValue(1.);
  mode->SetDirty(false);
  EXPECT_STREQ("hard", mode->GetValueStr());
  EXPECT_DOUBLE_EQ(20., drive->fineFactor());
  drive->setFineFactor(60.);
  EXPECT_DOUBLE_EQ(60., drive->fineFactor());
}

//--------------------------------------------------------------------------------------------------
IVStyle LabelSize(float size)
{
  IVStyle style;
  style.labelText.mSize = size;
  return style;
}

class WrapKnob : public ::testing::Test
{
protected:
  WrapKnobControl* Make(std::vector<std::string> names, bool wrap, float half = 10.f, float a1 = -180.f,
                        float a2 = 180.f)
  {
    auto* k =
      s.Attach<WrapKnobControl>(IRECT(40, 40, 100, 100), 0, "pos", LabelSize(10.f), std::move(names), half, a1, a2);
    k->setWrap(wrap);
    return k;
  }
  // One drag event from v0 that moves the raw value by delta.
  double DragBy(WrapKnobControl* k, double v0, double delta)
  {
    k->SetValue(v0);
    k->OnMouseDown(0, 0, IMouseMod());
    const IRECT r = k->GetKnobDragBounds();
    k->OnMouseDrag(0, 0, 0, static_cast<float>(-delta * 4. * static_cast<double>(r.H())), IMouseMod());
    return k->GetValue();
  }

  EditorSession s{2, 300, 300};
};

TEST_F(WrapKnob, RestsOnEachPositionWithinItsTick)
{
  // Four names: with wrap four divisions (dead zone 10 * 4 / 360), without three (10 * 3 / 360).
  const double zw = 40. / 360., zn = 30. / 360.;
  struct Case
  {
    const char* name;
    bool wrap;
    double raw;
    double expected;
  } cases[] = {
    {"wrap: inside the first tick", true, 0.02, 0.},
    {"wrap: just past a position", true, 0.26, 0.25},
    {"wrap: between ticks", true, 0.30, 0.25 * (1. + (0.2 - zw) / (1. - 2. * zw))},
    {"wrap: before the next tick", true, 0.49, 0.5},
    {"wrap: past the end turns to the start", true, 1.05, 0.25 * ((0.2 - zw) / (1. - 2. * zw))},
    {"wrap: below the start turns to the end", true, -0.01, 1.},
    {"no wrap: between ticks", false, 0.5, (1. + (0.5 - zn) / (1. - 2. * zn)) / 3.},
    {"no wrap: clamped at the end", false, 1.3, 1.},
    {"no wrap: clamped at the start", false, -0.2, 0.},
  };
  for (const Case& c : cases)
  {
    WrapKnobControl* k = Make({"a", "b", "c", "d"}, c.wrap);
    // The dial's drag span is not a whole number of pixels: the event's float offset rounds.
    EXPECT_NEAR(c.expected, DragBy(k, 0., c.raw), 1e-6) << c.name;
  }
}

TEST_F(WrapKnob, WithoutNamesDragsAndWheelsLikeAPlainKnob)
{
  WrapKnobControl* k = Make({}, false);
  EXPECT_NEAR(0.3, DragBy(k, 0.2, 0.1), 1e-9);
  k->SetValue(0.5);
  k->OnMouseWheel(0, 0, IMouseMod(), 1.f);
  EXPECT_NEAR(0.51, k->GetValue(), 1e-9);
}

TEST_F(WrapKnob, WheelStepsThroughPositionsAndWraps)
{
  struct Case
  {
    const char* name;
    bool wrap;
    double from;
    float delta;
    double expected;
  } cases[] = {
    {"wrap: up from the last goes to the first", true, 0.75, 1.f, 0.},
    {"wrap: down from the first goes to the last", true, 0., -1.f, 0.75},
    {"wrap: up one", true, 0.25, 1.f, 0.5},
    {"no wrap: up from the last stays", false, 1., 1.f, 1.},
    {"no wrap: down from the first stays", false, 0., -1.f, 0.},
    {"no wrap: up one", false, 1. / 3., 1.f, 2. / 3.},
  };
  for (const Case& c : cases)
  {
    WrapKnobControl* k = Make({"a", "b", "c", "d"}, c.wrap);
    k->SetValue(c.from);
    k->OnMouseWheel(0, 0, IMouseMod(), c.delta);
    EXPECT_NEAR(c.expected, k->GetValue(), 1e-9) << c.name;
  }
}

TEST_F(WrapKnob, DivisionsOfOneAndTwoNamesWithoutWrap)
{
  EXPECT_EQ(1, Make({"a", "b"}, false)->divisions());
  EXPECT_EQ(1, Make({"a"}, false)->divisions());
  EXPECT_EQ(2, Make({"a", "b"}, true)->divisions());
  WrapKnobControl* two = Make({"a", "b"}, false);
  EXPECT_NEAR(1., DragBy(two, 0., 0.98), 1e-9) << "one division: the tick dead zone is 10 / 360";
}

TEST_F(WrapKnob, AnchorsStandAroundTheDialWithAlignmentByDirection)
{
  // Names short enough to stand around the dial inside its cell.
  WrapKnobControl* k = Make({"b", "l", "t", "r"}, true);
  const IRECT w = k->GetWidgetBounds();
  // Clear of the ticks (4 pixels thick) drawn on the track.
  const float R = k->GetRadius() + 0.35f * k->nameSize() + 2.f;
  struct Expect
  {
    float dx, dy;
    int h, v;
  } expected[] = {
    {0.f, R, 1, 0},  // -180: centred, text below the anchor
    {-R, 0.f, 2, 1}, // -90: text ends at the anchor
    {0.f, -R, 1, 2}, // 0: centred, text above
    {R, 0.f, 0, 1},  // 90: text starts at the anchor
  };
  ASSERT_EQ(4u, k->anchors().size());
  for (size_t i = 0; i < 4; ++i)
  {
    const auto& a = k->anchors()[i];
    EXPECT_NEAR(w.MW() + expected[i].dx, a.x, 1e-3) << i;
    EXPECT_NEAR(w.MH() + expected[i].dy, a.y, 1e-3) << i;
    EXPECT_EQ(expected[i].h, a.hAlign) << i;
    EXPECT_EQ(expected[i].v, a.vAlign) << i;
  }
  // A diagonal name (45 degrees) sits beside the dial, vertically centred: cos 45 is not above 0.5...
  WrapKnobControl* eight = Make({"0", "1", "2", "3", "4", "5", "6", "7"}, true, 5.f, 0.f, 360.f);
  EXPECT_EQ(0, eight->anchors()[1].hAlign);
  EXPECT_EQ(2, eight->anchors()[1].vAlign) << "cos 45 = 0.707 > 0.5: text above the anchor";
}

TEST_F(WrapKnob, ConstructionWidensForTheNamesAndRotationTurnsTheDial)
{
  WrapKnobControl* k = Make({"ab", "abcd"}, true);
  // s = 10, L = 4: 0.62 * 10 * 4 + 0.45 * 10 = 29.3 on each side, 14.5 above and below.
  EXPECT_NEAR(40.f - 29.3f, k->GetRECT().L, 1e-4);
  EXPECT_NEAR(100.f + 29.3f, k->GetRECT().R, 1e-4);
  EXPECT_NEAR(40.f - 14.5f, k->GetRECT().T, 1e-4);
  // ...but the dial and its names are laid out inside the cell it was made for.
  EXPECT_EQ(IRECT(40, 40, 100, 100), k->layoutArea());
  EXPECT_TRUE(IRECT(40, 40, 100, 100).Contains(k->GetWidgetBounds()));
  EXPECT_FLOAT_EQ(70.f, k->GetWidgetBounds().MW());
  EXPECT_EQ(k->GetWidgetBounds(), k->GetTargetRECT()) << "names take no clicks";
  EXPECT_FALSE(k->GetStyle().showLabel);
  EXPECT_FALSE(k->GetStyle().showValue);

  k->setRotation(120.f);
  EXPECT_FLOAT_EQ(-60.f, k->startAngle());
  EXPECT_FLOAT_EQ(300.f, k->endAngle());
  // Too long to stand around a dial in this cell, the names go in rows: the first, now at -60
  // degrees, starts the row above the dial at the cell's left edge.
  EXPECT_FLOAT_EQ(40.f, k->anchors()[0].x);
  EXPECT_LE(k->nameBoxes()[0].B, k->GetWidgetBounds().T);
}

TEST_F(WrapKnob, DialNamesAndCaptionStayInTheCellWithoutOverlapping)
{
  struct Case
  {
    const char* name;
    IRECT cell;
    float size;
    std::vector<std::string> names;
    float a1, a2, rotation;
    bool wrap;
    bool rows; // the names leave the circle for rows above and below the dial
  };
  const std::vector<std::string> character = {"1", "", "3", "", "5", "", "7", "", "9", "", "11"};
  const std::vector<std::string> saturation = {"TANH", "ASINH", "TASSYM"};
  const Case cases[] = {
    {"character, narrow table cell", IRECT(713.8f, 20, 761.7f, 100), 13.f, character, -156.f, 156.f, 0.f, false, false},
    {"character, user tab cell", IRECT(638, 100, 728, 180), 13.f, character, -156.f, 156.f, 0.f, false, false},
    {"saturation, narrow table cell", IRECT(576, 100, 624, 180), 16.f, saturation, -180.f, 180.f, 120.f, true, true},
    {"saturation, wide cell", IRECT(0, 0, 200, 120), 16.f, saturation, -180.f, 180.f, 120.f, true, false},
    {"character, short cell", IRECT(0, 0, 145, 50), 13.f, character, -156.f, 156.f, 0.f, false, true},
    {"saturation, short cell", IRECT(0, 0, 145, 50), 16.f, saturation, -180.f, 180.f, 120.f, true, true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    auto* k = s.Attach<WrapKnobControl>(c.cell, 0, "x", LabelSize(c.size), c.names, 5.f, c.a1, c.a2);
    k->setWrap(c.wrap);
    k->setRotation(c.rotation);
    k->setSideLabel("cap");
    const IRECT& caption = k->captionRect();
    const IRECT dial = k->GetWidgetBounds();
    EXPECT_FLOAT_EQ(caption.T, c.cell.T);
    EXPECT_FLOAT_EQ(caption.H(), std::min(1.3f * c.size, 0.4f * c.cell.H())) << "a row for the caption";
    EXPECT_GE(dial.T, caption.B - 1e-3f);
    EXPECT_TRUE(c.cell.Contains(dial));
    EXPECT_GE(dial.W(), 0.4f * std::min(c.cell.W(), c.cell.H() - caption.H()) - 1e-3f);
    EXPECT_LE(k->nameSize(), c.size);
    const std::vector<IRECT>& boxes = k->nameBoxes();
    ASSERT_EQ(boxes.size(), c.names.size());
    for (size_t i = 0; i < boxes.size(); ++i)
    {
      if (c.names[i].empty())
        continue;
      SCOPED_TRACE(c.names[i]);
      EXPECT_TRUE(c.cell.Contains(boxes[i]));
      EXPECT_FALSE(boxes[i].Intersects(caption));
      for (size_t j = i + 1; j < boxes.size(); ++j)
      {
        if (!c.names[j].empty())
        {
          EXPECT_FALSE(boxes[i].Intersects(boxes[j])) << c.names[j];
        }
      }
      if (c.rows)
      {
        EXPECT_FALSE(boxes[i].Intersects(dial));
      }
    }
  }
}

TEST_F(WrapKnob, FittedFactoryShrinksTheDialIntoItsCell)
{
  const IRECT cell(0, 0, 120, 110);
  WrapKnobControl::Factory factory = [](const IRECT& r) -> IControl* {
    return new WrapKnobControl(r, 0, "b char", LabelSize(13.f), {"1", "", "11"}, 5.f, -156.f, 156.f);
  };
  IControl* c = WrapKnobControl::fitted(factory)(cell);
  auto* k = dynamic_cast<WrapKnobControl*>(c);
  ASSERT_NE(nullptr, k);
  EXPECT_TRUE(k->isFitted());
  EXPECT_EQ(cell, k->GetRECT());
  EXPECT_EQ(cell, k->layoutArea());
  // s = 13, no caption: the largest dial with its names around it in the cell.
  s.G().AttachControl(k);
  const IRECT body = cell;
  EXPECT_FLOAT_EQ(13.f, k->nameSize());
  EXPECT_EQ(body.GetCentredInside(k->knobWidth(), k->knobHeight()), k->GetWidgetBounds());
  EXPECT_EQ(k->GetWidgetBounds(), k->GetTargetRECT());
  EXPECT_TRUE(body.Contains(k->nameBoxes()[0]));
  EXPECT_NEAR(k->nameBoxes()[0].B, body.B, 0.6f) << "the dial grows until its lowest names reach the cell's edge";
  EXPECT_NEAR(k->GetRadius() + 0.35f * 13.f + 2.f,
              std::hypot(k->anchors()[0].x - k->GetWidgetBounds().MW(), k->anchors()[0].y - k->GetWidgetBounds().MH()),
              1e-3);

  // A tiny cell keeps a dial of at least 4 pixels; any other control passes through untouched.
  IControl* tiny = WrapKnobControl::fitted(factory)(IRECT(0, 0, 20, 20));
  EXPECT_GE(static_cast<WrapKnobControl*>(tiny)->knobWidth(), 4.f);
  EXPECT_GE(static_cast<WrapKnobControl*>(tiny)->knobHeight(), 4.f);
  delete tiny;
  IControl* plain = WrapKnobControl::fitted([](const IRECT& r) -> IControl* {
    return new vemlor::ui::ControlValueKnobControl(r, 0, "x", DEFAULT_STYLE);
  })(IRECT(0, 0, 50, 50));
  EXPECT_EQ(IRECT(0, 0, 50, 50), plain->GetRECT());
  delete plain;
  EXPECT_EQ(nullptr, WrapKnobControl::fitted(nullptr)(cell));
}

TEST_F(WrapKnob, DrawsTicksNamesAndSideLabelButNoValueArc)
{
  WrapKnobControl* k = Make({"a", "", "c"}, false, 8.f, -120.f, 120.f);
  k->setSideLabel("d var");
  s.recorder.Clear();
  k->Draw(s.G());
  std::vector<std::vector<float>> arcs;
  for (const DrawCall& c : s.recorder.Only("PathArc"))
    if (std::abs(c.args[4] - c.args[3] - 16.f) < 1e-3)
      arcs.push_back(c.args);
  ASSERT_EQ(3u, arcs.size()) << s.recorder.Dump();
  EXPECT_NEAR(-128.f, arcs[0][3], 1e-3);
  EXPECT_NEAR(-8.f, arcs[1][3], 1e-3);
  EXPECT_NEAR(112.f, arcs[2][3], 1e-3);
  const std::vector<std::string> texts = TextStrings(s.recorder);
  EXPECT_EQ((std::vector<std::string>{"a", "c", "d var"}), texts);
  const DrawCall side = Texts(s.recorder).back();
  // The caption has a row of its own across the cell, above the dial and its names.
  EXPECT_EQ(IRECT(40, 40, 100, 40 + 1.3f * 10.f), side.rect);
  EXPECT_GE(k->GetWidgetBounds().T, side.rect.B);
}

} // namespace
} // namespace ui_widgets_test
