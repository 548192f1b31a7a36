#include "IPlugin/VST3/IPluginVST3_ProcessorBase.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IPlugin/IPluginThreadRole.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// A host value as a 0..1 fraction; NaN counts as 0.
double Unit(double value) { return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0); }

uint8_t SevenBits(double unitValue)
{
  return static_cast<uint8_t>(std::clamp(static_cast<int>(unitValue * 127.0), 0, 127));
}

uint8_t DataByte(int16 value) { return static_cast<uint8_t>(std::clamp<int>(value, 0, 127)); }

uint8_t Channel(int16 channel) { return static_cast<uint8_t>(channel & 0x0F); }

} // namespace

IPluginVST3ProcessorBase::IPluginVST3ProcessorBase(const Config& config, IPluginAPIBase& plug)
  : IPluginProcessor(config, kAPIVST3)
  , mMaxNInChans(std::max(MaxNChannelsForBus(kInput, 0), 0))
  , mPlug(plug)
  , mHostValues(plug.NParams())
{
  SetChannelConnections(kInput, 0, MaxNChannels(kInput), true);
  SetChannelConnections(kOutput, 0, MaxNChannels(kOutput), true);
  InitLatencyDelay();
  SetBlockSize(512);
}

bool IPluginVST3ProcessorBase::SendMidiMsg(const IMidiMsg& msg)
{
  // Without MIDI output nothing would ever drain the queue.
  if (!DoesMIDIOut())
    return false;
  return mMidiOutputQueue.Add(msg);
}

bool IPluginVST3ProcessorBase::CanProcessSampleSize(int32 symbolicSampleSize)
{
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64;
}

bool IPluginVST3ProcessorBase::SetupProcessing(const ProcessSetup& setup, ProcessSetup& storedSetup)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!CanProcessSampleSize(setup.symbolicSampleSize) || setup.maxSamplesPerBlock < 1 ||
      !(std::isfinite(setup.sampleRate) && setup.sampleRate > 0.0))
    return false;
  storedSetup = setup;
  SetSampleRate(setup.sampleRate);
  SetBlockSize(setup.maxSamplesPerBlock);
  mMidiOutputQueue.Resize(setup.maxSamplesPerBlock);
  OnReset();
  return true;
}

void IPluginVST3ProcessorBase::SetProcessing(bool processing)
{
  if (!processing)
    OnReset();
}

void IPluginVST3ProcessorBase::SetActive(bool active)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  OnActivate(active);
}

void IPluginVST3ProcessorBase::Process(ProcessData& data, const ProcessSetup& setup, BusList& audioInputs,
                                       BusList& audioOutputs)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  PrepareProcessContext(data, setup);
  ProcessParameterChanges(data.inputParameterChanges);
  if (DoesMIDIIn())
    ProcessMidiIn(data.inputEvents);
  ProcessAudio(data, setup, audioInputs, audioOutputs);
  if (DoesMIDIOut())
    ProcessMidiOut(data.outputEvents, std::max(data.numSamples, 0));
}

void IPluginVST3ProcessorBase::PrepareProcessContext(const ProcessData& data, const ProcessSetup& setup)
{
  if (data.processContext)
    mProcessContext = *data.processContext;
  const ProcessContext& ctx = mProcessContext;
  ITimeInfo info;
  info.mTempo = ctx.tempo;
  info.mSamplePos =
    (ctx.state & ProcessContext::kProjectTimeMusicValid) ? static_cast<double>(ctx.projectTimeSamples) : -1.0;
  info.mPPQPos = ctx.projectTimeMusic;
  info.mLastBar = ctx.barPositionMusic;
  info.mCycleStart = ctx.cycleStartMusic;
  info.mCycleEnd = ctx.cycleEndMusic;
  info.mNumerator = ctx.timeSigNumerator;
  info.mDenominator = ctx.timeSigDenominator;
  info.mTransportIsRunning = (ctx.state & ProcessContext::kPlaying) != 0;
  info.mTransportLoopEnabled = (ctx.state & ProcessContext::kCycleActive) != 0;
  SetTimeInfo(info);
  SetRenderingOffline(setup.processMode == kOffline);
}

void IPluginVST3ProcessorBase::AttachBuffers(ERoute direction, int first, int count, AudioBusBuffers& bus, int nFrames,
                                             int32 sampleSize)
{
  if (sampleSize == kSample64)
    AttachBuffers(direction, first, count, bus.channelBuffers64, nFrames);
  else if (sampleSize == kSample32)
    AttachBuffers(direction, first, count, bus.channelBuffers32, nFrames);
}

void IPluginVST3ProcessorBase::ProcessParameterChanges(IParameterChanges* changes)
{
  if (!changes)
    return;
  const int32 nQueues = changes->getParameterCount();
  for (int32 q = 0; q < nQueues; ++q)
  {
    IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue)
      continue;
    const int32 nPoints = queue->getPointCount();
    int32 offset = 0;
    ParamValue value = 0.0;
    // Per block only the last point counts.
    if (nPoints <= 0 || queue->getPoint(nPoints - 1, offset, value) != kResultTrue)
      continue;
    const ParamID id = queue->getParameterId();
    if (id == kBypassParamId)
    {
      const bool bypassed = value > 0.5;
      if (bypassed != GetBypassed())
        SetBypassed(bypassed);
    }
    else if (id < static_cast<ParamID>(mPlug.NParams()))
    {
      const int idx = static_cast<int>(id);
      IParam* param = mPlug.GetParam(idx);
      param->Set(param->FromNormalized(value));
      mHostValues.Heard(idx, param->GetNormalized());
      mPlug.OnParamChange(idx, EParamSource::kHost, offset);
    }
    else if (id >= kMidiCCParamStartId)
    {
      const uint32 k = id - kMidiCCParamStartId;
      const uint32 channel = k / kMidiCCParamsPerChannel;
      if (channel < 16)
        ProcessMidiControllerParam(static_cast<int>(k % kMidiCCParamsPerChannel), static_cast<int>(channel), value,
                                   offset);
    }
  }
}

void IPluginVST3ProcessorBase::ProcessMidiControllerParam(int cc, int channel, double value, int sampleOffset)
{
  const double v = Unit(value);
  IMidiMsg msg;
  msg.mOffset = sampleOffset;
  if (cc == kPitchBendCC)
  {
    const int bend = std::clamp(8192 + static_cast<int>((2.0 * v - 1.0) * 8192.0), 0, 16383);
    msg.mStatus = static_cast<uint8_t>(0xE0 + channel);
    msg.mData1 = static_cast<uint8_t>(bend % 128);
    msg.mData2 = static_cast<uint8_t>(bend / 128);
  }
  else if (cc == kChannelPressureCC)
  {
    msg.mStatus = static_cast<uint8_t>(0xD0 + channel);
    msg.mData1 = SevenBits(v);
    msg.mData2 = 0;
  }
  else
  {
    msg.mStatus = static_cast<uint8_t>(0xB0 + channel);
    msg.mData1 = static_cast<uint8_t>(cc);
    msg.mData2 = SevenBits(v);
  }
  ReceiveMidiMsg(msg);
}

void IPluginVST3ProcessorBase::ReceiveMidiMsg(const IMidiMsg& msg)
{
  ProcessMidiMsg(msg);
  mPlug.MidiMsgsFromProcessor().Push(msg);
}

void IPluginVST3ProcessorBase::ProcessMidiIn(IEventList* events)
{
  if (events)
  {
    const int32 nEvents = events->getEventCount();
    for (int32 i = 0; i < nEvents; ++i)
    {
      Event e{};
      if (events->getEvent(i, e) != kResultOk)
        continue;
      IMidiMsg msg;
      msg.mOffset = e.sampleOffset;
      switch (e.type)
      {
      case Event::kNoteOnEvent:
        msg.mStatus = static_cast<uint8_t>(0x90 + Channel(e.noteOn.channel));
        msg.mData1 = DataByte(e.noteOn.pitch);
        msg.mData2 = SevenBits(Unit(e.noteOn.velocity));
        ReceiveMidiMsg(msg);
        break;
      case Event::kNoteOffEvent:
        msg.mStatus = static_cast<uint8_t>(0x80 + Channel(e.noteOff.channel));
        msg.mData1 = DataByte(e.noteOff.pitch);
        msg.mData2 = 0;
        ReceiveMidiMsg(msg);
        break;
      case Event::kPolyPressureEvent:
        msg.mStatus = static_cast<uint8_t>(0xA0 + Channel(e.polyPressure.channel));
        msg.mData1 = DataByte(e.polyPressure.pitch);
        msg.mData2 = SevenBits(Unit(e.polyPressure.pressure));
        ReceiveMidiMsg(msg);
        break;
      case Event::kDataEvent:
        if (e.data.bytes && e.data.size > 0 && e.data.size <= static_cast<uint32>(std::numeric_limits<int32_t>::max()))
          ProcessSysEx(ISysEx{e.sampleOffset, e.data.bytes, static_cast<int32_t>(e.data.size)});
        break;
      default: break;
      }
    }
  }
  // Then what the editor played, with the offsets it was queued with.
  IMidiMsg msg;
  for (int i = 0; i < IPluginAPIBase::kMidiQueueSize && mPlug.MidiMsgsFromEditor().Pop(msg); ++i)
    ProcessMidiMsg(msg);
}

void IPluginVST3ProcessorBase::ProcessAudio(ProcessData& data, const ProcessSetup& setup, BusList& audioInputs,
                                            BusList& audioOutputs)
{
  const int32 sampleSize = setup.symbolicSampleSize;
  // The buffers are of the kind the process data names; a mismatch with the set-up cannot be read safely.
  if (!CanProcessSampleSize(sampleSize) || data.symbolicSampleSize != sampleSize)
    return;
  const bool is64 = sampleSize == kSample64;
  const int nFrames = std::max(data.numSamples, 0);

  // Connects and attaches one host bus from channel first on; a bus without buffers stays unconnected.
  const auto attach = [&](ERoute direction, AudioBusBuffers& bus, int first, bool active) {
    const bool hasBuffers = is64 ? bus.channelBuffers64 != nullptr : bus.channelBuffers32 != nullptr;
    const int nChans = std::max(bus.numChannels, 0);
    SetChannelConnections(direction, first, nChans, active && hasBuffers);
    if (active && hasBuffers)
      AttachBuffers(direction, first, nChans, bus, nFrames, sampleSize);
  };
  const auto busActive = [](BusList& list, int idx) {
    return idx < static_cast<int>(list.size()) && list.at(static_cast<size_t>(idx))->isActive();
  };

  SetChannelConnections(kInput, 0, MaxNChannels(kInput), false);
  if (data.numInputs > 0 && data.inputs)
  {
    if (audioInputs.size() <= 1)
      attach(kInput, data.inputs[0], 0, true);
    else
    {
      const bool sidechainActive = data.numInputs > 1 && busActive(audioInputs, 1);
      // A side-chain that went away must not leave its last samples behind.
      if (!sidechainActive && mSidechainActive)
        ZeroScratchBuffers();
      mSidechainActive = sidechainActive;
      attach(kInput, data.inputs[0], 0, true);
      if (sidechainActive)
        attach(kInput, data.inputs[1], mMaxNInChans, true);
    }
  }

  SetChannelConnections(kOutput, 0, MaxNChannels(kOutput), false);
  if (data.numOutputs > 0 && data.outputs)
  {
    int offset = 0;
    for (int32 b = 0; b < data.numOutputs; ++b)
    {
      AudioBusBuffers& bus = data.outputs[b];
      attach(kOutput, bus, offset, busActive(audioOutputs, b));
      // Nothing here claims silence: the plug-in may ring on after its input fell silent.
      bus.silenceFlags = 0;
      offset += std::max(bus.numChannels, 0);
    }
  }

  if (GetBypassed())
  {
    if (is64)
      PassThroughBuffers(0.0, nFrames);
    else
      PassThroughBuffers(0.0f, nFrames);
  }
  else
  {
    if (is64)
      ProcessBuffers(0.0, nFrames);
    else
      ProcessBuffers(0.0f, nFrames);
  }
}

void IPluginVST3ProcessorBase::ProcessMidiOut(IEventList* outputEvents, int nFrames)
{
  if (outputEvents)
  {
    while (!mMidiOutputQueue.Empty())
    {
      const IMidiMsg& msg = mMidiOutputQueue.Peek();
      Event e{};
      e.busIndex = 0;
      e.sampleOffset = msg.mOffset;
      const uint8_t channel = msg.mStatus & 0x0F;
      bool send = true;
      const auto legacyCC = [&](uint8_t controller, uint8_t value, uint8_t value2) {
        e.type = Event::kLegacyMIDICCOutEvent;
        e.midiCCOut.controlNumber = controller;
        e.midiCCOut.channel = static_cast<int8>(channel);
        e.midiCCOut.value = static_cast<int8>(value);
        e.midiCCOut.value2 = static_cast<int8>(value2);
      };
      switch (msg.mStatus & 0xF0)
      {
      case 0x80:
        e.type = Event::kNoteOffEvent;
        e.noteOff.channel = channel;
        e.noteOff.pitch = msg.mData1;
        e.noteOff.velocity = static_cast<float>(msg.mData2) / 127.0f;
        break;
      case 0x90:
        e.type = Event::kNoteOnEvent;
        e.noteOn.channel = channel;
        e.noteOn.pitch = msg.mData1;
        e.noteOn.tuning = 0.0f;
        e.noteOn.velocity = static_cast<float>(msg.mData2) / 127.0f;
        break;
      case 0xA0: legacyCC(kCtrlPolyPressure, msg.mData1, msg.mData2); break;
      case 0xB0: legacyCC(msg.mData1, msg.mData2, 0); break;
      case 0xC0: legacyCC(kCtrlProgramChange, msg.mData1, 0); break;
      case 0xD0: legacyCC(kAfterTouch, msg.mData1, msg.mData2); break;
      case 0xE0: legacyCC(kPitchBend, msg.mData1, msg.mData2); break;
      default: send = false; break;
      }
      if (send)
        outputEvents->addEvent(e);
      mMidiOutputQueue.Remove();
    }
  }
  mMidiOutputQueue.Flush(nFrames);
  // Without an output list, messages due in this block can never be delivered in time: they go, so
  // the queue cannot grow without end; those due in later blocks wait.
  while (!mMidiOutputQueue.Empty() && mMidiOutputQueue.Peek().mOffset < 0)
    mMidiOutputQueue.Remove();

  if (!outputEvents)
    return;
  for (SysExData& record : mSysExOut)
  {
    if (!mPlug.SysExDataFromEditor().Pop(record))
      break;
    Event e{};
    e.busIndex = 0;
    e.sampleOffset = record.mOffset;
    e.type = Event::kDataEvent;
    e.data.type = DataEvent::kMidiSysEx;
    e.data.size = static_cast<uint32>(std::max(record.mSize, 0));
    e.data.bytes = record.mData;
    outputEvents->addEvent(e);
  }
}

} // namespace plugkit
