// The plug-in class: the compiled-in configuration, construction in its fixed order, and the state chunk.
#pragma once

#include <array>
#include <memory>

#include "IPlugin/VST3/IPluginVST3.h"
#include "product/editor_state_codec.h"
#include "product/mod_params.h"

class Vemlor final : public plugkit::IPluginVST3, public zarvo::EditorStateHost
{
public:
  // Main thread, under the module's creation lock.
  explicit Vemlor(const plugkit::InstanceInfo& info);
  ~Vemlor() override;

  // Whether hover help is shown; the last constructed instance's reading of the preference wins.
  static inline bool s_helpTooltipsEnabled = true;

  // Main thread: the editor height in pixels, 620 with the morph panel open, else 200.
  int currentUIHeight() const;

  // Audio thread: until the audio path lands, the input passes through.
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override;

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

  // Per modulation slot: its parameter's shape is not linear, so modulation acts on the normalised value.
  std::array<bool, zarvo::mod::kNumModSlots> mModShaped{};
  std::unique_ptr<zarvo::VemlorStateCodec> mStateCodec;
  zarvo::EditorStateFields mEditorState;
  zarvo::UserTabColumns mUserTabColumns;
};
