// Labels made of text and icon-font glyph runs, each run drawn in its own font.
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
  std::string text;
  std::string font; // empty: the font of the style the label is drawn with
};

struct GlyphLabel
{
  GlyphLabel() = default;
  GlyphLabel(std::string_view text)
  {
    if (!text.empty())
      runs.push_back({std::string(text), {}});
  }
  static GlyphLabel glyph(std::string_view text, std::string_view font)
  {
    GlyphLabel label;
    label.runs.push_back({std::string(text), std::string(font)});
    return label;
  }
  GlyphLabel& operator+=(const GlyphLabel& other)
  {
    runs.insert(runs.end(), other.runs.begin(), other.runs.end());
    return *this;
  }
  friend GlyphLabel operator+(GlyphLabel a, const GlyphLabel& b) { return a += b; }

  std::vector<GlyphRun> runs;
};

// Centred in bounds horizontally and vertically, whatever the style's alignment.
void drawGlyphLabel(plugkit::gfx::IGfx& g, const GlyphLabel& label, const plugkit::gfx::IRECT& bounds,
                    const plugkit::gfx::IText& style, const plugkit::gfx::IBlend* blend, float spacing);

} // namespace zarvo::ui
