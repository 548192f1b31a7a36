// A momentary push button of one pressable shape; it shows pressed while its
// value is 1.
#pragma once

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

class IVButtonControl : public IButtonControlBase, public IVectorBase
{
public:
  IVButtonControl(const IRECT& bounds, IActionFunction actionFunc = SplashClickActionFunc, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, bool labelInButton = true, bool valueInButton = true,
                  EVShape shape = EVShape::Rectangle);

  void Draw(IGfx& g) override;
  void DrawWidget(IGfx& g) override;
  void OnResize() override;
  bool IsHit(float x, float y) const override;
};

} // namespace plugkit::gfx
