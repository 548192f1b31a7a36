#include "IGfx/Controls/IBSliderControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

namespace {
IRECT PointBounds(float x, float y, int trackLength, const IBitmap& handle, EDirection dir)
{
  const float length = static_cast<float>(trackLength);
  if (dir == EDirection::Vertical)
    return IRECT(x, y, x + static_cast<float>(handle.W()), y + length);
  return IRECT(x, y, x + length, y + static_cast<float>(handle.H()));
}

float HandleSize(const IBitmap& handle, EDirection dir)
{
  return static_cast<float>(dir == EDirection::Vertical ? handle.H() : handle.W());
}
} // namespace

IBSliderControl::IBSliderControl(float x, float y, int trackLength, const IBitmap& handleBitmap,
                                 const IBitmap& trackBitmap, int paramIdx, EDirection dir, double gearing)
  : ISliderControlBase(PointBounds(x, y, trackLength, handleBitmap, dir), paramIdx, dir, gearing,
                       HandleSize(handleBitmap, dir))
  , IBitmapBase(handleBitmap)
  , mTrackBitmap(trackBitmap)
{
  AttachIControl(this);
}

IBSliderControl::IBSliderControl(const IRECT& bounds, const IBitmap& handleBitmap, const IBitmap& trackBitmap,
                                 int paramIdx, EDirection dir, double gearing)
  : ISliderControlBase(bounds, paramIdx, dir, gearing, HandleSize(handleBitmap, dir))
  , IBitmapBase(handleBitmap)
  , mTrackBitmap(trackBitmap)
{
  AttachIControl(this);
}

void IBSliderControl::OnRescale()
{
  if (mGraphics)
    RescaleBitmap(*mGraphics);
}

void IBSliderControl::OnResize()
{
  ISliderControlBase::OnResize();
  if (mTrackBitmap.IsValid())
    mTrackBounds = mRECT.GetCentredInside(static_cast<float>(mTrackBitmap.FW()), static_cast<float>(mTrackBitmap.FH()));
  else if (mDirection == EDirection::Vertical)
    mTrackBounds = mRECT.GetCentredInside(static_cast<float>(mBitmap.W()), mRECT.H());
  else
    mTrackBounds = mRECT.GetCentredInside(mRECT.W(), static_cast<float>(mBitmap.H()));
  SetDirty(false);
}

IRECT IBSliderControl::GetHandleBounds(double value) const
{
  if (value < 0.)
    value = GetValue();
  const float w = static_cast<float>(mBitmap.W()), h = static_cast<float>(mBitmap.H());
  float x = mTrackBounds.L, y = mTrackBounds.T;
  if (mDirection == EDirection::Vertical)
    y += static_cast<float>(1. - value) * (mTrackBounds.H() - h);
  else
    x += static_cast<float>(value) * (mTrackBounds.W() - w);
  return IRECT(x, y, x + static_cast<float>(mBitmap.FW()), y + static_cast<float>(mBitmap.FH()));
}

void IBSliderControl::Draw(IGfx& g)
{
  if (mTrackBitmap.IsValid())
  {
    const IRECT track =
      mRECT.GetCentredInside(static_cast<float>(mTrackBitmap.FW()), static_cast<float>(mTrackBitmap.FH()));
    g.DrawBitmap(mTrackBitmap, track, 1, &mBlend);
  }
  g.DrawBitmap(mBitmap, GetHandleBounds(), 1, &mBlend);
}

} // namespace plugkit::gfx
