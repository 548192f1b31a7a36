// A parameter's value as text; a click prompts for a new value, and enumerated parameters show a
// small downward triangle as a menu hint.
#pragma once

#include "IGfx/Controls/ITextControl.h"

namespace plugkit::gfx {

// Main thread only.
class ICaptionControl : public ITextControl
{
public:
  // With showParamLabel the parameter's unit follows the value after a blank.
  ICaptionControl(const IRECT& bounds, int paramIdx, const IText& text = DEFAULT_TEXT,
                  const IColor& bgColor = DEFAULT_BGCOLOR, bool showParamLabel = true);

  void Draw(IGfx& g) override;
  // Left or right button: a menu of the display texts or a text entry over the whole rectangle.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnResize() override;

  // Empty unless the parameter is enumerated.
  const IRECT& GetTriangleRECT() const { return mTriangleRect; }

private:
  bool mShowParamLabel;
  IColor mTriangleColor = COLOR_BLACK;
  IColor mTriangleMouseOverColor = COLOR_WHITE;
  IRECT mTriangleRect;
};

} // namespace plugkit::gfx
