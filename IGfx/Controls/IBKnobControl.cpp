#include "IGfx/Controls/IBKnobControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IBKnobControl::IBKnobControl(float x, float y, const IBitmap& bitmap, int paramIdx, EDirection direction,
                             double gearing)
  : IKnobControlBase(IRECT(x, y, x + static_cast<float>(bitmap.FW()), y + static_cast<float>(bitmap.FH())), paramIdx,
                     direction, gearing)
  , IBitmapBase(bitmap)
{
  AttachIControl(this);
}

IBKnobControl::IBKnobControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx, EDirection direction,
                             double gearing)
  : IKnobControlBase(bounds.GetCentredInside(static_cast<float>(bitmap.FW()), static_cast<float>(bitmap.FH())),
                     paramIdx, direction, gearing)
  , IBitmapBase(bitmap)
{
  AttachIControl(this);
}

void IBKnobControl::OnRescale()
{
  if (mGraphics)
    RescaleBitmap(*mGraphics);
}

} // namespace plugkit::gfx
