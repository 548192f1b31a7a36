// A container holding one vector button that shows the parameter's current
// text; a click flashes the button and then opens the parameter's menu or
// text entry.
#pragma once

#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IContainerBase.h"

namespace plugkit::gfx {

class IVMenuButtonControl : public IContainerBase, public IVectorBase
{
public:
  IVMenuButtonControl(const IRECT& bounds, int paramIdx, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                      EVShape shape = EVShape::Rectangle);

  void SetStyle(const IVStyle& style) override;
  void SetValueFromDelegate(double value, int valIdx = 0) override;
  void SetValueFromUserInput(double value, int valIdx = 0) override;
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override;

  // Null until the container is attached.
  IVButtonControl* GetButton() const { return mButton; }

private:
  static IVStyle ButtonStyle(const IVStyle& style);
  void RefreshButtonText();

  IVButtonControl* mButton = nullptr;
};

} // namespace plugkit::gfx
