#include "IGfx/Controls/IURLControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IURLControl::IURLControl(const IRECT& bounds, const char* str, const char* url, const IText& text,
                         const IColor& bgColor, const IColor& mouseOverColor, const IColor& clickedColor)
  : ITextControl(bounds, str, text, bgColor)
  , mURL(url ? url : "")
  , mOriginalColor(text.mFGColor)
  , mMouseOverColor(mouseOverColor)
  , mClickedColor(clickedColor)
{
  mIgnoreMouse = false;
}

void IURLControl::Draw(IGfx& g)
{
  g.FillRect(mBGColor, mRECT, &mBlend);
  mText.mFGColor = mMouseIsOver ? mMouseOverColor : (mClicked ? mClickedColor : mOriginalColor);
  if (mStr.GetLength() == 0)
    return;

  IRECT measured;
  g.MeasureText(mText, mStr.Get(), measured);
  const float w = measured.W();
  const float h = measured.H();
  float x1 = mRECT.MW() - w / 2.f;
  if (mText.mAlign == EAlign::Near)
    x1 = mRECT.L;
  else if (mText.mAlign == EAlign::Far)
    x1 = mRECT.R - w;
  float y = mRECT.MH() + h / 2.f;
  if (mText.mVAlign == EVAlign::Top)
    y = mRECT.T + h;
  else if (mText.mVAlign == EVAlign::Bottom)
    y = mRECT.B;
  g.DrawLine(mText.mFGColor, x1, y, x1 + w, y, &mBlend, 1.f);
  if (g.GetControlInTextEntry() != this)
    g.DrawText(mText, mStr.Get(), mRECT, &mBlend);
}

void IURLControl::OnMouseDown(float, float, const IMouseMod&)
{
  if (mGraphics)
  {
    mGraphics->OpenURL(mURL.Get());
    mGraphics->ReleaseMouseCapture();
  }
  mClicked = true;
  SetDirty(false);
}

void IURLControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (mGraphics)
    mGraphics->SetMouseCursor(ECursor::HAND);
  ITextControl::OnMouseOver(x, y, mod);
}

void IURLControl::OnMouseOut()
{
  if (mGraphics)
    mGraphics->SetMouseCursor(ECursor::ARROW);
  ITextControl::OnMouseOut();
}

void IURLControl::SetText(const IText& text)
{
  mText = text;
  mOriginalColor = text.mFGColor;
}

} // namespace plugkit::gfx
