#include "utils/ui/SliderWidget.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

void SliderWidget::draw(IGfx& g, const IRECT& r, float value, const std::string& str, const IBlend* blend) const
{
  g.FillRect(trackColor, r, blend);
  const float v = std::clamp(value, 0.f, 1.f);
  const float lo = std::min(v, fillOrigin);
  const float hi = std::max(v, fillOrigin);
  if (hi > lo)
  {
    if (direction == EDirection::Horizontal)
      g.FillRect(fillColor, IRECT(r.L + lo * r.W(), r.T, r.L + hi * r.W(), r.B), blend);
    else
      g.FillRect(fillColor, IRECT(r.L, r.B - hi * r.H(), r.R, r.B - lo * r.H()), blend);
  }
  if (!str.empty())
    g.DrawText(text, str.c_str(), r, blend);
}

} // namespace zarvo::ui
