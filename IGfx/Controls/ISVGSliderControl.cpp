#include "IGfx/Controls/ISVGSliderControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

ISVGSliderControl::ISVGSliderControl(const IRECT& bounds, const ISVG& handleSVG, const ISVG& trackSVG, int paramIdx,
                                     EDirection dir, double gearing)
  : ISliderControlBase(bounds, paramIdx, dir, gearing, 0.f)
  , mHandleSVG(handleSVG)
  , mTrackSVG(trackSVG)
{}

void ISVGSliderControl::OnResize()
{
  ISliderControlBase::OnResize();
  const bool vertical = mDirection == EDirection::Vertical;
  const float tw = mTrackSVG.W(), th = mTrackSVG.H();
  // A track document that failed to load or has no size cannot give a scale: the track fills the
  // control and the handle shrinks to a point rather than dividing by zero.
  const bool scalable = tw > 0.f && th > 0.f;
  auto positive = [](float v) { return v > 0.f ? v : 1.f; };
  float handleW = 1.f, handleH = 1.f;
  if (!scalable)
    mTrackSVGBounds = mRECT;
  else if (vertical)
  {
    const float h = mRECT.H();
    mTrackSVGBounds = mRECT.GetCentredInside(h * tw / th, h);
    handleW = positive(h * mHandleSVG.W() / th);
    handleH = positive(h * mHandleSVG.H() / th);
  }
  else
  {
    const float w = mRECT.W();
    mTrackSVGBounds = mRECT.GetCentredInside(w, w * th / tw);
    handleW = positive(w * mHandleSVG.W() / tw);
    handleH = positive(w * mHandleSVG.H() / tw);
  }
  const IRECT& t = mTrackSVGBounds;
  if (vertical)
  {
    const float l = t.MW() - handleW / 2.f;
    mHandleBounds = IRECT(l, t.T, l + handleW, t.T + handleH);
    mTrackBounds = IRECT(t.L, t.T + handleH, t.R, t.B);
  }
  else
  {
    const float top = t.MH() - handleH / 2.f;
    mHandleBounds = IRECT(t.R - handleW, top, t.R, top + handleH);
    mTrackBounds = IRECT(t.L + handleW, t.T, t.R, t.B);
  }
  SetDirty(false);
}

IRECT ISVGSliderControl::GetHandleBounds(double value) const
{
  if (value < 0.)
    value = GetValue();
  const float travel = static_cast<float>(1. - value);
  if (mDirection == EDirection::Vertical)
    return mHandleBounds.GetTranslated(0.f, travel * mTrackBounds.H());
  return mHandleBounds.GetTranslated(-travel * mTrackBounds.W(), 0.f);
}

void ISVGSliderControl::Draw(IGfx& g)
{
  g.DrawSVG(mTrackSVG, mTrackSVGBounds, &mBlend);
  g.DrawSVG(mHandleSVG, GetHandleBounds(), &mBlend);
}

} // namespace plugkit::gfx
