#include "IGfx/Controls/IVSliderControl.h"

#include <algorithm>
#include <cstring>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

IVSliderControl::IVSliderControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 bool valueIsEditable, EDirection dir, double gearing, float handleSize,
                                 float trackSize, bool handleInsideTrack, float handleXOffset, float handleYOffset)
  : ISliderControlBase(bounds, paramIdx, dir, gearing, handleSize)
  , IVectorBase(style, false, false)
  , mHandleInsideTrack(handleInsideTrack)
  , mHandleXOffset(handleXOffset)
  , mHandleYOffset(handleYOffset)
{
  mTrackSize = trackSize;
  mShape = EVShape::Ellipse;
  DisablePrompt(!valueIsEditable);
  mText = style.valueText;
  mHideCursorOnDrag = style.hideCursor;
  AttachIControl(this, label);
}

IVSliderControl::IVSliderControl(const IRECT& bounds, IActionFunction actionFunc, const char* label,
                                 const IVStyle& style, bool valueIsEditable, EDirection dir, double gearing,
                                 float handleSize, float trackSize, bool handleInsideTrack, float handleXOffset,
                                 float handleYOffset)
  : IVSliderControl(bounds, -1, label, style, valueIsEditable, dir, gearing, handleSize, trackSize, handleInsideTrack,
                    handleXOffset, handleYOffset)
{
  SetActionFunction(std::move(actionFunc));
}

void IVSliderControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, mValueMouseOver);
}

IRECT IVSliderControl::GetFilledBounds() const
{
  const IRECT& t = mTrackBounds;
  const float v = static_cast<float>(GetValue());
  if (mDirection == EDirection::Horizontal)
    return IRECT(t.L, t.T, t.L + v * t.W(), t.B);
  return IRECT(t.L, t.B - v * t.H(), t.R, t.B);
}

IRECT IVSliderControl::GetHandleBounds() const
{
  const IRECT filled = GetFilledBounds();
  const float shift = (mStyle.drawShadows && mShape != EVShape::Ellipse) ? 0.5f * mStyle.shadowOffset : 0.f;
  float cx, cy;
  if (mDirection == EDirection::Horizontal)
  {
    cx = filled.R;
    cy = filled.MH() + shift;
  }
  else
  {
    cx = filled.MW() + shift;
    cy = filled.T;
  }
  cx += mHandleXOffset;
  cy += mHandleYOffset;
  return IRECT(cx - mHandleSize, cy - mHandleSize, cx + mHandleSize, cy + mHandleSize);
}

void IVSliderControl::DrawWidget(IGfx& g)
{
  if (mTrackSize > 0.f)
    DrawTrack(g, GetFilledBounds());
  if (mHandleSize > 0.f)
    DrawHandle(g, GetHandleBounds());
}

void IVSliderControl::DrawTrack(IGfx& g, const IRECT& filledArea)
{
  const float e = mHandleInsideTrack ? mHandleSize : 0.f;
  const bool horizontal = mDirection == EDirection::Horizontal;
  auto extend = [&](const IRECT& r) {
    return horizontal ? r.GetPadded(-e, 0.f, e, 0.f) : r.GetPadded(0.f, -e, 0.f, e);
  };
  const IRECT track = extend(mTrackBounds);
  const float radius = mStyle.roundness * 0.5f * std::min(mTrackBounds.W(), mTrackBounds.H());
  g.FillRoundRect(GetColor(EVColor::SH), track, radius, &mBlend);
  g.FillRoundRect(GetColor(EVColor::X1), extend(filledArea), radius, &mBlend);
  if (mStyle.drawFrame)
    g.DrawRoundRect(GetColor(EVColor::FR), track, radius, &mBlend, mStyle.frameThickness);
}

void IVSliderControl::DrawHandle(IGfx& g, const IRECT& bounds)
{
  DrawPressableShape(g, mShape, bounds, mMouseDown, GetMouseIsOver(), IsDisabled());
}

void IVSliderControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  const IRECT inner = mWidgetBounds.GetPadded(-mHandleSize);
  const float t = mTrackSize;
  if (mDirection == EDirection::Horizontal)
    mTrackBounds = IRECT(inner.L + mTrackStartInset, inner.MH() - t, inner.R - mTrackEndInset, inner.MH() + t);
  else
    mTrackBounds = IRECT(inner.MW() - t, inner.T + mTrackEndInset, inner.MW() + t, inner.B - mTrackStartInset);
  SetDirty(false);
}

bool IVSliderControl::IsHit(float x, float y) const
{
  return (!GetPromptDisabled() && mValueBounds.Contains(x, y)) || mWidgetBounds.Contains(x, y);
}

void IVSliderControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (mStyle.showValue && !GetPromptDisabled() && mValueBounds.Contains(x, y))
  {
    // Wide enough for the text being typed.
    const float minW = static_cast<float>(std::strlen(GetValueStr())) * mStyle.valueText.mSize * 0.7f;
    IRECT r = mValueBounds;
    if (r.W() < minW)
      r = IRECT(r.MW() - 0.5f * minW, r.T, r.MW() + 0.5f * minW, r.B);
    PromptUserInput(r, 0);
    return;
  }
  ISliderControlBase::OnMouseDown(x, y, mod);
}

void IVSliderControl::OnMouseUp(float x, float y, const IMouseMod& mod)
{
  ISliderControlBase::OnMouseUp(x, y, mod);
  SetDirty(true);
}

void IVSliderControl::OnMouseDblClick(float x, float y, const IMouseMod&) { SetValueToDefault(GetValIdxForPos(x, y)); }

void IVSliderControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (mStyle.showValue && !GetPromptDisabled())
    mValueMouseOver = mValueBounds.Contains(x, y);
  ISliderControlBase::OnMouseOver(x, y, mod);
  SetDirty(false);
}

void IVSliderControl::OnMouseOut()
{
  mValueMouseOver = false;
  ISliderControlBase::OnMouseOut();
}

void IVSliderControl::RefreshValueText()
{
  if (const IParam* param = GetParam())
  {
    TextString str;
    param->GetDisplayWithLabel(str);
    SetValueStr(str.Get());
  }
}

void IVSliderControl::SetDirty(bool push, int)
{
  IControl::SetDirty(push, -1);
  RefreshValueText();
}

void IVSliderControl::OnInit()
{
  if (const IParam* param = GetParam(); param && mLabelStr.GetLength() == 0)
    SetLabelStr(param->GetName());
  RefreshValueText();
}

} // namespace plugkit::gfx
