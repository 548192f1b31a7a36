#include <gtest/gtest.h>

#include <vector>

#include "IGfx/Controls/IVKnobControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/IGfx/Controls/shape_log.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

IVStyle WidgetOnly()
{
  IVStyle s;
  s.showLabel = false;
  s.showValue = false;
  return s;
}

// Records the handle rectangle it is asked to draw.
struct HandleKnob : IVKnobControl
{
  using IVKnobControl::IVKnobControl;
  IRECT handle;
  void DrawHandle(IGfx& g, const IRECT& bounds) override
  {
    handle = bounds;
    IVKnobControl::DrawHandle(g, bounds);
  }
};

// The arcs stroked in the track colour: (radius, a1, a2).
std::vector<std::vector<float>> TrackArcs(const DrawRecorder& r)
{
  std::vector<std::vector<float>> arcs;
  for (const PaintedShape& p : PaintedShapes(r))
  {
    if (p.fill || !(p.color == DEFAULT_X1COLOR))
      continue;
    for (const DrawCall& call : p.path)
    {
      if (call.op == "PathArc")
        arcs.push_back({call.args[2], call.args[3], call.args[4]});
    }
  }
  return arcs;
}

TEST(VKnobTest, GeometryOfASixtyPixelWidget)
{
  EditorSession s;
  auto* k = s.Attach<HandleKnob>(IRECT(0, 0, 60, 60), -1, "", WidgetOnly());
  EXPECT_EQ(IRECT(0, 0, 60, 60), k->GetWidgetBounds());
  EXPECT_FLOAT_EQ(29.f, k->GetRadius());
  EXPECT_EQ(IRECT(-1, -1, 61, 61), k->GetTrackBounds());
  k->Draw(s.G());
  EXPECT_EQ(IRECT(2, 2, 58, 58), k->handle); // diameter 56
  // The pointer runs from 0.35 of the handle radius to the track radius plus
  // one.
  k->SetValue(0.5); // pointing straight up
  s.recorder.Clear();
  k->Draw(s.G());
  bool pointerFound = false;
  for (const PaintedShape& p : PaintedShapes(s.recorder))
  {
    if (p.fill || !(p.color == DEFAULT_FRCOLOR) || p.path.size() != 2 || p.path[1].op != "PathLineTo")
      continue;
    pointerFound = true;
    EXPECT_NEAR(30.f - 28.f * 0.35f, p.path[0].args[1], 1e-4);
    EXPECT_NEAR(30.f - 30.f, p.path[1].args[1], 1e-4);
  }
  EXPECT_TRUE(pointerFound) << s.recorder.Dump();
}

TEST(VKnobTest, TrackRunsFromAnchorToValue)
{
  struct Case
  {
    const char* name;
    float anchor;
    double value;
    float trackSize;
    std::vector<std::vector<float>> arcs;
  };
  const Case cases[] = {
    {"value 0 at the start: zero length", -135.f, 0., 2.f, {{29.f, -135.f, -135.f}}},
    {"value 1 spans the whole sweep", -135.f, 1., 2.f, {{29.f, -135.f, 135.f}}},
    {"centred anchor, lowest value", 0.f, 0., 2.f, {{29.f, -135.f, 0.f}}},
    {"centred anchor, high value", 0.f, 0.75, 2.f, {{29.f, 0.f, 67.5f}}},
    {"track size 0 draws no track", -135.f, 0.5, 0.f, {}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* k = s.Attach<IVKnobControl>(IRECT(0, 0, 60, 60), -1, "", WidgetOnly(), false, false, -135.f, 135.f, c.anchor,
                                      EDirection::Vertical, DEFAULT_GEARING, c.trackSize);
    k->SetValue(c.value);
    s.recorder.Clear();
    k->Draw(s.G());
    auto arcs = TrackArcs(s.recorder);
    if (c.trackSize == 0.f)
      EXPECT_TRUE(arcs.empty()) << c.name;
    else
      EXPECT_EQ(c.arcs, arcs) << c.name;
  }
}

TEST(VKnobTest, DragBoundsAreCentredOnTheWidget)
{
  struct Case
  {
    IRECT bounds;
    IRECT drag;
  };
  const Case cases[] = {
    {IRECT(0, 0, 100, 40), IRECT(40, 0, 60, 40)},
    {IRECT(0, 0, 40, 100), IRECT(0, 40, 40, 60)},
    {IRECT(0, 0, 60, 60), IRECT(0, 15, 60, 45)},
    {IRECT(10, 10, 10, 10), IRECT(9.5f, 9.5f, 10.5f, 10.5f)}, // at least 1 wide, never flat
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* k = s.Attach<IVKnobControl>(c.bounds, -1, "", WidgetOnly());
    EXPECT_EQ(c.drag, k->GetKnobDragBounds());
  }
}

TEST(VKnobTest, DragOverTheDragBoundsSweepsTheRange)
{
  struct Case
  {
    const char* name;
    std::vector<float> ys; // after a press at y 50; drag bounds are 30 high
    bool fine;
    double expected;
  };
  IMouseMod fine = InputDriver::Left();
  fine.C = true;
  const Case cases[] = {
    {"full height at gearing 1", {20.f}, false, 1.},
    {"fine: a twentieth", {20.f}, true, 0.05},
    {"past the top, then back at once", {20.f, -40.f, -37.f}, false, 0.9},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    s.dlg.GetParam(1)->InitDouble("drive", 0., 0., 1., 0.001);
    auto* k = s.Attach<IVKnobControl>(IRECT(0, 20, 60, 80), 1, "", WidgetOnly(), false, false, -135.f, 135.f, -135.f,
                                      EDirection::Vertical, 1.);
    s.Input().Press(30, 50);
    for (float y : c.ys)
      s.Input().DragTo(30, y, c.fine ? fine : InputDriver::Left());
    s.Input().Release(30, c.ys.back());
    EXPECT_NEAR(c.expected, k->GetValue(), 1e-6) << c.name;
    EXPECT_NEAR(c.expected, s.dlg.GetParam(1)->Value(), 1e-3) << c.name;
  }
}

TEST(VKnobTest, ValueTextFollowsParameterAndLabelDefaultsToName)
{
  EditorSession s;
  s.dlg.GetParam(2)->InitDouble("cutoff", 50., 0., 100., 1., "Hz");
  IVStyle style;
  style.valueText.mSize = 10.f;
  auto* k = s.Attach<IVKnobControl>(IRECT(0, 0, 80, 120), 2, "", style);
  EXPECT_STREQ("cutoff", k->GetLabelStr());
  EXPECT_STREQ("50 Hz", k->GetValueStr());
  s.dlg.GetParam(2)->Set(25.); // the plug-in's value, then its notice to the editor
  k->SetValueFromDelegate(0.25);
  EXPECT_STREQ("25 Hz", k->GetValueStr());
  s.recorder.Clear();
  k->Draw(s.G());
  std::vector<std::string> texts;
  for (const DrawCall& c : s.recorder.Only("DoDrawText"))
    texts.push_back(c.text);
  EXPECT_EQ((std::vector<std::string>{"cutoff", "25 Hz"}), texts);
}

TEST(VKnobTest, PressOnValueTextPromptsOnlyWhenEditable)
{
  struct Case
  {
    const char* name;
    bool editable;
    bool valueInWidget;
    float pressY;
    int prompts;
    bool dragged;
  };
  // 60 x 80 with the value (10 high) at the bottom: the value text spans
  // y 70..80.
  const Case cases[] = {
    {"editable value prompts, no drag", true, false, 75.f, 1, false},
    {"value not editable: not hit, nothing happens", false, false, 75.f, 0, false},
    {"value in widget, not editable: drags", false, true, 40.f, 0, true},
    {"value in widget, editable: prompts", true, true, 40.f, 1, false},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    s.dlg.GetParam(1)->InitDouble("drive", 50., 0., 100., 0.1);
    IVStyle style;
    style.showLabel = false;
    style.valueText.mSize = 10.f;
    auto* k = s.Attach<IVKnobControl>(IRECT(0, 0, 60, 80), 1, "", style, c.editable, c.valueInWidget);
    const double before = k->GetValue();
    s.Input().Press(30, c.pressY);
    s.Input().DragTo(30, c.pressY - 20.f);
    s.Input().Release(30, c.pressY - 20.f);
    EXPECT_EQ(c.prompts, static_cast<int>(s.platform.textEntries.size())) << c.name;
    EXPECT_EQ(c.dragged, k->GetValue() != before) << c.name;
  }
}

TEST(VKnobTest, DoubleClickResetsToDefault)
{
  EditorSession s;
  s.dlg.GetParam(1)->InitDouble("drive", 25., 0., 100., 0.1);
  auto* k = s.Attach<IVKnobControl>(IRECT(0, 0, 60, 60), 1, "", WidgetOnly());
  k->SetValueFromUserInput(0.9);
  s.Input().DoubleClick(30, 30);
  EXPECT_DOUBLE_EQ(0.25, k->GetValue());
}

} // namespace
} // namespace plugkit::gfx::test
