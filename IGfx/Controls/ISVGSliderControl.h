// A slider drawn from two SVG documents: a track and a handle scaled with it.
#pragma once

#include "IGfx/IControlBases.h"
#include "IGfx/ISVG.h"

namespace plugkit::gfx {

// Main thread only.
class ISVGSliderControl : public ISliderControlBase
{
public:
  ISVGSliderControl(const IRECT& bounds, const ISVG& handleSVG, const ISVG& trackSVG, int paramIdx = -1,
                    EDirection dir = EDirection::Vertical, double gearing = 1.);

  void OnResize() override;
  void Draw(IGfx& g) override;

  // The handle where value puts it; a negative value means the current one.
  IRECT GetHandleBounds(double value = -1.) const;

private:
  ISVG mHandleSVG;
  ISVG mTrackSVG;
  IRECT mTrackSVGBounds;
  IRECT mHandleBounds; // at value 1
};

} // namespace plugkit::gfx
