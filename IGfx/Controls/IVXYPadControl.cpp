#include "IGfx/Controls/IVXYPadControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVXYPadControl::IVXYPadControl(const IRECT& bounds, const std::vector<int>& params, const char* label,
                               const IVStyle& style, float handleRadius, bool trackClipsHandle, bool drawCross)
  : IControl(bounds, params)
  , IVectorBase(style, false, false)
  , mHandleRadius(handleRadius)
  , mTrackClipsHandle(trackClipsHandle)
  , mDrawCross(drawCross)
{
  mShape = EVShape::Ellipse;
  AttachIControl(this, label);
}

void IVXYPadControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  if (mStyle.drawFrame)
    g.DrawRect(GetColor(EVColor::FR), mWidgetBounds, &mBlend, mStyle.frameThickness);
  DrawWidget(g);
}

IRECT IVXYPadControl::GetHandleBounds() const
{
  const IRECT area = mTrackClipsHandle ? mWidgetBounds : mWidgetBounds.GetPadded(-mHandleRadius);
  const float x = static_cast<float>(GetValue(0));
  const float y = NVals() > 1 ? static_cast<float>(GetValue(1)) : 0.f;
  const float cx = area.L + x * area.W();
  const float cy = area.B - y * area.H();
  return IRECT(cx - mHandleRadius, cy - mHandleRadius, cx + mHandleRadius, cy + mHandleRadius);
}

void IVXYPadControl::DrawWidget(IGfx& g)
{
  DrawTrack(g);
  const IRECT area = mTrackClipsHandle ? mWidgetBounds : mWidgetBounds.GetPadded(-mHandleRadius);
  DrawHandle(g, area, GetHandleBounds());
}

void IVXYPadControl::DrawTrack(IGfx& g)
{
  if (!mDrawCross)
    return;
  const IRECT& r = mWidgetBounds;
  g.DrawLine(GetColor(EVColor::SH), r.MW(), r.T, r.MW(), r.B, &mBlend, 1.f);
  g.DrawLine(GetColor(EVColor::SH), r.L, r.MH(), r.R, r.MH(), &mBlend, 1.f);
}

void IVXYPadControl::DrawHandle(IGfx& g, const IRECT& trackBounds, const IRECT& handleBounds)
{
  if (mTrackClipsHandle)
    g.PathClipRegion(trackBounds.GetPadded(-0.5f * mStyle.frameThickness));
  DrawPressableShape(g, mShape, handleBounds, mMouseDown, GetMouseIsOver(), IsDisabled());
  if (mTrackClipsHandle)
    g.PathClipRegion();
}

void IVXYPadControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mMouseDown = true;
  if (mStyle.hideCursor && GetUI())
    GetUI()->HideMouseCursor(true, false);
  OnMouseDrag(x, y, 0.f, 0.f, mod);
}

void IVXYPadControl::OnMouseUp(float, float, const IMouseMod&)
{
  if (mStyle.hideCursor && GetUI())
    GetUI()->HideMouseCursor(false, true);
  mMouseDown = false;
  SetDirty(true);
}

void IVXYPadControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&)
{
  const IRECT& r = mRECT;
  if (r.W() <= 0.f || r.H() <= 0.f || NVals() < 2)
    return;
  x = std::clamp(x, r.L, r.R);
  y = std::clamp(y, r.T, r.B);
  SetValue((x - r.L) / r.W(), 0);
  SetValue(1. - (y - r.T) / r.H(), 1);
  SetDirty(true);
}

void IVXYPadControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  SetDirty(false);
}

} // namespace plugkit::gfx
