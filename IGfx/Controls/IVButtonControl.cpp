#include "IGfx/Controls/IVButtonControl.h"

namespace plugkit::gfx {

IVButtonControl::IVButtonControl(const IRECT& bounds, IActionFunction actionFunc, const char* label,
                                 const IVStyle& style, bool labelInButton, bool valueInButton, EVShape shape)
  : IButtonControlBase(bounds, std::move(actionFunc))
  , IVectorBase(style, labelInButton, valueInButton)
{
  mText = style.valueText;
  AttachIControl(this, label);
  mShape = shape;
}

void IVButtonControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawWidget(g);
  DrawLabel(g);
  DrawValue(g, false);
}

void IVButtonControl::DrawWidget(IGfx& g)
{
  DrawPressableShape(g, mShape, mWidgetBounds, GetValue() != 0., GetMouseIsOver(), IsDisabled());
}

void IVButtonControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, true));
  ClearMouseIsOver();
  SetDirty(false);
}

bool IVButtonControl::IsHit(float x, float y) const { return mWidgetBounds.Contains(x, y); }

} // namespace plugkit::gfx
