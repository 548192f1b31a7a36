// The vector switch whose value text is the parameter's display text of the switch's own value.
#pragma once

#include "IGfx/Controls/IVSwitchControl.h"

namespace vemlor::ui {

// Main thread only.
class ControlValueSwitchControl : public plugkit::gfx::IVSwitchControl
{
public:
  ControlValueSwitchControl(const plugkit::gfx::IRECT& bounds, int paramIdx, const char* label,
                            const plugkit::gfx::IVStyle& style);

  void SetDirty(bool push = true, int valIdx = -1) override;
};

} // namespace vemlor::ui
