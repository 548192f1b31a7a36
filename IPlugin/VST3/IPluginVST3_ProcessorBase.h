// The processor side of the VST3 plug-in object: processing set-up and the process call in the
// framework's terms (transport, parameter changes, MIDI in and out, buffers, bypass).
#pragma once

#include <array>

#include "IPlugin/IPluginAPIBase.h"
#include "IPlugin/IPluginProcessor.h"
#include "IPlugin/VST3/IPluginVST3_HostValues.h"
#include "IPlugin/VST3/IPluginVST3_MidiQueue.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "public.sdk/source/vst/vstbus.h"

namespace plugkit {

class IPluginVST3ProcessorBase : public IPluginProcessor
{
public:
  // Host parameter ids beyond the framework's parameters.
  static constexpr Steinberg::Vst::ParamID kBypassParamId = 65536;
  static constexpr Steinberg::Vst::ParamID kPresetParamId = 65537;
  static constexpr Steinberg::Vst::ParamID kMidiCCParamStartId = 65538;
  static constexpr int kMidiCCParamsPerChannel = 130; // 128 controllers, channel pressure, pitch bend
  static constexpr int kChannelPressureCC = 128;
  static constexpr int kPitchBendCC = 129;

  // Main thread.
  IPluginVST3ProcessorBase(const Config& config, IPluginAPIBase& plug);

  // Audio thread: queued for the host's output events; false when the block's queue is full (the
  // message is dropped and counted) or the plug-in has no MIDI output.
  bool SendMidiMsg(const IMidiMsg& msg) override;
  // Any thread: messages SendMidiMsg dropped because the queue was full.
  uint64_t MidiOutputDropped() const { return mMidiOutputQueue.DroppedCount(); }

  // Main thread: false for a sample size other than 32 or 64 bits, a block size below 1 or a sample
  // rate that is not a positive number; then nothing changes.
  bool SetupProcessing(const Steinberg::Vst::ProcessSetup& setup, Steinberg::Vst::ProcessSetup& storedSetup);
  static bool CanProcessSampleSize(Steinberg::int32 symbolicSampleSize);
  // Main thread (a host may switch processing off from the audio thread while no block runs).
  void SetProcessing(bool processing);
  // Main thread.
  void SetActive(bool active);

  // What the host knows of each parameter; values it sends with a block count as heard.
  IPluginVST3HostValues& HostValues() { return mHostValues; }

  // Audio thread: one process call.
  void Process(Steinberg::Vst::ProcessData& data, const Steinberg::Vst::ProcessSetup& setup,
               Steinberg::Vst::BusList& audioInputs, Steinberg::Vst::BusList& audioOutputs);

  // Audio thread: a context the host passes is kept, so a call without one keeps the last; the time
  // information comes from the kept context, the offline flag from the set-up's process mode.
  void PrepareProcessContext(const Steinberg::Vst::ProcessData& data, const Steinberg::Vst::ProcessSetup& setup);
  // Audio thread: the bus's buffers of that sample size (kSample64 or kSample32); any other size
  // attaches nothing.
  using IPluginProcessor::AttachBuffers;
  void AttachBuffers(ERoute direction, int first, int count, Steinberg::Vst::AudioBusBuffers& bus, int nFrames,
                     Steinberg::int32 sampleSize);

private:
  void ProcessParameterChanges(Steinberg::Vst::IParameterChanges* changes);
  void ProcessMidiControllerParam(int cc, int channel, double value, int sampleOffset);
  void ProcessMidiIn(Steinberg::Vst::IEventList* events);
  void ProcessAudio(Steinberg::Vst::ProcessData& data, const Steinberg::Vst::ProcessSetup& setup,
                    Steinberg::Vst::BusList& audioInputs, Steinberg::Vst::BusList& audioOutputs);
  void ProcessMidiOut(Steinberg::Vst::IEventList* outputEvents, int nFrames);
  // The message goes to the plug-in, then to the editor (dropped when the editor queue is full).
  void ReceiveMidiMsg(const IMidiMsg& msg);

  int mMaxNInChans;
  IPluginAPIBase& mPlug;
  IPluginVST3HostValues mHostValues;
  Steinberg::Vst::ProcessContext mProcessContext{};
  IMidiQueueBase<IMidiMsg> mMidiOutputQueue;
  bool mSidechainActive = false;
  // System-exclusive records sent in the current block; each event points into one until process returns.
  std::array<SysExData, IPluginAPIBase::kSysExQueueSize> mSysExOut{};
};

} // namespace plugkit
