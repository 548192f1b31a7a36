// What entering and leaving the user tab's edit mode does to the editor around the tab: the preset
// strip folds away while the tab is edited and comes back as it was, and the default user layout is
// saved when editing ends.
#pragma once

#include <functional>

namespace plugkit::gfx {
class IGfx;
}

namespace vemlor::ui {

// Kept by the plug-in, so that it outlives editor rebuilds.
struct UserTabEditState
{
  bool editMode = false;
  bool stripCollapsed = false;
  bool collapsedBeforeEdit = false; // the strip's state when editing began
};

inline constexpr int kPresetStripTag = 1066;
inline constexpr int kUserTabIndex = 2;

// Hides the controller-map row and the clear button while the strip is collapsed, shows them otherwise.
void showPresetRowControls(plugkit::gfx::IGfx& g, bool stripCollapsed);

// Main thread. g is the open editor or null. Nothing happens unless the edit mode changed. The strip's
// state is kept in state either way; the editor's controls are updated when there is one.
void applyUserTabEditMode(plugkit::gfx::IGfx* g, UserTabEditState& state, bool editMode, int currentTab,
                          const std::function<void()>& saveDefaultLayout);

} // namespace vemlor::ui
