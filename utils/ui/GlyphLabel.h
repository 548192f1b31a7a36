// A label of text and icon-font glyph runs, each run in its own font, and the one function that draws it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "IGfx/IBlend.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::ui {

struct GlyphRun
{
  // Plain UTF-8 text, or the UTF-8 bytes of one icon-font code point.
  std::string text;
  // Font id (at most 63 bytes are used); empty means the font of the style the label is drawn with.
  std::string font;
};

struct GlyphLabel
{
  std::vector<GlyphRun> runs;

  GlyphLabel() = default;
  // One run in the style's font; an empty text gives no runs.
  GlyphLabel(std::string_view text);
  // Exactly one run, even for an empty text.
  static GlyphLabel glyph(std::string_view text, std::string_view font);

  GlyphLabel& operator+=(const GlyphLabel& rhs);
  friend GlyphLabel operator+(GlyphLabel lhs, const GlyphLabel& rhs) { return lhs += rhs; }
};

// Draws the runs side by side, spacing pixels apart, the whole centred horizontally on bounds and
// vertically in it whatever the style's alignment; a wider label overflows both sides equally.
// Main thread only.
void drawGlyphLabel(plugkit::gfx::IGfx& g, const GlyphLabel& label, const plugkit::gfx::IRECT& bounds,
                    const plugkit::gfx::IText& style, const plugkit::gfx::IBlend* blend, float spacing);

} // namespace zarvo::ui
