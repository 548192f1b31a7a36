#include "IGfx/Controls/ISVGToggleControl.h"

namespace plugkit::gfx {

ISVGToggleControl::ISVGToggleControl(const IRECT& bounds, IActionFunction actionFunc, const ISVG& offSVG,
                                     const ISVG& onSVG)
  : ISwitchControlBase(bounds, -1, std::move(actionFunc), 2)
  , mLook(offSVG, onSVG)
{}

ISVGToggleControl::ISVGToggleControl(const IRECT& bounds, int paramIdx, const ISVG& offSVG, const ISVG& onSVG)
  : ISwitchControlBase(bounds, paramIdx, nullptr, 2)
  , mLook(offSVG, onSVG)
{}

ISVGToggleControl::ISVGToggleControl(const IRECT& bounds, IActionFunction actionFunc, const ISVG& svg,
                                     const std::array<IColor, 4>& colors, EColorReplacement replacement)
  : ISwitchControlBase(bounds, -1, std::move(actionFunc), 2)
  , mLook(svg, colors, replacement)
{}

ISVGToggleControl::ISVGToggleControl(const IRECT& bounds, int paramIdx, const ISVG& svg,
                                     const std::array<IColor, 4>& colors, EColorReplacement replacement)
  : ISwitchControlBase(bounds, paramIdx, nullptr, 2)
  , mLook(svg, colors, replacement)
{}

} // namespace plugkit::gfx
