// A fake plug-in for the real CC mediator, so tests can build the widgets learnable exactly as the
// control registry does: every parameter has a modulation slot; the ones listed as frequencies modulate
// in octaves.
#pragma once

#include <set>
#include <utility>

#include "IGfx/IGfx.h"
#include "tests/utils/midi_cc/delegate_learn_host.h"
#include "utils/midi_cc/cc_mediator.h"
#include "utils/midi_cc/control_decorator.h"

namespace ui_widgets_test {

class WidgetLearnHost : public midi_cc_test::DelegateLearnHost
{
public:
  using Mediator = zarvo::midi_cc::CCMediator;

  WidgetLearnHost(int nParams, std::set<int> frequencies)
    : DelegateLearnHost(nParams)
    , mFrequencies(std::move(frequencies))
  {}

  template <class T, class... Args>
  zarvo::midi_cc::ControlDecorator<T>* learnable(Args&&... args)
  {
    return static_cast<zarvo::midi_cc::ControlDecorator<T>*>(mediator.createLearnable<T>(std::forward<Args>(args)...));
  }

  //---What the mediator and createLearnable need of their plug-in
  int modSlotOf(int idx) const override { return idx; }
  bool isFrequencyModSlot(int slot) const override { return mFrequencies.count(slot) > 0; }

  Mediator mediator{*this};

private:
  std::set<int> mFrequencies;
};

} // namespace ui_widgets_test
