// One frame of a multi-frame bitmap, chosen by the control's value.
#pragma once

#include "IGfx/Controls/IBitmapBase.h"
#include "IGfx/IControl.h"

namespace plugkit::gfx {

// Main thread only.
class IBitmapControl : public IControl, public IBitmapBase
{
public:
  // The rectangle is one frame's size with its top left at (x, y).
  IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx = -1, EBlend blend = EBlend::Default);

  void Draw(IGfx& g) override { DrawBitmap(g); }
  // Loads the bitmap again for the current screen scale; a failed load keeps the one held.
  void OnRescale() override;
};

} // namespace plugkit::gfx
