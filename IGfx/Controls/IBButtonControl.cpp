#include "IGfx/Controls/IBButtonControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IBButtonControl::IBButtonControl(float x, float y, const IBitmap& bitmap, IActionFunction actionFunc)
  : IButtonControlBase(IRECT(x, y, x + static_cast<float>(bitmap.FW()), y + static_cast<float>(bitmap.FH())),
                       std::move(actionFunc))
  , IBitmapBase(bitmap)
{
  AttachIControl(this);
}

IBButtonControl::IBButtonControl(const IRECT& bounds, const IBitmap& bitmap, IActionFunction actionFunc)
  : IButtonControlBase(bounds.GetCentredInside(static_cast<float>(bitmap.FW()), static_cast<float>(bitmap.FH())),
                       std::move(actionFunc))
  , IBitmapBase(bitmap)
{
  AttachIControl(this);
}

void IBButtonControl::OnRescale()
{
  if (mGraphics)
    RescaleBitmap(*mGraphics);
}

} // namespace plugkit::gfx
