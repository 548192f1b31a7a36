#include "IGfx/Controls/IBTextControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IBTextControl::IBTextControl(const IRECT& bounds, const IBitmap& bitmap, const IText& text, const char* str,
                             int charWidth, int charHeight, int charOffset, bool multiline, bool vCenter, EBlend blend)
  : ITextControl(bounds, str, text, DEFAULT_BGCOLOR)
  , IBitmapBase(bitmap)
  , mCharWidth(charWidth)
  , mCharHeight(charHeight)
  , mCharOffset(charOffset)
  , mMultiLine(multiline)
  , mVCentre(vCenter)
{
  mBlend = IBlend(blend, 1.f);
  AttachIControl(this);
}

void IBTextControl::OnRescale()
{
  if (mGraphics)
    RescaleBitmap(*mGraphics);
}

void IBTextControl::Draw(IGfx& g)
{
  g.DrawBitmapedText(mBitmap, mRECT, mText, &mBlend, mStr.Get(), mVCentre, mMultiLine, mCharWidth, mCharHeight,
                     mCharOffset);
}

} // namespace plugkit::gfx
