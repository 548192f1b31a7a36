#include "IGfx/Controls/ISVGStateLook.h"

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"

namespace plugkit::gfx {

void ISVGStateLook::Draw(IGfx& g, const IControl& control) const
{
  const bool isOn = control.GetValue() > 0.5;
  const IColor& color = colors[(isOn ? 1 : 0) + (control.GetMouseIsOver() ? 2 : 0)];
  const IColor* stroke = mode == EColorReplacement::Stroke ? &color : nullptr;
  const IColor* fill = mode == EColorReplacement::Fill ? &color : nullptr;
  g.DrawSVG(isOn ? on : off, control.GetRECT(), &control.GetBlend(), stroke, fill);
}

} // namespace plugkit::gfx
