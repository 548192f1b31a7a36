// The end of the editor's construction: which tab shows, locked cutoffs, hover help on disabled
// controls, and the displays brought up to date.
#include "IGfx/IGfx.h"
#include "product/Vemlor.h"
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
  Vemlor::EditorUIState& ui = pass.plugin.editorUI();
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
  if (pass.plugin.GetUI())
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
    const bool locked = cutoffFollowsNoteParam(pass.plugin, s);
    lockCutoffControl(g, s, locked || pass.plugin.morphController().drivesParams());
    pass.plugin.displayMemo.cutoffLocked[static_cast<size_t>(s)] = locked ? 1 : 0;
  }
}

void finishLayout(LayoutPass& pass)
{
  Vemlor& plugin = pass.plugin;
  // A disabled control can't be used, but its hover help still shows.
  pass.g.ForAllControlsFunc([](IControl* c) { c->SetMouseOverWhenDisabled(true); });
  plugin.setTooltips(pass.g);
  plugin.ccMediator().refreshUI();
  plugin.refreshCutoffControllerNumbers();
  // The new controls show the pass-type blends from scratch.
  plugin.displayMemo.blended.fill(-1);
  plugin.displayMemo.lastSelector.fill(nullptr);
  plugin.refreshMainPTShapeUI();
  plugin.refreshPreFltPTShapeUI();
}

} // namespace vemlor::ui
