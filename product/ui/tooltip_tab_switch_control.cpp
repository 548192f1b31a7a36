#include "product/ui/tooltip_tab_switch_control.h"

namespace vemlor::ui {

TooltipTabSwitchControl::~TooltipTabSwitchControl() = default;

const char* TooltipTabSwitchControl::hoveredTooltip() const
{
  const int idx = GetHoveredButton();
  if (idx < 0 || idx >= static_cast<int>(tabTooltips.size()))
    return "";
  return tabTooltips[static_cast<size_t>(idx)].c_str();
}

plugkit::gfx::IRECT TooltipTabSwitchControl::hoveredTooltipRect() const
{
  const int idx = GetHoveredButton();
  // GetButtonRect answers the empty rectangle outside the buttons.
  if (idx >= 0 && idx < NLabels() && !GetButtonRect(idx).Empty())
    return GetButtonRect(idx);
  return GetRECT();
}

} // namespace vemlor::ui
