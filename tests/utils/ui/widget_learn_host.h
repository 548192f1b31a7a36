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

class WidgetLearnHost : public plugkit::gfx::test::FakeDelegate
{
public:
  using Mediator = zarvo::midi_cc::CCMediator<WidgetLearnHost>;

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
  int ccModeOf(int) const { return 0; }
  int modSlotOf(int idx) const { return idx; }
  bool isFrequencyModSlot(int slot) const { return mFrequencies.count(slot) > 0; }
  void onDisabledControlInteraction(int) {}
  void setModLiveValue(int, double) {}
  void onControllerParamChange(int, int) {}
  void BeginInformHostOfParamChange(int) {}
  void InformHostOfParamChange(int, double) {}
  void EndInformHostOfParamChange(int) {}
  bool isEditorOpen() const { return GetUI() != nullptr; }
  template <class F>
  void forEachControllable(F&& f)
  {
    GetUI()->ForAllControlsFunc([&](plugkit::gfx::IControl* c) {
      if (auto* learnable = dynamic_cast<zarvo::midi_cc::IControllable*>(c))
        f(*learnable, c->GetParamIdx(0));
    });
  }
  zarvo::midi_cc::IControllable* firstControllableForParam(int idx)
  {
    return dynamic_cast<zarvo::midi_cc::IControllable*>(GetUI()->GetControlWithParamIdx(idx));
  }
  void redrawMorphPad() {}

  Mediator mediator{*this};

private:
  std::set<int> mFrequencies;
};

} // namespace ui_widgets_test
