// The edit-mode layer over the whole user tab: the hovered cell, the dragged cell or column with its
// drop position, and the hint in the band below the tab.
#pragma once

#include "IGfx/IControl.h"
#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

// Main thread only. Never hit by the mouse.
class UserTabPanel::DragIndicator : public plugkit::gfx::IControl
{
public:
  DragIndicator(const IRECT& bounds, UserTabPanel& panel);

  bool IsHit(float, float) const override { return false; }
  // Redrawn on every frame while a drag runs or a cell is hovered.
  bool IsDirty() override;
  void Draw(plugkit::gfx::IGfx& g) override;

private:
  UserTabPanel& mPanel;
};

} // namespace zarvo::ui
