// The editor's tab switch, with a hover-help text for each tab.
#pragma once

#include <string>
#include <vector>

#include "IGfx/Controls/IVTabSwitchControl.h"
#include "utils/ui/ITooltipHost.h"

namespace vemlor::ui {

// Main thread only.
class TooltipTabSwitchControl : public plugkit::gfx::IVTabSwitchControl, public zarvo::ui::ITooltipHost
{
public:
  using IVTabSwitchControl::IVTabSwitchControl;
  ~TooltipTabSwitchControl() override;

  // The text of the tab under the mouse; empty over no tab or a tab without text.
  const char* hoveredTooltip() const override;
  // The hovered tab's button, else the whole control.
  plugkit::gfx::IRECT hoveredTooltipRect() const override;

  // Hover help by tab index.
  std::vector<std::string> tabTooltips;
};

} // namespace vemlor::ui
