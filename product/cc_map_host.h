// The plug-in as the controller map's mediator and its learnable controls reach it.
#pragma once

#include "utils/midi_cc/cc_map_host.h"

class Vemlor;

namespace zarvo {

class PluginCCMapHost final : public midi_cc::GfxCCMapHost
{
public:
  // The plug-in may still be incomplete here.
  explicit PluginCCMapHost(Vemlor& plugin)
    : mPlugin(plugin)
  {}

  plugkit::IParam* param(int index) override;

  int ccModeOf(int param) const override;
  int modSlotOf(int param) const override;
  void setModLiveValue(int slot, double value) override;
  void onControllerParamChange(int param, int sampleOffset) override;

  void beginHostEdit(int param) override;
  void informHostOfEdit(int param, double normalized) override;
  void endHostEdit(int param) override;
  void sendValueToControls(int param, double normalized) override;

  void redrawMorphPad() override;

  bool isFrequencyModSlot(int slot) const override;
  void onDisabledControlInteraction(int param) override;

private:
  plugkit::gfx::IGfx* editorUI() const override;

  Vemlor& mPlugin;
};

} // namespace zarvo
