// Construction in its fixed order, the audio path's host side, and what the controller map and the
// editor reach of the plug-in.
#include "product/Vemlor.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginPaths.h"
#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/TextScan.h"
#include "product/VemlorConfig.h"
#include "product/VemlorEditorModel.h"
#include "product/dsp/morph_pass_shapes.h"
#include "product/params/param_init.h"
#include "product/params/params.h"
#include "product/params/rig_param_naming.h"
#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
#include "product/editor/layout.h"
#include "product/ui/preset_manager_library.h"
#include "product/ui/vemlor_layout_format.h"

namespace {

// What every parameter's previous value reads as after a reset, so its next change is handled in full.
constexpr double kUnseenValue = std::numeric_limits<double>::max();
constexpr int kUndoDepth = 100;
constexpr const char* kCCMapFileName = "ccmap.zarvo";
constexpr int kMorphPanelHeight = 620;
constexpr int kPlainHeight = 200;
// The morph field's appearance as the pad can show it.
using Appearance = zarvo::morph::MorphZarvoAdapter::Appearance;
constexpr long long kMaxIsoLevels = Appearance::kMaxIsoLevels;

double steadyClockMs()
{
  return static_cast<double>(std::chrono::steady_clock::now().time_since_epoch().count()) *
         std::chrono::steady_clock::period::num / std::chrono::steady_clock::period::den * 1000.0;
}

} // namespace

Vemlor::Vemlor(const plugkit::InstanceInfo& info)
  : plugkit::IPluginVST3(info, zarvo::kVemlorConfig)
  , mClock(&steadyClockMs)
  , mEditorModel(std::make_unique<VemlorEditorModel>(*this))
{
  for (auto& v : mLastParamValue)
    v.store(kUnseenValue, std::memory_order_relaxed);
  for (auto& channel : mDeferredControllerChannel)
    channel.store(-1, std::memory_order_relaxed);
  // The DSP model, the randomizer, the host information, the controller map with its mediator are
  // members; the audio path gets room for the largest block before any host set-up.
  mAudioPath.prepare(
    {GetSampleRate(), GetBlockSize(), std::max(MaxNChannels(plugkit::kInput), MaxNChannels(plugkit::kOutput))});
  readHoverHelpPreference();
  initializeParams();
  loadUserLayout();
  // The note-mode controller is a member, bound to this plug-in and fed by initializeParams.
  createMorphController();
  readMorphFieldPreferences();
  createStateCodec();
  initPresets();
  createPresetManager();
  createControllerMapFiles();
  seedFreshInstancePoints();
  applyRandomStarterPreset();
  // The editor: the platform's graphics context at the current panel height and the chosen scale,
  // laid out by the editor's layout function.
  SetMakeGraphicsFunc([this] {
    return plugkit::gfx::MakeGraphics(*this, vemlor::ui::kEditorWidth, currentUIHeight(), 60, takeEditorScale());
  });
  initializeLayout();
}

Vemlor::~Vemlor() = default;

void Vemlor::readHoverHelpPreference()
{
  s_helpTooltipsEnabled = zarvo::prefs().getBool(zarvo::prefkey::kHoverHelp, true);
}

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

// The user tab starts as the user's default layout, else the built-in one.
void Vemlor::loadUserLayout()
{
  mUserTabColumns = zarvo::loadDefaultUserLayout(vemlor::ui::VemlorLayoutFormat(),
                                                 zarvo::vemlorPrefsFilePath(zarvo::kDefaultLayoutFileName));
}

void Vemlor::createMorphController()
{
  mMorph = std::make_unique<zarvo::morph::MorphController>(mMorphServices, zarvo::kVemlorConfig, zarvo::kRigParamNaming,
                                                           zarvo::kMorphPassShapes);
  mMorph->initDefaultPoints();
  mMorph->mirrorMorphParams();
}

void Vemlor::readMorphFieldPreferences()
{
  const zarvo::SettingsStore& store = zarvo::prefs();
  zarvo::morph::MorphZarvoAdapter::Appearance a = mMorph->appearance();
  if (const auto v = zarvo::prefNumber<double>(store, zarvo::prefkey::kMorphFieldLineBrightness))
    a.lineBrightness = static_cast<float>(std::clamp(*v, 0.0, 1.0));
  if (const auto v = zarvo::prefNumber<long long>(store, zarvo::prefkey::kIsoLevels))
    a.isoLevels = static_cast<int32_t>(std::clamp<long long>(*v, 0, kMaxIsoLevels));
  if (const auto v = zarvo::prefNumber<double>(store, zarvo::prefkey::kGridStep))
    a.gridStep = static_cast<float>(std::clamp(*v, Appearance::kMinGridStep, Appearance::kMaxGridStep));
  mMorph->setAppearance(a);
}

void Vemlor::createStateCodec()
{
  mStateCodec = std::make_unique<zarvo::VemlorStateCodec>(*this);
  mStates.attach(*mStateCodec);
  mStateChunk =
    std::make_unique<zarvo::StateChunk>(*this, mMediator.mapper(), mCCMod, *mStateCodec, *mMorph, mMorphServices);
}

void Vemlor::initPresets() { mFactoryPresets.initPresets(*this); }

void Vemlor::createPresetManager()
{
  TextString appSupport;
  plugkit::AppSupportPath(appSupport);
  const std::string folder =
    (std::filesystem::path(appSupport.Get()) / zarvo::kVemlorConfig.productName / "Presets").string();
  mPresetManager = std::make_unique<zarvo::PresetManager>(*this, zarvo::kVemlorConfig.pluginName, folder, kUndoDepth);
  zarvo::PresetManager& pm = *mPresetManager;
  mPatchHistory.attach(pm);
  mEditorServices.attach(pm);
  pm.setParamEdits(&mParamEdits);

  pm.setCCMapCallbacks([this](plugkit::IByteChunk& chunk) { mStateChunk->serializeControllerPart(chunk); },
                       [this](const plugkit::IByteChunk& chunk) { mStateChunk->unserializeControllerPart(chunk); });
  pm.setWorkspaceCallbacks([this](plugkit::IByteChunk& chunk) { writeWorkspace(chunk); },
                           [this](const plugkit::IByteChunk& chunk) {
                             readWorkspace(chunk);
                             reportLatencyAndTail();
                           });
  pm.setPresetApplyHook([this](const zarvo::PresetManager::PresetSource& source) {
    // A new instance's starter becomes the patch under the morph field it seeded.
    if (mApplyingStarter)
      return zarvo::PresetManager::kApplyPreset;
    if (mMorph->fileRouter().loadPresetIntoPoints(source))
      return zarvo::PresetManager::kTakenByMorph;
    return mMorph->morphOn() ? zarvo::PresetManager::kDoNothing : zarvo::PresetManager::kApplyPreset;
  });
  pm.setFileFailureReport([this](plugkit::EFileResult result) {
    mEditorServices.reportFileResult(result, zarvo::IEditorServices::EFileContent::Preset);
  });
  const auto morphGovernsPatch = [this] { return mMorph->morphOn() && !mMorph->inPointLoadContext(); };
  pm.setStripStateQueries(morphGovernsPatch, morphGovernsPatch);

  pm.restoreLastUsedDir(zarvo::prefs().getString(zarvo::prefkey::kPresetDir, ""));
  pm.setLastUsedDirChanged([this](const std::string& dir) { writePreference(zarvo::prefkey::kPresetDir, dir); });
  mPresetLibrary = std::make_unique<vemlor::ui::PresetManagerLibrary>(pm);
}

void Vemlor::createControllerMapFiles()
{
  // The dialogs start in the editor services' default folder.
  mCCFiles = std::make_unique<CCFiles>(
    mMediator, mEditorServices, zarvo::kVemlorConfig.pluginName, zarvo::kVemlorVersionText.c_str(), nullptr,
    [this] { readCutoffControllerNumbers(); }, kCCMapFileName);
  mCCFiles->setExtraSectionIO([this](zarvo::ZarvoFile& file) { mCCMod.writeCCModConfig(file); },
                              [this](const zarvo::ZarvoFile& file) { mCCMod.readCCModConfig(file); });
  mCCFiles->setBeforeChange([this] { mPresetManager->recordCCUndoStep(); });
}

void Vemlor::seedFreshInstancePoints() { mMorph->seedFreshInstancePoints(); }

// The starter's chunk carries the field it was made with; the seeded one stays.
void Vemlor::applyRandomStarterPreset()
{
  plugkit::IByteChunk field;
  mMorph->serializeMorphState(field);
  mApplyingStarter = true;
  mFactoryPresets.applyRandomStarterPreset(mPresetManager.get());
  mApplyingStarter = false;
  mMorph->unserializeMorphState(field, 0);
  mPresetManager->captureBaseline();
}

int Vemlor::currentUIHeight() const { return mMorph && mMorph->morphOn() ? kMorphPanelHeight : kPlainHeight; }

// ---- audio

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
  mHostInfo.refreshOnReset(GetBlockSize());
  mAudioPath.prepare(
    {GetSampleRate(), GetBlockSize(), std::max(MaxNChannels(plugkit::kInput), MaxNChannels(plugkit::kOutput))});
  raiseLayoutUpdate();
}

void Vemlor::setModLiveValue(int slot, double value)
{
  if (slot >= 0 && slot < zarvo::mod::kNumModSlots)
  {
    mModCCValue[static_cast<size_t>(slot)].store(value, std::memory_order_relaxed);
    mModCCValueChanges.fetch_add(1, std::memory_order_release);
  }
}

// Both counts only grow, so their sum moves whenever either does.
uint64_t Vemlor::modulationEpoch() const
{
  return mCCMod.changes() + mModCCValueChanges.load(std::memory_order_acquire);
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

bool Vemlor::refreshMorph(const zarvo::ParamModulator& modulation)
{
  const bool on = mMorph->morphOn();
  const bool switched = on != mMorphApplied;
  mMorphApplied = on;
  return (on && zarvo::updateMorphBlend(*mMorph, modulation)) || switched;
}

void Vemlor::applyMorph(const zarvo::ModulationView& modulation, zarvo::ParamSnapshot& snap, zarvo::OutputStage& out,
                        zarvo::NoteModeController::Snapshots& notes)
{
  if (mMorphApplied)
    zarvo::applyMorphBlend(*mMorph, modulation, snap, out, notes);
}

void Vemlor::dispatchController(const plugkit::IMidiMsg& msg)
{
  // The message that completes a learn is never filtered.
  if (mMediator.mapper().isLearning())
    mMediator.ProcessMidiCC(msg);
  else
    mMediator.ProcessMidiCC(msg, [this](int param) { return mNoteMode.allowsAbsoluteCC(param); });
}

void Vemlor::noteModeSwitchedOn(int cutoffParam)
{
  const int stage = zarvo::NoteModeController::stageOfCutoff(cutoffParam);
  if (plugkit::IsAudioThread())
  {
    mDeferredNoteModeOn.fetch_or(1u << stage, std::memory_order_acq_rel);
    return;
  }
  // A restored chunk brings its own modes; reading it back must reproduce them.
  if (mAnnouncingRestore)
    return;
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

void Vemlor::applyControllerChannel(int cutoffParam, int channel)
{
  mMediator.mapper().setChannelForParam(cutoffParam, channel);
}

void Vemlor::readCutoffControllerNumbers()
{
  for (int stage = 0; stage < zarvo::NoteModeController::kNumStages; ++stage)
  {
    const int cutoff = zarvo::NoteModeController::kStageCutoffParam[static_cast<size_t>(stage)];
    mNoteMode.setControllerNumber(stage, mMediator.mapper().getCCForParam(cutoff));
  }
}

const plugkit::IParam* Vemlor::ccModParam(int index) const
{
  return index >= 0 && index < zarvo::kNumParams ? GetParam(index) : nullptr;
}

bool Vemlor::hasController(int index) const { return mMediator.mapper().getCCForParam(index) >= 0; }

// ---- the editor: what the controller map and the morph field reach of the open editor

bool Vemlor::editorOpen() const { return GetUI() != nullptr; }

void Vemlor::markEditorDirty() { mMorphEditor.markControlsDirty(); }

zarvo::ui::PresetLibrary* Vemlor::presetLibrary() { return mPresetLibrary.get(); }

void Vemlor::sendParamToEditor(int index, double normalized)
{
  SendParameterValueFromDelegate(index, normalized, true);
}
