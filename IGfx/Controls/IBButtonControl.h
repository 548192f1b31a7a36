// A momentary button whose look is a multi-frame bitmap.
#pragma once

#include "IGfx/Controls/IBitmapBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

// Main thread only.
class IBButtonControl : public IButtonControlBase, public IBitmapBase
{
public:
  // One frame's size with its top left at (x, y).
  IBButtonControl(float x, float y, const IBitmap& bitmap, IActionFunction actionFunc = nullptr);
  // One frame's size centred in bounds.
  IBButtonControl(const IRECT& bounds, const IBitmap& bitmap, IActionFunction actionFunc = nullptr);

  void OnRescale() override;
  void Draw(IGfx& g) override { DrawBitmap(g); }
};

} // namespace plugkit::gfx
