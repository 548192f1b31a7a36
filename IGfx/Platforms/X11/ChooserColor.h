// The colour texts the external colour choosers take and print.
#pragma once

#include <string>

#include "IGfx/IColor.h"

namespace plugkit::gfx {

// "#rrggbb" (the chooser's start colour; alpha is not shown).
std::string ChooserColorText(const IColor& color);
// Reads "#rrggbb", "#rrrrggggbbbb", "rgb(r,g,b)" or "rgba(r,g,b,a)" (a from 0 to 1); false, and
// color untouched, for anything else.
bool ParseChooserColor(const std::string& text, IColor& color);

} // namespace plugkit::gfx
