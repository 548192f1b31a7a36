// A multi-state switch of one pressable shape that steps through the states of
// its parameter (or of its own value) on each click and shows the parameter's
// display text.
#pragma once

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

class IVSwitchControl : public ISwitchControlBase, public IVectorBase
{
public:
  // The number of states comes from the parameter once attached.
  IVSwitchControl(const IRECT& bounds, int paramIdx = -1, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                  bool valueInButton = true);
  IVSwitchControl(const IRECT& bounds, IActionFunction actionFunc, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, int numStates = 2, bool valueInButton = true);

  void Draw(IGfx& g) override;
  void DrawWidget(IGfx& g) override;
  void OnMouseOut() override;
  void OnResize() override;
  void OnInit() override;
  bool IsHit(float x, float y) const override;
  // Also refreshes the value text from the parameter.
  void SetDirty(bool push = true, int valIdx = -1) override;

private:
  void CentreValueText();
};

} // namespace plugkit::gfx
