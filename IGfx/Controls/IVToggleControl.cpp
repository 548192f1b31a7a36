#include "IGfx/Controls/IVToggleControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVToggleControl::IVToggleControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 const char* offText, const char* onText)
  : IVSwitchControl(bounds, paramIdx, label, style, true)
{
  mOffText.Set(offText ? offText : "");
  mOnText.Set(onText ? onText : "");
}

IVToggleControl::IVToggleControl(const IRECT& bounds, IActionFunction actionFunc, const char* label,
                                 const IVStyle& style, const char* offText, const char* onText, bool initialState)
  : IVSwitchControl(bounds, std::move(actionFunc), label, style, 2, true)
{
  mOffText.Set(offText ? offText : "");
  mOnText.Set(onText ? onText : "");
  SetValue(initialState ? 1. : 0.);
}

void IVToggleControl::DrawWidget(IGfx& g)
{
  DrawPressableShape(g, mShape, mWidgetBounds, GetValue() > 0.5, GetMouseIsOver(), IsDisabled());
}

void IVToggleControl::DrawValue(IGfx& g, bool mouseOver)
{
  if (mouseOver)
    g.FillRect(GetColor(EVColor::HL), mValueBounds, &GetBlend());
  g.DrawText(mStyle.valueText, GetValue() > 0.5 ? mOnText.Get() : mOffText.Get(), mValueBounds, &GetBlend());
}

} // namespace plugkit::gfx
