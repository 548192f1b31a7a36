#include "IGfx/Controls/IVRangeSliderControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVRangeSliderControl::IVRangeSliderControl(const IRECT& bounds, const std::vector<int>& params, const char* label,
                                           const IVStyle& style, EDirection dir, bool, float handleSize,
                                           float trackSize)
  : IVTrackControlBase(bounds, label, style, params, 0, dir)
  , mHandleSize(handleSize)
{
  mTrackSize = trackSize;
}

void IVRangeSliderControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
}

void IVRangeSliderControl::MakeTrackRects(const IRECT& bounds)
{
  const IRECT inner = bounds.GetPadded(-mHandleSize);
  const float t = mTrackSize;
  const IRECT track = mDirection == EDirection::Horizontal ? IRECT(inner.L, inner.MH() - t, inner.R, inner.MH() + t)
                                                           : IRECT(inner.MW() - t, inner.T, inner.MW() + t, inner.B);
  for (IRECT& r : mTrackBounds)
    r = track;
}

IRECT IVRangeSliderControl::GetHandleBounds(int chIdx) const
{
  const IRECT& track = mTrackBounds[static_cast<size_t>(chIdx)];
  const float v = static_cast<float>(GetValue(chIdx));
  const float shift = (mStyle.drawShadows && mShape != EVShape::Ellipse) ? mStyle.shadowOffset * 0.5f : 0.f;
  const float s = mHandleSize;
  const float t = mTrackSize;
  const bool even = chIdx % 2 == 0;
  if (mDirection == EDirection::Horizontal)
  {
    const float x = track.L + v * track.W();
    const float c = track.MH() + shift;
    return even ? IRECT(x - s, c + t, x + s, c + t + 2.f * s) : IRECT(x - s, c - 2.f * s, x + s, c);
  }
  const float y = track.B - v * track.H();
  const float c = track.MW() + shift;
  return even ? IRECT(c - 2.f * s, y - s, c, y + s) : IRECT(c + t, y - s, c + t + 2.f * s, y + s);
}

void IVRangeSliderControl::DrawWidget(IGfx& g)
{
  if (NVals() == 0)
    return;
  const IRECT& track0 = mTrackBounds.front();
  DrawTrackBackground(g, track0, 0);
  for (int i = 0; i + 1 < NVals(); ++i)
  {
    const IRECT& t = mTrackBounds[static_cast<size_t>(i)];
    const float a = static_cast<float>(GetValue(i));
    const float b = static_cast<float>(GetValue(i + 1));
    const IRECT range = mDirection == EDirection::Horizontal ? IRECT(t.L + a * t.W(), t.T, t.L + b * t.W(), t.B)
                                                             : IRECT(t.L, t.B - b * t.H(), t.R, t.B - a * t.H());
    g.FillRect(GetColor(EVColor::X1), range, &mBlend);
  }
  if (mStyle.drawFrame && mDrawTrackFrame)
    g.DrawRect(GetColor(EVColor::FR), track0, &mBlend, mStyle.frameThickness);
  for (int i = 0; i < NVals(); ++i)
    DrawTrack(g, mTrackBounds[static_cast<size_t>(i)], i);
}

void IVRangeSliderControl::DrawTrack(IGfx& g, const IRECT&, int chIdx)
{
  const bool even = chIdx % 2 == 0;
  const float angle = mDirection == EDirection::Horizontal ? (even ? 0.f : 180.f) : (even ? 90.f : 270.f);
  const bool over = chIdx == mMouseOverHandle;
  DrawPressableTriangle(g, GetHandleBounds(chIdx), over && mDragging, over, angle, IsDisabled());
}

void IVRangeSliderControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  mMouseOverHandle = -1;
  for (int i = 0; i < NVals(); ++i)
  {
    if (GetHandleBounds(i).Contains(x, y))
    {
      mMouseOverHandle = i;
      break;
    }
  }
  IVTrackControlBase::OnMouseOver(x, y, mod);
}

void IVRangeSliderControl::OnMouseOut()
{
  mMouseOverHandle = -1;
  IVTrackControlBase::OnMouseOut();
}

void IVRangeSliderControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mDragging = true;
  OnMouseDrag(x, y, 0.f, 0.f, mod);
}

void IVRangeSliderControl::OnMouseUp(float, float, const IMouseMod&)
{
  mDragging = false;
  SetDirty(false);
}

void IVRangeSliderControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&)
{
  const int h = mMouseOverHandle;
  if (h < 0 || h >= NVals())
    return;
  const double lo = h == 0 ? 0. : GetValue(h - 1);
  const double hi = h == NVals() - 1 ? 1. : GetValue(h + 1);
  // Over the handle's own track, so the handle stays under the pointer.
  SnapToMouse(x, y, mDirection, mTrackBounds[static_cast<size_t>(h)], h, lo, hi);
}

} // namespace plugkit::gfx
