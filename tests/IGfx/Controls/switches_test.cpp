#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IGfx/Controls/IVRadioButtonControl.h"
#include "IGfx/Controls/IVSlideSwitchControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/IGfx/Controls/extras_test_util.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

TEST(SlideSwitchTest, HandleSlidesToTheNextCellOverOneHundredMilliseconds)
{
  EditorSession s;
  int ended = 0;
  auto* sw = s.Attach<IVSlideSwitchControl>(
    IRECT(0, 0, 100, 40), [&ended](IControl*) { ++ended; }, "", PlainStyle(), false, EDirection::Horizontal, 2, 0);
  EXPECT_EQ(IRECT(0, 0, 50, 40), sw->GetHandleBounds());
  s.Input().Click(25, 20);
  EXPECT_DOUBLE_EQ(1., sw->GetValue());
  s.platform.nowMs += 50.;
  s.G().Tick();
  EXPECT_EQ(IRECT(25, 0, 75, 40), sw->GetHandleBounds());
  EXPECT_EQ(0, ended);
  s.platform.nowMs += 60.;
  s.G().Tick();
  EXPECT_EQ(IRECT(50, 0, 100, 40), sw->GetHandleBounds());
  EXPECT_EQ(1, ended) << "the given action runs when the slide has finished";
  EXPECT_FALSE(sw->GetAnimationFunction());
}

TEST(SlideSwitchTest, LastStateSlidesBackTowardsTheFirstCell)
{
  EditorSession s;
  auto* sw =
    s.Attach<IVSlideSwitchControl>(IRECT(0, 0, 90, 30), nullptr, "", PlainStyle(), false, EDirection::Horizontal, 3, 2);
  EXPECT_DOUBLE_EQ(1., sw->GetValue());
  EXPECT_EQ(IRECT(60, 0, 90, 30), sw->GetHandleBounds());
  s.Input().Click(75, 15);
  EXPECT_DOUBLE_EQ(0., sw->GetValue());
  s.platform.nowMs += 50.;
  s.G().Tick();
  EXPECT_EQ(IRECT(30, 0, 60, 30), sw->GetHandleBounds());
  s.platform.nowMs += 51.;
  s.G().Tick();
  EXPECT_EQ(IRECT(0, 0, 30, 30), sw->GetHandleBounds());
}

TEST(SlideSwitchTest, InitialStateIsAStateIndex)
{
  struct Case
  {
    int states, initial;
    double value;
    IRECT handle;
  };
  const Case cases[] = {
    {3, 1, 0.5, {0, 20, 30, 40}}, {3, 7, 1., {0, 40, 30, 60}}, {2, 1, 1., {0, 30, 30, 60}}, {1, 0, 0., {0, 0, 30, 60}}};
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* sw = s.Attach<IVSlideSwitchControl>(IRECT(0, 0, 30, 60), nullptr, "", PlainStyle(), false,
                                              EDirection::Vertical, c.states, c.initial);
    EXPECT_DOUBLE_EQ(c.value, sw->GetValue()) << c.states << " " << c.initial;
    EXPECT_EQ(c.handle, sw->GetHandleBounds()) << c.states << " " << c.initial;
  }
}

TEST(SlideSwitchTest, ValueTextIsHiddenWhileSliding)
{
  EditorSession s;
  s.dlg.GetParam(2)->InitEnum("mode", 0, {"off", "on"});
  IVStyle style = PlainStyle();
  style.showValue = true;
  auto* sw = s.Attach<IVSlideSwitchControl>(IRECT(0, 0, 100, 60), 2, "", style);
  auto texts = [&]() {
    s.recorder.Clear();
    sw->Draw(s.G());
    std::vector<std::string> t;
    for (const DrawCall& c : s.recorder.Only("DoDrawText"))
      t.push_back(c.text);
    return t;
  };
  EXPECT_EQ(std::vector<std::string>{"off"}, texts());
  s.Input().Click(20, 20);
  EXPECT_TRUE(texts().empty());
  s.platform.nowMs += 101.;
  s.G().Tick();
  EXPECT_EQ(std::vector<std::string>{"on"}, texts());
  EXPECT_DOUBLE_EQ(1., s.dlg.GetParam(2)->Value());
}

TEST(RadioButtonTest, ButtonSquaresAreAtLeastOnePixel)
{
  struct Case
  {
    float size;
    float side;
  };
  const Case cases[] = {{0.5f, 1.f}, {0.f, 1.f}, {8.f, 8.f}};
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* r = s.Attach<IVRadioButtonControl>(IRECT(0, 0, 100, 60), nullptr, std::vector<const char*>{"a", "b", "c"}, "",
                                             PlainStyle(), EVShape::Rectangle, EDirection::Vertical, c.size);
    for (int i = 0; i < 3; ++i)
    {
      const IRECT b = r->GetButtonRect(i);
      const IRECT sq = r->GetRadioRect(i);
      EXPECT_FLOAT_EQ(c.side, sq.W()) << c.size;
      EXPECT_FLOAT_EQ(c.side, sq.H()) << c.size;
      EXPECT_FLOAT_EQ(b.L + 1.5f * c.size, sq.MW()) << c.size;
      EXPECT_FLOAT_EQ(b.MH(), sq.MH()) << c.size;
    }
  }
}

TEST(RadioButtonTest, DrawsSquaresAndTextsBesideThem)
{
  EditorSession s;
  IVStyle style = PlainStyle();
  style.drawFrame = false;
  auto* r = s.Attach<IVRadioButtonControl>(IRECT(0, 0, 100, 60), nullptr, std::vector<const char*>{"a", "b", "c"}, "",
                                           style, EVShape::Rectangle, EDirection::Vertical, 8.f);
  s.Input().Click(50, 30);
  ASSERT_EQ(1, r->GetSelectedIdx());
  s.recorder.Clear();
  r->DrawWidget(s.G());
  EXPECT_EQ((std::vector<IRECT>{r->GetRadioRect(0), r->GetRadioRect(2)}), FilledRects(s.recorder, DEFAULT_FGCOLOR));
  const std::vector<DrawCall> texts = s.recorder.Only("DoDrawText");
  ASSERT_EQ(3u, texts.size());
  for (int i = 0; i < 3; ++i)
  {
    const DrawCall& t = texts[static_cast<size_t>(i)];
    EXPECT_EQ(i == 1 ? DEFAULT_PRCOLOR : DEFAULT_X1COLOR, t.color) << i;
    EXPECT_FLOAT_EQ(r->GetButtonRect(i).L + 24.f, t.rect.L) << i;
  }
}

TEST(RadioButtonTest, ButtonAreaOnlyIgnoresClicksOnTheText)
{
  struct Case
  {
    bool onlyButtons;
    float x;
    int selected;
  };
  const Case cases[] = {{false, 80.f, 2}, {true, 80.f, 0}, {true, 20.f, 2}};
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* r = s.Attach<IVRadioButtonControl>(IRECT(0, 0, 100, 60), nullptr, std::vector<const char*>{"a", "b", "c"}, "",
                                             PlainStyle(), EVShape::Ellipse, EDirection::Vertical, 8.f);
    r->SetOnlyButtonsRespondToMouse(c.onlyButtons);
    s.Input().Click(c.x, r->GetButtonRect(2).MH());
    EXPECT_EQ(c.selected, r->GetSelectedIdx()) << c.onlyButtons << " " << c.x;
  }
}

} // namespace
} // namespace plugkit::gfx::test
