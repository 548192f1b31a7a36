#include <gtest/gtest.h>

#include <algorithm>

#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/Controls/IVSwitchControl.h"
#include "IGfx/Controls/IVectorBase.h"
#include "tests/IGfx/Controls/shape_log.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

// A bare vector control: geometry and shapes only. The recording backend
// measures text as 0.5 x size per byte wide and size high.
struct TestVector : IControl, IVectorBase
{
  TestVector(const IRECT& r, const IVStyle& style, bool labelInWidget = false, bool valueInWidget = false)
    : IControl(r)
    , IVectorBase(style, labelInWidget, valueInWidget)
  {
    AttachIControl(this, "");
  }
  void Draw(IGfx&) override {}
};

IVStyle ValueStyle(EVAlign align)
{
  IVStyle s;
  s.valueText.mSize = 10.f; // "0123456789" measures 50 x 10
  s.valueText.mVAlign = align;
  return s;
}

TEST(VectorBaseTest, MakeRectsSplitsLabelValueAndWidget)
{
  IVStyle top;
  IVStyle left;
  left.labelOrientation = ELabelPosition::Left;
  IVStyle right;
  right.labelOrientation = ELabelPosition::Right;
  IVStyle bottom;
  bottom.labelOrientation = ELabelPosition::Bottom;
  IVStyle half = ValueStyle(EVAlign::Bottom);
  half.widgetFrac = 0.5f;

  struct Case
  {
    const char* name;
    IVStyle style;
    const char* label;
    const char* value;
    bool hasHandle;
    bool labelIn;
    bool valueIn;
    IRECT area, label_, value_, widget;
  };
  const IRECT r(0, 0, 100, 100);
  const Case cases[] = {
    {"no label: clickable area is the rectangle", DEFAULT_STYLE, "", "", false, false, false, r, IRECT(),
     IRECT(50, 100, 50, 100), r},
    {"label on top", top, "Gain", "", false, false, false, IRECT(0, 19, 100, 100), IRECT(31, 0, 69, 19),
     IRECT(50, 100, 50, 100), IRECT(0, 19, 100, 100)},
    {"label on the left, centred vertically", left, "Gain", "", false, false, false, IRECT(38, 0, 100, 100),
     IRECT(0, 40.5f, 38, 59.5f), IRECT(69, 100, 69, 100), IRECT(38, 0, 100, 100)},
    {"label on the right", right, "Gain", "", false, false, false, IRECT(0, 0, 62, 100), IRECT(62, 40.5f, 100, 59.5f),
     IRECT(31, 100, 31, 100), IRECT(0, 0, 62, 100)},
    {"label at the bottom", bottom, "Gain", "", false, false, false, IRECT(0, 0, 100, 81), IRECT(31, 81, 69, 100),
     IRECT(50, 81, 50, 81), IRECT(0, 0, 100, 81)},
    {"value at the bottom: 66 wide, centred", ValueStyle(EVAlign::Bottom), "", "0123456789", false, false, false, r,
     IRECT(), IRECT(17, 90, 83, 100), IRECT(0, 0, 100, 90)},
    {"value at the top", ValueStyle(EVAlign::Top), "", "0123456789", false, false, false, r, IRECT(),
     IRECT(17, 0, 83, 10), IRECT(0, 10, 100, 100)},
    {"value in the middle", ValueStyle(EVAlign::Middle), "", "0123456789", false, false, false, r, IRECT(),
     IRECT(17, 45, 83, 55), r},
    {"widget fraction scales about the centre", half, "", "0123456789", false, false, false, r, IRECT(),
     IRECT(17, 90, 83, 100), IRECT(25, 22.5f, 75, 67.5f)},
    {"handle ignores the value's room", ValueStyle(EVAlign::Bottom), "", "0123456789", true, false, false, r, IRECT(),
     IRECT(17, 90, 83, 100), IRECT(3.5f, 0.5f, 96.5f, 96.5f)},
    {"label and value in the widget", top, "Gain", "12", false, true, true, r, r, r, r},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* v = s.Attach<TestVector>(r, c.style, c.labelIn, c.valueIn);
    v->SetLabelStr(c.label);
    v->SetValueStr(c.value);
    EXPECT_EQ(c.area, v->MakeRects(r, c.hasHandle)) << c.name;
    EXPECT_EQ(c.label_, v->GetLabelBounds()) << c.name;
    EXPECT_EQ(c.value_, v->GetValueBounds()) << c.name;
    EXPECT_EQ(c.widget, v->GetWidgetBounds()) << c.name;
  }
}

TEST(VectorBaseTest, EmptyLabelDrawsNothing)
{
  EditorSession s;
  auto* v = s.Attach<TestVector>(IRECT(0, 0, 100, 100), DEFAULT_STYLE);
  v->MakeRects(v->GetRECT());
  s.recorder.Clear();
  v->DrawLabel(s.G());
  EXPECT_EQ(0, s.recorder.Count("DoDrawText"));
}

TEST(VectorBaseTest, CornerRadiusFollowsRoundnessAndCornerFlags)
{
  EditorSession s;
  IVStyle style;
  style.roundness = 1.f;
  style.drawShadows = false;
  style.drawFrame = false;
  auto* v = s.Attach<TestVector>(IRECT(0, 0, 40, 20), style);
  EXPECT_FLOAT_EQ(10.f, v->GetRoundedCornerRadius(IRECT(0, 0, 40, 20)));

  s.recorder.Clear();
  v->DrawPressableRectangle(s.G(), IRECT(0, 0, 40, 20), false, false, false, true, false, false, true);
  const auto shapes = PaintedShapes(s.recorder);
  ASSERT_EQ(1u, shapes.size());
  std::vector<float> radii;
  for (const DrawCall& call : shapes[0].path)
  {
    if (call.op == "PathArc")
      radii.push_back(call.args[2]);
  }
  const std::vector<float> expected = {10.f, 0.f, 10.f, 0.f}; // tl, tr, br, bl in path order
  EXPECT_EQ(expected, radii);
}

TEST(VectorBaseTest, DisabledShapesAreDarkened)
{
  struct Case
  {
    int fg;
    int expected;
  };
  const Case cases[] = {{200, 137}, {40, 0}, {255, 192}};
  for (const Case& c : cases)
  {
    EditorSession s;
    IVStyle style;
    style.colorSpec.SetColor(EVColor::FG, IColor(255, c.fg, c.fg, c.fg));
    auto* v = s.Attach<TestVector>(IRECT(0, 0, 40, 40), style);
    EXPECT_EQ(IColor(255, c.expected, c.expected, c.expected), v->GetAdjustedColor(EVColor::FG, true)) << c.fg;
    for (EVShape shape : {EVShape::Rectangle, EVShape::Ellipse, EVShape::Triangle})
    {
      s.recorder.Clear();
      v->DrawPressableShape(s.G(), shape, IRECT(0, 0, 40, 40), false, false, true);
      const auto shapes = PaintedShapes(s.recorder);
      EXPECT_EQ(1, CountPainted(shapes, IColor(255, c.expected, c.expected, c.expected), true))
        << c.fg << " shape " << static_cast<int>(shape);
      EXPECT_EQ(0, CountPainted(shapes, IColor(255, c.fg, c.fg, c.fg), true)) << c.fg;
    }
  }
}

TEST(VectorBaseTest, PressedShapesDrawNoShadow)
{
  struct Case
  {
    EVShape shape;
    bool pressed;
    bool mouseOver;
    int shadows;
    int highlights;
  };
  const Case cases[] = {
    {EVShape::Rectangle, false, false, 1, 0},  {EVShape::Rectangle, true, false, 0, 0},
    {EVShape::Rectangle, false, true, 1, 1},   {EVShape::Ellipse, false, false, 1, 0},
    {EVShape::Ellipse, true, false, 0, 0},     {EVShape::Triangle, false, false, 1, 0},
    {EVShape::Triangle, true, true, 0, 1}, // a pressed triangle still shows the highlight
    {EVShape::RoundedEnds, true, false, 0, 0},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* v = s.Attach<TestVector>(IRECT(0, 0, 40, 40), DEFAULT_STYLE);
    s.recorder.Clear();
    v->DrawPressableShape(s.G(), c.shape, IRECT(0, 0, 40, 40), c.pressed, c.mouseOver, false);
    const auto shapes = PaintedShapes(s.recorder);
    const std::string name = std::to_string(static_cast<int>(c.shape)) + (c.pressed ? " pressed" : "");
    EXPECT_EQ(c.shadows, CountPainted(shapes, DEFAULT_SHCOLOR, true)) << name;
    EXPECT_EQ(c.highlights, CountPainted(shapes, DEFAULT_HLCOLOR, true)) << name;
    EXPECT_EQ(c.pressed ? 1 : 0, CountPainted(shapes, DEFAULT_PRCOLOR, true)) << name;
    EXPECT_EQ(1, CountPainted(shapes, DEFAULT_FRCOLOR, false)) << name;
  }
}

TEST(VectorBaseTest, TriangleTurnsWithAngle)
{
  struct Case
  {
    float angle;
    float apexX,
      apexY; // handle rectangle (3.5, 0.5, 96.5, 96.5), centre (50, 48.5)
  };
  const Case cases[] = {{0.f, 50.f, 0.5f}, {90.f, 98.f, 48.5f}, {180.f, 50.f, 96.5f}};
  for (const Case& c : cases)
  {
    EditorSession s;
    IVStyle style;
    style.angle = c.angle;
    auto* v = s.Attach<TestVector>(IRECT(0, 0, 100, 100), style);
    s.recorder.Clear();
    v->DrawPressableShape(s.G(), EVShape::Triangle, IRECT(0, 0, 100, 100), false, false, false);
    const auto shapes = PaintedShapes(s.recorder);
    const auto body = std::find_if(shapes.begin(), shapes.end(),
                                   [](const PaintedShape& p) { return p.fill && p.color == DEFAULT_FGCOLOR; });
    ASSERT_NE(body, shapes.end());
    ASSERT_GE(body->path.size(), 2u);
    EXPECT_NEAR(c.apexX, body->path[1].args[0], 1e-3) << c.angle;
    EXPECT_NEAR(c.apexY, body->path[1].args[1], 1e-3) << c.angle;
  }
}

TEST(VectorBaseTest, SplashGrowsOnTheInjectedClockAndIsClippedToTheHandle)
{
  EditorSession s;
  auto* sw = s.Attach<IVSwitchControl>(IRECT(0, 0, 100, 100), SplashClickActionFunc, "", DEFAULT_STYLE, 2, true);
  s.Input().Press(40, 30);
  s.platform.nowMs += 50.;
  s.recorder.Clear();
  s.G().Tick();
  EXPECT_FLOAT_EQ(25.f, sw->GetSplashRadius());
  const auto clips = s.recorder.Only("SetClipRegion");
  const bool clippedToHandle = std::any_of(clips.begin(), clips.end(),
                                           [](const DrawCall& c) { return c.rect == IRECT(3.5f, 0.5f, 96.5f, 96.5f); });
  EXPECT_TRUE(clippedToHandle) << s.recorder.Dump();
  const auto shapes = PaintedShapes(s.recorder);
  const bool circleAtPress = std::any_of(shapes.begin(), shapes.end(), [](const PaintedShape& p) {
    return p.fill && p.color == DEFAULT_HLCOLOR && !p.path.empty() && p.path[0].op == "PathMoveTo" &&
           p.path[0].args == std::vector<float>{40.f, 5.f};
  });
  EXPECT_TRUE(circleAtPress);
  s.platform.nowMs += 60.;
  s.G().Tick();
  EXPECT_FALSE(sw->GetAnimationFunction());
  s.Input().Release(40, 30);
}

TEST(VectorBaseTest, StyleAllVectorControlsSkipsOtherControls)
{
  EditorSession s;
  s.Attach<RecordingControl>(IRECT(0, 0, 10, 10)); // not a vector control: left alone
  auto* a = s.Attach<IVButtonControl>(IRECT(0, 0, 50, 50));
  auto* b = s.Attach<IVSwitchControl>(IRECT(50, 0, 100, 50), 1);
  IVStyle style;
  style.roundness = 0.5f;
  s.G().StyleAllVectorControls(style);
  EXPECT_FLOAT_EQ(0.5f, a->GetStyle().roundness);
  EXPECT_FLOAT_EQ(0.5f, b->GetStyle().roundness);
}

} // namespace
} // namespace plugkit::gfx::test
