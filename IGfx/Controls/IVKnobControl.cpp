#include "IGfx/Controls/IVKnobControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

IVKnobControl::IVKnobControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                             bool valueIsEditable, bool valueInWidget, float a1, float a2, float aAnchor,
                             EDirection direction, double gearing, float trackSize)
  : IKnobControlBase(bounds, paramIdx, direction, gearing)
  , IVectorBase(style, false, valueInWidget)
  , mAngle1(a1)
  , mAngle2(a2)
  , mAnchorAngle(aAnchor)
  , mValueIsEditable(valueIsEditable)
{
  mTrackSize = trackSize;
  mHideCursorOnDrag = style.hideCursor;
  mShape = EVShape::Ellipse;
  DisablePrompt(!valueIsEditable);
  mText = style.valueText;
  AttachIControl(this, label);
}

IVKnobControl::IVKnobControl(const IRECT& bounds, IActionFunction actionFunc, const char* label, const IVStyle& style,
                             bool valueIsEditable, bool valueInWidget, float a1, float a2, float aAnchor,
                             EDirection direction, double gearing, float trackSize)
  : IVKnobControl(bounds, -1, label, style, valueIsEditable, valueInWidget, a1, a2, aAnchor, direction, gearing,
                  trackSize)
{
  SetActionFunction(std::move(actionFunc));
}

void IVKnobControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, mValueMouseOver);
}

void IVKnobControl::DrawWidget(IGfx& g)
{
  const IRECT& w = mWidgetBounds;
  const float cx = w.MW();
  const float cy = w.MH();
  const float r = std::min(w.W(), w.H()) / 2.f - mTrackSize / 2.f;
  const float d = std::max(1.f, 2.f * (r - mTrackToHandleDistance));
  const IRECT handle(cx - d / 2.f, cy - d / 2.f, cx + d / 2.f, cy + d / 2.f);
  const float angle = mAngle1 + (mAngle2 - mAngle1) * static_cast<float>(GetValue());
  DrawHandle(g, handle);
  DrawPointer(g, angle, cx, cy, d / 2.f);
  DrawIndicatorTrack(g, angle, cx, cy, r);
}

void IVKnobControl::DrawHandle(IGfx& g, const IRECT& bounds)
{
  DrawPressableShape(g, EVShape::Ellipse, bounds, mMouseDown, GetMouseIsOver(), IsDisabled());
}

void IVKnobControl::DrawIndicatorTrack(IGfx& g, float angle, float cx, float cy, float radius)
{
  if (mTrackSize > 0.f)
    g.DrawArc(GetColor(EVColor::X1), cx, cy, radius, std::min(angle, mAnchorAngle), std::max(angle, mAnchorAngle),
              &GetBlend(), mTrackSize);
}

void IVKnobControl::DrawPointer(IGfx& g, float angle, float cx, float cy, float radius)
{
  const double outer = static_cast<double>(radius) * static_cast<double>(mOuterPointerFrac) +
                       static_cast<double>(mTrackToHandleDistance) + 0.4 * static_cast<double>(mPointerThickness);
  g.DrawRadialLine(GetColor(EVColor::FR), cx, cy, angle, radius * mInnerPointerFrac, static_cast<float>(outer),
                   &GetBlend(), mPointerThickness);
}

float IVKnobControl::GetRadius() const
{
  return std::min(mWidgetBounds.W(), mWidgetBounds.H()) / 2.f - mTrackSize / 2.f;
}

IRECT IVKnobControl::GetTrackBounds() const
{
  const float side = std::max(1.f, std::min(mWidgetBounds.W(), mWidgetBounds.H()) + mTrackSize);
  return mWidgetBounds.GetCentredInside(side, side);
}

IRECT IVKnobControl::GetKnobDragBounds()
{
  const IRECT& w = mWidgetBounds;
  float width = w.W() > w.H() ? w.H() / 2.f : w.W();
  float height = w.W() > w.H() ? w.H() : w.W() / 2.f;
  width = std::max(1.f, width);
  if (height <= 0.f)
    height = width;
  return w.GetCentredInside(width, height);
}

void IVKnobControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  // A value drawn inside the widget would otherwise cover every press: only an
  // editable value takes the press for itself.
  if (mStyle.showValue && mValueIsEditable && mValueBounds.Contains(x, y))
    PromptUserInput(mValueBounds, 0);
  else
    IKnobControlBase::OnMouseDown(x, y, mod);
  SetDirty(false);
}

void IVKnobControl::OnMouseUp(float x, float y, const IMouseMod& mod)
{
  IKnobControlBase::OnMouseUp(x, y, mod);
  SetDirty(true);
}

void IVKnobControl::OnMouseDblClick(float x, float y, const IMouseMod&) { SetValueToDefault(GetValIdxForPos(x, y)); }

void IVKnobControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (mStyle.showValue && mValueIsEditable)
    mValueMouseOver = mValueBounds.Contains(x, y);
  IKnobControlBase::OnMouseOver(x, y, mod);
  SetDirty(false);
}

void IVKnobControl::OnMouseOut()
{
  mValueMouseOver = false;
  IKnobControlBase::OnMouseOut();
}

void IVKnobControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  SetDirty(false);
}

void IVKnobControl::OnInit()
{
  if (const IParam* param = GetParam())
  {
    TextString str;
    param->GetDisplayWithLabel(str);
    SetValueStr(str.Get());
    if (mLabelStr.GetLength() == 0)
      SetLabelStr(param->GetName());
  }
}

bool IVKnobControl::IsHit(float x, float y) const
{
  return (mValueIsEditable && mValueBounds.Contains(x, y)) || mWidgetBounds.Contains(x, y);
}

void IVKnobControl::SetDirty(bool push, int)
{
  IControl::SetDirty(push);
  if (const IParam* param = GetParam())
  {
    TextString str;
    param->GetDisplayWithLabel(str);
    SetValueStr(str.Get());
  }
}

} // namespace plugkit::gfx
