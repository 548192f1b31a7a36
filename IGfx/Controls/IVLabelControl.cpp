#include "IGfx/Controls/IVLabelControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVLabelControl::IVLabelControl(const IRECT& bounds, const char* label, const IVStyle& style)
  : ITextControl(bounds, label, DEFAULT_TEXT, DEFAULT_BGCOLOR, false)
  , IVectorBase(style, false, false)
{
  mText = style.valueText;
  AttachIControl(this, label);
}

void IVLabelControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  if (mStr.GetLength() > 0)
  {
    if (mStyle.drawShadows && !IsDisabled())
    {
      IText shadow = mStyle.valueText;
      shadow.mFGColor = GetColor(EVColor::SH);
      g.DrawText(shadow, mStr.Get(), mRECT.GetTranslated(mStyle.shadowOffset, mStyle.shadowOffset), &mBlend);
    }
    g.DrawText(mStyle.valueText, mStr.Get(), mRECT, &mBlend);
  }
  if (mStyle.drawFrame)
    g.DrawRect(GetColor(EVColor::FR), mRECT, &mBlend, mStyle.frameThickness);
}

} // namespace plugkit::gfx
