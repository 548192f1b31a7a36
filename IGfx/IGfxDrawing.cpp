// The drawing API: shapes built from the backend's path primitives, lines, text, bitmap frames and
// the path transform.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "IGfx/IBitmap.h"
#include "IGfx/IGfx.h"

namespace plugkit::gfx {

namespace {
IStrokeOptions DashedStroke(float dashLen)
{
  IStrokeOptions options;
  options.mDash.SetDash(&dashLen, 0.f, 1);
  return options;
}
} // namespace

//------------------------------------------------------------------------------------------------
// Paths

void IGfx::PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3)
{
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathLineTo(x3, y3);
  PathClose();
}

void IGfx::PathRect(const IRECT& bounds)
{
  PathMoveTo(bounds.L, bounds.T);
  PathLineTo(bounds.R, bounds.T);
  PathLineTo(bounds.R, bounds.B);
  PathLineTo(bounds.L, bounds.B);
  PathClose();
}

void IGfx::PathRoundRect(const IRECT& bounds, float cornerRadius)
{
  PathRoundRect(bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius);
}

void IGfx::PathRoundRect(const IRECT& bounds, float tl, float tr, float bl, float br)
{
  if (!(tl > 0.f) && !(tr > 0.f) && !(bl > 0.f) && !(br > 0.f))
  {
    PathRect(bounds);
    return;
  }
  const float y = bounds.T;
  PathMoveTo(bounds.L, y + tl);
  PathArc(bounds.L + tl, y + tl, tl, 270.f, 360.f);
  PathArc(bounds.R - tr, y + tr, tr, 0.f, 90.f);
  PathArc(bounds.R - br, bounds.B - br, br, 90.f, 180.f);
  PathArc(bounds.L + bl, bounds.B - bl, bl, 180.f, 270.f);
  PathClose();
}

void IGfx::PathConvexPolygon(float* x, float* y, int nPoints)
{
  if (!x || !y || nPoints < 1)
    return;
  PathMoveTo(x[0], y[0]);
  for (int i = 1; i < nPoints; ++i)
    PathLineTo(x[i], y[i]);
  PathClose();
}

void IGfx::PathCircle(float cx, float cy, float r)
{
  PathMoveTo(cx, cy - r);
  PathArc(cx, cy, r, 0.f, 360.f);
  PathClose();
}

void IGfx::PathEllipse(const IRECT& bounds)
{
  PathEllipse(bounds.MW(), bounds.MH(), bounds.W() / 2.f, bounds.H() / 2.f);
}

void IGfx::PathEllipse(float x, float y, float r1, float r2, float angle)
{
  if (r1 <= 0.f || r2 <= 0.f)
    return;
  PathTransformSave();
  PathTransformTranslate(x, y);
  PathTransformRotate(angle);
  PathTransformScale(r1, r2);
  PathCircle(0.f, 0.f, 1.f);
  PathTransformRestore();
}

void IGfx::PathRadialLine(float cx, float cy, float angle, float rMin, float rMax)
{
  const float rad = (angle - 90.f) / 180.f * std::numbers::pi_v<float>;
  const float s = std::sin(rad), c = std::cos(rad);
  PathMoveTo(cx + rMin * c, cy + rMin * s);
  PathLineTo(cx + rMax * c, cy + rMax * s);
}

//------------------------------------------------------------------------------------------------
// Draw: clear, build, stroke

void IGfx::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend, float thickness)
{
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                        const IBlend* blend, float thickness)
{
  PathClear();
  PathTriangle(x1, y1, x2, y2, x3, y3);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness)
{
  PathClear();
  PathRect(bounds);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius, const IBlend* blend,
                         float thickness)
{
  PathClear();
  PathRoundRect(bounds, cornerRadius);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawRoundRect(const IColor& color, const IRECT& bounds, float tl, float tr, float bl, float br,
                         const IBlend* blend, float thickness)
{
  PathClear();
  PathRoundRect(bounds, tl, tr, bl, br);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend, float thickness)
{
  PathClear();
  PathConvexPolygon(x, y, nPoints);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlend* blend,
                   float thickness)
{
  PathClear();
  PathArc(cx, cy, r, a1, a2);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend, float thickness)
{
  PathClear();
  PathCircle(cx, cy, r);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness)
{
  PathClear();
  PathEllipse(bounds);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle, const IBlend* blend,
                       float thickness)
{
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                          float thickness, float dashLen)
{
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathStroke(color, thickness, DashedStroke(dashLen), blend);
}

void IGfx::DrawDottedRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness, float dashLen)
{
  PathClear();
  PathRect(bounds);
  PathStroke(color, thickness, DashedStroke(dashLen), blend);
}

void IGfx::DrawGrid(const IColor& color, const IRECT& bounds, float stepX, float stepY, const IBlend* blend,
                    float thickness)
{
  PathClear();
  if (stepX > 1.f)
    for (float x = bounds.L + stepX; x < bounds.R; x += stepX)
    {
      PathMoveTo(x, bounds.T);
      PathLineTo(x, bounds.B);
    }
  if (stepY > 1.f)
    for (float y = bounds.T + stepY; y < bounds.B; y += stepY)
    {
      PathMoveTo(bounds.L, y);
      PathLineTo(bounds.R, y);
    }
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawData(const IColor& color, const IRECT& bounds, float* ys, int n, float* xs, const IBlend* blend,
                    float thickness, const IColor* fillColor)
{
  if (n <= 0 || !ys)
    return;
  const float w = bounds.W(), h = bounds.H();
  PathClear();
  PathMoveTo(bounds.L, bounds.B - h * ys[0]);
  for (int i = 1; i < n; ++i)
  {
    const float x = xs ? bounds.L + w * xs[i] : bounds.L + static_cast<float>(i) * (w / static_cast<float>(n - 1));
    PathLineTo(x, bounds.B - h * ys[i]);
  }
  if (fillColor)
    PathFill(*fillColor, IFillOptions(EFillRule::Winding, true), blend);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfx::DrawRadialLine(const IColor& color, float cx, float cy, float angle, float rMin, float rMax,
                          const IBlend* blend, float thickness)
{
  const float rad = (angle - 90.f) / 180.f * std::numbers::pi_v<float>;
  const float s = std::sin(rad), c = std::cos(rad);
  DrawLine(color, cx + rMin * c, cy + rMin * s, cx + rMax * c, cy + rMax * s, blend, thickness);
}

void IGfx::DrawPoint(const IColor& color, float x, float y, const IBlend* blend)
{
  FillRect(color, IRECT(x, y, x + 1.f, y + 1.f), blend);
}

void IGfx::DrawVerticalLine(const IColor& color, const IRECT& bounds, float x, const IBlend* blend, float thickness)
{
  DrawLineAcross(color, bounds, EDirection::Vertical, x, blend, thickness);
}

void IGfx::DrawHorizontalLine(const IColor& color, const IRECT& bounds, float y, const IBlend* blend, float thickness)
{
  DrawLineAcross(color, bounds, EDirection::Horizontal, y, blend, thickness);
}

void IGfx::DrawVerticalLine(const IColor& color, float xi, float yLo, float yHi, const IBlend* blend, float thickness)
{
  DrawLine(color, xi, yLo, xi, yHi, blend, thickness);
}

void IGfx::DrawHorizontalLine(const IColor& color, float yi, float xLo, float xHi, const IBlend* blend, float thickness)
{
  DrawLine(color, xLo, yi, xHi, yi, blend, thickness);
}

void IGfx::DrawLineAcross(const IColor& color, const IRECT& bounds, EDirection dir, float pos, const IBlend* blend,
                          float thickness)
{
  pos = std::clamp(pos, 0.f, 1.f);
  if (dir == EDirection::Horizontal)
  {
    const float y = bounds.B - pos * bounds.H();
    DrawLine(color, bounds.L, y, bounds.R, y, blend, thickness);
  }
  else
  {
    const float x = bounds.L + std::trunc(pos * bounds.W());
    DrawLine(color, x, bounds.T, x, bounds.B, blend, thickness);
  }
}

//------------------------------------------------------------------------------------------------
// Fill: clear, build, fill

void IGfx::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                        const IBlend* blend)
{
  PathClear();
  PathTriangle(x1, y1, x2, y2, x3, y3);
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillRect(const IColor& color, const IRECT& bounds, const IBlend* blend)
{
  PathClear();
  PathRect(bounds);
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillRoundRect(const IColor& color, const IRECT& bounds, float cornerRadius, const IBlend* blend)
{
  PathClear();
  PathRoundRect(bounds, cornerRadius);
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillRoundRect(const IColor& color, const IRECT& bounds, float tl, float tr, float bl, float br,
                         const IBlend* blend)
{
  PathClear();
  PathRoundRect(bounds, tl, tr, bl, br);
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillConvexPolygon(const IColor& color, float* x, float* y, int nPoints, const IBlend* blend)
{
  PathClear();
  PathConvexPolygon(x, y, nPoints);
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlend* blend)
{
  PathClear();
  PathMoveTo(cx, cy);
  PathArc(cx, cy, r, a1, a2);
  PathClose();
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend)
{
  PathClear();
  PathCircle(cx, cy, r);
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillEllipse(const IColor& color, const IRECT& bounds, const IBlend* blend)
{
  PathClear();
  PathEllipse(bounds);
  PathFill(color, IFillOptions(), blend);
}

void IGfx::FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle, const IBlend* blend)
{
  PathClear();
  PathEllipse(x, y, r1, r2, angle);
  PathFill(color, IFillOptions(), blend);
}

//------------------------------------------------------------------------------------------------
// Text

void IGfx::DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend)
{
  if (!str || !str[0])
    return;
  DoDrawText(text, str, bounds, blend);
}

void IGfx::DrawText(const IText& text, const char* str, float x, float y, const IBlend* blend)
{
  DrawText(text, str, IRECT(x, y, x, y), blend);
}

float IGfx::MeasureText(const IText& text, const char* str, IRECT& bounds) const
{
  if (!str || !str[0])
    return 0.f;
  return DoMeasureText(text, str, bounds);
}

void IGfx::DrawMultiLineText(const IText& text, const char*, IRECT& bounds, const IBlend* blend)
{
  DoDrawText(text, "Unsupported", bounds, blend);
}

void IGfx::DrawBitmapedText(const IBitmap& bitmap, const IRECT& bounds, IText& text, const IBlend* blend,
                            const char* str, bool vCenter, bool multiline, int charWidth, int charHeight,
                            int charOffset)
{
  if (!str || !str[0] || charWidth <= 0 || charHeight <= 0)
    return;
  const int len = static_cast<int>(std::strlen(str));
  const float w = bounds.W(), h = bounds.H();
  const float top = vCenter ? bounds.T + (h - static_cast<float>(charHeight)) / 2.f : bounds.T;
  float start = bounds.L;
  if (text.mAlign == EAlign::Center)
    start = bounds.L + (w - static_cast<float>(len * charWidth)) / 2.f;
  else if (text.mAlign == EAlign::Far)
    start = bounds.R - static_cast<float>(len * charWidth);

  int nLines = 1, perLine = static_cast<int>(w / static_cast<float>(charWidth));
  if (multiline)
  {
    if (static_cast<float>(len * charWidth) > w)
      nLines = static_cast<int>(static_cast<float>(len * charWidth) / w) + 1;
    else
      perLine = len;
  }
  int idx = 0;
  for (int line = 0; line < nLines && idx < len; ++line)
    for (int j = 0; j < perLine && idx < len; ++j, ++idx)
    {
      const signed char c = static_cast<signed char>(str[idx]);
      const int frame = (c < 33 ? 32 : c) - 31;
      const float x = start + static_cast<float>(j * (charWidth + charOffset));
      const float y = top + static_cast<float>(line * charHeight);
      DrawBitmap(bitmap, IRECT(x, y, x + static_cast<float>(charWidth), y + static_cast<float>(charHeight)), frame,
                 blend);
    }
}

void IGfx::CalculateTextRotation(const IText& text, const IRECT& bounds, IRECT& rect, double& tx, double& ty) const
{
  if (text.mAngle == 0.f)
    return;
  const double t = text.mAngle / 180.0 * std::numbers::pi;
  const double s = std::sin(t), c = std::cos(t);
  const double xs[] = {rect.L, rect.R, rect.R, rect.L};
  const double ys[] = {rect.T, rect.T, rect.B, rect.B};
  double l = 1e300, r = -1e300, tp = 1e300, b = -1e300;
  for (int i = 0; i < 4; ++i)
  {
    const double x = c * xs[i] - s * ys[i], y = s * xs[i] + c * ys[i];
    l = std::min(l, x);
    r = std::max(r, x);
    tp = std::min(tp, y);
    b = std::max(b, y);
  }
  rect = IRECT(static_cast<float>(l), static_cast<float>(tp), static_cast<float>(r), static_cast<float>(b));
  switch (text.mAlign)
  {
  case EAlign::Near: tx = bounds.L - rect.L; break;
  case EAlign::Center: tx = bounds.MW() - rect.MW(); break;
  case EAlign::Far: tx = bounds.R - rect.R; break;
  }
  switch (text.mVAlign)
  {
  case EVAlign::Top: ty = bounds.T - rect.T; break;
  case EVAlign::Middle: ty = bounds.MH() - rect.MH(); break;
  case EVAlign::Bottom: ty = bounds.B - rect.B; break;
  }
}

void IGfx::DoMeasureTextRotation(const IText& text, const IRECT& bounds, IRECT& rect) const
{
  double tx = 0.0, ty = 0.0;
  CalculateTextRotation(text, bounds, rect, tx, ty);
  rect = IRECT(rect.L + static_cast<float>(tx), rect.T + static_cast<float>(ty), rect.R + static_cast<float>(tx),
               rect.B + static_cast<float>(ty));
}

//------------------------------------------------------------------------------------------------
// Bitmaps

void IGfx::DrawBitmap(const IBitmap& bitmap, const IRECT& bounds, int frame, const IBlend* blend)
{
  const int n = bitmap.N();
  frame = std::clamp(frame, 1, std::max(n, 1));
  int srcX = 0, srcY = 0;
  if (n > 1 && frame > 1)
  {
    if (bitmap.GetFramesAreHorizontal())
      srcX = (frame - 1) * bitmap.W() / n;
    else
      srcY = (frame - 1) * bitmap.H() / n;
  }
  DrawBitmap(bitmap, bounds, srcX, srcY, blend);
}

void IGfx::DrawFittedBitmap(const IBitmap& bitmap, const IRECT& bounds, const IBlend* blend)
{
  if (bitmap.W() <= 0 || bitmap.H() <= 0)
    return;
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(bounds.W() / static_cast<float>(bitmap.W()), bounds.H() / static_cast<float>(bitmap.H()));
  DrawBitmap(bitmap, IRECT(0.f, 0.f, static_cast<float>(bitmap.W()), static_cast<float>(bitmap.H())), 0, 0, blend);
  PathTransformRestore();
}

void IGfx::DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY, double angle,
                             const IBlend* blend)
{
  const float ds = bitmap.GetDrawScale() > 0.f ? bitmap.GetDrawScale() : 1.f;
  const float w = static_cast<float>(bitmap.W()) / ds, h = static_cast<float>(bitmap.H()) / ds;
  PathTransformSave();
  PathTransformTranslate(destCentreX, destCentreY);
  PathTransformRotate(static_cast<float>(angle));
  DrawBitmap(bitmap, IRECT(-w / 2.f, -h / 2.f, w / 2.f, h / 2.f), 0, 0, blend);
  PathTransformRestore();
}

//------------------------------------------------------------------------------------------------
// Transforms

void IGfx::PathTransformReset(bool clearStates)
{
  if (clearStates)
    while (!mTransformStates.empty())
      mTransformStates.pop();
  mTransform = IMatrix();
  PathTransformSetMatrix(mTransform);
}

void IGfx::PathTransformSave() { mTransformStates.push(mTransform); }

void IGfx::PathTransformRestore()
{
  if (mTransformStates.empty())
    return;
  mTransform = mTransformStates.top();
  mTransformStates.pop();
  PathTransformSetMatrix(mTransform);
}

void IGfx::PathTransformTranslate(float x, float y)
{
  mTransform.Translate(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGfx::PathTransformScale(float x, float y)
{
  mTransform.Scale(x, y);
  PathTransformSetMatrix(mTransform);
}

void IGfx::PathTransformScale(float scale) { PathTransformScale(scale, scale); }

void IGfx::PathTransformRotate(float angle)
{
  mTransform.Rotate(angle);
  PathTransformSetMatrix(mTransform);
}

void IGfx::PathTransformSkew(float xAngle, float yAngle)
{
  mTransform.Skew(xAngle, yAngle);
  PathTransformSetMatrix(mTransform);
}

void IGfx::PathTransformMatrix(const IMatrix& matrix)
{
  mTransform.Transform(matrix);
  PathTransformSetMatrix(mTransform);
}

} // namespace plugkit::gfx
