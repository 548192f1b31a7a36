// A text button with two states, showing one text for each.
#pragma once

#include "IGfx/Controls/ITextControl.h"

namespace plugkit::gfx {

// Main thread only.
class ITextToggleControl : public ITextControl
{
public:
  ITextToggleControl(const IRECT& bounds, int paramIdx = -1, const char* offText = "OFF", const char* onText = "ON",
                     const IText& text = DEFAULT_TEXT, const IColor& bgColor = DEFAULT_BGCOLOR);
  ITextToggleControl(const IRECT& bounds, IActionFunction actionFunc, const char* offText = "OFF",
                     const char* onText = "ON", const IText& text = DEFAULT_TEXT,
                     const IColor& bgColor = DEFAULT_BGCOLOR);

  // Off (0.5 and below) goes on, on goes off.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  // Shows the text of the state, then marks every value dirty.
  void SetDirty(bool triggerAction = true, int valIdx = -1) override;

private:
  TextString mOffText;
  TextString mOnText;
};

} // namespace plugkit::gfx
