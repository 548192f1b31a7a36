#include "IGfx/Controls/ITextToggleControl.h"

namespace plugkit::gfx {

ITextToggleControl::ITextToggleControl(const IRECT& bounds, int paramIdx, const char* offText, const char* onText,
                                       const IText& text, const IColor& bgColor)
  : ITextControl(bounds, offText, text, bgColor)
  , mOffText(offText ? offText : "")
  , mOnText(onText ? onText : "")
{
  SetParamIdx(paramIdx);
  mIgnoreMouse = false;
  mDblAsSingleClick = true;
}

ITextToggleControl::ITextToggleControl(const IRECT& bounds, IActionFunction actionFunc, const char* offText,
                                       const char* onText, const IText& text, const IColor& bgColor)
  : ITextControl(bounds, offText, text, bgColor)
  , mOffText(offText ? offText : "")
  , mOnText(onText ? onText : "")
{
  SetActionFunction(std::move(actionFunc));
  mIgnoreMouse = false;
  mDblAsSingleClick = true;
}

void ITextToggleControl::OnMouseDown(float, float, const IMouseMod&)
{
  // The test matches the texts: a value that shows the off text turns on.
  SetValue(GetValue() > 0.5 ? 0. : 1.);
  SetDirty(true, 0);
}

void ITextToggleControl::SetDirty(bool triggerAction, int)
{
  SetStr(GetValue() > 0.5 ? mOnText.Get() : mOffText.Get());
  ITextControl::SetDirty(triggerAction);
}

} // namespace plugkit::gfx
