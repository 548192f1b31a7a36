#include "utils/ui/FreqModDepthReadout.h"

#include <cmath>
#include <string>

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

FreqModDepthReadout::FreqModDepthReadout(const IRECT& bounds)
  : IControl(bounds)
{}

void FreqModDepthReadout::setTextStyles(const IText& nameText, const IText& valueText)
{
  mNameText = nameText;
  mValueText = valueText;
  SetDirty(false);
}

void FreqModDepthReadout::setLayout(float nameColumn, float gap)
{
  mNameColumn = nameColumn;
  mGap = gap;
  SetDirty(false);
}

void FreqModDepthReadout::setDepth(double octaves, bool valid)
{
  if (octaves == mDepth && valid == mValid)
    return;
  mDepth = octaves;
  mValid = valid;
  SetDirty(false);
}

FreqModDepthReadout::Parts FreqModDepthReadout::split(double octaves, bool valid)
{
  Parts p;
  p.negative = octaves < 0.;
  if (!valid || !std::isfinite(octaves))
    return p;
  const long c = std::lround(std::abs(octaves) * 1200.);
  p.octaves = c / 1200;
  p.semitones = (c % 1200) / 100;
  p.cents = c % 100;
  return p;
}

void FreqModDepthReadout::Draw(IGfx& g)
{
  const Parts p = split(mDepth, mValid);
  drawRow(g, 0, "oct", p.octaves, p.negative);
  drawRow(g, 1, "semi", p.semitones, p.negative);
  drawRow(g, 2, "cent", p.cents, p.negative);
}

void FreqModDepthReadout::drawRow(IGfx& g, int row, const char* name, long value, bool negative) const
{
  const float h = mRECT.H() / 3.f;
  const float top = mRECT.T + static_cast<float>(row) * h;
  g.DrawText(mNameText, name, IRECT(mRECT.L, top, mRECT.L + mNameColumn - mGap, top + h), &GetBlend());
  std::string text = "--";
  if (mValid)
    text = (negative && value != 0 ? "-" : "") + std::to_string(value);
  g.DrawText(mValueText, text.c_str(), IRECT(mRECT.L + mNameColumn, top, mRECT.R, top + h), &GetBlend());
}

} // namespace zarvo::ui
