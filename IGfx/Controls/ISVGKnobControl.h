// A knob drawn by rotating one SVG document.
#pragma once

#include "IGfx/IControlBases.h"
#include "IGfx/ISVG.h"

namespace plugkit::gfx {

// Main thread only.
class ISVGKnobControl : public IKnobControlBase
{
public:
  ISVGKnobControl(const IRECT& bounds, const ISVG& svg, int paramIdx = -1);

  void Draw(IGfx& g) override;
  // Redraws without running the action.
  void SetSVG(const ISVG& svg);

private:
  ISVG mSVG;
  float mStartAngle = -135.f;
  float mEndAngle = 135.f;
};

} // namespace plugkit::gfx
