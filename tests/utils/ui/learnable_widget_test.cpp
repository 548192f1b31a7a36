// The widgets as the control registry builds them, inside the learnable decorator: they keep their own
// behaviour, and the decorator's mapping and modulation drawing lands on them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IPlugin/IPluginParameter.h"
#include "product/ui/control_value_knob_control.h"
#include "product/ui/control_value_switch_control.h"
#include "product/ui/freq_knob_control.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/utils/ui/painted.h"
#include "tests/utils/ui/widget_learn_host.h"
#include "utils/ui/FillSliderControl.h"
#include "utils/ui/IntDragControl.h"
#include "utils/ui/SelectControl.h"
#include "utils/ui/WrapKnobControl.h"

namespace ui_widgets_test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::DrawRecorder;
using plugkit::gfx::test::FakeComponentHandler;
using plugkit::gfx::test::FakePlugView;
using plugkit::gfx::test::HeadlessPlatform;
using plugkit::gfx::test::InputDriver;
using zarvo::midi_cc::ControlDecorator;

enum
{
  kCutoff,
  kAnchor,
  kDrive,
  kPos,
  kMode,
  kCount,
  kNParams
};

struct Session
{
  Session()
  {
    host.handler = handler;
    host.view = view;
    host.GetParam(kCutoff)->InitFrequency("cutoff", 1000., 20., 20000., 0.);
    host.GetParam(kAnchor)->InitBool("anchored", false);
    host.GetParam(kDrive)->InitDouble("drive", 2., 0., 10., 0.01, "dB");
    host.GetParam(kPos)->InitDouble("position", 0., 0., 3., 0.001);
    host.GetParam(kMode)->InitEnum("mode", 0, {"a", "b", "c", "d"});
    host.GetParam(kCount)->InitInt("count", 2, 1, 8);
    host.UseHeadlessEditor(platform, recorder, 600, 400);
    host.OpenWindow(nullptr);
    host.GetUI()->AttachPanelBackground(COLOR_DARK_GRAY);
    input = std::make_unique<InputDriver>(*host.GetUI());
  }
  ~Session()
  {
    input.reset();
    host.CloseWindow();
    view->release();
    handler->release();
  }
  template <class T>
  T* attach(T* c)
  {
    host.GetUI()->AttachControl(c);
    return c;
  }

  HeadlessPlatform platform;
  DrawRecorder recorder;
  FakeComponentHandler* handler = new FakeComponentHandler();
  FakePlugView* view = new FakePlugView();
  WidgetLearnHost host{kNParams, {kCutoff}};
  std::unique_ptr<InputDriver> input;
};

TEST(LearnableWidgetTest, EveryWidgetShowsItsMappingAndModulation)
{
  Session s;
  const std::vector<std::string> names = {"soft", "hard", "fold"};
  struct Case
  {
    const char* name;
    std::function<IControl*()> make;
  } cases[] = {
    {"value knob",
     [&] {
       return s.host.learnable<vemlor::ui::ControlValueKnobControl>(IRECT(0, 0, 80, 100), kDrive, "drive",
                                                                    DEFAULT_STYLE);
     }},
    {"frequency knob",
     [&] {
       return s.host.learnable<vemlor::ui::FreqKnobControl>(IRECT(0, 0, 80, 100), kCutoff, kAnchor, "cut",
                                                            DEFAULT_STYLE);
     }},
    {"position knob",
     [&] {
       return s.host.learnable<zarvo::ui::WrapKnobControl>(IRECT(40, 40, 120, 120), kPos, "pos", DEFAULT_STYLE, names);
     }},
    {"fill slider",
     [&] {
       return s.host.learnable<zarvo::ui::FillSliderControl>(IRECT(0, 0, 100, 20), kDrive, COLOR_BLACK, COLOR_GRAY,
                                                             COLOR_WHITE, DEFAULT_TEXT, "drive");
     }},
    {"value switch",
     [&] {
       return s.host.learnable<vemlor::ui::ControlValueSwitchControl>(IRECT(0, 0, 60, 20), kMode, "", DEFAULT_STYLE);
     }},
    {"select",
     [&] {
       return s.host.learnable<zarvo::ui::SelectControl>(IRECT(0, 0, 100, 40), kMode, std::vector<const char*>{}, "",
                                                         DEFAULT_STYLE);
     }},
    {"drag box",
     [&] { return s.host.learnable<zarvo::ui::IntDragControl>(IRECT(0, 0, 80, 20), kCount, DEFAULT_STYLE); }},
  };
  for (const Case& c : cases)
  {
    IControl* control = s.attach(c.make());
    auto* learnable = dynamic_cast<zarvo::midi_cc::IControllable*>(control);
    ASSERT_NE(nullptr, learnable) << c.name;
    learnable->setCCNumber(21);
    learnable->setModeDisplay(1);
    learnable->setModDepth(0.25);
    learnable->setModLiveValue(0.6);
    s.recorder.Clear();
    control->Draw(*s.host.GetUI());
    const IColor arc(220, 110, 170, 230);
    int modStrokes = 0;
    for (const auto& call : s.recorder.Only("PathStroke"))
      modStrokes += call.color == arc ? 1 : 0;
    EXPECT_GT(modStrokes, 0) << c.name << "\n" << s.recorder.Dump();
    control->Hide(true);
  }
}

TEST(LearnableWidgetTest, FittedFactoryReachesTheDecoratedPositionKnob)
{
  Session s;
  const IRECT cell(100, 100, 220, 200);
  auto factory = zarvo::ui::WrapKnobControl::fitted([&](const IRECT& r) -> IControl* {
    return s.host.learnable<zarvo::ui::WrapKnobControl>(r, kPos, "pos", DEFAULT_STYLE,
                                                        std::vector<std::string>{"1", "", "3"}, 5.f, -156.f, 156.f);
  });
  IControl* c = s.attach(factory(cell));
  auto* knob = dynamic_cast<zarvo::ui::WrapKnobControl*>(c);
  ASSERT_NE(nullptr, knob);
  EXPECT_TRUE(knob->isFitted());
  EXPECT_EQ(cell, c->GetRECT());
  EXPECT_TRUE(cell.Contains(knob->GetWidgetBounds()));
  EXPECT_EQ(cell.GetCentredInside(knob->knobWidth(), knob->knobHeight()), knob->GetWidgetBounds());
}

TEST(LearnableWidgetTest, DecoratedFrequencyKnobStillSnapsToNotes)
{
  Session s;
  auto* knob = s.attach(
    s.host.learnable<vemlor::ui::FreqKnobControl>(IRECT(0, 0, 80, 100), kCutoff, kAnchor, "cut", DEFAULT_STYLE));
  knob->SetValue(s.host.GetParam(kCutoff)->ToNormalized(452.));
  IMouseMod alt = InputDriver::Left();
  alt.A = true;
  const IRECT w = knob->GetWidgetBounds();
  s.input->Press(w.MW(), w.MH(), alt);
  s.input->Release(w.MW(), w.MH(), alt);
  EXPECT_NEAR(440., s.host.GetParam(kCutoff)->FromNormalized(knob->GetValue()), 1e-6);
  EXPECT_GT(s.host.GetParam(kAnchor)->Value(), 0.5);
  EXPECT_TRUE(knob->showsPitchDepth());
}

} // namespace
} // namespace ui_widgets_test
