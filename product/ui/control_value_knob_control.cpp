#include "product/ui/control_value_knob_control.h"

#include "IPlugin/IPluginParameter.h"

namespace vemlor::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

ControlValueKnobControl::ControlValueKnobControl(const IRECT& bounds, int paramIdx, const char* label,
                                                 const IVStyle& style)
  : IVKnobControl(bounds, paramIdx, label, style, false, false, -135.f, 135.f, -135.f, EDirection::Vertical, 4., 2.f)
{}

void ControlValueKnobControl::OnInit()
{
  IVKnobControl::OnInit();
  refreshValueStr();
}

void ControlValueKnobControl::SetDirty(bool push, int valIdx)
{
  IVKnobControl::SetDirty(push, valIdx);
  refreshValueStr();
}

void ControlValueKnobControl::refreshValueStr()
{
  const IParam* param = GetParam();
  if (!param)
    return;
  TextString str;
  param->GetDisplay(GetValue(), true, str, true);
  const char* unit = param->GetLabel();
  if (unit && unit[0])
  {
    str.Append(" ");
    str.Append(unit);
  }
  SetValueStr(str.Get());
}

} // namespace vemlor::ui
