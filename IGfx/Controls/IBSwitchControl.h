// A switch that steps through the frames of a bitmap on each click.
#pragma once

#include "IGfx/Controls/IBitmapBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

// Main thread only.
class IBSwitchControl : public ISwitchControlBase, public IBitmapBase
{
public:
  // One frame's size with its top left at (x, y).
  IBSwitchControl(float x, float y, const IBitmap& bitmap, int paramIdx = -1);
  // One frame's size centred in bounds.
  IBSwitchControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx = -1);

  // The next frame, after the last the first.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnRescale() override;
  void Draw(IGfx& g) override { DrawBitmap(g); }
};

} // namespace plugkit::gfx
