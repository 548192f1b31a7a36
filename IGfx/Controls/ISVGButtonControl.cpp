#include "IGfx/Controls/ISVGButtonControl.h"

namespace plugkit::gfx {

ISVGButtonControl::ISVGButtonControl(const IRECT& bounds, IActionFunction actionFunc, const ISVG& offSVG,
                                     const ISVG& onSVG)
  : IButtonControlBase(bounds, std::move(actionFunc))
  , mLook(offSVG, onSVG)
{}

ISVGButtonControl::ISVGButtonControl(const IRECT& bounds, IActionFunction actionFunc, const ISVG& svg,
                                     const std::array<IColor, 4>& colors, EColorReplacement replacement)
  : IButtonControlBase(bounds, std::move(actionFunc))
  , mLook(svg, colors, replacement)
{}

} // namespace plugkit::gfx
