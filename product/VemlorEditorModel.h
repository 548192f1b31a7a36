// The editor's model of the plug-in: its editor state, parts and operations as the editor reaches them.
#pragma once

#include "product/editor/editor_model.h"

class Vemlor;

// Main thread. Owned by the plug-in it forwards to.
class VemlorEditorModel final : public vemlor::ui::EditorModel
{
public:
  explicit VemlorEditorModel(Vemlor& plugin)
    : mPlugin(plugin)
  {}

  plugkit::gfx::IGfx* GetUI() const override;
  const plugkit::IEditorDelegate& parameters() const override;
  zarvo::morph::MorphController& morphController() override;
  vemlor::ui::Mediator& ccMediator() override;
  vemlor::ui::CCFiles& ccFiles() override;
  zarvo::PresetManager* presetManager() override;
  zarvo::ui::PresetLibrary* presetLibrary() override;

  bool serializeState(plugkit::IByteChunk& chunk) const override;
  void switchTab(int index) override;
  void randomize() override;
  void mutate() override;
  void snapMainShapeToNearestPassType() override;
  void snapPreFltShapeToNearestPassType(int passTypeParam) override;
  void clearAllCCMap() override;
  void beginMorphUserGestureFromUI() override;
  void endMorphUserGestureFromUI() override;
  void applyMorphAppearance(float lineBrightness, int isoLevels, float gridStep) override;
  bool hoverHelpShown() const override;
  void showHoverHelp(bool shown) override;
  void writePreference(std::string_view key, std::string value) override;
  zarvo::UserTabColumns userTabColumns() const override;
  void setUserTabColumns(zarvo::UserTabColumns columns) override;

  void refreshCutoffControllerNumbers() override;
  void refreshMainPTShapeUI() override;
  void refreshPreFltPTShapeUI() override;

private:
  Vemlor& mPlugin;
};
