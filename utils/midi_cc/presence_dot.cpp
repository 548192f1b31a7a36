#include "utils/midi_cc/presence_dot.h"

#include <algorithm>
#include <cmath>

#include "IGfx/IGfx.h"

namespace zarvo::midi_cc {

using plugkit::gfx::IRECT;

IRECT PresenceDot::anchorOf(const IRECT& widgetBounds, const IRECT& rect)
{
  return widgetBounds.L < widgetBounds.R && widgetBounds.T < widgetBounds.B ? widgetBounds : rect;
}

float PresenceDot::centreX(const IRECT& anchor) const { return anchor.R - inset - radius + 2.f * radius * offsetX; }

float PresenceDot::centreY(const IRECT& anchor) const { return anchor.B - inset - radius + 2.f * radius * offsetY; }

bool PresenceDot::hit(const IRECT& anchor, float x, float y) const
{
  const float h = hitHalfSize();
  return std::fabs(x - centreX(anchor)) <= h && std::fabs(y - centreY(anchor)) <= h;
}

IRECT PresenceDot::hitSquare(const IRECT& anchor) const
{
  const float h = hitHalfSize();
  const float cx = centreX(anchor);
  const float cy = centreY(anchor);
  return IRECT(cx - h, cy - h, cx + h, cy + h);
}

IRECT PresenceDot::widenTarget(const IRECT& target, const IRECT& anchor) const
{
  const IRECT square = hitSquare(anchor);
  if (target.L == 0.f && target.T == 0.f && target.R == 0.f && target.B == 0.f)
    return square;
  return IRECT(std::min(target.L, square.L), std::min(target.T, square.T), std::max(target.R, square.R),
               std::max(target.B, square.B));
}

void PresenceDot::draw(plugkit::gfx::IGfx& g, const IRECT& anchor, const Colors& colors, bool pressed, bool hovered,
                       const plugkit::gfx::IBlend* blend) const
{
  const float cx = centreX(anchor);
  const float cy = centreY(anchor);
  if (pressed)
    g.FillCircle(colors.pressed, cx, cy, radius + stroke, blend);
  else if (hovered)
  {
    g.FillCircle(colors.hoverFill, cx, cy, radius + stroke, blend);
    g.DrawCircle(colors.hoverOutline, cx, cy, radius + stroke, blend, stroke);
  }
  else
    g.DrawCircle(colors.rest, cx, cy, radius, blend, stroke);
}

} // namespace zarvo::midi_cc
