// The editor's model: what the layout steps and the editor's controls read and change (the tab, the
// preset strip, the scale, the displays' memo, the hover help texts) and the plug-in's parts and
// operations they are wired to.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "product/editor/editor_ui_state.h"
#include "product/patch/preset_manager.h"
#include "product/state/editor_state_codec.h"
#include "product/ui/learnable.h"
#include "utils/midi_cc/cc_file_orchestrator.h"
#include "utils/morph/morph_controller.h"

namespace plugkit {
class IByteChunk;
class IEditorDelegate;
} // namespace plugkit

namespace plugkit::gfx {
class IGfx;
} // namespace plugkit::gfx

namespace zarvo::ui {
class PresetLibrary;
} // namespace zarvo::ui

namespace vemlor::ui {

// The controller map's files, as the preset row's buttons reach them.
using CCFiles = zarvo::midi_cc::CCFileOrchestrator;

// One per plug-in, living as long as it: controls keep references to it and to its parts. Main thread.
class EditorModel
{
public:
  virtual ~EditorModel() = default;

  // ---- what the editor keeps

  EditorUIState& editorUI() { return mUI; }
  const EditorUIState& editorUI() const { return mUI; }
  DisplayMemo displayMemo;
  // Hover help per parameter index, filled by setTooltips.
  std::unordered_map<int, std::string> paramHelpTexts;
  // The pad changed the morph field's appearance; the idle work writes its preferences.
  bool morphFieldPrefsChanged = false;

  // Fills the hover help of the parameters and the buttons of a new layout.
  void setTooltips(plugkit::gfx::IGfx& g);
  // The user tab's layout-file codec, and the user's default layout written with it.
  static std::string layoutTokenFromId(int id);
  static int layoutIdFromToken(std::string_view token);
  static void saveDefaultUserLayout(const zarvo::UserTabColumns& slots);

  // ---- the plug-in's parts

  // The open editor; null while it is closed.
  virtual plugkit::gfx::IGfx* GetUI() const = 0;
  // The plug-in's parameters.
  virtual const plugkit::IEditorDelegate& parameters() const = 0;
  virtual zarvo::morph::MorphController& morphController() = 0;
  virtual Mediator& ccMediator() = 0;
  virtual CCFiles& ccFiles() = 0;
  // Null without a preset manager.
  virtual zarvo::PresetManager* presetManager() = 0;
  // The preset manager as the preset strip and browser see it; null without a preset manager. It
  // lives as long as the plug-in, so a dialog the strip opened may complete after the editor closed.
  virtual zarvo::ui::PresetLibrary* presetLibrary() = 0;

  // ---- what the controls do to the plug-in

  virtual bool serializeState(plugkit::IByteChunk& chunk) const = 0;
  // The tab switch's action: shows the tab's groups, ends the user tab's edit mode when it is left.
  virtual void switchTab(int index) = 0;
  virtual void randomize() = 0;
  virtual void mutate() = 0;
  // The shape readouts' clicks. passTypeParam: par_preFlt_A_pt or par_preFlt_B_pt.
  virtual void snapMainShapeToNearestPassType() = 0;
  virtual void snapPreFltShapeToNearestPassType(int passTypeParam) = 0;
  // Drops every controller assignment and modulation setting, as one undo step.
  virtual void clearAllCCMap() = 0;
  // The morph pad's drag of the position, one host gesture on x and y.
  virtual void beginMorphUserGestureFromUI() = 0;
  virtual void endMorphUserGestureFromUI() = 0;
  // The morph field's appearance from outside the pad, applied to the open pad.
  virtual void applyMorphAppearance(float lineBrightness, int isoLevels, float gridStep) = 0;
  // Whether hover help is shown, for every instance of the process.
  virtual bool hoverHelpShown() const = 0;
  virtual void showHoverHelp(bool shown) = 0;
  // Puts a preference and saves the store; a store that could not be read is told once.
  virtual void writePreference(std::string_view key, std::string value) = 0;
  virtual zarvo::UserTabColumns userTabColumns() const = 0;
  virtual void setUserTabColumns(zarvo::UserTabColumns columns) = 0;

  // ---- the displays a new layout brings up to date

  // The note-mode controller's controller numbers of the three cutoffs, read from the map again.
  virtual void refreshCutoffControllerNumbers() = 0;
  virtual void refreshMainPTShapeUI() = 0;
  virtual void refreshPreFltPTShapeUI() = 0;

private:
  EditorUIState mUI;
};

} // namespace vemlor::ui
