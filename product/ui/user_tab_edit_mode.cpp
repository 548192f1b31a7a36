#include "product/ui/user_tab_edit_mode.h"

#include "IGfx/IGfx.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui {

namespace {
// The controller-map row (caption, copy, paste, save, load) and the clear button.
constexpr int kPresetRowTags[] = {1054, 1052, 1053, 1050, 1051, 1067};
} // namespace

void showPresetRowControls(plugkit::gfx::IGfx& g, bool stripCollapsed)
{
  for (int tag : kPresetRowTags)
    if (plugkit::gfx::IControl* c = g.GetControlWithTag(tag))
      c->Hide(stripCollapsed);
}

void applyUserTabEditMode(plugkit::gfx::IGfx* g, UserTabEditState& state, bool editMode, int currentTab,
                          const std::function<void()>& saveDefaultLayout)
{
  if (editMode == state.editMode)
    return;
  state.editMode = editMode;
  const bool ended = !editMode;
  if (editMode)
  {
    state.collapsedBeforeEdit = state.stripCollapsed;
    state.stripCollapsed = true;
  }
  else
    state.stripCollapsed = state.collapsedBeforeEdit;

  if (g)
  {
    if (auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(g->GetControlWithTag(kPresetStripTag)))
    {
      strip->collapsed = state.stripCollapsed;
      // Editing the user tab keeps the strip folded: its toggle does nothing meanwhile.
      strip->collapsible = !(currentTab == kUserTabIndex && editMode);
      strip->SetDirty(false);
    }
    showPresetRowControls(*g, state.stripCollapsed);
    g->SetAllControlsDirty();
  }
  if (ended && saveDefaultLayout)
    saveDefaultLayout();
}

} // namespace vemlor::ui
