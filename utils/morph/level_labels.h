// The short number format of iso levels, and the level labels the pad writes on the iso lines.
#pragma once

#include <string>

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::morph {

class MorphFieldOverlay;

// "0" at or below 0, "1" at or above 1, else two significant digits without the leading zero:
// 0.25 gives ".25", 1/3 gives ".33".
std::string fracLabel(float v);

// Main thread. Each of the overlay's label anchors as its level on a small rounded box in the
// background colour, in the overlay's line grey at its label size; nothing while the iso lines or
// labels are off or the lines are hidden. `pad` is the rectangle the anchors are placed in.
void drawLevelLabels(plugkit::gfx::IGfx& g, const MorphFieldOverlay& overlay, const plugkit::gfx::IRECT& pad,
                     const plugkit::gfx::IText& padText, const plugkit::gfx::IColor& background,
                     const plugkit::gfx::IBlend* blend = nullptr);

} // namespace zarvo::morph
