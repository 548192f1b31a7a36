// The two-state look shared by the SVG button and toggle: an off and an on document, or one document
// recoloured per state (off, on, off under the mouse, on under the mouse).
#pragma once

#include <array>

#include "IGfx/IColor.h"
#include "IGfx/ISVG.h"

namespace plugkit::gfx {

class IControl;
class IGfx;

enum class EColorReplacement
{
  None = 0,
  Fill,
  Stroke
};

// Main thread only.
struct ISVGStateLook
{
  ISVGStateLook(const ISVG& offSVG, const ISVG& onSVG)
    : off(offSVG)
    , on(onSVG)
  {}
  ISVGStateLook(const ISVG& svg, const std::array<IColor, 4>& stateColors, EColorReplacement replacement)
    : off(svg)
    , on(svg)
    , colors(stateColors)
    , mode(replacement)
  {}

  // On above 0.5; the document fitted to the control's rectangle with its blend.
  void Draw(IGfx& g, const IControl& control) const;

  ISVG off;
  ISVG on;
  std::array<IColor, 4> colors{COLOR_BLACK, COLOR_BLACK, COLOR_BLACK, COLOR_BLACK};
  EColorReplacement mode = EColorReplacement::None;
};

} // namespace plugkit::gfx
