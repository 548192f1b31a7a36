// The edit-mode outline of one user-tab column; the mouse passes through it.
#pragma once

#include "IGfx/IControl.h"
#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

// Main thread only.
class UserTabPanel::BorderOverlay : public plugkit::gfx::IControl
{
public:
  BorderOverlay(const IRECT& bounds, const plugkit::gfx::IColor& color);

  bool IsHit(float, float) const override { return false; }
  void Draw(plugkit::gfx::IGfx& g) override;

private:
  plugkit::gfx::IColor mColor;
};

} // namespace zarvo::ui
