// A two-state toggle drawn from SVG documents.
#pragma once

#include "IGfx/Controls/ISVGStateLook.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

// Main thread only.
class ISVGToggleControl : public ISwitchControlBase
{
public:
  ISVGToggleControl(const IRECT& bounds, IActionFunction actionFunc, const ISVG& offSVG, const ISVG& onSVG);
  ISVGToggleControl(const IRECT& bounds, int paramIdx, const ISVG& offSVG, const ISVG& onSVG);
  // One document for both states, told apart by colour.
  ISVGToggleControl(const IRECT& bounds, IActionFunction actionFunc, const ISVG& svg,
                    const std::array<IColor, 4>& colors, EColorReplacement replacement);
  ISVGToggleControl(const IRECT& bounds, int paramIdx, const ISVG& svg, const std::array<IColor, 4>& colors,
                    EColorReplacement replacement);

  void Draw(IGfx& g) override { mLook.Draw(g, *this); }

private:
  ISVGStateLook mLook;
};

} // namespace plugkit::gfx
