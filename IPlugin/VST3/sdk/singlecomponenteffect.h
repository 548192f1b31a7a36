// Audio processor and edit controller in one object, for plug-ins without a separate controller.
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg::Vst {

// The host creates it once and finds IComponent, IAudioProcessor and IEditController on the same
// object. Buses, the processing set-up and the parameters live here; a plug-in overrides what it needs.
class SingleComponentEffect : public EditControllerEx1, public IComponent, public IAudioProcessor
{
public:
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // Bus lists (main thread, while not processing).
  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arrangement, BusType type = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arrangement, BusType type = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType type = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType type = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  tresult removeAudioBusses();
  tresult removeEventBusses();
  tresult removeAllBusses();
  BusList* getBusList(MediaType type, BusDirection dir);

  // The set-up stored by the last accepted setupProcessing.
  const ProcessSetup& getProcessSetup() const { return processSetup; }

  //---IPluginBase (both bases)
  tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
  tresult PLUGIN_API terminate() SMTG_OVERRIDE;

  //---IComponent
  tresult PLUGIN_API getControllerClassId(TUID classId) SMTG_OVERRIDE;
  tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
  // One state for both sides: IComponent and IEditController share these two.
  tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE;
  tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE;

  //---IAudioProcessor
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) SMTG_OVERRIDE;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arrangement) SMTG_OVERRIDE;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
  uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
  tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
  tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;
  uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

  OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
  DEFINE_INTERFACES
  DEF_INTERFACE(IComponent)
  DEF_INTERFACE(IAudioProcessor)
  END_DEFINE_INTERFACES(EditControllerEx1)
  REFCOUNT_METHODS(EditControllerEx1)

protected:
  BusList audioInputs;
  BusList audioOutputs;
  BusList eventInputs;
  BusList eventOutputs;
  ProcessSetup processSetup;
};

} // namespace Steinberg::Vst
