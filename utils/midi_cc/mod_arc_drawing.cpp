#include "utils/midi_cc/mod_arc_drawing.h"

#include <algorithm>
#include <numbers>

#include "IGfx/IGfx.h"

namespace zarvo::midi_cc {

using plugkit::gfx::IColor;
using plugkit::gfx::IRECT;
using EKind = ModStroke::EKind;

namespace {

double clamp01(double t) { return std::clamp(t, 0.0, 1.0); }

bool coversFullRange(const ModDisplay& d)
{
  return std::min(d.min, d.max) <= 0.0001 && std::max(d.min, d.max) >= 0.9999;
}

bool drawsNothing(const ModDisplay& d) { return !d.modulatable || d.ccNumber == -1; }

ModStroke stroke(EKind kind, const IColor& color, std::array<float, 5> args, float thickness = 0.f)
{
  return ModStroke{kind, color, args, thickness};
}

} // namespace

IColor halfAlpha(const IColor& c) { return IColor(c.A / 2, c.R, c.G, c.B); }

ModDrawing knobModDrawing(const ModDisplay& d, double value, const KnobDial& k)
{
  ModDrawing out;
  if (drawsNothing(d))
    return out;
  const float r = k.radius * d.arcRadiusFrac;
  auto angle = [&](double t) { return static_cast<float>(k.a1 + (k.a2 - k.a1) * clamp01(t)); };
  auto arc = [&](float from, float to, const IColor& color) {
    out.add(stroke(EKind::Arc, color, {k.cx, k.cy, r, std::min(from, to), std::max(from, to)}, d.arcThickness));
  };

  if (d.modeDisplay == 1)
  {
    if (d.authoringDepth)
    {
      arc(angle(d.gestureStart), angle(d.gestureStart + d.gestureDepth), d.arcColor);
      return out;
    }
    if (d.depthArmed)
    {
      const float hint = std::min(0.2f * std::fabs(k.a2 - k.a1), 35.f);
      const float a = angle(value);
      arc(std::max(a - hint, std::min(k.a1, k.a2)), std::min(a + hint, std::max(k.a1, k.a2)), halfAlpha(d.arcColor));
      return out;
    }
    if (d.depth == 0.0)
      return out;
    if (d.bipolar)
    {
      const double depth = std::fabs(d.depth);
      arc(angle(value - depth), angle(value + depth), d.arcColor);
    }
    else
      arc(angle(value), angle(value + d.depth), d.arcColor);
    if (!std::isnan(d.liveValue))
    {
      const double theta = (angle(d.liveValue) - 90.0) / 180.0 * std::numbers::pi;
      out.add(stroke(EKind::Dot, d.liveColor,
                     {static_cast<float>(k.cx + r * std::cos(theta)), static_cast<float>(k.cy + r * std::sin(theta)),
                      d.arcThickness * 0.5f}));
    }
    return out;
  }

  if (coversFullRange(d))
    return out;
  const float rOut = k.radius + 2.f * d.dotRadius;
  out.add(stroke(EKind::Radial, d.arcColor, {k.cx, k.cy, angle(d.min), k.radius, rOut}, k.pointerThickness));
  out.add(stroke(EKind::Radial, d.arcColor, {k.cx, k.cy, angle(d.max), k.radius, rOut}, k.pointerThickness));
  return out;
}

ModDrawing barModDrawing(const ModDisplay& d, double value, const IRECT& rect)
{
  ModDrawing out;
  if (drawsNothing(d))
    return out;
  const float w = rect.R - rect.L;
  const float y = rect.B - d.arcThickness - 2.f;
  auto x = [&](double t) { return static_cast<float>(rect.L + 2.f + (w - 4.f) * clamp01(t)); };
  auto line = [&](double from, double to, const IColor& color) {
    out.add(stroke(EKind::Line, color, {x(from), y, x(to), y}, d.arcThickness));
  };

  if (d.modeDisplay == 1)
  {
    if (d.authoringDepth)
    {
      line(d.gestureStart, d.gestureStart + d.gestureDepth, d.arcColor);
      return out;
    }
    if (d.depthArmed)
    {
      line(value - 0.25, value + 0.25, halfAlpha(d.arcColor));
      return out;
    }
    if (d.depth == 0.0)
      return out;
    if (d.bipolar)
    {
      const double depth = std::fabs(d.depth);
      line(value - depth, value + depth, d.arcColor);
    }
    else
      line(value, value + d.depth, d.arcColor);
    if (!std::isnan(d.liveValue))
      out.add(stroke(EKind::Dot, d.liveColor, {x(d.liveValue), y, d.arcThickness * 0.5f}));
    return out;
  }

  if (coversFullRange(d))
    return out;
  const float h = d.arcThickness * 0.5f;
  auto tickX = [&](double t) { return static_cast<float>(rect.L + h + (w - 2.f * h) * clamp01(t)); };
  const float top = y - 2.f * d.dotRadius;
  out.add(stroke(EKind::Line, d.arcColor, {tickX(d.min), y, tickX(d.min), top}, d.arcThickness));
  out.add(stroke(EKind::Line, d.arcColor, {tickX(d.max), y, tickX(d.max), top}, d.arcThickness));
  return out;
}

void drawModStrokes(plugkit::gfx::IGfx& g, const ModDrawing& drawing, const plugkit::gfx::IBlend* blend)
{
  for (int i = 0; i < drawing.count; ++i)
  {
    const ModStroke& s = drawing.strokes[static_cast<size_t>(i)];
    const auto& a = s.args;
    switch (s.kind)
    {
    case EKind::Arc: g.DrawArc(s.color, a[0], a[1], a[2], a[3], a[4], blend, s.thickness); break;
    case EKind::Radial: g.DrawRadialLine(s.color, a[0], a[1], a[2], a[3], a[4], blend, s.thickness); break;
    case EKind::Line: g.DrawLine(s.color, a[0], a[1], a[2], a[3], blend, s.thickness); break;
    case EKind::Dot: g.FillCircle(s.color, a[0], a[1], a[2], blend); break;
    }
  }
}

} // namespace zarvo::midi_cc
