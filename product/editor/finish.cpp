// The end of the editor's construction: which tab shows, locked cutoffs, hover help on disabled
// controls, and the displays brought up to date.
#include "IGfx/IGfx.h"
#include "product/editor/layout.h"
#include "product/editor/tabs.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui {

using plugkit::gfx::IControl;
using plugkit::gfx::IGfx;

namespace {

void showGroup(IGfx& g, const char* group, bool shown)
{
  g.ForControlInGroup(group, [shown](IControl* c) { c->Hide(!shown); });
}

} // namespace

void applyInitialVisibility(LayoutPass& pass)
{
  IGfx& g = pass.g;
  EditorUIState& ui = pass.model.editorUI();
  const int tab = ui.currentTab;

  // Tab groups: exactly one shows; randomize and mutate have no use on the frequencies tab.
  showGroup(g, kGroupTabAll, tab == 0);
  showGroup(g, kGroupTabFreqs, tab == 1);
  showGroup(g, kGroupTabUser, tab == 2);
  showGroup(g, kGroupRandMut, tab != 1);
  showGroup(g, kGroupPreset, true);
  if (ui.presetStripCollapsed)
  {
    for (int tag : kPresetRowTags)
      if (IControl* c = g.GetControlWithTag(tag))
        c->Hide(true);
  }
  if (pass.model.GetUI())
  {
    if (auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(g.GetControlWithTag(kTagPresetStrip)))
    {
      // The strip stays folded while the user tab is edited.
      strip->collapsible = !(tab == 2 && ui.userTabEditing);
      strip->SetClean();
    }
  }
  g.SetAllControlsDirty();

  // Cutoffs that follow MIDI notes, or that the morph field drives: their knobs cannot be turned.
  for (int s = 0; s < zarvo::NoteModeController::kNumStages; ++s)
  {
    const bool locked = cutoffFollowsNoteParam(pass.model.parameters(), s);
    lockCutoffControl(g, s, locked || pass.model.morphController().drivesParams());
    pass.model.displayMemo.cutoffLocked[static_cast<size_t>(s)] = locked ? 1 : 0;
  }
}

void finishLayout(LayoutPass& pass)
{
  EditorModel& model = pass.model;
  // A disabled control can't be used, but its hover help still shows.
  pass.g.ForAllControlsFunc([](IControl* c) { c->SetMouseOverWhenDisabled(true); });
  model.setTooltips(pass.g);
  model.ccMediator().refreshUI();
  model.refreshCutoffControllerNumbers();
  // The new controls show the pass-type blends from scratch.
  model.displayMemo.blended.fill(-1);
  model.displayMemo.lastSelector.fill(nullptr);
  model.refreshMainPTShapeUI();
  model.refreshPreFltPTShapeUI();
}

} // namespace vemlor::ui
