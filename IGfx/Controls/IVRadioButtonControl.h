// A row or column of small option buttons, each with its text beside it; one
// option is selected.
#pragma once

#include "IGfx/Controls/IVTabSwitchControl.h"

namespace plugkit::gfx {

class IVRadioButtonControl : public IVTabSwitchControl
{
public:
  IVRadioButtonControl(const IRECT& bounds, int paramIdx = -1, const std::vector<const char*>& options = {},
                       const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = EVShape::Ellipse,
                       EDirection direction = EDirection::Vertical, float buttonSize = 10.f);
  IVRadioButtonControl(const IRECT& bounds, IActionFunction actionFunc, const std::vector<const char*>& options,
                       const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = EVShape::Ellipse,
                       EDirection direction = EDirection::Vertical, float buttonSize = 10.f);

  void DrawWidget(IGfx& g) override;
  int GetButtonForPoint(float x, float y) const override;

  // The square drawn for option idx.
  IRECT GetRadioRect(int idx) const;
  // Only the button square, not its text, answers the mouse.
  void SetOnlyButtonsRespondToMouse(bool only) { mOnlyButtonsRespondToMouse = only; }

private:
  void AlignTexts();

  float mButtonSize;
  float mTextOffset;
  bool mOnlyButtonsRespondToMouse = false;
};

} // namespace plugkit::gfx
