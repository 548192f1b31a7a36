// The frequencies tab's geometry: three cutoff blocks side by side in the content area.
#pragma once

#include <array>

#include "IGfx/IRECT.h"

namespace vemlor::ui {

// One cutoff's block: the caption across the block, the notes and glide blocks in the left
// sub-column, the controller block in the right one.
struct CutoffBlockRects
{
  plugkit::gfx::IRECT caption, notes, glide, controller;
};

// The blocks of pre-filter A, pre-filter B and the main filter, left to right, for the content area.
// Pure.
std::array<CutoffBlockRects, 3> cutoffBlockRects(const plugkit::gfx::IRECT& content);

} // namespace vemlor::ui
