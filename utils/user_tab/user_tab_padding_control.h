// A user-tab spacer: it takes room in a column, draws nothing and is never hit.
#pragma once

#include "IGfx/IControl.h"
#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

class UserTabPanel::PaddingControl : public plugkit::gfx::IControl
{
public:
  explicit PaddingControl(const IRECT& bounds)
    : IControl(bounds)
  {
    mIgnoreMouse = true;
  }

  bool IsHit(float, float) const override { return false; }
  void Draw(plugkit::gfx::IGfx&) override {}
};

} // namespace zarvo::ui
