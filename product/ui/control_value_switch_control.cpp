#include "product/ui/control_value_switch_control.h"

#include "IPlugin/IPluginParameter.h"

namespace vemlor::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

ControlValueSwitchControl::ControlValueSwitchControl(const IRECT& bounds, int paramIdx, const char* label,
                                                     const IVStyle& style)
  : IVSwitchControl(bounds, paramIdx, label, style)
{}

void ControlValueSwitchControl::SetDirty(bool push, int valIdx)
{
  IVSwitchControl::SetDirty(push, valIdx);
  if (const IParam* param = GetParam())
  {
    TextString str;
    param->GetDisplay(GetValue(), true, str, true);
    SetValueStr(str.Get());
  }
}

} // namespace vemlor::ui
