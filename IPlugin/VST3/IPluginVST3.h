// The one object a VST3 host sees: audio processor and edit controller at once, joining the
// framework's host-API base, processor core and graphics delegate to the VST3 interfaces.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "IGfx/IGfxEditorDelegate.h"
#include "IPlugin/IPluginAPIBase.h"
#include "IPlugin/VST3/IPluginVST3_ControllerBase.h"
#include "IPlugin/VST3/IPluginVST3_ProcessorBase.h"
#include "IPlugin/VST3/IPluginVST3_RunLoop.h"
#include "IPlugin/VST3/sdk/singlecomponenteffect.h"

#include "pluginterfaces/vst/ivstchannelcontextinfo.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace plugkit {

class IPluginVST3View;

// Every VST3 call is a main-thread call except process (audio thread) and the latency and tail
// queries (any thread). The binding brings the graphics delegate to the plug-in base: the two share
// the editor delegate, so the framework core below knows nothing of graphics.
class IPluginVST3 : public IPluginAPIBase,
                    public gfx::IGEditorDelegate,
                    public IPluginVST3ProcessorBase,
                    public IPluginVST3ControllerBase,
                    public Steinberg::Vst::SingleComponentEffect,
                    public Steinberg::Vst::IMidiMapping,
                    public Steinberg::Vst::ChannelContext::IInfoListener
{
public:
  // The restart flag that tells the host the tail changed. The SDK in use defines none: this bit lies
  // outside every flag it defines, so a host that does not know it ignores it and reads the tail when
  // it next activates the plug-in.
  static constexpr Steinberg::int32 kTailChanged = 1 << 30;

  // Main thread: the idle timer runs from here on, polled from host calls until a run loop is known.
  IPluginVST3(const InstanceInfo& info, const Config& config);
  ~IPluginVST3() override;

  // Main thread: the host is told (restartComponent) when the value differs from the one it last
  // heard; called from another thread, the value is stored and the host told at the next idle tick.
  void SetLatency(int samples) override;
  void SetTailSize(int samples) override;
  // Main thread: the millisecond clock that decides when idle work polled from host calls is due
  // (a monotonic one unless a test drives its own).
  void SetIdleClock(std::function<uint64_t()> clock);
  // Any thread: whether this is the host's main thread (the one that created the plug-in) outside
  // process, where the host may be called.
  bool OnMainThread() const;

  // Main thread: what the host said about the track.
  void GetTrackColor(int& r, int& g, int& b) override;
  void GetTrackName(TextString& name) override;
  int GetTrackIndex() override;
  void GetTrackNamespace(TextString& name) override;
  int GetTrackNamespaceIndex() override;

  // Main thread: edits and changes towards the host.
  bool EditorResize(int width, int height) override;
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParameterDetailsChange() override;
  int InformHostOfParameterValuesChange() override;
  void InformHostOfPresetChange() override;
  void DirtyParametersFromUI() override;
  void SendParameterValueFromUI(int paramIdx, double normalizedValue) override;

  // Main thread: what the editor needs of the host while it opens (see IGEditorDelegate).
  Steinberg::Vst::IComponentHandler* GetHostComponentHandler() const override { return componentHandler; }
  Steinberg::IPlugView* GetOpenPlugView() const override;
  Steinberg::Linux::IRunLoop* GetHostRunLoop() const override;
  float GetHostScreenScale() const override;
  // Main thread: the editor view's life. The idle timer runs on the view frame's loop while a view
  // is attached and the host offered no loop of its own.
  void OnViewAttached(IPluginVST3View& view);
  void OnViewRemoved(IPluginVST3View& view);
  void OnViewDestroyed(IPluginVST3View* view);

  //---IPluginBase
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  //---IEditController: the host's handler; it re-reads every value at the next idle tick.
  Steinberg::tresult PLUGIN_API setComponentHandler(Steinberg::Vst::IComponentHandler* handler) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  //---IComponent, IAudioProcessor
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs, Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  // Audio thread.
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  // Any thread.
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;
  // The plug-in's state chunk followed by a little-endian 32-bit bypass word.
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;

  //---IEditController, IUnitInfo
  Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 paramIndex,
                                                 Steinberg::Vst::ParameterInfo& info) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID tag) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag,
                                                   Steinberg::Vst::ParamValue value) override;
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex, Steinberg::Vst::UnitInfo& info) override;
  Steinberg::int32 PLUGIN_API getProgramListCount() override;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) override;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId, Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;

  //---IMidiMapping: controllers 0..127, channel pressure and pitch bend of bus 0, channel 1.
  Steinberg::tresult PLUGIN_API getMidiControllerAssignment(Steinberg::int32 busIndex, Steinberg::int16 channel,
                                                            Steinberg::Vst::CtrlNumber midiControllerNumber,
                                                            Steinberg::Vst::ParamID& id) override;

  //---ChannelContext::IInfoListener
  Steinberg::tresult PLUGIN_API setChannelContextInfos(Steinberg::Vst::IAttributeList* list) override;

  OBJ_METHODS(IPluginVST3, SingleComponentEffect)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IMidiMapping)
  DEF_INTERFACE(Steinberg::Vst::ChannelContext::IInfoListener)
  END_DEFINE_INTERFACES(SingleComponentEffect)
  REFCOUNT_METHODS(SingleComponentEffect)

private:
  // Adds the audio buses of one side of a channel configuration.
  void AddAudioBuses(ERoute direction, int configIdx);
  // Main thread: runs the idle timer when it is due and no run loop drives it.
  void PollIdle();
  // Main thread: the idle timer leaves the host's run loop.
  void DetachRunLoop();
  // Main thread: tells the host to re-read every value when the values it last read may be stale,
  // and the latency and tail it has not heard yet.
  void OnBindingIdle() override;
  // Main thread: restarts the host's view of one value when it differs from what the host last heard.
  void AnnounceIfChanged(int value, std::atomic<int>& heard, Steinberg::int32 restartFlag);
  // Main thread: asks the host to re-read every value when `stale` objects held an old one, unless it
  // is handling a restart; either way the host counts as knowing every value.
  void AskHostToRereadValues(int stale);
  // Main thread: how many parameters hold a value the host has not set or heard; all count as heard.
  int TakeHostNews();
  // Main thread: the parameter object takes the value the parameter plays for this normalised value,
  // which is returned.
  double TakeValueInUse(int paramIdx, double normalizedValue);
  // Main thread: every restart request goes through here. Hosts may call back into the controller
  // while they handle a restart, with a lock of theirs held (Ardour reads the values back and sets
  // them): a restart asked for meanwhile is sent once the host's call has returned, never from
  // inside it, where the host would wait on its own lock.
  void RestartComponent(Steinberg::int32 flags);

  // Raised when the plug-in's values changed before the host gave its handler (a starter patch set
  // in the constructor); hosts that show only the declared defaults re-read them.
  bool mParamValuesUnannounced = false;
  // While a state the host set is restored: how many objects the restore changed; -1 otherwise.
  int mStaleInHostState = -1;
  // The latency and tail the host last heard, through a restart or its own query (any thread).
  std::atomic<int> mHostLatency{0};
  std::atomic<int> mHostTail{0};
  // Main thread: a restart call into the host is under way; the flags asked for meanwhile.
  bool mInRestart = false;
  Steinberg::int32 mRestartsDeferred = 0;
  // The host's main thread: the one that created the plug-in.
  const std::thread::id mMainThread = std::this_thread::get_id();

  std::function<uint64_t()> mIdleClock = MonotonicMs;
  std::unique_ptr<IPluginVST3RunLoop> mRunLoop;
  // The loop of an attached view's frame, when the host gave none at initialize.
  std::unique_ptr<IPluginVST3RunLoop> mViewRunLoop;
  // The latest view made by createView, until it is destroyed.
  IPluginVST3View* mView = nullptr;
};

} // namespace plugkit
