#include "product/cc_map_host.h"

#include "product/Vemlor.h"
#include "product/audio/relative_mod.h"

namespace zarvo {

plugkit::IParam* PluginCCMapHost::param(int index) { return mPlugin.GetParam(index); }

int PluginCCMapHost::ccModeOf(int param) const { return static_cast<int>(mPlugin.ccModSettings().mode(param)); }

int PluginCCMapHost::modSlotOf(int param) const { return zarvo::modSlotOf(param); }

void PluginCCMapHost::setModLiveValue(int slot, double value) { mPlugin.setModLiveValue(slot, value); }

void PluginCCMapHost::onControllerParamChange(int param, int sampleOffset)
{
  mPlugin.OnParamChange(param, plugkit::EParamSource::kDelegate, sampleOffset);
}

void PluginCCMapHost::beginHostEdit(int param) { mPlugin.BeginInformHostOfParamChange(param); }

void PluginCCMapHost::informHostOfEdit(int param, double normalized)
{
  mPlugin.InformHostOfParamChange(param, normalized);
}

void PluginCCMapHost::endHostEdit(int param) { mPlugin.EndInformHostOfParamChange(param); }

void PluginCCMapHost::sendValueToControls(int param, double normalized)
{
  mPlugin.SendParameterValueFromDelegate(param, normalized, true);
}

plugkit::gfx::IGfx* PluginCCMapHost::editorUI() const { return mPlugin.GetUI(); }

void PluginCCMapHost::redrawMorphPad() { mPlugin.redrawMorphPad(); }

bool PluginCCMapHost::isFrequencyModSlot(int slot) const { return mPlugin.isFrequencyModSlot(slot); }

void PluginCCMapHost::onDisabledControlInteraction(int param) { mPlugin.onDisabledControlInteraction(param); }

} // namespace zarvo
