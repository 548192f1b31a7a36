#include <gtest/gtest.h>

#include <vector>

#include "IGfx/IControlBases.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

struct TestSwitch : ISwitchControlBase
{
  using ISwitchControlBase::ISwitchControlBase;
  void Draw(IGfx&) override {}
};

struct TestKnob : IKnobControlBase
{
  using IKnobControlBase::IKnobControlBase;
  void Draw(IGfx&) override {}
};

struct TestSlider : ISliderControlBase
{
  using ISliderControlBase::ISliderControlBase;
  void Draw(IGfx&) override {}
};

struct TestButton : IButtonControlBase
{
  using IButtonControlBase::IButtonControlBase;
  void Draw(IGfx&) override {}
};

IMouseMod Fine()
{
  IMouseMod m = InputDriver::Left();
  m.S = true;
  return m;
}

TEST(ControlBasesTest, SwitchPressCyclesThroughStates)
{
  struct Case
  {
    const char* name;
    int states;
    double start;
    std::vector<double> afterEachPress;
  };
  const Case cases[] = {
    {"two states: only exactly 0 goes to 1", 2, 0.3, {0.}},
    {"two states toggle", 2, 0., {1., 0.}},
    {"four states wrap from 1", 4, 1., {0.}},
    {"four states step by a third", 4, 0., {1. / 3., 2. / 3., 1., 0.}},
    {"three states", 3, 0., {0.5, 1., 0.}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* sw = s.Attach<TestSwitch>(IRECT(10, 10, 50, 30), -1, nullptr, c.states);
    sw->SetValue(c.start);
    for (double expected : c.afterEachPress)
    {
      s.Input().Click(20, 20);
      EXPECT_NEAR(expected, sw->GetValue(), 1e-12) << c.name;
    }
  }
}

TEST(ControlBasesTest, SwitchTakesStateCountFromParameterAndSendsIt)
{
  EditorSession s;
  s.dlg.GetParam(2)->InitInt("mode", 0, 0, 3);
  auto* sw = s.Attach<TestSwitch>(IRECT(10, 10, 50, 30), 2, nullptr, 2);
  EXPECT_EQ(4, sw->GetNStates());
  s.dlg.log.clear();
  s.Input().Press(20, 20);
  EXPECT_TRUE(sw->GetMouseDown());
  s.Input().Release(20, 20);
  EXPECT_FALSE(sw->GetMouseDown());
  EXPECT_NEAR(1. / 3., sw->GetValue(), 1e-12);
  ASSERT_FALSE(s.dlg.log.empty());
  EXPECT_EQ("begin 2", s.dlg.log.front());
}

TEST(ControlBasesTest, SwitchDisabledStatesOnlyMarkDrawing)
{
  EditorSession s;
  auto* sw = s.Attach<TestSwitch>(IRECT(10, 10, 50, 30), -1, nullptr, 3);
  sw->SetStateDisabled(1, true);
  sw->SetStateDisabled(5, true); // outside: ignored
  EXPECT_TRUE(sw->GetStateDisabled(1));
  EXPECT_FALSE(sw->GetStateDisabled(0));
  EXPECT_FALSE(sw->GetStateDisabled(7));
  s.Input().Click(20, 20);
  EXPECT_DOUBLE_EQ(0.5, sw->GetValue()); // steps onto the disabled state all the same
  sw->SetAllStatesDisabled(true);
  EXPECT_TRUE(sw->GetStateDisabled(0) && sw->GetStateDisabled(2));
}

TEST(ControlBasesTest, KnobDragIsRelativeToDragBounds)
{
  struct Case
  {
    const char* name;
    double start;
    std::vector<float> dragYs; // successive pointer positions after a press at y 100
    bool fine;
    double gearing;
    double expected;
  };
  const Case cases[] = {
    {"full height sweeps the range", 0., {0.f}, false, 1., 1.},
    {"fine modifier moves a twentieth", 0., {0.f}, true, 1., 0.05},
    {"gearing 4 is four times slower", 0., {0.f}, false, 4., 0.25},
    {"dragging down lowers", 0.5, {150.f}, false, 1., 0.},
    {"clamped drag reverses at once", 0.5, {0.f, -200.f, -190.f}, false, 1., 0.9},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* k = s.Attach<TestKnob>(IRECT(0, 50, 100, 150), -1, EDirection::Vertical, c.gearing);
    k->SetValue(c.start);
    s.Input().Press(50, 100);
    for (float y : c.dragYs)
      s.Input().DragTo(50, y, c.fine ? Fine() : InputDriver::Left());
    s.Input().Release(50, c.dragYs.back());
    EXPECT_NEAR(c.expected, k->GetValue(), 1e-9) << c.name;
  }
}

TEST(ControlBasesTest, KnobDragOnSteppedParameterStoresSteps)
{
  EditorSession s;
  s.dlg.GetParam(1)->InitInt("count", 0, 0, 4);
  auto* k = s.Attach<TestKnob>(IRECT(0, 0, 100, 100), 1, EDirection::Horizontal, 1.);
  s.Input().Press(0, 50);
  s.Input().DragTo(30, 50); // 0.30 of the width: nearest step 1/4
  EXPECT_DOUBLE_EQ(0.25, k->GetValue());
  s.Input().DragTo(40, 50); // 0.40 -> 2/4; the drag value itself is not snapped
  EXPECT_DOUBLE_EQ(0.5, k->GetValue());
  s.Input().Release(40, 50);
}

TEST(ControlBasesTest, KnobHidesAndLocksCursorWhilePressed)
{
  EditorSession s;
  s.Attach<TestKnob>(IRECT(0, 0, 100, 100), -1);
  s.Input().Press(50, 50);
  s.Input().Release(50, 50);
  const std::vector<std::pair<bool, bool>> expected = {{true, true}, {false, true}};
  EXPECT_EQ(expected, s.platform.cursorHides);
}

TEST(ControlBasesTest, WheelStepsSteppedAndClampsContinuous)
{
  struct Case
  {
    const char* name;
    bool stepped;
    double startPlain;
    float d;
    bool fine;
    double expectedPlain;
  };
  const Case cases[] = {
    {"stepped up one step", true, 4., 1.f, false, 5.},
    {"stepped up one step however large d", true, 4., 7.f, false, 5.},
    {"stepped down one step", true, 4., -3.f, false, 3.},
    {"stepped at the top stays", true, 10., 1.f, false, 10.},
    {"stepped with d 0 unchanged", true, 4., 0.f, false, 4.},
    {"continuous clamps at 1", false, 0.995, 1.f, false, 1.},
    {"continuous 0.01 per unit", false, 0.5, -2.f, false, 0.48},
    {"continuous fine 0.001", false, 0.5, 1.f, true, 0.501},
  };
  for (const Case& c : cases)
  {
    for (int kind = 0; kind < 2; ++kind)
    {
      EditorSession s;
      IParam* p = s.dlg.GetParam(3);
      if (c.stepped)
        p->InitDouble("steps", 0., 0., 10., 1., "", IParam::kFlagStepped);
      else
        p->InitDouble("level", 0., 0., 1., 0.0001);
      IControl* ctl = kind == 0 ? static_cast<IControl*>(s.Attach<TestKnob>(IRECT(0, 0, 100, 100), 3))
                                : static_cast<IControl*>(s.Attach<TestSlider>(IRECT(0, 0, 100, 100), 3));
      ctl->SetValue(p->ToNormalized(c.startPlain));
      IMouseMod mod;
      mod.S = c.fine;
      ctl->OnMouseWheel(50, 50, mod, c.d);
      EXPECT_NEAR(c.expectedPlain, p->FromNormalized(ctl->GetValue()), 1e-9)
        << c.name << (kind == 0 ? " (knob)" : " (slider)");
    }
  }
}

TEST(ControlBasesTest, WheelThroughDispatchReachesKnob)
{
  EditorSession s;
  s.dlg.GetParam(3)->InitDouble("steps", 4., 0., 10., 1., "", IParam::kFlagStepped);
  auto* k = s.Attach<TestKnob>(IRECT(0, 0, 100, 100), 3);
  k->SetValue(0.4);
  s.Input().Wheel(50, 50, 1.f);
  EXPECT_DOUBLE_EQ(0.5, k->GetValue());
}

TEST(ControlBasesTest, SliderJumpsOnPressOnlyWhenNotStepped)
{
  struct Case
  {
    const char* name;
    bool stepped;
    double afterPress;
    double afterDrag; // after dragging 10 px up from the press
  };
  const Case cases[] = {
    {"continuous jumps, then drags relatively", false, 0.7, 0.8},
    {"stepped stays, then drags in steps", true, 0.2, 0.3},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    IParam* p = s.dlg.GetParam(2);
    if (c.stepped)
      p->InitDouble("steps", 0., 0., 10., 1., "", IParam::kFlagStepped);
    else
      p->InitDouble("level", 0., 0., 1., 0.001);
    auto* sl = s.Attach<TestSlider>(IRECT(0, 0, 40, 100), 2, EDirection::Vertical, 1.);
    EXPECT_EQ(IRECT(0, 0, 40, 100), sl->GetTrackBounds());
    sl->SetValue(0.2);
    s.Input().Press(20, 30);
    EXPECT_NEAR(c.afterPress, sl->GetValue(), 1e-9) << c.name;
    s.Input().DragTo(20, 20);
    EXPECT_NEAR(c.afterDrag, sl->GetValue(), 1e-9) << c.name;
    s.Input().Release(20, 20);
  }
}

TEST(ControlBasesTest, SliderFineDragIsTenTimesSlower)
{
  EditorSession s;
  auto* sl = s.Attach<TestSlider>(IRECT(0, 0, 100, 40), -1, EDirection::Horizontal, 1.);
  s.Input().Press(0, 20); // jumps to 0
  s.Input().DragTo(50, 20, Fine());
  EXPECT_NEAR(0.05, sl->GetValue(), 1e-9);
}

TEST(ControlBasesTest, ButtonShowsOneUntilItsClickAnimationEnds)
{
  EditorSession s;
  auto* animated = s.Attach<TestButton>(IRECT(0, 0, 40, 40), DefaultClickActionFunc);
  auto* plain = s.Attach<TestButton>(IRECT(50, 0, 90, 40), nullptr);
  s.Input().Click(20, 20);
  s.Input().Click(70, 20);
  EXPECT_DOUBLE_EQ(1., animated->GetValue());
  s.platform.nowMs += 50.;
  s.G().Tick();
  EXPECT_DOUBLE_EQ(1., animated->GetValue());
  s.platform.nowMs += 60.;
  s.G().Tick();
  EXPECT_DOUBLE_EQ(0., animated->GetValue());
  EXPECT_DOUBLE_EQ(1., plain->GetValue()); // nothing returns it to 0
  EXPECT_TRUE(animated->GetDblAsSingleClick());
}

} // namespace
} // namespace plugkit::gfx::test
