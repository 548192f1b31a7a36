// A knob whose look is a multi-frame bitmap, one frame per position.
#pragma once

#include "IGfx/Controls/IBitmapBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

// Main thread only.
class IBKnobControl : public IKnobControlBase, public IBitmapBase
{
public:
  // One frame's size with its top left at (x, y).
  IBKnobControl(float x, float y, const IBitmap& bitmap, int paramIdx = -1, EDirection direction = EDirection::Vertical,
                double gearing = 4.);
  // One frame's size centred in bounds.
  IBKnobControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx = -1,
                EDirection direction = EDirection::Vertical, double gearing = 4.);

  void OnRescale() override;
  void Draw(IGfx& g) override { DrawBitmap(g); }
};

} // namespace plugkit::gfx
