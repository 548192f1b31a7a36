#include "IGfx/Controls/PlaceHolder.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

namespace {

constexpr int kMaxCoordLength = 32;

// A string over its measured box, filled white, at (x, y) placed as anchorX/anchorY (0 near, 0.5
// centre) of the box.
void DrawLabel(IGfx& g, const IText& text, const char* str, float x, float y, float anchorX, float anchorY)
{
  IRECT measured;
  g.MeasureText(text, str, measured);
  const float w = measured.W();
  const float h = measured.H();
  const IRECT box(x - anchorX * w, y - anchorY * h, x - anchorX * w + w, y - anchorY * h + h);
  g.FillRect(COLOR_WHITE, box, &BLEND_75);
  g.DrawText(text, str, box);
}

} // namespace

PlaceHolder::PlaceHolder(const IRECT& bounds, const char* str)
  : ITextControl(bounds, str, IText(20.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Center, EVAlign::Middle),
                 COLOR_WHITE)
{
  mDisablePrompt = false;
  mIgnoreMouse = false;
}

void PlaceHolder::Draw(IGfx& g)
{
  g.FillRect(COLOR_WHITE, mRECT, &mBlend);
  g.DrawLine(COLOR_RED, mRECT.L, mRECT.T, mRECT.R, mRECT.B, &BLEND_50, 2.f);
  g.DrawLine(COLOR_RED, mRECT.L, mRECT.B, mRECT.R, mRECT.T, &BLEND_50, 2.f);
  DrawLabel(g, mTLGCText, mTLHCStr.Get(), mRECT.L, mRECT.T, 0.f, 0.f);
  DrawLabel(g, mWidthText, mWidthStr.Get(), mRECT.MW(), mRECT.T, 0.5f, 0.f);
  DrawLabel(g, mHeightText, mHeightStr.Get(), mRECT.L, mRECT.MH(), 0.f, 0.5f);
  if (mStr.GetLength() > 0 && g.GetControlInTextEntry() != this)
    g.DrawText(mText, mStr.Get(), mRECT, &mBlend);
}

void PlaceHolder::OnResize()
{
  mTLHCStr.SetFormatted(kMaxCoordLength, "%0.1f, %0.1f", mRECT.L, mRECT.T);
  mWidthStr.SetFormatted(kMaxCoordLength, "%0.1f", mRECT.W());
  mHeightStr.SetFormatted(kMaxCoordLength, "%0.1f", mRECT.H());
}

void PlaceHolder::OnMouseDblClick(float, float, const IMouseMod&)
{
  if (mGraphics)
    mGraphics->CreateTextEntry(*this, mText, mRECT, mStr.Get());
}

void PlaceHolder::OnTextEntryCompletion(const char* str, int) { SetStr(str); }

} // namespace plugkit::gfx
