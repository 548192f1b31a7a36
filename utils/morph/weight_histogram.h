// The weight histogram the pad shows in editing mode: one bar per active point with its share of
// the blend at the morph position, over reference lines at the overlay's histogram levels.
#pragma once

#include <string>
#include <array>

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"
#include "utils/morph/morph_engine.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::morph {

class MorphFieldOverlay;

class WeightHistogram
{
public:
  using IRECT = plugkit::gfx::IRECT;

  // Everything the histogram takes from the pad besides the engine.
  struct Style
  {
    plugkit::gfx::IText text;        // the pad's text style
    plugkit::gfx::IColor hover;      // bars; the reference lines are 30 lighter
    plugkit::gfx::IColor background; // the panel behind, drawn at alpha 210
    std::string pointGlyph;          // the teleport point's bar label
    std::string pointGlyphFont;      // its font; empty keeps the text style's
  };

  // Where everything goes for n bars in a pad rectangle; pure, so that it can be checked alone.
  struct Layout
  {
    IRECT box;            // 168 x 89, under the contrast slider
    float labelBand = 0;  // 20 with one label row, two rows of text otherwise
    float baseline = 0;   // bottom of the bars
    float fullHeight = 0; // height of a bar of weight 1
    float x0 = 0;         // left end of the bars and the reference lines
    float pitch = 0;
    float barWidth = 0;
    bool twoRows = false;

    float barCentre(int k) const { return x0 + (static_cast<float>(k) + 0.5f) * pitch; }
    float levelY(float f) const { return baseline - f * fullHeight; }
  };
  static Layout layout(const IRECT& pad, int bars, float textSize);

  // The active points, the teleport point first when active; returns how many.
  static int barsOf(const MorphEngine& engine, std::array<int, kNumPoints>& out);

  // Main thread. Draws the histogram for the blend at the morph position (x, y), with reference lines
  // at the overlay's histogram levels; nothing without an active point. Allocates nothing.
  static void draw(plugkit::gfx::IGfx& g, const IRECT& pad, const MorphEngine& engine, double x, double y,
                   const MorphFieldOverlay& overlay, const Style& style, const plugkit::gfx::IBlend* blend = nullptr);
};

} // namespace zarvo::morph
