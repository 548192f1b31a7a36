#include "IGfx/Controls/ICaptionControl.h"

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

ICaptionControl::ICaptionControl(const IRECT& bounds, int paramIdx, const IText& text, const IColor& bgColor,
                                 bool showParamLabel)
  : ITextControl(bounds, "", text, bgColor)
  , mShowParamLabel(showParamLabel)
{
  SetParamIdx(paramIdx);
  mDisablePrompt = false;
  mDblAsSingleClick = true;
  mIgnoreMouse = false;
}

void ICaptionControl::OnMouseDown(float, float, const IMouseMod& mod)
{
  if (mod.L || mod.R)
    PromptUserInput(mRECT, 0);
}

void ICaptionControl::Draw(IGfx& g)
{
  if (const IParam* param = GetParam())
  {
    // Set directly: changing the string while drawing must not ask for another frame.
    TextString display;
    param->GetDisplay(param->Value(), false, display, true);
    if (mShowParamLabel)
    {
      display.Append(" ");
      display.Append(param->GetLabel());
    }
    mStr.Set(display.Get());
  }
  ITextControl::Draw(g);
  if (!mTriangleRect.Empty())
  {
    const IRECT& r = mTriangleRect;
    g.FillTriangle(mMouseIsOver ? mTriangleMouseOverColor : mTriangleColor, r.L, r.T, r.R, r.T, r.MW(), r.B,
                   mMouseIsOver ? nullptr : &BLEND_50);
  }
}

void ICaptionControl::OnResize()
{
  const IParam* param = GetParam();
  if (!param || param->Type() != IParam::kTypeEnum)
    return;
  const float size = mText.mSize;
  const IRECT strip = mText.mAlign == EAlign::Far ? IRECT(mRECT.L, mRECT.T, mRECT.L + size, mRECT.B)
                                                  : IRECT(mRECT.R - size, mRECT.T, mRECT.R, mRECT.B);
  mTriangleRect = strip.GetCentredInside(0.5f * size, 0.33f * size);
}

} // namespace plugkit::gfx
