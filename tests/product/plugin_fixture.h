// One plug-in instance built in this process, a component handler that records what the host is
// told, and the host's and editor's ways of changing a parameter.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "IPlugin/IPluginThreadRole.h"
#include "product/Vemlor.h"
#include "product/params/params.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vemlor::plugintest {

// Host-owned: counting references is the host's business, the plug-in only borrows it.
class RecordingHandler final : public Steinberg::Vst::IComponentHandler
{
public:
  enum class Kind
  {
    Begin,
    Perform,
    End,
    Restart
  };
  struct Call
  {
    Kind kind;
    int id; // parameter index, or the restart flags
    bool operator==(const Call&) const = default;
  };

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override
  {
    return record(Kind::Begin, static_cast<int>(id));
  }
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue) override
  {
    return record(Kind::Perform, static_cast<int>(id));
  }
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override
  {
    return record(Kind::End, static_cast<int>(id));
  }
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override
  {
    return record(Kind::Restart, flags);
  }

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
  {
    if (Steinberg::FUnknownPrivate::iidEqual(iid, Steinberg::FUnknown::iid) ||
        Steinberg::FUnknownPrivate::iidEqual(iid, Steinberg::Vst::IComponentHandler::iid))
    {
      *obj = this;
      return Steinberg::kResultOk;
    }
    *obj = nullptr;
    return Steinberg::kNoInterface;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

  std::vector<Call> calls;

private:
  Steinberg::tresult record(Kind kind, int id)
  {
    calls.push_back({kind, id});
    return Steinberg::kResultOk;
  }
};

// An initialised instance talking to a recording handler, on a clock the test moves.
class PluginInstance
{
public:
  PluginInstance()
    : plug(new Vemlor(plugkit::InstanceInfo{}))
  {
    EXPECT_EQ(plug->initialize(nullptr), Steinberg::kResultOk);
    plug->setComponentHandler(&handler);
    plug->setClock([this] { return nowMs; });
  }
  ~PluginInstance()
  {
    plug->setComponentHandler(nullptr);
    plug->terminate();
    plug->release();
  }
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  Vemlor& operator*() { return *plug; }
  Vemlor* operator->() { return plug; }

  plugkit::IParam& param(int index) { return *plug->GetParam(index); }
  zarvo::PresetManager& presets() { return *plug->presetManager(); }
  size_t undoSteps() { return presets().undoStack().size(); }

  // A plain value a quarter of the range away from the parameter's current one: a change whatever
  // the starter preset set.
  double another(int index)
  {
    const double n = param(index).GetNormalized();
    return param(index).FromNormalized(n < 0.5 ? n + 0.25 : n - 0.25);
  }

  // Host automation as the binding delivers it inside a block: on the audio thread.
  void automate(int index, double plain, int sampleOffset = 0)
  {
    plugkit::AudioThreadScope audio;
    param(index).Set(plain);
    plug->OnParamChange(index, plugkit::EParamSource::kHost, sampleOffset);
  }
  // An editor change without a gesture.
  void editorSet(int index, double plain) { plug->SendParameterValueFromUI(index, param(index).ToNormalized(plain)); }
  // An editor gesture: begin, value, end.
  void editorGesture(int index, double plain)
  {
    plug->BeginInformHostOfParamChangeFromUI(index);
    editorSet(index, plain);
    plug->EndInformHostOfParamChangeFromUI(index);
  }
  // Morph off as a host change, its consequences replayed by an idle tick; a clean start for edits.
  void morphOff()
  {
    automate(zarvo::par_morph_active, 0.0);
    plug->OnIdle();
    presets().captureBaseline();
    handler.calls.clear();
  }

  RecordingHandler handler;
  double nowMs = 1000.0;
  Vemlor* plug;
};

} // namespace vemlor::plugintest
