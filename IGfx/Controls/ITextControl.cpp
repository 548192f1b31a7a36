#include "IGfx/Controls/ITextControl.h"

#include <cstdarg>
#include <cstring>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

ITextControl::ITextControl(const IRECT& bounds, const char* str, const IText& text, const IColor& bgColor,
                           bool setBoundsBasedOnStr)
  : IControl(bounds)
  , mStr(str ? str : "")
  , mBGColor(bgColor)
  , mSetBoundsBasedOnStr(setBoundsBasedOnStr)
{
  mIgnoreMouse = true;
  mText = text;
}

void ITextControl::SetStr(const char* str)
{
  if (!str)
    str = "";
  if (std::strcmp(str, mStr.Get()) == 0)
    return;
  mStr.Set(str);
  if (mSetBoundsBasedOnStr)
    SetBoundsBasedOnStr();
  SetDirty(false);
}

void ITextControl::SetStrFmt(int maxLength, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  mStr.SetFormattedV(maxLength, format, args);
  va_end(args);
  SetDirty(false);
}

void ITextControl::OnInit()
{
  if (mSetBoundsBasedOnStr)
    SetBoundsBasedOnStr();
}

void ITextControl::SetBoundsBasedOnStr()
{
  if (!mGraphics)
    return;
  IRECT measured;
  mGraphics->MeasureText(mText, mStr.Get(), measured);
  // Through the context, so that the area a shrinking string leaves is redrawn too.
  mGraphics->SetControlBounds(this, mRECT.GetCentredInside(measured.W(), measured.H()));
}

void ITextControl::Draw(IGfx& g)
{
  g.FillRect(mBGColor, mRECT, &mBlend);
  if (mStr.GetLength() > 0 && g.GetControlInTextEntry() != this)
    g.DrawText(mText, mStr.Get(), mRECT, &mBlend);
}

} // namespace plugkit::gfx
