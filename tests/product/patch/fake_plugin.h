// A small plug-in on the real framework base for preset manager tests: two parameters, a stand-in
// controller map and workspace carried in its state, and the product's restore notification.
#pragma once

#include "IPlugin/IPluginBase.h"
#include "product/patch/preset_manager.h"

#include <string>

namespace zarvo::test {

inline plugkit::Config fakeConfig(int32_t uniqueId, int nPresets)
{
  plugkit::Config config;
  config.nParams = 2;
  config.nPresets = nPresets;
  config.stateChunks = true;
  config.uniqueId = uniqueId;
  config.version = plugkit::MakeVersion(1, 3, 0);
  return config;
}

class FakePlugin : public plugkit::IPluginBase
{
public:
  static constexpr int32_t kOurId = plugkit::MakeFourCC("Vmlr");

  explicit FakePlugin(int32_t uniqueId = kOurId, int nPresets = 0)
    : IPluginBase(fakeConfig(uniqueId, nPresets))
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->InitDouble(i == 0 ? "sound" : "other", 0.0, -1e6, 1e6, 0.001);
  }

  double sound() const { return GetParam(0)->Value(); }

  // A preset slot holding a state with this sound.
  void addPresetSlot(const char* name, double soundValue)
  {
    const double keep = sound();
    GetParam(0)->Set(soundValue);
    plugkit::IByteChunk chunk;
    SerializeState(chunk);
    MakePresetFromChunk(name, chunk);
    GetParam(0)->Set(keep);
  }

  // An edit made in the editor.
  void edit(double soundValue)
  {
    GetParam(0)->Set(soundValue);
    if (manager)
      manager->onParamChanged(plugkit::EParamSource::kUI);
  }

  // The plug-in's own callbacks for the parts a preset load keeps.
  void installCallbacks()
  {
    manager->setCCMapCallbacks([this](plugkit::IByteChunk& c) { c.Put(ccMap); },
                               [this](const plugkit::IByteChunk& c) { c.Get(ccMap, 0); });
    manager->setWorkspaceCallbacks([this](plugkit::IByteChunk& c) { c.Put(workspace); },
                                   [this](const plugkit::IByteChunk& c) { c.Get(workspace, 0); });
  }

  bool SerializeState(plugkit::IByteChunk& chunk) const override
  {
    return SerializeParams(chunk) && chunk.Put(ccMap) > 0 && chunk.Put(workspace) > 0;
  }

  // Applies value by value, so a truncated state changes what came before the cut, as a real one does.
  int UnserializeState(const plugkit::IByteChunk& chunk, int pos) override
  {
    for (int i = 0; i < NParams(); ++i)
    {
      double v = 0.0;
      if ((pos = chunk.Get(v, pos)) < 0)
        return -1;
      GetParam(i)->Set(v);
    }
    if ((pos = chunk.Get(ccMap, pos)) < 0)
      return -1;
    return chunk.Get(workspace, pos);
  }

  void OnRestoreState() override
  {
    ++restores;
    if (manager)
      manager->onHostStateRestored();
  }

  zarvo::PresetManager* manager = nullptr;
  int32_t ccMap = 0;     // stands in for the controller map
  int32_t workspace = 0; // stands in for oversampling, morph switches and editor state
  int restores = 0;
};

} // namespace zarvo::test
