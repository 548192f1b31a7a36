// A fake editor delegate that is also the CC mediator's plug-in: the learnable controls are those of
// its graphics context, the host hears of nothing and nothing is modulated. Tests override the
// modulation slots they need.
#pragma once

#include "IGfx/IGfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "utils/midi_cc/cc_map_host.h"

namespace midi_cc_test {

class DelegateLearnHost : public plugkit::gfx::test::FakeDelegate, public zarvo::midi_cc::GfxCCMapHost
{
public:
  explicit DelegateLearnHost(int nParams)
    : FakeDelegate(nParams)
  {}

  plugkit::IParam* param(int idx) override { return GetParam(idx); }
  int ccModeOf(int) const override { return 0; }
  int modSlotOf(int) const override { return -1; }
  void setModLiveValue(int, double) override {}
  void onControllerParamChange(int, int) override {}
  void beginHostEdit(int) override {}
  void informHostOfEdit(int, double) override {}
  void endHostEdit(int) override {}
  void sendValueToControls(int idx, double v) override { SendParameterValueFromDelegate(idx, v, true); }
  void redrawMorphPad() override {}
  bool isFrequencyModSlot(int) const override { return false; }
  void onDisabledControlInteraction(int) override {}

protected:
  plugkit::gfx::IGfx* editorUI() const override { return GetUI(); }
};

} // namespace midi_cc_test
