#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/Controls/IVSwitchControl.h"
#include "IGfx/Controls/IVTabSwitchControl.h"
#include "IGfx/Controls/IVToggleControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/IGfx/Controls/shape_log.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

std::vector<std::string> DrawnTexts(const DrawRecorder& r)
{
  std::vector<std::string> texts;
  for (const DrawCall& c : r.Only("DoDrawText"))
    texts.push_back(c.text);
  return texts;
}

TEST(VectorControlsTest, ToggleShowsOnTextAboveHalf)
{
  struct Case
  {
    double value;
    bool showValue;
    const char* text;
    bool pressed;
  };
  const Case cases[] = {{0.5, true, "off", false}, {0.51, true, "on", true}, {1., false, "on", true}};
  for (const Case& c : cases)
  {
    EditorSession s;
    IVStyle style;
    style.showValue = c.showValue;
    auto* t = s.Attach<IVToggleControl>(IRECT(0, 0, 100, 50), nullptr, "", style, "off", "on", false);
    t->SetValue(c.value);
    s.recorder.Clear();
    t->Draw(s.G());
    EXPECT_EQ(std::vector<std::string>{c.text}, DrawnTexts(s.recorder)) << c.value;
    EXPECT_EQ(c.pressed ? 1 : 0, CountPainted(PaintedShapes(s.recorder), DEFAULT_PRCOLOR, true)) << c.value;
  }
}

TEST(VectorControlsTest, ToggleClickFlipsAndSendsParameter)
{
  EditorSession s;
  s.dlg.GetParam(4)->InitBool("bypass", false);
  auto* t = s.Attach<IVToggleControl>(IRECT(0, 0, 100, 50), 4, "", DEFAULT_STYLE, "off", "on");
  EXPECT_STREQ("bypass", t->GetLabelStr());
  s.Input().Click(50, 40);
  EXPECT_DOUBLE_EQ(1., t->GetValue());
  EXPECT_DOUBLE_EQ(1., s.dlg.GetParam(4)->Value());
}

TEST(VectorControlsTest, SwitchTakesNameAndDisplayTextFromParameter)
{
  struct Case
  {
    const char* label;
    const char* expectedLabel;
  };
  const Case cases[] = {{"", "mode"}, {"Type", "Type"}};
  for (const Case& c : cases)
  {
    EditorSession s;
    s.dlg.GetParam(3)->InitEnum("mode", 0, {"LP", "HP", "BP"});
    auto* sw = s.Attach<IVSwitchControl>(IRECT(0, 0, 100, 60), 3, c.label);
    EXPECT_STREQ(c.expectedLabel, sw->GetLabelStr());
    EXPECT_STREQ("LP", sw->GetValueStr());
    EXPECT_EQ(3, sw->GetNStates());
    s.Input().Click(50, 50);
    EXPECT_STREQ("HP", sw->GetValueStr());
    EXPECT_DOUBLE_EQ(0.5, sw->GetValue());
  }
}

TEST(VectorControlsTest, SwitchIsPressedOnlyWhileTheMouseIsDown)
{
  EditorSession s;
  auto* sw = s.Attach<IVSwitchControl>(IRECT(0, 0, 100, 60), nullptr, "", DEFAULT_STYLE, 2, true);
  auto pressedFills = [&] {
    s.recorder.Clear();
    sw->Draw(s.G());
    return CountPainted(PaintedShapes(s.recorder), DEFAULT_PRCOLOR, true);
  };
  s.Input().Press(50, 30);
  EXPECT_EQ(1, pressedFills());
  s.Input().Release(50, 30);
  EXPECT_EQ(0, pressedFills());
  EXPECT_DOUBLE_EQ(1., sw->GetValue());
}

TEST(VectorControlsTest, ButtonHitsOnlyItsWidget)
{
  EditorSession s;
  int clicks = 0;
  auto* b = s.Attach<IVButtonControl>(
    IRECT(0, 0, 100, 50), [&clicks](IControl*) { ++clicks; }, "Go");
  EXPECT_EQ(IRECT(3.5f, 0.5f, 96.5f, 46.5f), b->GetWidgetBounds());
  EXPECT_EQ(b->GetWidgetBounds(), b->GetLabelBounds());
  s.Input().Click(99, 48); // inside the rectangle, in the shadow margin
  EXPECT_EQ(0, clicks);
  s.Input().Click(50, 25);
  EXPECT_EQ(1, clicks);
  EXPECT_DOUBLE_EQ(1., b->GetValue());

  auto* empty = s.Attach<IVButtonControl>(IRECT(200, 0, 200, 0));
  EXPECT_FALSE(empty->IsHit(200, 0));
}

TEST(VectorControlsTest, TabSwitchSelectsByValueAndByClick)
{
  struct Case
  {
    int options;
    double value;
    int selected;
  };
  const Case cases[] = {{3, 0.74, 1}, {3, 0.75, 2}, {3, 0., 0}, {5, 0.5, 2}, {2, 0.49, 0}};
  for (const Case& c : cases)
  {
    EditorSession s;
    std::vector<const char*> options(static_cast<size_t>(c.options), "x");
    auto* t = s.Attach<IVTabSwitchControl>(IRECT(0, 0, 500, 40), nullptr, options);
    t->SetValue(c.value);
    EXPECT_EQ(c.selected, t->GetSelectedIdx()) << c.options << " " << c.value;
  }

  EditorSession s;
  int actions = 0;
  auto* t = s.Attach<IVTabSwitchControl>(
    IRECT(0, 0, 500, 40), [&actions](IControl*) { ++actions; }, std::vector<const char*>{"a", "b", "c", "d", "e"});
  s.Input().Click(250, 20); // option 2 of 5
  EXPECT_DOUBLE_EQ(0.5, t->GetValue());
  EXPECT_STREQ("c", t->GetSelectedLabelStr());
  EXPECT_EQ(1, actions);
}

TEST(VectorControlsTest, TabSwitchButtonsShareTheWidget)
{
  struct Case
  {
    EDirection dir;
    IRECT second;
  };
  // Default style: a 300 x 60 rectangle, no label, an empty value at the
  // bottom.
  const Case cases[] = {{EDirection::Horizontal, IRECT(100, 0, 200, 60)},
                        {EDirection::Vertical, IRECT(0, 20, 300, 40)}};
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* t = s.Attach<IVTabSwitchControl>(IRECT(0, 0, 300, 60), nullptr, std::vector<const char*>{"a", "b", "c"}, "",
                                           DEFAULT_STYLE, EVShape::Rectangle, c.dir);
    EXPECT_EQ(c.second, t->GetButtonRect(1));
    EXPECT_FALSE(t->IsHit(300, 30));
    EXPECT_TRUE(t->IsHit(299, 59));
  }
}

TEST(VectorControlsTest, TabSwitchHoverFollowsMouseAndClearsOnLeave)
{
  EditorSession s;
  s.G().EnableMouseOver(true);
  s.Attach<IVButtonControl>(IRECT(0, 100, 10, 110)); // index 0 is the background, which never hovers
  auto* t = s.Attach<IVTabSwitchControl>(IRECT(0, 0, 300, 40), nullptr, std::vector<const char*>{"a", "b", "c"});
  s.Input().Hover(150, 20);
  EXPECT_EQ(1, t->GetHoveredButton());
  s.recorder.Clear();
  t->Draw(s.G());
  EXPECT_EQ(1, CountPainted(PaintedShapes(s.recorder), DEFAULT_HLCOLOR, true));
  s.Input().Leave();
  EXPECT_EQ(-1, t->GetHoveredButton());
  s.recorder.Clear();
  t->Draw(s.G());
  EXPECT_EQ(0, CountPainted(PaintedShapes(s.recorder), DEFAULT_HLCOLOR, true));
}

TEST(VectorControlsTest, TabSwitchLabelsFromParameter)
{
  struct Case
  {
    const char* name;
    bool displayTexts;
    std::vector<const char*> options;
    const char* label;
    std::vector<std::string> tabs;
    const char* expectedLabel;
  };
  const Case cases[] = {
    {"display texts and name", true, {}, "", {"Soft", "Hard", "Fold"}, "shape"},
    {"given options kept, label kept", true, {"1", "2", "3"}, "", {"1", "2", "3"}, ""},
    {"no display texts: empty tabs", false, {}, "Amount", {"", "", ""}, "Amount"},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    if (c.displayTexts)
      s.dlg.GetParam(2)->InitEnum("shape", 0, {"Soft", "Hard", "Fold"});
    else
      s.dlg.GetParam(2)->InitInt("shape", 0, 0, 2);
    auto* t = s.Attach<IVTabSwitchControl>(IRECT(0, 0, 300, 60), 2, c.options, c.label);
    std::vector<std::string> tabs;
    for (int i = 0; i < t->NLabels(); ++i)
      tabs.emplace_back(t->GetTabLabel(i));
    EXPECT_EQ(c.tabs, tabs) << c.name;
    EXPECT_STREQ(c.expectedLabel, t->GetLabelStr()) << c.name;
    s.recorder.Clear();
    t->Draw(s.G());
    std::vector<std::string> drawn = DrawnTexts(s.recorder);
    std::erase(drawn, std::string(c.expectedLabel));
    std::vector<std::string> nonEmptyTabs;
    for (const std::string& tab : c.tabs)
    {
      if (!tab.empty())
        nonEmptyTabs.push_back(tab);
    }
    EXPECT_EQ(nonEmptyTabs, drawn) << c.name;
  }
}

// Records each button's segment and the corner radii of its body.
struct SegmentTabs : IVTabSwitchControl
{
  using IVTabSwitchControl::IVTabSwitchControl;
  std::vector<ETabSegment> segments;
  void DrawButton(IGfx& g, const IRECT& r, bool pressed, bool mouseOver, ETabSegment segment, bool disabled) override
  {
    segments.push_back(segment);
    IVTabSwitchControl::DrawButton(g, r, pressed, mouseOver, segment, disabled);
  }
};

TEST(VectorControlsTest, TabSwitchSegmentsAndRoundedEnds)
{
  using S = IVTabSwitchControl::ETabSegment;
  struct Case
  {
    int n;
    std::vector<S> segments;
  };
  const Case cases[] = {{1, {S::Last}}, {2, {S::First, S::Last}}, {4, {S::First, S::Middle, S::Middle, S::Last}}};
  for (const Case& c : cases)
  {
    EditorSession s;
    std::vector<const char*> options(static_cast<size_t>(c.n), "");
    auto* t = s.Attach<SegmentTabs>(IRECT(0, 0, 400, 40), nullptr, options);
    t->Draw(s.G());
    EXPECT_EQ(c.segments, t->segments) << c.n;
  }

  // Two horizontal RoundedEnds buttons: only the outer top corners are rounded.
  EditorSession s;
  IVStyle style;
  style.roundness = 1.f;
  style.drawShadows = false;
  style.drawFrame = false;
  auto* t = s.Attach<SegmentTabs>(IRECT(0, 0, 200, 40), nullptr, std::vector<const char*>{"", ""}, "", style,
                                  EVShape::RoundedEnds);
  s.recorder.Clear();
  t->Draw(s.G());
  std::vector<std::vector<float>> radii;
  for (const PaintedShape& p : PaintedShapes(s.recorder))
  {
    if (!(p.fill && (p.color == DEFAULT_FGCOLOR || p.color == DEFAULT_PRCOLOR)))
      continue;
    radii.emplace_back();
    for (const DrawCall& call : p.path)
    {
      if (call.op == "PathArc")
        radii.back().push_back(call.args[2]);
    }
  }
  const std::vector<std::vector<float>> expected = {{20.f, 0.f, 0.f, 0.f}, {0.f, 20.f, 0.f, 0.f}};
  EXPECT_EQ(expected, radii);
}

TEST(VectorControlsTest, TabSwitchDisabledStateIsGreyed)
{
  EditorSession s;
  auto* t = s.Attach<IVTabSwitchControl>(IRECT(0, 0, 300, 40), nullptr, std::vector<const char*>{"a", "b", "c"});
  t->SetValue(0.);
  t->SetStateDisabled(2, true);
  s.recorder.Clear();
  t->Draw(s.G());
  const auto shapes = PaintedShapes(s.recorder);
  EXPECT_EQ(1, CountPainted(shapes, DEFAULT_FGCOLOR, true)); // option 1
  EXPECT_EQ(1, CountPainted(shapes, IColor(255, 137, 137, 137),
                            true)); // option 2, disabled
}

} // namespace
} // namespace plugkit::gfx::test
