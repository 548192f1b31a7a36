#include "utils/user_tab/user_tab_border_overlay.h"

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

UserTabPanel::BorderOverlay::BorderOverlay(const IRECT& bounds, const IColor& color)
  : IControl(bounds)
  , mColor(color)
{
  mIgnoreMouse = true;
}

void UserTabPanel::BorderOverlay::Draw(IGfx& g) { g.DrawRect(mColor, mRECT, &mBlend, 1.f); }

} // namespace zarvo::ui
