// SVG documents drawn through the context's own path operations, so any backend that can stroke and
// fill paths draws them.
#include <algorithm>
#include <cmath>

#include "IGfx/IGfx.h"
#include "IGfx/ISVG.h"

namespace plugkit::gfx {

namespace {
// Where the line through p0 toward dir meets the chord p2→p3: true when it does at 0 ≤ t < 1 along
// the chord and u ≥ 0 along the ray.
bool RayCrosses(float p0x, float p0y, float dx, float dy, float p2x, float p2y, float p3x, float p3y)
{
  const double ex = p3x - p2x, ey = p3y - p2y;
  const double cross = dx * ey - dy * ex;
  if (std::fabs(cross) < 1e-8)
    return false;
  const double wx = p2x - p0x, wy = p2y - p0y;
  const double u = (wx * ey - wy * ex) / cross;
  const double t = (wx * dy - wy * dx) / cross;
  return t >= 0.0 && t < 1.0 && u >= 0.0;
}

// A sub-path is a hole when a ray from its first point crosses the other sub-paths' edges an odd
// number of times; their edges are the chords of their cubic segments and the closing edge.
bool IsHole(const svg::Shape& shape, const svg::Path& path)
{
  const float p0x = path.pts[0], p0y = path.pts[1];
  const float dx = (path.bounds[0] - 1.f) - p0x, dy = (path.bounds[1] - 1.f) - p0y;
  int crossings = 0;
  for (const svg::Path& other : shape.paths)
  {
    if (&other == &path || other.npts < 4)
      continue;
    const float* p = other.pts.data();
    for (int i = 0; i + 3 < other.npts; i += 3)
      crossings += RayCrosses(p0x, p0y, dx, dy, p[2 * i], p[2 * i + 1], p[2 * (i + 3)], p[2 * (i + 3) + 1]);
    const int last = other.npts - 1;
    crossings += RayCrosses(p0x, p0y, dx, dy, p[2 * last], p[2 * last + 1], p[0], p[1]);
  }
  return crossings % 2 == 1;
}

IColor UnpackColor(uint32_t c, int alpha)
{
  return IColor(alpha, static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}
} // namespace

IPattern GetSVGPattern(const svg::Paint& paint, float opacity)
{
  const int alpha = std::clamp(static_cast<int>(std::lround(opacity * 255.f)), 0, 255);
  switch (paint.type)
  {
  case svg::kPaintColor: return IPattern(UnpackColor(paint.color, alpha));
  case svg::kPaintLinearGradient:
  case svg::kPaintRadialGradient:
  {
    const svg::Gradient& g = paint.gradient;
    IPattern pattern(paint.type == svg::kPaintLinearGradient ? EPatternType::Linear : EPatternType::Radial);
    pattern.mExtend = g.spread == svg::kSpreadReflect  ? EPatternExtend::Reflect
                      : g.spread == svg::kSpreadRepeat ? EPatternExtend::Repeat
                                                       : EPatternExtend::Pad;
    for (const svg::GradientStop& stop : g.stops)
      pattern.AddStop(UnpackColor(stop.color, 255), stop.offset);
    pattern.SetTransform(IMatrix(g.xform[0], g.xform[1], g.xform[2], g.xform[3], g.xform[4], g.xform[5]));
    return pattern;
  }
  default: return IPattern(IColor(alpha, 0, 0, 0));
  }
}

void IGfx::DrawSVG(const ISVG& svg, const IRECT& bounds, const IBlend* blend, const IColor* strokeColor,
                   const IColor* fillColor)
{
  if (!svg.IsValid() || !(svg.W() > 0.f) || !(svg.H() > 0.f))
    return;
  const float scale = std::min(bounds.W() / svg.W(), bounds.H() / svg.H());
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(scale);
  DoDrawSVG(svg, blend, strokeColor, fillColor);
  PathTransformRestore();
}

void IGfx::DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width, float height,
                          double angle, const IBlend* blend)
{
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawSVG(svg, IRECT(-width / 2.f, -height / 2.f, width / 2.f, height / 2.f), blend);
  PathTransformRestore();
}

void IGfx::DoDrawSVG(const ISVG& svg, const IBlend* blend, const IColor* strokeColor, const IColor* fillColor)
{
  const svg::Image* image = svg.GetImage();
  if (!image)
    return;
  for (const svg::Shape& shape : image->shapes)
  {
    if (!(shape.flags & svg::kFlagVisible))
      continue;
    PathClear();
    for (const svg::Path& path : shape.paths)
    {
      if (path.npts < 1)
        continue;
      const float* p = path.pts.data();
      PathMoveTo(p[0], p[1]);
      for (int i = 1; i + 2 < path.npts; i += 3)
        PathCubicBezierTo(p[2 * i], p[2 * i + 1], p[2 * i + 2], p[2 * i + 3], p[2 * i + 4], p[2 * i + 5]);
      if (path.closed)
        PathClose();
      PathSetWinding(IsHole(shape, path));
    }

    if (shape.fill.type != svg::kPaintNone)
    {
      const IPattern pattern = fillColor ? IPattern(*fillColor) : GetSVGPattern(shape.fill, shape.opacity);
      PathFill(pattern, IFillOptions(EFillRule::Preserve, shape.stroke.type != svg::kPaintNone), blend);
    }
    if (shape.stroke.type != svg::kPaintNone)
    {
      IStrokeOptions options;
      options.mMiterLimit = shape.miterLimit;
      options.mCapOption = shape.strokeLineCap == 1   ? ELineCap::Round
                           : shape.strokeLineCap == 2 ? ELineCap::Square
                                                      : ELineCap::Butt;
      options.mJoinOption = shape.strokeLineJoin == 1   ? ELineJoin::Round
                            : shape.strokeLineJoin == 2 ? ELineJoin::Bevel
                                                        : ELineJoin::Miter;
      options.mDash.SetDash(shape.strokeDashArray, shape.strokeDashOffset, shape.strokeDashCount);
      const IPattern pattern = strokeColor ? IPattern(*strokeColor) : GetSVGPattern(shape.stroke, shape.opacity);
      PathStroke(pattern, shape.strokeWidth, options, blend);
    }
  }
}

} // namespace plugkit::gfx
