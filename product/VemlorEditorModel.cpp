// The editor's model of the plug-in, forwarding to the plug-in's parts and operations.
#include "product/VemlorEditorModel.h"

#include "product/Vemlor.h"

plugkit::gfx::IGfx* VemlorEditorModel::GetUI() const { return mPlugin.GetUI(); }

const plugkit::IEditorDelegate& VemlorEditorModel::parameters() const { return mPlugin; }

zarvo::morph::MorphController& VemlorEditorModel::morphController() { return mPlugin.morphController(); }

vemlor::ui::Mediator& VemlorEditorModel::ccMediator() { return mPlugin.ccMediator(); }

vemlor::ui::CCFiles& VemlorEditorModel::ccFiles() { return mPlugin.ccFiles(); }

zarvo::PresetManager* VemlorEditorModel::presetManager() { return mPlugin.presetManager(); }

zarvo::ui::PresetLibrary* VemlorEditorModel::presetLibrary() { return mPlugin.presetLibrary(); }

bool VemlorEditorModel::serializeState(plugkit::IByteChunk& chunk) const { return mPlugin.SerializeState(chunk); }

void VemlorEditorModel::switchTab(int index) { mPlugin.switchTab(index); }

void VemlorEditorModel::randomize() { mPlugin.randomize(); }

void VemlorEditorModel::mutate() { mPlugin.mutate(); }

void VemlorEditorModel::snapMainShapeToNearestPassType() { mPlugin.snapMainShapeToNearestPassType(); }

void VemlorEditorModel::snapPreFltShapeToNearestPassType(int passTypeParam)
{
  mPlugin.snapPreFltShapeToNearestPassType(passTypeParam);
}

void VemlorEditorModel::clearAllCCMap() { mPlugin.clearAllCCMap(); }

void VemlorEditorModel::beginMorphUserGestureFromUI() { mPlugin.beginMorphUserGestureFromUI(); }

void VemlorEditorModel::endMorphUserGestureFromUI() { mPlugin.endMorphUserGestureFromUI(); }

void VemlorEditorModel::applyMorphAppearance(float lineBrightness, int isoLevels, float gridStep)
{
  mPlugin.applyMorphAppearance(lineBrightness, isoLevels, gridStep);
}

bool VemlorEditorModel::hoverHelpShown() const { return Vemlor::s_helpTooltipsEnabled; }

void VemlorEditorModel::showHoverHelp(bool shown) { Vemlor::s_helpTooltipsEnabled = shown; }

void VemlorEditorModel::writePreference(std::string_view key, std::string value)
{
  mPlugin.writePreference(key, std::move(value));
}

zarvo::UserTabColumns VemlorEditorModel::userTabColumns() const { return mPlugin.userTabColumns(); }

void VemlorEditorModel::setUserTabColumns(zarvo::UserTabColumns columns)
{
  mPlugin.setUserTabColumns(std::move(columns));
}

void VemlorEditorModel::refreshCutoffControllerNumbers() { mPlugin.refreshCutoffControllerNumbers(); }

void VemlorEditorModel::refreshMainPTShapeUI() { mPlugin.refreshMainPTShapeUI(); }

void VemlorEditorModel::refreshPreFltPTShapeUI() { mPlugin.refreshPreFltPTShapeUI(); }

// ---- the plug-in's side: the model it owns

vemlor::ui::EditorModel& Vemlor::editorModel() { return *mEditorModel; }

Vemlor::EditorUIState& Vemlor::editorUI() { return mEditorModel->editorUI(); }

const Vemlor::EditorUIState& Vemlor::editorUI() const { return mEditorModel->editorUI(); }
