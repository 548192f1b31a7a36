// What a control implements, beside its control base, to offer a help text for the part of itself
// under the mouse; callers reach it by a cross-cast from the control.
#pragma once

#include "IGfx/IRECT.h"

namespace zarvo::ui {

// Main thread only.
class ITooltipHost
{
public:
  virtual ~ITooltipHost() = default;
  // The help text of the part under the mouse; empty, never null, when there is none.
  virtual const char* hoveredTooltip() const = 0;
  // The rectangle of that part, beside which the help bubble is placed.
  virtual plugkit::gfx::IRECT hoveredTooltipRect() const = 0;
};

} // namespace zarvo::ui
