#include "utils/morph/level_labels.h"

#include <fmt/format.h>

#include "IGfx/IGfx.h"
#include "utils/morph/field_appearance.h"
#include "utils/morph/morph_field_overlay.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

std::string fracLabel(float v)
{
  if (!(v > 0.f))
    return "0";
  if (v >= 1.f)
    return "1";
  std::string s = fmt::format("{:.2g}", v);
  if (s.starts_with("0."))
    s.erase(0, 1);
  return s;
}

void drawLevelLabels(IGfx& g, const MorphFieldOverlay& overlay, const IRECT& pad, const IText& padText,
                     const IColor& background, const IBlend* blend)
{
  if (!overlay.showIsoLines || !overlay.showLabels || !(overlay.lineBrightness > appearance::kHiddenBrightness) ||
      overlay.contourLabels.empty())
    return;
  IText text = padText;
  text.mSize = overlay.labelTextSize;
  const int gray = overlay.lineGray();
  text.mFGColor = IColor(255, gray, gray, gray);
  text.mAlign = EAlign::Center;
  text.mVAlign = EVAlign::Middle;

  for (const MorphFieldOverlay::LabelAnchor& label : overlay.contourLabels)
  {
    const float x = pad.L + pad.W() * label.u;
    const float y = pad.B - pad.H() * label.v;
    const IRECT box(x - 8.f, y - 6.f, x + 8.f, y + 6.f);
    g.FillRoundRect(background, box, 2.f, blend);
    g.DrawText(text, fracLabel(label.level).c_str(), box, blend);
  }
}

} // namespace zarvo::morph
