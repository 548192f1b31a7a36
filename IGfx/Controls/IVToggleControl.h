// A two-state switch that shows an off text or an on text, pressed while on.
#pragma once

#include "IGfx/Controls/IVSwitchControl.h"

namespace plugkit::gfx {

class IVToggleControl : public IVSwitchControl
{
public:
  IVToggleControl(const IRECT& bounds, int paramIdx = -1, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                  const char* offText = "OFF", const char* onText = "ON");
  IVToggleControl(const IRECT& bounds, IActionFunction actionFunc, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, const char* offText = "OFF", const char* onText = "ON",
                  bool initialState = false);

  void DrawWidget(IGfx& g) override;
  // Draws the on or off text whether or not the style shows values.
  void DrawValue(IGfx& g, bool mouseOver) override;

private:
  TextString mOffText;
  TextString mOnText;
};

} // namespace plugkit::gfx
