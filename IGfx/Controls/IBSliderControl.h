// A slider drawn from a handle bitmap over an optional track bitmap.
#pragma once

#include "IGfx/Controls/IBitmapBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

// Main thread only.
class IBSliderControl : public ISliderControlBase, public IBitmapBase
{
public:
  // From (x, y): the handle's width by trackLength (vertical), or trackLength by the handle's height.
  IBSliderControl(float x, float y, int trackLength, const IBitmap& handleBitmap,
                  const IBitmap& trackBitmap = IBitmap(), int paramIdx = -1, EDirection dir = EDirection::Vertical,
                  double gearing = 1.);
  IBSliderControl(const IRECT& bounds, const IBitmap& handleBitmap, const IBitmap& trackBitmap = IBitmap(),
                  int paramIdx = -1, EDirection dir = EDirection::Vertical, double gearing = 1.);

  // The handle bitmap only.
  void OnRescale() override;
  void OnResize() override;
  void Draw(IGfx& g) override;

  // The handle where value puts it; a negative value means the current one.
  IRECT GetHandleBounds(double value = -1.) const;

private:
  IBitmap mTrackBitmap;
};

} // namespace plugkit::gfx
