#include "IGfx/Controls/IVMenuButtonControl.h"

#include <string>

#include "IGfx/IGfx.h"
#include "IGfx/IPopupMenu.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

IVMenuButtonControl::IVMenuButtonControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                         EVShape shape)
  : IContainerBase(
      bounds,
      [this, shape, buttonLabel = std::string(label ? label : "")](IContainerBase*, const IRECT& r) {
        auto* button =
          new IVButtonControl(r, SplashClickActionFunc, buttonLabel.c_str(), ButtonStyle(mStyle), false, true, shape);
        mButton = static_cast<IVButtonControl*>(AddChildControl(button, -1, GetGroup()));
        if (!mButton)
          return;
        RefreshButtonText();
        mButton->SetAnimationEndActionFunction([this](IControl*) { PromptUserInput(mButton->GetWidgetBounds(), 0); });
      },
      [this](IContainerBase*, const IRECT& r) {
        if (!mButton)
          return;
        mButton->SetTargetAndDrawRECTs(r);
        mButton->ClearMouseIsOver();
        mButton->OnResize();
      })
  , IVectorBase(style, false, false)
{
  SetParamIdx(paramIdx);
  // The label belongs to the button.
  AttachIControl(this, "");
  mText = style.valueText;
  DisablePrompt(false);
}

IVStyle IVMenuButtonControl::ButtonStyle(const IVStyle& style)
{
  IVStyle s = style;
  s.valueText.mVAlign = EVAlign::Middle;
  return s;
}

void IVMenuButtonControl::RefreshButtonText()
{
  if (!mButton)
    return;
  TextString str;
  if (const IParam* param = GetParam())
    param->GetDisplayWithLabel(str);
  mButton->SetValueStr(str.Get());
  mButton->SetDirty(false);
}

void IVMenuButtonControl::SetStyle(const IVStyle& style)
{
  IVectorBase::SetStyle(style);
  if (mButton)
    mButton->SetStyle(ButtonStyle(style));
}

void IVMenuButtonControl::SetValueFromDelegate(double value, int valIdx)
{
  IContainerBase::SetValueFromDelegate(value, valIdx);
  RefreshButtonText();
}

void IVMenuButtonControl::SetValueFromUserInput(double value, int valIdx)
{
  if (value != GetValue(valIdx))
  {
    SetValue(value, valIdx);
    SetDirty(true, valIdx);
  }
  RefreshButtonText();
}

void IVMenuButtonControl::OnPopupMenuSelection(IPopupMenu* menu, int valIdx)
{
  if (mButton && menu)
  {
    const IPopupMenu::Item* item = menu->GetChosenItem();
    mButton->SetValueStr(item ? item->GetText() : "");
    mButton->SetDirty(false);
  }
  IContainerBase::OnPopupMenuSelection(menu, valIdx);
}

} // namespace plugkit::gfx
