#include "product/Vemlor.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "IPlugin/IPluginThreadRole.h"
#include "product/config.h"
#include "product/dsp/oversampler.h"
#include "product/param_init.h"
#include "product/params.h"

namespace {

// What every parameter's previous value reads as after a reset, so its next change is handled in full.
constexpr double kUnseenValue = std::numeric_limits<double>::max();

constexpr uint32_t kStateVersion = static_cast<uint32_t>(zarvo::kVemlorConfig.version);
// A chunk of a later major version has a layout this reader does not know.
constexpr uint32_t kMaxStateMajorVersion = 1;
constexpr int kMaxStoredParams = 1024;

} // namespace

Vemlor::Vemlor(const plugkit::InstanceInfo& info)
  : plugkit::IPluginVST3(info, zarvo::kVemlorConfig)
{
  for (auto& v : mLastParamValue)
    v.store(kUnseenValue, std::memory_order_relaxed);
  for (auto& channel : mDeferredControllerChannel)
    channel.store(-1, std::memory_order_relaxed);
  createEngine();
  readHoverHelpPreference();
  initializeParams();
  loadUserLayout();
  createNoteModeController();
  createMorphController();
  readMorphFieldPreferences();
  createStateCodec();
  installEditorFunctions();
  initPresets();
  createPresetManager();
  createControllerMapFiles();
  seedFreshInstancePoints();
  applyRandomStarterPreset();
}

Vemlor::~Vemlor() = default;

// The audio path (DSP model, oversampler, working buffers) is a member; here it gets room for the
// largest block before any host set-up. The randomizer and the controller map with its mediator
// are made here when the patch library and the MIDI CC mapping land.
void Vemlor::createEngine()
{
  mAudioPath.prepare(std::max(MaxNChannels(plugkit::kInput), MaxNChannels(plugkit::kOutput)), GetBlockSize());
}

// Hover help follows the "hover_help" preference once the preferences access lands.
void Vemlor::readHoverHelpPreference() {}

void Vemlor::initializeParams()
{
  for (int i = 0; i < zarvo::kNumParams; ++i)
    zarvo::initParam(*GetParam(i), i);
  mModShaped = zarvo::modShapedFlags([this](int i) -> const plugkit::IParam& { return *GetParam(i); });
  // The audio path starts from the defaults until the first change of each parameter.
  for (int i = 0; i < zarvo::kNumParams; ++i)
  {
    mBlockRecord.store(i, GetParam(i)->Value());
    mNoteMode.onParamChanged(i, GetParam(i)->Value());
  }
}

// The user tab's slots come from the default layout file once the preferences access lands.
void Vemlor::loadUserLayout() {}

// The note-mode controller is a member, bound to this plug-in and fed by initializeParams.
void Vemlor::createNoteModeController() {}

// The morph controller with its default points is made and published here when the morph field lands.
void Vemlor::createMorphController() {}

// The morph field's display preferences are read here when the morph field lands.
void Vemlor::readMorphFieldPreferences() {}

void Vemlor::createStateCodec() { mStateCodec = std::make_unique<zarvo::VemlorStateCodec>(*this); }

// The editor-creation and layout functions are installed here when the editor lands.
void Vemlor::installEditorFunctions() {}

// The factory presets are defined here when the patch library lands.
void Vemlor::initPresets() {}

// The preset manager with its hooks and the "preset_dir" folder is made here when the patch library lands.
void Vemlor::createPresetManager() {}

// The controller-map file orchestrator is made here when the MIDI CC mapping lands.
void Vemlor::createControllerMapFiles() {}

// A fresh instance's morph points are placed here when the morph field lands.
void Vemlor::seedFreshInstancePoints() {}

// A random starter preset becomes the patch here when the factory presets land.
void Vemlor::applyRandomStarterPreset() {}

int Vemlor::currentUIHeight() const
{
  // The morph panel opens with the morph controller, which is still to come.
  return 200;
}

void Vemlor::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  mHostInfo.updateAll(nFrames);
  mAudioPath.process(inputs, NChannelsConnected(plugkit::kInput), outputs, NChannelsConnected(plugkit::kOutput),
                     nFrames, GetSampleRate());
}

void Vemlor::ProcessMidiMsg(const plugkit::IMidiMsg& msg) { mAudioPath.queueMidi(msg); }

void Vemlor::OnReset()
{
  for (auto& v : mLastParamValue)
    v.store(kUnseenValue, std::memory_order_relaxed);
  mHostInfo.refreshOnReset();
  mAudioPath.prepare(std::max(MaxNChannels(plugkit::kInput), MaxNChannels(plugkit::kOutput)), GetBlockSize());
  mAudioPath.reset(GetSampleRate());
  mLayoutUpdate.store(true, std::memory_order_release);
}

void Vemlor::OnActivate(bool) { OnIdle(); }

void Vemlor::OnIdle()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  replayDeferredNoteModeWork();
  // The editor is laid out again and its host information view refreshed here once the editor lands.
  mLayoutUpdate.exchange(false, std::memory_order_acq_rel);
  mHostInfoRefresh.exchange(false, std::memory_order_acq_rel);

  const int latency = zarvo::Oversampler::latencySamples(static_cast<int>(mBlockRecord.oversamplingFactor()));
  if (latency != mReportedLatency)
  {
    mReportedLatency = latency;
    SetLatency(latency);
  }
}

void Vemlor::OnParamChange(int paramIdx, plugkit::EParamSource source, int)
{
  if (paramIdx < 0 || paramIdx >= zarvo::kNumParams)
    return;
  const double value = GetParam(paramIdx)->Value();
  if (mLastParamValue[static_cast<size_t>(paramIdx)].exchange(value, std::memory_order_relaxed) == value)
    return;

  // A host automating a cutoff takes it off the played note.
  if (source == plugkit::EParamSource::kHost)
  {
    constexpr std::array<std::pair<int, int>, 3> kAnchors = {{{zarvo::par_main_cutoff_hz, zarvo::par_main_cutoff_note_anchored},
                                                              {zarvo::par_preFlt_A_hz, zarvo::par_preA_cutoff_note_anchored},
                                                              {zarvo::par_preFlt_B_hz, zarvo::par_preB_cutoff_note_anchored}}};
    for (const auto& [cutoff, anchor] : kAnchors)
    {
      if (paramIdx == cutoff && GetParam(anchor)->Value() > 0.5)
        GetParam(anchor)->Exchange(0.0);
    }
  }

  // The morph point mirror, the preset manager's notification, the morph controller's meta
  // parameters and the editor's blend picks join here with the morph field and the patch library.
  if (mNoteMode.onParamChanged(paramIdx, value))
    return;
  mBlockRecord.store(paramIdx, value);
}

void Vemlor::setModLiveValue(int slot, double value)
{
  if (slot >= 0 && slot < zarvo::mod::kNumModSlots)
    mModCCValue[static_cast<size_t>(slot)].store(value, std::memory_order_relaxed);
}

bool Vemlor::modulation(int param, zarvo::SlotModulation& out) const
{
  const int slot = zarvo::modSlotOf(param);
  if (slot < 0 || mCCMod.mode(param) != 1)
    return false;
  const size_t s = static_cast<size_t>(slot);
  out.controllerValue = mModCCValue[s].load(std::memory_order_relaxed);
  out.depth = mCCMod.depth(slot);
  out.bipolar = mCCMod.bipolar(slot);
  out.multiply = mCCMod.multiply(slot) != 0;
  out.shaped = mModShaped[s];
  return true;
}

// The morph controller's blend is laid over the block here (zarvo::applyMorphField while its morph
// switch is on) once the morph controller is part of the plug-in.
void Vemlor::applyMorph(zarvo::ParamSnapshot&, zarvo::OutputStage&, zarvo::NoteModeController::Snapshots&) {}

// Controller messages reach the controller map's mediator here (its own handler while learning,
// else with mNoteMode.allowsAbsoluteCC as the filter) once the MIDI CC mapping is part of the plug-in.
void Vemlor::dispatchController(const plugkit::IMidiMsg&) {}

void Vemlor::noteModeSwitchedOn(int cutoffParam)
{
  const int stage = zarvo::NoteModeController::stageOfCutoff(cutoffParam);
  if (plugkit::IsAudioThread())
  {
    mDeferredNoteModeOn.fetch_or(1u << stage, std::memory_order_acq_rel);
    return;
  }
  mCCMod.setMode(cutoffParam, 1);
  mCCMod.setHeld(cutoffParam, false);
}

void Vemlor::controllerChannelChanged(int cutoffParam, int channel)
{
  const int stage = zarvo::NoteModeController::stageOfCutoff(cutoffParam);
  if (plugkit::IsAudioThread())
  {
    mDeferredControllerChannel[static_cast<size_t>(stage)].store(channel, std::memory_order_release);
    return;
  }
  applyControllerChannel(cutoffParam, channel);
}

void Vemlor::replayDeferredNoteModeWork()
{
  const uint32_t switchedOn = mDeferredNoteModeOn.exchange(0u, std::memory_order_acq_rel);
  for (int stage = 0; stage < zarvo::NoteModeController::kNumStages; ++stage)
  {
    const int cutoff = zarvo::NoteModeController::kStageCutoffParam[static_cast<size_t>(stage)];
    if (switchedOn & (1u << stage))
      noteModeSwitchedOn(cutoff);
    const int channel = mDeferredControllerChannel[static_cast<size_t>(stage)].exchange(-1, std::memory_order_acq_rel);
    if (channel >= 0)
      applyControllerChannel(cutoff, channel);
  }
}

// The controller map takes the channel (Mapper::setChannelForParam) once the MIDI CC mapping is
// part of the plug-in.
void Vemlor::applyControllerChannel(int, int) {}

const plugkit::IParam* Vemlor::ccModParam(int index) const
{
  return index >= 0 && index < zarvo::kNumParams ? GetParam(index) : nullptr;
}

// The controller map answers this once the MIDI CC mapping is part of the plug-in.
bool Vemlor::hasController(int) const { return false; }

bool Vemlor::SerializeState(plugkit::IByteChunk& chunk) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  bool ok = chunk.Put(kStateVersion) > 0;
  ok = serializeControllerSections(chunk) && ok;
  ok = chunk.Put(static_cast<double>(zarvo::kNumParams)) > 0 && ok;
  for (int i = 0; i < zarvo::kNumParams; ++i)
  {
    ok = chunk.Put(zarvo::kStableParamIds[static_cast<size_t>(i)]) > 0 && ok;
    ok = chunk.Put(GetParam(i)->Value()) > 0 && ok;
  }
  ok = mStateCodec->serializeUIState(chunk) && ok;
  ok = serializeMorphAndIdentity(chunk) && ok;
  return ok && chunk.Size() > 0;
}

int Vemlor::UnserializeState(const plugkit::IByteChunk& chunk, int startPos)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  uint32_t version = 0;
  int pos = chunk.Get(version, startPos);
  if (pos < 0 || (version >> 16) > kMaxStateMajorVersion)
    return -1;

  pos = unserializeControllerSections(chunk, pos, version);
  double storedCount = 0.0;
  if (pos < 0 || chunk.Get(storedCount, pos) < 0 || !std::isfinite(storedCount))
    return -1;
  const double count = std::trunc(storedCount);
  if (count < 0.0 || count > kMaxStoredParams)
    return -1;

  pos = mStateCodec->applyParamsFromChunk(chunk, pos + 8, static_cast<int>(count));
  for (int i = 0; i < NParams(); ++i)
  {
    OnParamChange(i, plugkit::EParamSource::kPresetRecall, -1);
    OnParamChangeUI(i, plugkit::EParamSource::kPresetRecall);
  }
  if (pos < 0)
    return pos;
  pos = mStateCodec->unserializeUIState(chunk, pos);
  if (pos < 0)
    return pos;
  return unserializeMorphAndIdentity(chunk, pos);
}

// The controller map and the controller modulation settings are written here when the MIDI CC mapping lands.
bool Vemlor::serializeControllerSections(plugkit::IByteChunk&) const { return true; }

int Vemlor::unserializeControllerSections(const plugkit::IByteChunk&, int pos, uint32_t) { return pos; }

// The morph field, the identity marker and the patch identity are written here when they land.
bool Vemlor::serializeMorphAndIdentity(plugkit::IByteChunk&) const { return true; }

int Vemlor::unserializeMorphAndIdentity(const plugkit::IByteChunk&, int pos) { return pos; }

plugkit::IParam* Vemlor::stateParam(int index) { return index >= 0 && index < zarvo::kNumParams ? GetParam(index) : nullptr; }

// The editor comes with the graphics layer; until then it is never open.
bool Vemlor::editorOpen() const { return false; }

zarvo::EditorStateFields Vemlor::editorState() const { return mEditorState; }

void Vemlor::applyEditorState(const zarvo::EditorStateFields& fields) { mEditorState = fields; }

zarvo::UserTabColumns Vemlor::userTabColumns() const { return mUserTabColumns; }

void Vemlor::setUserTabColumns(zarvo::UserTabColumns columns) { mUserTabColumns = std::move(columns); }

zarvo::PresetManager* Vemlor::presetManager() { return nullptr; }
