#include "IPlugin/VST3/IPluginVST3.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/VST3/IPluginVST3_Parameter.h"
#include "IPlugin/VST3/IPluginVST3_Strings.h"
#include "IPlugin/VST3/IPluginVST3View.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The speaker arrangement every bus of nChans channels gets.
SpeakerArrangement ArrangementForChannels(int nChans)
{
  switch (nChans)
  {
  case 1: return 0x80000; // mono
  case 2: return 0x3;     // stereo
  case 3: return 0x7;
  case 4: return 0xF00000; // first-order ambisonics
  case 5: return 0x37;
  case 6: return 0x3F;
  case 7: return 0xF7;
  case 8: return 0x63F;
  case 9: return 0x7C000F00000; // second-order ambisonics
  case 10: return 0x300063F;
  case 16: return 0x3FFC000F00000; // third-order ambisonics
  default: return 0;
  }
}

constexpr ProgramListID kPresetListId = IPluginVST3ProcessorBase::kPresetParamId;
constexpr int kStateReadSize = 128;

} // namespace

IPluginVST3::IPluginVST3(const InstanceInfo&, const Config& config)
  : IPluginAPIBase(config, kAPIVST3)
  , IGEditorDelegate(config.nParams)
  , IPluginVST3ProcessorBase(config, *this)
{
  BindParameters(parameters);
  mHostLatency.store(GetLatency(), std::memory_order_relaxed);
  mHostTail.store(GetTailSize(), std::memory_order_relaxed);
  CreateTimer();
}

IPluginVST3::~IPluginVST3() { DetachRunLoop(); }

void IPluginVST3::SetLatency(int samples)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  IPluginProcessor::SetLatency(samples);
  AnnounceIfChanged(GetLatency(), mHostLatency, kLatencyChanged);
}

void IPluginVST3::SetTailSize(int samples)
{
  IPluginProcessor::SetTailSize(samples);
  AnnounceIfChanged(GetTailSize(), mHostTail, kTailChanged);
}

void IPluginVST3::SetIdleClock(std::function<uint64_t()> clock)
{
  mIdleClock = clock ? std::move(clock) : std::function<uint64_t()>(MonotonicMs);
}

bool IPluginVST3::OnMainThread() const { return std::this_thread::get_id() == mMainThread && !IsAudioThread(); }

void IPluginVST3::AnnounceIfChanged(int value, std::atomic<int>& heard, int32 restartFlag)
{
  // Off the main thread (or before the host gave its handler) the idle tick tells the host later.
  if (!componentHandler || !OnMainThread() || heard.load(std::memory_order_relaxed) == value)
    return;
  heard.store(value, std::memory_order_relaxed);
  RestartComponent(restartFlag);
}

void IPluginVST3::RestartComponent(int32 flags)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!componentHandler)
    return;
  mRestartsDeferred |= flags;
  if (mInRestart || mRestartsDeferred == 0)
    return;
  mInRestart = true;
  // Bounded: a host that asks for a new restart from every one it handles gets the rest at idle.
  for (int round = 0; round < 4 && mRestartsDeferred != 0; ++round)
    componentHandler->restartComponent(std::exchange(mRestartsDeferred, 0));
  mInRestart = false;
}

void IPluginVST3::GetTrackColor(int& r, int& g, int& b)
{
  const uint32_t color = GetChannelColor();
  r = static_cast<int>((color >> 16) & 0xFF);
  g = static_cast<int>((color >> 8) & 0xFF);
  b = static_cast<int>(color & 0xFF);
}

void IPluginVST3::GetTrackName(TextString& name) { name = GetChannelName(); }

int IPluginVST3::GetTrackIndex() { return GetChannelIndex(); }

void IPluginVST3::GetTrackNamespace(TextString& name) { name = GetChannelNamespace(); }

int IPluginVST3::GetTrackNamespaceIndex() { return GetChannelNamespaceIndex(); }

bool IPluginVST3::EditorResize(int width, int height)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!HasUI())
    return true;
  // The host frame is asked once the editor view exists; until then only the size is kept.
  SetEditorSize(width, height);
  if (mView)
    mView->ResizeHostFrame();
  return true;
}

void IPluginVST3::BeginInformHostOfParamChange(int paramIdx)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  beginEdit(static_cast<ParamID>(paramIdx));
}

void IPluginVST3::InformHostOfParamChange(int paramIdx, double normalizedValue)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // The controller's own parameter holds what the host is told, whatever changed it (the editor, a
  // mapped MIDI controller drained on idle, the plug-in itself): getParamNormalized answers the same.
  const double inUse = TakeValueInUse(paramIdx, normalizedValue);
  HostValues().Heard(paramIdx, inUse);
  performEdit(static_cast<ParamID>(paramIdx), inUse);
}

void IPluginVST3::EndInformHostOfParamChange(int paramIdx)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  endEdit(static_cast<ParamID>(paramIdx));
}

void IPluginVST3::InformHostOfParameterDetailsChange()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (componentHandler)
    RestartComponent(kParamTitlesChanged);
}

int IPluginVST3::InformHostOfParameterValuesChange()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const int stale = UpdateParams(*this);
  // Restoring a state the host set: the restore decides once it is complete.
  if (mStaleInHostState >= 0)
  {
    mStaleInHostState += stale;
    return stale;
  }
  // Values the host wrote itself, through the controller or a block, are no news to it.
  const int news = TakeHostNews();
  if (news > 0)
    RestartComponent(kParamValuesChanged);
  return news;
}

int IPluginVST3::TakeHostNews()
{
  int news = 0;
  for (int i = 0; i < NParams(); ++i)
    news += HostValues().TakeNews(i, GetParam(i)->GetNormalized()) ? 1 : 0;
  return news;
}

void IPluginVST3::AskHostToRereadValues(int stale)
{
  TakeHostNews();
  // A host restoring state while it handles a restart reads the values as part of that: asking
  // again would start the next round of the same restart.
  if (stale > 0 && !mInRestart)
    RestartComponent(kParamValuesChanged);
}

double IPluginVST3::TakeValueInUse(int paramIdx, double normalizedValue)
{
  // A stepped parameter plays its step, not the normalised value near it that reached it.
  if (const IParam* param = GetParam(paramIdx))
    normalizedValue = param->ToNormalized(param->FromNormalized(normalizedValue));
  if (Parameter* object = getParameterObject(static_cast<ParamID>(paramIdx)))
    object->setNormalized(normalizedValue);
  return normalizedValue;
}

void IPluginVST3::InformHostOfPresetChange() {}

void IPluginVST3::DirtyParametersFromUI()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  startGroupEdit();
  for (int i = 0; i < NParams(); ++i)
  {
    if (Parameter* object = getParameterObject(static_cast<ParamID>(i)))
      object->setNormalized(GetParam(i)->GetNormalized());
  }
  IPluginAPIBase::DirtyParametersFromUI();
  finishGroupEdit();
}

void IPluginVST3::SendParameterValueFromUI(int paramIdx, double normalizedValue)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  TakeValueInUse(paramIdx, normalizedValue);
  IPluginAPIBase::SendParameterValueFromUI(paramIdx, normalizedValue);
}

tresult PLUGIN_API IPluginVST3::initialize(FUnknown* context)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const tresult result = SingleComponentEffect::initialize(context);
  if (result != kResultOk)
    return result;

  int inConfig = 0;
  int outConfig = 0;
  MaxNBuses(kInput, &inConfig);
  const int nOutBuses = MaxNBuses(kOutput, &outConfig);
  AddAudioBuses(kInput, inConfig);
  AddAudioBuses(kOutput, outConfig);
  if (GetPlugType() == kPlugTypeMidiEffect && nOutBuses == 0)
    addAudioOutput(STR16("Dummy Output"), 0, kMain, 0);
  if (DoesMIDIIn())
    addEventInput(STR16("MIDI Input"), 1, kMain, BusInfo::kDefaultActive)->setActive(true);
  if (DoesMIDIOut())
    addEventOutput(STR16("MIDI Output"), 1, kMain, BusInfo::kDefaultActive)->setActive(true);

  Initialize(*this, *this, GetPlugType() == kPlugTypeInstrument, DoesMIDIIn());
  // A host reads the values its parameter objects hold now.
  TakeHostNews();

  if (GetHost() == kHostUninit && context)
  {
    IHostApplication* app = nullptr;
    if (context->queryInterface(IHostApplication::iid, reinterpret_cast<void**>(&app)) == kResultOk && app)
    {
      String128 name{};
      if (app->getName(name) == kResultOk)
        SetHost(UTF16ToUTF8(name, 128).c_str(), 0);
      app->release();
    }
  }

  if (IPtr<Linux::IRunLoop> hostLoop = IPluginVST3RunLoop::QueryRunLoop(context))
  {
    mRunLoop = std::make_unique<IPluginVST3RunLoop>(hostLoop);
    if (Timer* timer = GetTimer())
      timer->AttachRunLoop(mRunLoop.get());
  }

  OnHostIdentified();
  OnParamReset(EParamSource::kReset);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::terminate()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  DetachRunLoop();
  Uninitialize();
  return SingleComponentEffect::terminate();
}

void IPluginVST3::AddAudioBuses(ERoute direction, int configIdx)
{
  const IOConfig* config = GetIOConfig(configIdx);
  if (!config)
    return;
  const int nBuses = config->NBuses(direction);
  for (int b = 0; b < nBuses; ++b)
  {
    TextString name;
    GetBusName(direction, b, nBuses, name);
    String128 name16{};
    UTF8ToUTF16(name.Get(), name16, 128);
    const SpeakerArrangement arrangement = ArrangementForChannels(config->NChansOnBus(direction, b));
    const BusType type = b == 0 ? kMain : kAux;
    const int32 flags = b == 0 ? BusInfo::kDefaultActive : 0;
    AudioBus* bus = direction == kInput ? addAudioInput(name16, arrangement, type, flags)
                                        : addAudioOutput(name16, arrangement, type, flags);
    // A default-active bus is active until the host says otherwise.
    bus->setActive(b == 0);
  }
}

tresult PLUGIN_API IPluginVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // Ardour and Mixbus map their own ports onto the buses as declared: agree, and keep the buses.
  if (GetHost() == kHostArdour || GetHost() == kHostMixbus)
    return kResultTrue;
  SetChannelConnections(kInput, 0, MaxNChannels(kInput), false);
  SetChannelConnections(kOutput, 0, MaxNChannels(kOutput), false);
  if (numIns < 0 || numOuts < 0 || numIns > MaxNBuses(kInput) || numOuts > MaxNBuses(kOutput))
    return kResultFalse;
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs))
    return kResultFalse;

  std::vector<int> inChans;
  std::vector<int> outChans;
  for (int32 i = 0; i < numIns; ++i)
    inChans.push_back(std::popcount(static_cast<uint64>(inputs[i])));
  for (int32 i = 0; i < numOuts; ++i)
    outChans.push_back(std::popcount(static_cast<uint64>(outputs[i])));
  const int configIdx = GetIOConfigWithChanCounts(inChans, outChans);
  if (configIdx < 0)
    return kResultFalse;

  removeAudioBusses();
  AddAudioBuses(kInput, configIdx);
  AddAudioBuses(kOutput, configIdx);
  return kResultTrue;
}

tresult PLUGIN_API IPluginVST3::setActive(TBool state)
{
  SetActive(state != 0);
  // Some hosts switch activation from a worker thread; idle work then waits for the main thread.
  PollIdle();
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setupProcessing(ProcessSetup& setup)
{
  return SetupProcessing(setup, processSetup) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPluginVST3::setProcessing(TBool state)
{
  SetProcessing(state != 0);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::process(ProcessData& data)
{
  AudioThreadScope audioThread;
  Process(data, processSetup, audioInputs, audioOutputs);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::canProcessSampleSize(int32 symbolicSampleSize)
{
  return CanProcessSampleSize(symbolicSampleSize) ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPluginVST3::getLatencySamples()
{
  const int latency = GetLatency();
  mHostLatency.store(latency, std::memory_order_relaxed);
  return static_cast<uint32>(std::max(latency, 0));
}

uint32 PLUGIN_API IPluginVST3::getTailSamples()
{
  const int tail = GetTailSize();
  mHostTail.store(tail, std::memory_order_relaxed);
  return tail == INT_MAX ? kInfiniteTail : static_cast<uint32>(std::max(tail, 0));
}

tresult PLUGIN_API IPluginVST3::getState(IBStream* state)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  PollIdle();
  if (!state)
    return kInvalidArgument;
  IByteChunk chunk(IByteChunk::kDefaultGrowStep);
  if (!SerializeState(chunk))
    return kResultFalse;
  const int32 bypass = GetBypassed() ? 1 : 0;
  const uint8 bypassBytes[4] = {static_cast<uint8>(bypass), 0, 0, 0};
  int32 written = 0;
  // A stream that took less than everything would hold a state that cannot be restored.
  if (chunk.Size() > 0 &&
      (state->write(chunk.GetData(), chunk.Size(), &written) != kResultOk || written != chunk.Size()))
    return kResultFalse;
  written = 0;
  if (state->write(const_cast<uint8*>(bypassBytes), 4, &written) != kResultOk || written != 4)
    return kResultFalse;
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setState(IBStream* state)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  PollIdle();
  if (!state)
    return kInvalidArgument;

  // The whole rest of the stream, bypass word included, read in small pieces.
  IByteChunk chunk(IByteChunk::kDefaultGrowStep);
  uint8 buffer[kStateReadSize];
  for (;;)
  {
    int32 nRead = 0;
    const tresult result = state->read(buffer, kStateReadSize, &nRead);
    if (nRead <= 0)
      break;
    nRead = std::min(nRead, kStateReadSize);
    if (result != kResultOk)
    {
      // This host reports failure on the last piece it still delivers.
      if (GetHost() == kHostWaveLab && chunk.PutBytes(buffer, nRead) == 0)
        return kResultFalse;
      break;
    }
    if (chunk.PutBytes(buffer, nRead) == 0)
      return kResultFalse;
  }

  // Positions are counted from where the stream stood when the restore began. Changes the restore
  // reports meanwhile are counted, not sent: the host hears once, below.
  mStaleInHostState = 0;
  const int pos = UnserializeState(chunk, 0);
  if (pos < 0)
  {
    // The reader has announced its parameters either way: the host's objects must follow them.
    const int stale = std::exchange(mStaleInHostState, -1) + UpdateParams(*this);
    AskHostToRereadValues(stale);
    return kResultFalse;
  }
  int32_t bypass = 0;
  chunk.Get(bypass, pos); // a stream without the word leaves bypass off
  int stale = UpdateParams(*this, static_cast<double>(bypass));
  OnRestoreState();
  stale += std::exchange(mStaleInHostState, -1) + UpdateParams(*this);
  // At once: a host with no run loop and no later call would otherwise keep showing the old values.
  AskHostToRereadValues(stale);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setComponentHandler(IComponentHandler* handler)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const tresult result = SingleComponentEffect::setComponentHandler(handler);
  if (handler)
  {
    mParamValuesUnannounced = true;
    // A new host reads latency and tail when it activates the plug-in: only later changes are news.
    mHostLatency.store(GetLatency(), std::memory_order_relaxed);
    mHostTail.store(GetTailSize(), std::memory_order_relaxed);
  }
  return result;
}

void IPluginVST3::OnBindingIdle()
{
  if (mParamValuesUnannounced && componentHandler)
  {
    mParamValuesUnannounced = false;
    TakeHostNews();
    RestartComponent(kParamValuesChanged);
  }
  // What waited for a host's restart call to return, when more came than one round sends.
  RestartComponent(0);
  AnnounceIfChanged(GetLatency(), mHostLatency, kLatencyChanged);
  AnnounceIfChanged(GetTailSize(), mHostTail, kTailChanged);
}

tresult PLUGIN_API IPluginVST3::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
  if (paramIndex < 0 || paramIndex >= getParameterCount())
    return kInvalidArgument;
  return SingleComponentEffect::getParameterInfo(paramIndex, info);
}

ParamValue PLUGIN_API IPluginVST3::getParamNormalized(ParamID tag)
{
  PollIdle();
  return SingleComponentEffect::getParamNormalized(tag);
}

tresult PLUGIN_API IPluginVST3::setParamNormalized(ParamID tag, ParamValue value)
{
  const bool taken = SetParamNormalized(*this, tag, value);
  if (taken && tag < static_cast<ParamID>(NParams()))
    HostValues().Heard(static_cast<int>(tag), GetParam(static_cast<int>(tag))->GetNormalized());
  // Idle work after the value is in: a restart it sends must not make the host read the old one.
  PollIdle();
  return taken ? kResultOk : kResultFalse;
}

IPlugView* PLUGIN_API IPluginVST3::createView(FIDString name)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!name || !HasUI() || std::strcmp(name, ViewType::kEditor) != 0)
    return nullptr;
  mView = new IPluginVST3View(*this);
  return mView;
}

IPlugView* IPluginVST3::GetOpenPlugView() const { return mView; }

Linux::IRunLoop* IPluginVST3::GetHostRunLoop() const
{
  if (mRunLoop)
    return mRunLoop->HostRunLoop();
  return mView ? mView->FrameRunLoop() : nullptr;
}

float IPluginVST3::GetHostScreenScale() const { return mView && mView->HostGaveScale() ? mView->ScreenScale() : 0.f; }

void IPluginVST3::OnViewAttached(IPluginVST3View& view)
{
  mView = &view;
  if (mRunLoop || mViewRunLoop || !view.FrameRunLoop())
    return;
  mViewRunLoop = std::make_unique<IPluginVST3RunLoop>(view.FrameRunLoop());
  if (Timer* timer = GetTimer())
    timer->AttachRunLoop(mViewRunLoop.get());
}

void IPluginVST3::OnViewRemoved(IPluginVST3View&)
{
  if (!mViewRunLoop)
    return;
  if (Timer* timer = GetTimer())
    timer->AttachRunLoop(nullptr);
  mViewRunLoop.reset();
}

void IPluginVST3::OnViewDestroyed(IPluginVST3View* view)
{
  if (mView == view)
    mView = nullptr;
}

tresult PLUGIN_API IPluginVST3::setComponentState(IBStream*) { return kResultOk; }

tresult PLUGIN_API IPluginVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex < 0 || unitIndex >= getUnitCount())
    return kInvalidArgument;
  return SingleComponentEffect::getUnitInfo(unitIndex, info);
}

int32 PLUGIN_API IPluginVST3::getProgramListCount() { return 0; }

tresult PLUGIN_API IPluginVST3::getProgramListInfo(int32, ProgramListInfo&) { return kResultFalse; }

tresult PLUGIN_API IPluginVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
  if (listId != kPresetListId || NPresets() < 1 || !name)
    return kResultFalse;
  UTF8ToUTF16(GetPresetName(programIndex), name, 128);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                            CtrlNumber midiControllerNumber, ParamID& id)
{
  // Only ids with a parameter object behind them are handed out.
  if (!DoesMIDIIn() || busIndex != 0 || channel != 0 || midiControllerNumber < 0 ||
      midiControllerNumber >= kMidiCCParamsPerChannel)
    return kResultFalse;
  id = kMidiCCParamStartId + static_cast<ParamID>(kMidiCCParamsPerChannel * channel + midiControllerNumber);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setChannelContextInfos(IAttributeList* list)
{
  return SetChannelContextInfos(list) ? kResultOk : kResultFalse;
}

void IPluginVST3::PollIdle()
{
  // Hosts call some of these operations from their own worker or audio threads too; idle work
  // belongs to the thread that created the plug-in, the host's main thread.
  if (std::this_thread::get_id() != mMainThread)
    return;
  Timer* timer = GetTimer();
  if (timer && !timer->IsAttached())
    timer->PollIfDue(mIdleClock());
}

void IPluginVST3::DetachRunLoop()
{
  if (Timer* timer = GetTimer())
    timer->AttachRunLoop(nullptr);
  mRunLoop.reset();
  mViewRunLoop.reset();
}

} // namespace plugkit
