// The plug-in class: the compiled-in configuration, construction in its fixed order, and the state chunk.
#pragma once

#include <array>
#include <atomic>
#include <memory>

#include "IPlugin/VST3/IPluginVST3.h"
#include "product/audio_path.h"
#include "product/cc_mod_settings.h"
#include "product/editor_state_codec.h"
#include "product/mod_params.h"
#include "product/model_params.h"
#include "product/note_mode_controller.h"
#include "utils/host_time_info.h"

class Vemlor final : public plugkit::IPluginVST3,
                     public zarvo::EditorStateHost,
                     public zarvo::AudioPathHost,
                     public zarvo::NoteModeListener,
                     public zarvo::CCModHost
{
public:
  // Main thread, under the module's creation lock.
  explicit Vemlor(const plugkit::InstanceInfo& info);
  ~Vemlor() override;

  // Whether hover help is shown; the last constructed instance's reading of the preference wins.
  static inline bool s_helpTooltipsEnabled = true;

  // Main thread: the editor height in pixels, 620 with the morph panel open, else 200.
  int currentUIHeight() const;

  // Audio thread: one host block through the effect.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;
  // Audio thread: note-on, note-off and control-change messages wait for their tick; others are dropped.
  void ProcessMidiMsg(const plugkit::IMidiMsg& msg) override;
  // The processing set-up and switch-off: audio thread, or the main thread while no block runs.
  void OnReset() override;
  // Main thread: the idle work runs once whenever the host activates or deactivates the plug-in.
  void OnActivate(bool active) override;
  // Main thread, every 20 ms.
  void OnIdle() override;

  // Any thread: a parameter changed (the audio thread for host changes inside a block, offset >= 0).
  using plugkit::IPluginVST3::OnParamChange;
  void OnParamChange(int paramIdx, plugkit::EParamSource source, int sampleOffset) override;

  // Any thread: the cutoff parameter (11, 0 or 4) follows MIDI notes.
  bool isCutoffNoteModeOn(int param) const { return mNoteMode.isCutoffNoteModeOn(param); }
  // Audio thread: a modulation slot's live controller value (0 .. 1).
  void setModLiveValue(int slot, double value);
  // Audio thread (raises a flag only): the host information view has news.
  void triggerHostInfoRefresh() { mHostInfoRefresh.store(true, std::memory_order_release); }
  // Any thread: blocks processed since construction.
  uint64_t blockCount() const { return mAudioPath.blockCount(); }

  // Main thread: the state chunk, version word first; other sections join as their owners land.
  bool SerializeState(plugkit::IByteChunk& chunk) const override;
  int UnserializeState(const plugkit::IByteChunk& chunk, int startPos) override;

  // Main thread: what the editor-state codec reaches of the plug-in.
  plugkit::IParam* stateParam(int index) override;
  bool editorOpen() const override;
  zarvo::EditorStateFields editorState() const override;
  void applyEditorState(const zarvo::EditorStateFields& fields) override;
  zarvo::UserTabColumns userTabColumns() const override;
  void setUserTabColumns(zarvo::UserTabColumns columns) override;
  zarvo::PresetManager* presetManager() override;

  // Audio thread: what the audio path reads of parameters, modulation, morph field and controllers.
  const plugkit::IParam& param(int index) const override { return *GetParam(index); }
  bool modulation(int param, zarvo::SlotModulation& out) const override;
  bool heldByController(int param) const override { return mCCMod.held(param); }
  void applyMorph(zarvo::ParamSnapshot& snap, zarvo::OutputStage& out, zarvo::NoteModeController::Snapshots& notes) override;
  void dispatchController(const plugkit::IMidiMsg& msg) override;

  // Any thread: note-parameter consequences; work that belongs to the main thread waits for idle.
  void noteModeSwitchedOn(int cutoffParam) override;
  void controllerChannelChanged(int cutoffParam, int channel) override;

  // Main thread: what the controller modulation settings ask of the plug-in.
  const plugkit::IParam* ccModParam(int index) const override;
  bool hasController(int index) const override;
  bool cutoffFollowsNotes(int index) const override { return isCutoffNoteModeOn(index); }

private:
  // Construction steps, called in this order by the constructor.
  void createEngine();
  void readHoverHelpPreference();
  void initializeParams();
  void loadUserLayout();
  void createNoteModeController();
  void createMorphController();
  void readMorphFieldPreferences();
  void createStateCodec();
  void installEditorFunctions();
  void initPresets();
  void createPresetManager();
  void createControllerMapFiles();
  void seedFreshInstancePoints();
  void applyRandomStarterPreset();

  // State chunk sections owned by subsystems still to come; each returns the position after itself.
  bool serializeControllerSections(plugkit::IByteChunk& chunk) const;
  int unserializeControllerSections(const plugkit::IByteChunk& chunk, int pos, uint32_t version);
  bool serializeMorphAndIdentity(plugkit::IByteChunk& chunk) const;
  int unserializeMorphAndIdentity(const plugkit::IByteChunk& chunk, int pos);

  // Main thread: note-mode consequences raised on the audio thread.
  void replayDeferredNoteModeWork();
  // Main thread: the controller map's channel for a cutoff follows its stage's controller channel.
  void applyControllerChannel(int cutoffParam, int channel);

  // Per modulation slot: its parameter's shape is not linear, so modulation acts on the normalised value.
  std::array<bool, zarvo::mod::kNumModSlots> mModShaped{};
  // Per slot: the last controller value received (data 2 / 127).
  std::array<std::atomic<double>, zarvo::mod::kNumModSlots> mModCCValue{};
  zarvo::CCModSettings mCCMod{*this};
  // The plain value each parameter had at its previous change; the largest finite double after a reset.
  std::array<std::atomic<double>, zarvo::kNumParams> mLastParamValue;
  zarvo::BlockParamRecord mBlockRecord;
  zarvo::NoteModeController mNoteMode{this};
  zarvo::AudioPath mAudioPath{mBlockRecord, mNoteMode, *this};
  zarvo::HostInfoModel<Vemlor> mHostInfo{*this, &Vemlor::triggerHostInfoRefresh};
  // Raised by any thread, exchanged to false by the idle function.
  std::atomic<bool> mLayoutUpdate{false};
  std::atomic<bool> mHostInfoRefresh{false};
  std::atomic<uint32_t> mDeferredNoteModeOn{0};       // bit per note-mode stage
  std::array<std::atomic<int>, zarvo::NoteModeController::kNumStages> mDeferredControllerChannel{}; // -1: none
  // Main thread: the latency last reported to the host.
  int mReportedLatency = 0;
  std::unique_ptr<zarvo::VemlorStateCodec> mStateCodec;
  zarvo::EditorStateFields mEditorState;
  zarvo::UserTabColumns mUserTabColumns;
};
