// The weight histogram of the settings mode and the level labels on the iso lines, with the pad's
// colours and text.
#include "utils/morph/level_labels.h"
#include "utils/morph/morph_pad_control.h"
#include "utils/morph/weight_histogram.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

std::string MorphPadControl::fracLabel(float v) { return zarvo::morph::fracLabel(v); }

void MorphPadControl::drawHistogram(IGfx& g, const IText& text)
{
  const WeightHistogram::Style style{text, hoverColour(), GetColor(EVColor::BG), pointGlyph, pointGlyphFont};
  WeightHistogram::draw(g, GetRECT(), engine, GetValue(0), GetValue(1), overlay, style, &mBlend);
}

void MorphPadControl::drawContourLabels(IGfx& g, const IText& text)
{
  drawLevelLabels(g, overlay, GetRECT(), text, GetColor(EVColor::BG), &mBlend);
}

} // namespace zarvo::morph
