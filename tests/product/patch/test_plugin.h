// A plug-in on the real framework base with the product's 79 parameters and 73 preset slots, and a
// randomizer target that behaves towards the preset manager as the plug-in class does.
#pragma once

#include "IPlugin/IPluginBase.h"
#include "product/VemlorConfig.h"
#include "product/params/param_init.h"
#include "product/patch/preset_manager.h"
#include "product/patch/factory_presets.h"
#include "product/patch/randomizer.h"

#include <memory>
#include <vector>

namespace zarvo::test {

class TestPlugin : public plugkit::IPluginBase
{
public:
  TestPlugin()
    : IPluginBase(kVemlorConfig)
  {
    for (int i = 0; i < NParams(); ++i)
      initParam(*GetParam(i), i);
  }

  std::vector<double> values() const
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i)
      v.push_back(GetParam(i)->Value());
    return v;
  }
};

// The plug-in's factory presets and preset manager, as a constructed instance has them.
struct Instance
{
  Instance()
  {
    presets.initPresets(plugin);
    manager = std::make_unique<PresetManager>(plugin, "Vemlor", "", 100);
  }

  TestPlugin plugin;
  FactoryPresets presets;
  std::unique_ptr<PresetManager> manager;
};

// Records what the host and the editor are told; edits reach the preset manager as they do from
// the plug-in's change handler and gesture ends.
class FakeTarget : public RandomizerTarget
{
public:
  enum class Kind
  {
    Begin,
    Send,
    End,
    ToEditor
  };

  struct Event
  {
    Kind kind;
    int index;
    double normalized;
  };

  FakeTarget(plugkit::IPluginBase& plugin, PresetManager* manager)
    : mPlugin(plugin)
    , mManager(manager)
  {}

  int paramCount() const override { return mPlugin.NParams(); }
  const plugkit::IParam* param(int index) const override { return mPlugin.GetParam(index); }

  void beginParamEditFromUI(int index) override
  {
    log.push_back({Kind::Begin, index, 0.0});
    flushPendingUngesturedEdit();
    mInGesture = true;
  }

  void sendParamValueFromUI(int index, double normalized) override
  {
    log.push_back({Kind::Send, index, normalized});
    mPlugin.GetParam(index)->SetNormalized(normalized);
    if (mManager)
      mManager->onParamChanged(plugkit::EParamSource::kUI);
    if (!mBulk && !mInGesture)
      mWaiting = true;
  }

  void endParamEditFromUI(int index) override
  {
    log.push_back({Kind::End, index, 0.0});
    mInGesture = false;
    if (mManager && !mBulk)
      mManager->commitDirtyEdit();
  }

  void sendParamValueToEditor(int index, double normalized) override
  {
    log.push_back({Kind::ToEditor, index, normalized});
  }

  void flushPendingUngesturedEdit() override
  {
    if (!mWaiting)
      return;
    mWaiting = false;
    if (mManager)
      mManager->commitDirtyEdit();
  }

  void setBulkApply(bool applying) override { mBulk = applying; }
  PresetManager* presetManager() override { return mManager; }
  bool morphActive() const override { return morphOn; }
  void morphRandomize() override { ++morphRandomizes; }
  void morphMutate() override { ++morphMutates; }

  // A knob turned in the editor: one gesture.
  void turnKnob(int index, double plain)
  {
    const plugkit::IParam* p = param(index);
    beginParamEditFromUI(index);
    sendParamValueFromUI(index, p->ToNormalized(plain));
    endParamEditFromUI(index);
  }

  // A value typed in without a gesture; it waits to be committed.
  void editWithoutGesture(int index, double plain) { sendParamValueFromUI(index, param(index)->ToNormalized(plain)); }

  Randomizer::Getter current() const
  {
    return [this](int index) { return mPlugin.GetParam(index)->Value(); };
  }

  std::vector<Event> log;
  bool morphOn = false;
  int morphRandomizes = 0;
  int morphMutates = 0;

private:
  plugkit::IPluginBase& mPlugin;
  PresetManager* mManager;
  bool mBulk = false;
  bool mInGesture = false;
  bool mWaiting = false;
};

} // namespace zarvo::test
