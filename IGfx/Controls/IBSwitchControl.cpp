#include "IGfx/Controls/IBSwitchControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IBSwitchControl::IBSwitchControl(float x, float y, const IBitmap& bitmap, int paramIdx)
  : ISwitchControlBase(IRECT(x, y, x + static_cast<float>(bitmap.FW()), y + static_cast<float>(bitmap.FH())), paramIdx)
  , IBitmapBase(bitmap)
{
  AttachIControl(this);
}

IBSwitchControl::IBSwitchControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx)
  : ISwitchControlBase(bounds.GetCentredInside(static_cast<float>(bitmap.FW()), static_cast<float>(bitmap.FH())),
                       paramIdx)
  , IBitmapBase(bitmap)
{
  AttachIControl(this);
}

void IBSwitchControl::OnMouseDown(float /*x*/, float /*y*/, const IMouseMod& /*mod*/)
{
  const int n = mBitmap.N();
  double value = GetValue() + (n > 1 ? 1. / (n - 1) : 1.);
  if (value > 1.001)
    value = 0.;
  SetValue(value);
  SetDirty(true);
}

void IBSwitchControl::OnRescale()
{
  if (mGraphics)
    RescaleBitmap(*mGraphics);
}

} // namespace plugkit::gfx
