#include "IGfx/Controls/IVSwitchControl.h"

#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

IVSwitchControl::IVSwitchControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 bool valueInButton)
  : ISwitchControlBase(bounds, paramIdx, SplashClickActionFunc, 2)
  , IVectorBase(style, false, valueInButton)
{
  mText = style.valueText;
  AttachIControl(this, label);
  if (valueInButton)
    CentreValueText();
}

IVSwitchControl::IVSwitchControl(const IRECT& bounds, IActionFunction actionFunc, const char* label,
                                 const IVStyle& style, int numStates, bool valueInButton)
  : ISwitchControlBase(bounds, -1, std::move(actionFunc), numStates)
  , IVectorBase(style, false, valueInButton)
{
  mText = style.valueText;
  AttachIControl(this, label);
  if (valueInButton)
    CentreValueText();
}

void IVSwitchControl::CentreValueText()
{
  mStyle.valueText.mVAlign = EVAlign::Middle;
  mText.mVAlign = EVAlign::Middle;
}

void IVSwitchControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, false);
}

void IVSwitchControl::DrawWidget(IGfx& g)
{
  DrawPressableShape(g, mShape, mWidgetBounds, mMouseDown, GetMouseIsOver(), IsDisabled());
}

void IVSwitchControl::OnMouseOut()
{
  ISwitchControlBase::OnMouseOut();
  SetDirty(false);
}

void IVSwitchControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  SetDirty(false);
}

void IVSwitchControl::OnInit()
{
  ISwitchControlBase::OnInit();
  if (const IParam* param = GetParam())
  {
    TextString str;
    param->GetDisplayWithLabel(str);
    SetValueStr(str.Get());
    if (mLabelStr.GetLength() == 0)
      SetLabelStr(param->GetName());
  }
}

bool IVSwitchControl::IsHit(float x, float y) const { return mWidgetBounds.Contains(x, y); }

void IVSwitchControl::SetDirty(bool push, int)
{
  IControl::SetDirty(push);
  if (const IParam* param = GetParam())
  {
    TextString str;
    param->GetDisplay(param->Value(), false, str);
    SetValueStr(str.Get());
  }
}

} // namespace plugkit::gfx
