// What learnable controls draw over themselves on the recording backend: range ticks, modulation
// arcs and lines, the live mark, the armed hint, and the presence dot in its states.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "tests/utils/midi_cc/learnable_fixture.h"
#include "utils/midi_cc/mod_arc_drawing.h"

namespace learnable_test {
namespace {

using Knob = ControlDecorator<IVKnobControl>;
using Text = ControlDecorator<CCDisplayControl>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const IColor kArc{220, 110, 170, 230};

struct Expected
{
  Shape::EKind kind;
  std::vector<float> args;
  IColor color;
  float thickness = 0.f;
};

// The modulation drawing alone, as the backend received it.
template <class C>
std::vector<Shape> modShapes(LearnSession& s, C& control)
{
  s.recorder.Clear();
  control.drawModArc(s.G());
  return shapesOf(s.recorder);
}

void expectShapes(const std::vector<Shape>& got, const std::vector<Expected>& want)
{
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i)
  {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].kind, want[i].kind);
    EXPECT_EQ(got[i].color, want[i].color);
    if (want[i].thickness > 0.f)
    {
      EXPECT_FLOAT_EQ(got[i].thickness, want[i].thickness);
    }
    ASSERT_EQ(got[i].args.size(), want[i].args.size());
    for (size_t k = 0; k < want[i].args.size(); ++k)
      EXPECT_NEAR(got[i].args[k], want[i].args[k], 1e-3) << "argument " << k;
  }
}

struct KnobCase
{
  const char* name;
  int param;
  double value;
  std::function<void(Knob&)> state;
  // Given centre, knob radius, arc radius and the knob's frame colour.
  std::function<std::vector<Expected>(float cx, float cy, float R, float r, IColor frame)> expected;
};

Expected tick(float cx, float cy, float R, float degrees)
{
  const auto [x1, y1] = polar(cx, cy, R, degrees);
  const auto [x2, y2] = polar(cx, cy, R + 5.f, degrees);
  return {Shape::EKind::Line, {x1, y1, x2, y2}, kArc, 2.5f};
}

Expected arc(float cx, float cy, float r, float from, float to, IColor color = kArc)
{
  return {Shape::EKind::Arc, {cx, cy, r, from, to}, color, 2.f};
}

Expected liveMark(float cx, float cy, float r, float degrees, IColor color)
{
  const auto [x, y] = polar(cx, cy, r, degrees);
  return {Shape::EKind::Disc, {x, y, 1.f}, color};
}

auto absoluteRange(double lo, double hi)
{
  return [lo, hi](Knob& k) {
    k.setCCNumber(11);
    k.setParamMinMax(lo, hi);
  };
}

auto modulating(double depth, bool bipolar = false, double live = kNaN)
{
  return [=](Knob& k) {
    k.setCCNumber(11);
    k.setModeDisplay(1);
    k.setModDepth(depth);
    k.setModBipolar(bipolar);
    k.setModLiveValue(live);
  };
}

TEST(ModulationDrawing, KnobArcAnglesAndTicks)
{
  // angle(t) = -135 + 270 t
  const KnobCase cases[] = {
    {"absolute, full range: nothing", kDrive, 0.5, absoluteRange(0.0, 1.0),
     [](auto...) { return std::vector<Expected>{}; }},
    {"absolute, ends within 0.0001 of the edges: nothing", kDrive, 0.5, absoluteRange(0.00005, 0.99995),
     [](auto...) { return std::vector<Expected>{}; }},
    {"absolute 0.2..0.8: ticks outside the knob", kDrive, 0.5, absoluteRange(0.2, 0.8),
     [](float cx, float cy, float R, float, IColor) {
       return std::vector<Expected>{tick(cx, cy, R, -81.f), tick(cx, cy, R, 81.f)};
     }},
    {"absolute, inverted range: the same ticks", kDrive, 0.5, absoluteRange(0.8, 0.2),
     [](float cx, float cy, float R, float, IColor) {
       return std::vector<Expected>{tick(cx, cy, R, 81.f), tick(cx, cy, R, -81.f)};
     }},
    {"mapped but not modulatable: nothing", kMix, 0.5, absoluteRange(0.2, 0.8),
     [](auto...) { return std::vector<Expected>{}; }},
    {"modulating, depth -0.3 at 0.5", kDrive, 0.5, modulating(-0.3),
     [](float cx, float cy, float, float r, IColor) { return std::vector<Expected>{arc(cx, cy, r, -81.f, 0.f)}; }},
    {"modulating, depth 0.8 at 0.5 stops at the end angle", kDrive, 0.5, modulating(0.8),
     [](float cx, float cy, float, float r, IColor) { return std::vector<Expected>{arc(cx, cy, r, 0.f, 135.f)}; }},
    {"bipolar depth -0.3 at 0.5 ignores the sign", kDrive, 0.5, modulating(-0.3, true),
     [](float cx, float cy, float, float r, IColor) { return std::vector<Expected>{arc(cx, cy, r, -81.f, 81.f)}; }},
    {"depth 0 draws no span and no live mark", kDrive, 0.5, modulating(0.0, false, 0.7),
     [](auto...) { return std::vector<Expected>{}; }},
    {"live mark at 0.25", kDrive, 0.5, modulating(0.3, false, 0.25),
     [](float cx, float cy, float, float r, IColor frame) {
       return std::vector<Expected>{arc(cx, cy, r, 0.f, 81.f), liveMark(cx, cy, r, -67.5f, frame)};
     }},
    {"live value 1.3 sits at the end of the sweep", kDrive, 0.5, modulating(0.3, false, 1.3),
     [](float cx, float cy, float, float r, IColor frame) {
       return std::vector<Expected>{arc(cx, cy, r, 0.f, 81.f), liveMark(cx, cy, r, 135.f, frame)};
     }},
    {"armed: 35 degrees each side at half alpha, no live mark", kDrive, 0.5,
     [](Knob& k) {
       modulating(0.3, false, 0.25)(k);
       k.tryProcessMidiCCMenuSelection(6);
     },
     [](float cx, float cy, float, float r, IColor) {
       return std::vector<Expected>{arc(cx, cy, r, -35.f, 35.f, IColor(110, 110, 170, 230))};
     }},
    {"armed at 0 starts at the start angle", kDrive, 0.0,
     [](Knob& k) {
       modulating(0.3)(k);
       k.tryProcessMidiCCMenuSelection(6);
     },
     [](float cx, float cy, float, float r, IColor) {
       return std::vector<Expected>{arc(cx, cy, r, -135.f, -100.f, IColor(110, 110, 170, 230))};
     }},
  };
  for (const KnobCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    Knob* knob = s.knob(c.param);
    knob->SetValue(c.value);
    c.state(*knob);
    const IRECT w = knob->GetWidgetBounds();
    const float R = knob->GetRadius();
    expectShapes(modShapes(s, *knob),
                 c.expected((w.L + w.R) / 2.f, (w.T + w.B) / 2.f, R, 0.8f * R, knob->GetColor(EVColor::FR)));
  }
}

TEST(ModulationDrawing, KnobShowsTheSpanBeingAuthoredDuringTheGesture)
{
  LearnSession s;
  Knob* knob = s.knob(kDrive);
  modulating(0.3, false, 0.9)(*knob);
  knob->SetValue(0.4);
  knob->tryProcessMidiCCMenuSelection(6);
  s.input->Press(70, 70);
  s.input->DragTo(70, 30); // +0.2
  const IRECT w = knob->GetWidgetBounds();
  const float r = 0.8f * knob->GetRadius();
  expectShapes(modShapes(s, *knob), {arc((w.L + w.R) / 2.f, (w.T + w.B) / 2.f, r, -27.f, 27.f)});
  s.input->Release(70, 30);
}

struct BarCase
{
  const char* name;
  double value;
  std::function<void(Text&)> state;
  std::vector<Expected> expected;
};

TEST(ModulationDrawing, BarLinePositionsAlongTheBottom)
{
  // Rectangle 200..300 x 20..60: y = 56, x(t) = 202 + 96 t, tick x(t) = 201 + 98 t.
  const IColor text = DEFAULT_TEXT.mFGColor;
  auto mapped = [](Text& t) {
    t.setCCNumber(3);
    t.setParamMinMax(0.2, 0.8);
  };
  auto mod = [](double depth, bool bipolar, double live) {
    return [=](Text& t) {
      t.setCCNumber(3);
      t.setModeDisplay(1);
      t.setModDepth(depth);
      t.setModBipolar(bipolar);
      t.setModLiveValue(live);
    };
  };
  const BarCase cases[] = {
    {"absolute 0.2..0.8: ticks five pixels tall",
     0.5,
     mapped,
     {{Shape::EKind::Line, {220.6f, 56, 220.6f, 51}, kArc, 2.f},
      {Shape::EKind::Line, {279.4f, 56, 279.4f, 51}, kArc, 2.f}}},
    {"absolute, full range: nothing",
     0.5,
     [](Text& t) {
       t.setCCNumber(3);
       t.setParamMinMax(0.0, 1.0);
     },
     {}},
    {"modulating 0.3 from 0.5 with the live mark",
     0.5,
     mod(0.3, false, 0.75),
     {{Shape::EKind::Line, {250, 56, 278.8f, 56}, kArc, 2.f}, {Shape::EKind::Disc, {274, 56, 1}, text}}},
    {"bipolar -0.3 at 0.5", 0.5, mod(-0.3, true, kNaN), {{Shape::EKind::Line, {221.2f, 56, 278.8f, 56}, kArc, 2.f}}},
    {"full-range depth is cut at the end",
     0.5,
     mod(1.0, false, kNaN),
     {{Shape::EKind::Line, {250, 56, 298, 56}, kArc, 2.f}}},
    {"armed at 0.1: a quarter each side, cut at the start, half alpha",
     0.1,
     [&](Text& t) {
       mod(0.3, false, 0.4)(t);
       t.tryProcessMidiCCMenuSelection(6);
     },
     {{Shape::EKind::Line, {202, 56, 235.6f, 56}, IColor(110, 110, 170, 230), 2.f}}},
  };
  for (const BarCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    Text* t = s.display(kDrive);
    t->SetValue(c.value);
    c.state(*t);
    expectShapes(modShapes(s, *t), c.expected);
  }
}

TEST(ModulationDrawing, AlphaHalvingDropsTheRest)
{
  using zarvo::midi_cc::halfAlpha;
  EXPECT_EQ(halfAlpha(IColor(220, 1, 2, 3)), IColor(110, 1, 2, 3));
  EXPECT_EQ(halfAlpha(IColor(216, 1, 2, 3)), IColor(108, 1, 2, 3));
  EXPECT_EQ(halfAlpha(IColor(255, 1, 2, 3)), IColor(127, 1, 2, 3));
}

TEST(ModulationDrawing, EditorColoursReplaceTheArcAndPressedDotColours)
{
  LearnSession s;
  const IColor theme{216, 161, 145, 200};
  const IColor accent{255, 240, 120, 40};
  s.host.mediator.mArcColorOverride = theme;
  s.host.mediator.mDotColorOverride = accent;
  Knob* modulatable = s.knob(kDrive);
  Knob* plain = s.knob(kMix, IRECT(200, 20, 300, 120));
  EXPECT_EQ(modulatable->modArcColor(), theme);
  EXPECT_EQ(plain->modArcColor(), kArc); // only modulatable controls take the theme's arc colour
  EXPECT_EQ(modulatable->presenceDotColors().pressed, accent);
  EXPECT_EQ(plain->presenceDotColors().pressed, accent);
  modulating(0.3)(*modulatable);
  modulatable->tryProcessMidiCCMenuSelection(6);
  const auto shapes = modShapes(s, *modulatable);
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].color, IColor(108, 161, 145, 200));
}

struct DotCase
{
  const char* name;
  std::function<void(LearnSession&, Knob&)> act;
  std::vector<Expected> dot; // relative to the dot centre (0, 0)
};

TEST(PresenceDotDrawing, RadiiAndColoursPerState)
{
  const IColor accent{255, 240, 120, 40};
  const DotCase cases[] = {
    {"unmapped: nothing", [](LearnSession&, Knob&) {}, {}},
    {"mapped, at rest: a ring",
     [](LearnSession&, Knob& k) { k.setCCNumber(1); },
     {{Shape::EKind::Circle, {0, 0, 2.5f}, IColor(200, 150, 150, 150), 1.f}}},
    {"learning while unmapped: a ring",
     [](LearnSession&, Knob& k) { k.setLearning(true); },
     {{Shape::EKind::Circle, {0, 0, 2.5f}, IColor(200, 150, 150, 150), 1.f}}},
    {"modulating looks the same as absolute",
     [](LearnSession&, Knob& k) {
       k.setCCNumber(1);
       k.setModeDisplay(1);
     },
     {{Shape::EKind::Circle, {0, 0, 2.5f}, IColor(200, 150, 150, 150), 1.f}}},
    {"hovered: a light disc with a dark outline",
     [](LearnSession& s, Knob& k) {
       k.setCCNumber(1);
       const IRECT a = k.dotAnchor();
       s.input->Hover(a.R - 6.f, a.B - 6.f);
     },
     {{Shape::EKind::Disc, {0, 0, 3.5f}, IColor(255, 235, 235, 235)},
      {Shape::EKind::Circle, {0, 0, 3.5f}, IColor(255, 60, 60, 60), 1.f}}},
    {"pressed: a disc in the accent colour, no outline",
     [](LearnSession& s, Knob& k) {
       k.setCCNumber(1);
       k.setModeLocked(true);
       const IRECT a = k.dotAnchor();
       s.input->Press(a.R - 6.f, a.B - 6.f);
     },
     {{Shape::EKind::Disc, {0, 0, 3.5f}, accent}}},
  };
  for (const DotCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    s.G().EnableMouseOver(true);
    s.host.mediator.mDotColorOverride = accent;
    Knob* knob = s.knob(kDrive);
    c.act(s, *knob);
    s.recorder.Clear();
    knob->Draw(s.G());
    const IRECT a = knob->dotAnchor();
    const float cx = a.R - 6.f;
    const float cy = a.B - 6.f;
    std::vector<Shape> dot;
    for (const Shape& shape : shapesOf(s.recorder))
    {
      if ((shape.kind == Shape::EKind::Circle || shape.kind == Shape::EKind::Disc) && shape.args[0] == cx &&
          shape.args[1] == cy)
        dot.push_back(shape);
    }
    std::vector<Expected> want = c.dot;
    for (Expected& e : want)
    {
      e.args[0] += cx;
      e.args[1] += cy;
    }
    expectShapes(dot, want);
  }
}

TEST(PresenceDotDrawing, OffsetMovesTheDotByDiametersWithoutARedraw)
{
  LearnSession s;
  Text* t = s.display(kDrive, IRECT(200, 20, 300, 60));
  t->setCCNumber(2);
  s.G().Tick();
  ASSERT_FALSE(t->IsDirty());
  t->setPresenceDotOffset(-1.f, 0.5f);
  EXPECT_FALSE(t->IsDirty());
  s.recorder.Clear();
  t->Draw(s.G());
  const auto shapes = shapesOf(s.recorder);
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_FLOAT_EQ(shapes[0].args[0], 300.f - 6.f - 5.f);
  EXPECT_FLOAT_EQ(shapes[0].args[1], 60.f - 6.f + 2.5f);
}

TEST(IControllableSetters, RedrawOnlyOnAChange)
{
  LearnSession s;
  Text* t = s.display(kDrive);
  auto redraws = [&](const std::function<void()>& f) {
    s.G().Tick();
    f();
    return t->IsDirty();
  };
  EXPECT_TRUE(redraws([&] { t->setModDepth(0.2); }));
  EXPECT_FALSE(redraws([&] { t->setModDepth(0.2); }));
  EXPECT_TRUE(redraws([&] { t->setModLiveValue(kNaN); }));
  EXPECT_TRUE(redraws([&] { t->setModLiveValue(kNaN); })); // NaN never equals itself
  EXPECT_TRUE(redraws([&] { t->setModeLocked(true); }));
  EXPECT_FALSE(redraws([&] { t->setModeLocked(true); }));
  EXPECT_TRUE(redraws([&] { t->setCCNumber(3); }));
  EXPECT_TRUE(redraws([&] { t->setCCNumber(3); })); // always
  EXPECT_TRUE(redraws([&] { t->setParamMinMax(0.1, 0.9); }));
  EXPECT_FALSE(redraws([&] { t->setParamMinMax(0.1, 0.9); }));
  // setCCNumber shows the parameter's full range as text but keeps the mapped range.
  t->setCCNumber(3);
  EXPECT_EQ(t->minText(), "0.00");
  EXPECT_EQ(t->maxText(), "10.00");
  EXPECT_EQ(t->rangeMin(), 0.1);
  t->setParamMinMax(0.25, 0.5);
  EXPECT_EQ(t->minText(), "2.50");
  EXPECT_EQ(t->maxText(), "5.00");
}

} // namespace
} // namespace learnable_test
