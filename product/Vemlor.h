// The plug-in class, where the parts are built and connected: the audio path, the morph field, the
// state chunk, presets and randomizer, the controller map, the services handed to the parts and the
// editor's model; and the plug-in's own work: parameter changes from host, editor and preset recall,
// idle work and editor messages.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "IPlugin/VST3/IPluginVST3.h"
#include "product/cc_map_host.h"
#include "product/audio/audio_path.h"
#include "product/state/cc_mod_settings.h"
#include "product/dsp/tail_bound.h"
#include "product/editor/editor_services.h"
#include "product/editor/editor_ui_state.h"
#include "product/editor/morph_editor.h"
#include "product/state/editor_state_codec.h"
#include "product/params/mod_params.h"
#include "product/audio/model_params.h"
#include "product/audio/note_mode_controller.h"
#include "product/params/plugin_param_edits.h"
#include "product/patch/preset_manager.h"
#include "product/patch/prefs_access.h"
#include "product/patch/factory_presets.h"
#include "product/patch/patch_generator.h"
#include "product/patch/patch_history.h"
#include "product/patch/randomizer.h"
#include "product/state/plugin_states.h"
#include "product/state/state_chunk.h"
#include "product/VemlorMorphParams.h"
#include "utils/editor_services.h"
#include "utils/host_info_view.h"
#include "utils/host_time_info.h"
#include "utils/midi_cc/cc_file_orchestrator.h"
#include "utils/midi_cc/cc_mediator.h"
#include "utils/morph/morph_controller.h"
#include "utils/morph/morph_host.h"
#include "utils/ui/PresetLibrary.h"

namespace zarvo {

// The main filter's shape as the editor shows it, with each pass type's share of a blend: the blend
// while morphing without focus, else the plug-in's own shape (axes only when the blend confirms it).
// Main thread.
morph::MorphController::MainPTShapeView
mainShapeWithTypeAxes(const morph::MorphController& controller,
                      std::array<morph::MorphController::TypeAxes, kNumPassTypes>& axes);

} // namespace zarvo

namespace vemlor::ui {
class EditorModel;
class PresetManagerLibrary;
} // namespace vemlor::ui

class VemlorEditorModel;

namespace zarvo::ui {
class PresetLibrary;
} // namespace zarvo::ui

class Vemlor final : public plugkit::IPluginVST3,
                     public zarvo::StateHost,
                     public zarvo::EditorStateHost,
                     public zarvo::AudioPathHost,
                     public zarvo::NoteModeListener,
                     public zarvo::CCModHost
{
public:
  using Mediator = zarvo::midi_cc::CCMediator;
  using CCFiles = zarvo::midi_cc::CCFileOrchestrator;
  // Milliseconds of a steady clock.
  using Clock = std::function<double()>;

  // An edit made in the editor without a gesture becomes an undo step this long after it.
  static constexpr double kUngesturedCommitMs = 200.0;

  // Main thread, under the module's creation lock.
  explicit Vemlor(const plugkit::InstanceInfo& info);
  ~Vemlor() override;

  // Whether hover help is shown; the last constructed instance's reading of the preference wins.
  static inline bool s_helpTooltipsEnabled = true;
  // Main thread: the preferences store every instance of the process shares.
  static zarvo::SettingsStore& prefs() { return zarvo::prefs(); }

  // Main thread: the editor height in pixels, 620 with the morph panel open, else 200.
  int currentUIHeight() const;
  // Main thread: replaces the steady clock the ungestured-edit commit reads.
  void setClock(Clock clock) { mClock = std::move(clock); }

  // ---- audio

  // Audio thread: one host block through the effect.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  // Audio thread: note-on, note-off and control-change messages wait for their tick; others are dropped.
  void ProcessMidiMsg(const plugkit::IMidiMsg& msg) override;
  // The processing set-up and switch-off: audio thread, or the main thread while no block runs.
  void OnReset() override;
  // Main thread: activation reports the latency and the tail for the set-up the host just made.
  void OnActivate(bool active) override;

  // ---- parameter changes

  // Any thread: a parameter changed. On the audio thread (host automation, controller messages)
  // only atomics are stored; the main-thread consequences wait for the idle function.
  using plugkit::IPluginVST3::OnParamChange;
  void OnParamChange(int paramIdx, plugkit::EParamSource source, int sampleOffset) override;
  // Main thread: a host's change through the controller reports the latency and the tail it may have
  // changed (nothing on the audio thread, where a controller mapping may call it).
  void OnParamChangeUI(int paramIdx, plugkit::EParamSource source) override;
  // Main thread: an editor change of a pass type takes its filter out of a morph or user blend.
  bool picksOutOfBlend(int paramIdx, plugkit::EParamSource source) const;
  // Main thread: editor gestures; the morph pad's position and the parameters the morph field
  // drives send no gestures, and a gesture outside the morph field ends one undo step.
  void BeginInformHostOfParamChangeFromUI(int paramIdx) override;
  void EndInformHostOfParamChangeFromUI(int paramIdx) override;
  // Main thread: the morph pad's drag of the position, one host gesture on x and y.
  void beginMorphUserGestureFromUI();
  void endMorphUserGestureFromUI();
  // Main thread: an editor change made without a gesture and not yet an undo step becomes one.
  void flushPendingUngesturedEdit();

  // ---- idle work and editor messages (main thread)

  // Every 20 ms, with or without an editor.
  void OnIdle() override;
  // Tags 7777 to 7788: the controller map and the controller modulation settings.
  bool OnMessage(int msgTag, int ctrlTag, int dataSize, const void* pData) override;
  // Drops every controller assignment and modulation setting, as one undo step.
  void clearAllCCMap();

  // ---- pass-type snapping (main thread; the editor's shape readouts run them on a click)

  void snapMainShapeToNearestPassType();
  // passTypeParam: par_preFlt_A_pt or par_preFlt_B_pt.
  void snapPreFltShapeToNearestPassType(int passTypeParam);
  // The user touched a disabled control: the morph pad shows where a driven parameter is edited.
  void onDisabledControlInteraction(int paramIdx);

  // ---- presets and randomizer (main thread)

  // A new patch as one undo step; while morphing, new sounds for morph points instead.
  zarvo::ParamEditResult randomize();
  // A variation of the patch the mutations started from; while morphing, of morph points.
  zarvo::ParamEditResult mutate();
  const zarvo::FactoryPresets& factoryPresets() const { return mFactoryPresets; }

  // ---- owned parts, for the editor (main thread)

  zarvo::morph::MorphController& morphController() { return *mMorph; }
  Mediator& ccMediator() { return mMediator; }
  CCFiles& ccFiles() { return *mCCFiles; }
  zarvo::CCModSettings& ccModSettings() { return mCCMod; }

  // ---- state chunk (main thread)

  bool SerializeState(plugkit::IByteChunk& chunk) const override;
  int UnserializeState(const plugkit::IByteChunk& chunk, int startPos) override;
  void OnRestoreState() override;

  // ---- what the parts reach of the plug-in

  // Main thread.
  plugkit::IParam* stateParam(int index) override;
  zarvo::PresetManager* presetManager() override { return mPresetManager.get(); }
  void controllerSectionsRestored() override;
  void announceRestoredParam(int index) override;
  void sendParamToEditor(int index, double normalized) override;
  void markEditorDirty() override;

  // Main thread.
  bool editorOpen() const override;
  zarvo::EditorStateFields editorState() const override;
  void applyEditorState(const zarvo::EditorStateFields& fields) override;
  zarvo::UserTabColumns userTabColumns() const override;
  void setUserTabColumns(zarvo::UserTabColumns columns) override;

  // Audio thread: parameters, modulation, morph field and controllers as the audio path reads them.
  const plugkit::IParam& param(int index) const override { return *GetParam(index); }
  bool modulation(int param, zarvo::SlotModulation& out) const override;
  bool heldByController(int param) const override { return mCCMod.held(param); }
  uint64_t modulationEpoch() const override;
  bool refreshMorph(const zarvo::ParamModulator& modulation) override;
  void applyMorph(const zarvo::ModulationView& modulation, zarvo::ParamSnapshot& snap, zarvo::OutputStage& out,
                  zarvo::NoteModeController::Snapshots& notes) override;
  void dispatchController(const plugkit::IMidiMsg& msg) override;

  // Any thread: note-parameter consequences; work that belongs to the main thread waits for idle.
  void noteModeSwitchedOn(int cutoffParam) override;
  void controllerChannelChanged(int cutoffParam, int channel) override;

  // Main thread.
  const plugkit::IParam* ccModParam(int index) const override;
  bool hasController(int index) const override;
  // Any thread: the cutoff parameter (11, 0 or 4) follows MIDI notes.
  bool cutoffFollowsNotes(int index) const override { return mNoteMode.isCutoffNoteModeOn(index); }

  // Any thread: the slot modulates a cutoff frequency, in octaves.
  bool isFrequencyModSlot(int slot) const
  {
    return slot >= 0 && slot < zarvo::mod::kNumModSlots &&
           zarvo::mod::kModParams[static_cast<size_t>(slot)].kind == zarvo::mod::kKindFrequency;
  }
  // Audio thread: a slot's live controller value, from the controller map.
  void setModLiveValue(int slot, double value);
  // Main thread: the morph pad shows the controller map too.
  void redrawMorphPad();

  // Main thread: the services the morph field is handed.
  zarvo::morph::IMorphParams& morphParams() { return mMorphParams; }
  // Every change the plug-in makes to its own parameters goes through this path.
  zarvo::ParamEdits* paramEdits() { return &mParamEdits; }
  // Any thread: the idle function lays the editor out again.
  void raiseLayoutUpdate() { mLayoutUpdate.store(true, std::memory_order_release); }

  // Audio thread (raises a flag only): the host information view has news.
  void triggerHostInfoRefresh() { mHostInfoRefresh.store(true, std::memory_order_release); }

  // ---- the editor: construction, size, tabs and scale (main thread; editor/editor_operations.cpp)

  // The editor's model: what the editor keeps (tab, strip, scale, displays, help texts) and what its
  // controls reach of the plug-in (VemlorEditorModel.cpp).
  vemlor::ui::EditorModel& editorModel();
  using EditorUIState = vemlor::ui::EditorUIState;
  EditorUIState& editorUI();
  const EditorUIState& editorUI() const;
  // Installs the layout function; called once by the constructor.
  void initializeLayout();
  void OnUIOpen() override;
  void rebuildMorphLayout();
  bool setPendingUIScale();
  void applyPresetStripToggleLock();
  void persistUIScalePrefIfSettled();
  // The tab switch's action: shows the tab's groups, ends the user tab's edit mode when it is left.
  void switchTab(int index);
  // The editor-making function's scale: a restored scale still pending, else "ui_scale", else 1;
  // consumes the pending scale and remembers the choice in editorUI().uiScale.
  float takeEditorScale();
  // The preset manager as the preset strip and browser see it; null without a preset manager. It
  // lives as long as the plug-in, so a dialog the strip opened may complete after the editor closed.
  zarvo::ui::PresetLibrary* presetLibrary();

  // ---- the editor: displays and hover help (main thread; editor/editor_displays.cpp)

  void updateHelpTooltip();
  void refreshModDepths();
  void refreshFreqNoteDisplays();
  void refreshMainPTShapeUI();
  void refreshPreFltPTShapeUI();
  // The note-mode controller's controller numbers of the three cutoffs, read from the map again.
  void refreshCutoffControllerNumbers() { readCutoffControllerNumbers(); }
  // The pass-type selectors of a filter (0 main, 1 pre-filter A, 2 pre-filter B) show a blend as no
  // selected segment.
  void showBlendedSelectors(int filter, bool blended);

  // ---- the editor: the morph page (main thread; editor/editor_morph.cpp)

  // The morph field's appearance from outside the pad, applied to the open pad.
  void applyMorphAppearance(float lineBrightness, int isoLevels, float gridStep);
  // The idle work that writes the morph field's appearance preferences once they changed.
  void persistMorphFieldPrefsIfChanged();

  // ---- preferences and the editor services (main thread; editor/editor_morph.cpp)

  // The clipboard, file dialogs and file messages of the open editor, as every part is handed them.
  vemlor::ui::EditorServices& editorServices() { return mEditorServices; }
  // Puts a preference and saves the store; when the file could not be read and so was kept, the
  // open editor says so once per process.
  void writePreference(std::string_view key, std::string value);
  void tellIfPreferencesHeld();

private:
  // What applying a randomizer result asks of the plug-in.
  class RandomizerBridge final : public zarvo::RandomizerTarget
  {
  public:
    explicit RandomizerBridge(Vemlor& plugin)
      : mPlugin(plugin)
    {}
    int paramCount() const override { return mPlugin.NParams(); }
    const plugkit::IParam* param(int index) const override { return mPlugin.GetParam(index); }
    void beginParamEditFromUI(int index) override { mPlugin.BeginInformHostOfParamChangeFromUI(index); }
    void sendParamValueFromUI(int index, double normalized) override
    {
      mPlugin.SendParameterValueFromUI(index, normalized);
    }
    void endParamEditFromUI(int index) override { mPlugin.EndInformHostOfParamChangeFromUI(index); }
    void sendParamValueToEditor(int index, double normalized) override
    {
      mPlugin.SendParameterValueFromDelegate(index, normalized, true);
    }
    void flushPendingUngesturedEdit() override { mPlugin.flushPendingUngesturedEdit(); }
    void setBulkApply(bool applying) override { mPlugin.mRandomizerApply = applying; }
    zarvo::PresetManager* presetManager() override { return mPlugin.presetManager(); }
    bool morphActive() const override { return mPlugin.mMorph->morphOn(); }
    void morphRandomize() override { mPlugin.mMorph->randomize(); }
    void morphMutate() override { mPlugin.mMorph->mutate(); }

  private:
    Vemlor& mPlugin;
  };

  // Construction steps, called in this order by the constructor.
  void readHoverHelpPreference();
  void initializeParams();
  void loadUserLayout();
  void createMorphController();
  void readMorphFieldPreferences();
  void createStateCodec();
  void initPresets();
  void createPresetManager();
  void createControllerMapFiles();
  void seedFreshInstancePoints();
  void applyRandomStarterPreset();

  // The workspace part of undo snapshots and preset loads: oversampling, the morph switch and
  // position, the editor state and the morph field.
  void writeWorkspace(plugkit::IByteChunk& chunk) const;
  void readWorkspace(const plugkit::IByteChunk& chunk);

  // Main thread: work that parameter changes on the audio thread left for the idle function.
  void replayDeferredWork();
  // Main thread: the latency of the oversampling the next block runs at and the tail the settings
  // can ring out, each reported to the host when it changed.
  void reportLatencyAndTail();
  // Main thread: what decides the tail, at its worst over what notes, controllers and the morph
  // field can move while playing.
  zarvo::TailSettings tailSettings() const;
  // Audio thread: a morph parameter's mirror, with its main-thread work deferred.
  void deferMetaParam(int paramIdx, double value);
  // Main thread: the controller map's channel for a cutoff follows its stage's controller channel.
  void applyControllerChannel(int cutoffParam, int channel);
  // Main thread: the note-mode controller's controller numbers follow the map's cutoff mappings.
  void readCutoffControllerNumbers();
  // Main thread: the editor edit of a parameter's plain value, without a gesture.
  void sendPlainFromUI(int paramIdx, double plain);
  // Main thread: lays the editor out again; commits a pending morph turn-off first, editor or not.
  bool tryUpdateLayout();
  // Main thread: shows what the host reported since the last call; false while the editor is closed.
  bool updateHostInfoView();
  // Main thread: readouts, disabled states and hover help of an open editor.
  void refreshEditorDisplays();
  // Main thread: the morph pad briefly highlights where point sounds are edited.
  void pulseEditAffordance();
  double nowMs() const { return mClock(); }

  // Per modulation slot: its parameter's shape is not linear, so modulation acts on the normalised value.
  std::array<bool, zarvo::mod::kNumModSlots> mModShaped{};
  // Per slot: the last controller value received (data 2 / 127).
  std::array<std::atomic<double>, zarvo::mod::kNumModSlots> mModCCValue{};
  std::atomic<uint64_t> mModCCValueChanges{0};
  // Audio thread: the morph field was laid over the last block.
  bool mMorphApplied = false;
  zarvo::CCModSettings mCCMod{*this};
  // The plain value each parameter had at its previous change; the largest finite double after a reset.
  std::array<std::atomic<double>, zarvo::kNumParams> mLastParamValue;
  zarvo::BlockParamRecord mBlockRecord;
  zarvo::NoteModeController mNoteMode{this};
  zarvo::AudioPath mAudioPath{mBlockRecord, mNoteMode, *this};
  zarvo::Randomizer mRandomizer;
  zarvo::Randomizer::MutationSession mMutationSession;
  zarvo::FactoryPresets mFactoryPresets;
  RandomizerBridge mRandomizerBridge{*this};
  zarvo::HostInfoModel<Vemlor> mHostInfo{*this, &Vemlor::triggerHostInfoRefresh};
  zarvo::HostInfoView mHostInfoView{[this] { return GetUI(); }};
  zarvo::PluginParamEdits mParamEdits{*this};
  // Main thread.
  Clock mClock;
  vemlor::ui::EditorServices mEditorServices{*this, mClock};
  zarvo::PresetPatchHistory mPatchHistory{*this};
  // Raised by any thread, exchanged to false by the idle function.
  std::atomic<bool> mLayoutUpdate{false};
  VemlorMorphParams mMorphParams{*this, mParamEdits, mCCMod, mNoteMode};
  vemlor::ui::MorphEditor mMorphEditor{*this, mLayoutUpdate};
  zarvo::PluginStates mStates{*this};
  zarvo::RandomizerPatchGenerator mPatchGenerator{mRandomizer, mFactoryPresets};
  // What the morph controller and the state chunk's scratch controller are handed.
  const zarvo::morph::MorphServices mMorphServices{mMorphParams,    mPatchHistory, mMorphEditor,
                                                   mEditorServices, mStates,       mPatchGenerator};
  zarvo::PluginCCMapHost mCCMapHost{*this};
  Mediator mMediator{mCCMapHost};
  std::unique_ptr<zarvo::morph::MorphController> mMorph;
  std::unique_ptr<zarvo::VemlorStateCodec> mStateCodec;
  std::unique_ptr<zarvo::StateChunk> mStateChunk;
  std::unique_ptr<zarvo::PresetManager> mPresetManager;
  std::unique_ptr<CCFiles> mCCFiles;

  // Raised by any thread, exchanged to false by the idle function.
  std::atomic<bool> mHostInfoRefresh{false};
  std::atomic<uint32_t> mDeferredNoteModeOn{0};    // bit per note-mode stage
  std::atomic<uint32_t> mDeferredMetaParams{0};    // bit 0 morph active, 1 x, 2 y
  std::atomic<bool> mDeferredAnchorRelease{false}; // host automation turned a note-anchor switch off
  std::array<std::atomic<int>, zarvo::NoteModeController::kNumStages> mDeferredControllerChannel{}; // -1: none

  // Main thread.
  bool mUIGestureActive = false;
  bool mUngesturedEditPending = false;
  double mUngesturedEditTimeMs = 0.0;
  bool mRandomizerApply = false;
  bool mApplyingStarter = false;
  // A restore announces its parameters: the stored modulation modes win over the note-mode lock.
  bool mAnnouncingRestore = false;
  int mReportedLatency = 0;
  zarvo::UserTabColumns mUserTabColumns;
  std::unique_ptr<VemlorEditorModel> mEditorModel;
  std::unique_ptr<vemlor::ui::PresetManagerLibrary> mPresetLibrary;
  // The open editor took a scale from restored state, which the delegate's remembered size must not undo.
  bool mScaleFromStateAtOpen = false;
  // Main thread: every parameter's current value to the open editor's controls.
  void sendParamValuesToEditor();
};
