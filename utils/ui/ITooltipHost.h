// A control that offers a hover-help text for the part of itself under the mouse.
#pragma once

#include "IGfx/IRECT.h"

namespace zarvo::ui {

class ITooltipHost
{
public:
  virtual ~ITooltipHost() = default;
  // Never null; empty when the part under the mouse has no text.
  virtual const char* hoveredTooltip() const = 0;
  virtual plugkit::gfx::IRECT hoveredTooltipRect() const = 0;
};

} // namespace zarvo::ui
