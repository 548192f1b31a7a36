// The product's catalogue of controls a user may place on the user tab.
#pragma once

#include <cstddef>

#include "IGfx/IColor.h"
#include "IGfx/IVStyle.h"
#include "product/ui/learnable.h"
#include "utils/ui/ControlRegistry.h"

namespace vemlor::ui {

// Main thread, each time the editor is built. 52 entries: groups "main filter", "break",
// "pre-filters", "damping", "labels" and "MIDI", then four controls at the top level. Styles and
// colours are copied into the factories; the mediator is kept by reference and must outlive every
// control they make. The colours are, in order: transparent, highlight grey, accent, modulation arc,
// dark grey.
zarvo::ui::ControlRegistry buildControlRegistry(Mediator& mediator, const plugkit::gfx::IVStyle& style1,
                                                const plugkit::gfx::IVStyle& style2,
                                                const plugkit::gfx::IVStyle& style3, const plugkit::gfx::IColor& c1,
                                                const plugkit::gfx::IColor& c2, const plugkit::gfx::IColor& c3,
                                                const plugkit::gfx::IColor& c4, const plugkit::gfx::IColor& c5);

} // namespace vemlor::ui
