// A knob whose value text is the parameter's display text followed by its unit.
#pragma once

#include "IGfx/Controls/IVKnobControl.h"

namespace vemlor::ui {

// Main thread only.
class ControlValueKnobControl : public plugkit::gfx::IVKnobControl
{
public:
  ControlValueKnobControl(const plugkit::gfx::IRECT& bounds, int paramIdx, const char* label,
                          const plugkit::gfx::IVStyle& style);

  void OnInit() override;
  void SetDirty(bool push = true, int valIdx = -1) override;

  // How much finer a drag with Shift or Ctrl is; 20 unless set.
  void setFineFactor(double factor) { mFineGearingFactor = factor; }
  double fineFactor() const { return mFineGearingFactor; }

private:
  void refreshValueStr();
};

} // namespace vemlor::ui
