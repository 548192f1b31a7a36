#include "IGfx/Controls/ISVGKnobControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

ISVGKnobControl::ISVGKnobControl(const IRECT& bounds, const ISVG& svg, int paramIdx)
  : IKnobControlBase(bounds, paramIdx)
  , mSVG(svg)
{}

void ISVGKnobControl::Draw(IGfx& g)
{
  const double angle = mStartAngle + (mEndAngle - mStartAngle) * GetValue();
  g.DrawRotatedSVG(mSVG, mRECT.MW(), mRECT.MH(), mRECT.W(), mRECT.H(), angle, &mBlend);
}

void ISVGKnobControl::SetSVG(const ISVG& svg)
{
  mSVG = svg;
  SetDirty(false);
}

} // namespace plugkit::gfx
