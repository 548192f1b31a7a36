// A fake plug-in for the real CC mediator, so tests can build the widgets learnable exactly as the
// control registry does: every parameter has a modulation slot; the ones listed as frequencies modulate
// in octaves.
#pragma once

#include <set>
#include <utility>

#include "IGfx/IGfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "utils/midi_cc/cc_mediator.h"
#include "utils/midi_cc/control_decorator.h"

namespace ui_widgets_test {

class WidgetLearnHost : public plugkit::gfx::test::FakeDelegate, public zarvo::midi_cc::ICCMapHost
{
public:
  using Mediator = zarvo::midi_cc::CCMediator;

  WidgetLearnHost(int nParams, std::set<int> frequencies)
    : FakeDelegate(nParams)
    , mFrequencies(std::move(frequencies))
  {}

  template <class T, class... Args>
  zarvo::midi_cc::ControlDecorator<T>* learnable(Args&&... args)
  {
    return static_cast<zarvo::midi_cc::ControlDecorator<T>*>(mediator.createLearnable<T>(std::forward<Args>(args)...));
  }

  //---What the mediator and createLearnable need of their plug-in
  plugkit::IParam* param(int idx) override { return GetParam(idx); }
  int ccModeOf(int) const override { return 0; }
  int modSlotOf(int idx) const override { return idx; }
  bool isFrequencyModSlot(int slot) const override { return mFrequencies.count(slot) > 0; }
  void onDisabledControlInteraction(int) override {}
  void setModLiveValue(int, double) override {}
  void onControllerParamChange(int, int) override {}
  void beginHostEdit(int) override {}
  void informHostOfEdit(int, double) override {}
  void endHostEdit(int) override {}
  void sendValueToControls(int idx, double v) override { SendParameterValueFromDelegate(idx, v, true); }
  bool isEditorOpen() const override { return GetUI() != nullptr; }
  void forEachControllable(const ControllableFunc& f) override { zarvo::midi_cc::forEachControllableIn(GetUI(), f); }
  zarvo::midi_cc::IControllable* firstControllableForParam(int idx) override
  {
    return zarvo::midi_cc::firstControllableIn(GetUI(), idx);
  }
  void redrawMorphPad() override {}

  Mediator mediator{*this};

private:
  std::set<int> mFrequencies;
};

} // namespace ui_widgets_test
