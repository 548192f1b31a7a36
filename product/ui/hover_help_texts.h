// The hover-help texts: one per parameter control that matters, the texts of the controller-map
// buttons, and which text the help bubble shows for a hovered control.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "IGfx/IRECT.h"

namespace plugkit::gfx {
class IControl;
class IGfx;
} // namespace plugkit::gfx

namespace vemlor::ui {

using HelpTexts = std::unordered_map<int32_t, std::string>;

// Replaces the contents of texts with the table, one text per parameter index. Main thread only.
void fillParamHelpTexts(HelpTexts& texts);

// Gives the controller-map buttons (tags 1050 to 1053) and the clear button (1067) their own tooltip
// text; a tag without a control is skipped. Main thread only.
void setButtonHelpTexts(plugkit::gfx::IGfx& g);

struct HoverHelp
{
  std::string text;
  plugkit::gfx::IRECT anchor;
};

// The first non-empty text of: what the control offers as a tooltip host (at its hovered rectangle),
// its own tooltip, the help text of its parameter (both at the control rectangle). Empty when none.
HoverHelp hoverHelpFor(const plugkit::gfx::IControl& control, const HelpTexts& texts);

class TooltipBubbleControl;

// One idle tick of hover help: while no control is held by the mouse, shows the hovered control's help
// in the bubble, or hides it when there is none or help is switched off. Main thread only.
void refreshHoverHelp(plugkit::gfx::IGfx& g, TooltipBubbleControl& bubble, const HelpTexts& texts, bool enabled);

} // namespace vemlor::ui
