#include "IGfx/Controls/IVTabSwitchControl.h"

#include <cmath>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

IVTabSwitchControl::IVTabSwitchControl(const IRECT& bounds, int paramIdx, const std::vector<const char*>& options,
                                       const char* label, const IVStyle& style, EVShape shape, EDirection direction)
  : ISwitchControlBase(bounds, paramIdx, SplashClickActionFunc, static_cast<int>(options.size()))
  , IVectorBase(style, false, false)
  , mDirection(direction)
{
  AttachIControl(this, label);
  mText = style.valueText;
  mStyle.valueText.mAlign = mText.mAlign = EAlign::Center;
  mStyle.valueText.mVAlign = mText.mVAlign = EVAlign::Middle;
  mShape = shape;
  for (const char* option : options)
    mTabLabels.emplace_back(option ? option : "");
}

IVTabSwitchControl::IVTabSwitchControl(const IRECT& bounds, IActionFunction actionFunc,
                                       const std::vector<const char*>& options, const char* label, const IVStyle& style,
                                       EVShape shape, EDirection direction)
  : ISwitchControlBase(bounds, -1, std::move(actionFunc), static_cast<int>(options.size()))
  , IVectorBase(style, false, false)
  , mDirection(direction)
{
  AttachIControl(this, label);
  mText = style.valueText;
  mShape = shape;
  for (const char* option : options)
    mTabLabels.emplace_back(option ? option : "");
}

void IVTabSwitchControl::OnInit()
{
  ISwitchControlBase::OnInit();
  const IParam* param = GetParam();
  if (!param || !mTabLabels.empty())
    return;
  // Display texts are keyed by plain value, which counts from the parameter's
  // minimum.
  for (int i = 0; i < mNumStates; ++i)
    mTabLabels.emplace_back(param->GetDisplayText(param->GetMin() + static_cast<double>(i)));
  if (mLabelStr.GetLength() == 0)
    SetLabelStr(param->GetName());
}

int IVTabSwitchControl::GetSelectedIdx() const
{
  return static_cast<int>(GetValue() * static_cast<double>(mNumStates - 1) + 0.5);
}

const char* IVTabSwitchControl::GetSelectedLabelStr() const { return GetTabLabel(GetSelectedIdx()); }

const char* IVTabSwitchControl::GetTabLabel(int idx) const
{
  return idx >= 0 && idx < NLabels() ? mTabLabels[static_cast<size_t>(idx)].Get() : "";
}

IRECT IVTabSwitchControl::GetButtonRect(int idx) const
{
  return idx >= 0 && idx < static_cast<int>(mButtons.size()) ? mButtons[static_cast<size_t>(idx)] : IRECT();
}

int IVTabSwitchControl::GetButtonForPoint(float x, float y) const
{
  for (size_t i = 0; i < mButtons.size(); ++i)
  {
    if (mButtons[i].Contains(x, y))
      return static_cast<int>(i);
  }
  return -1;
}

bool IVTabSwitchControl::IsHit(float x, float y) const { return GetButtonForPoint(x, y) >= 0; }

void IVTabSwitchControl::OnMouseDown(float x, float y, const IMouseMod&)
{
  const int idx = GetButtonForPoint(x, y);
  // A single option has nowhere else to go: it stays at 0.
  if (idx >= 0)
    SetValue(mNumStates > 1 ? static_cast<double>(idx) * (1. / static_cast<double>(mNumStates - 1)) : 0.);
  SetDirty(true);
}

void IVTabSwitchControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  mMouseOverButton = GetButtonForPoint(x, y);
  ISwitchControlBase::OnMouseOver(x, y, mod);
  SetDirty(false);
}

void IVTabSwitchControl::OnMouseOut()
{
  mMouseOverButton = -1;
  ISwitchControlBase::OnMouseOut();
  SetDirty(false);
}

void IVTabSwitchControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  mButtons.clear();
  const IRECT& w = mWidgetBounds;
  const float n = static_cast<float>(mNumStates);
  for (int i = 0; i < mNumStates; ++i)
  {
    const float fi = static_cast<float>(i);
    if (mDirection == EDirection::Horizontal)
      mButtons.emplace_back(w.L + fi * w.W() / n, w.T, w.L + (fi + 1.f) * w.W() / n, w.B);
    else
      mButtons.emplace_back(w.L, w.T + fi * w.H() / n, w.R, w.T + (fi + 1.f) * w.H() / n);
  }
  SetDirty(false);
}

void IVTabSwitchControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
}

void IVTabSwitchControl::DrawWidget(IGfx& g)
{
  const int n = static_cast<int>(mButtons.size());
  if (n < 1)
    return;
  const int selected = GetSelectedIdx();
  for (int i = 0; i < n; ++i)
  {
    ETabSegment segment = ETabSegment::Middle;
    if (i == n - 1)
      segment = ETabSegment::Last;
    else if (i == 0)
      segment = ETabSegment::First;
    const bool disabled = IsDisabled() || GetStateDisabled(i);
    const IRECT& r = mButtons[static_cast<size_t>(i)];
    DrawButton(g, r, i == selected, i == mMouseOverButton, segment, disabled);
    if (i < NLabels())
      DrawButtonText(g, r, i == selected, i == mMouseOverButton, segment, disabled,
                     mTabLabels[static_cast<size_t>(i)].Get());
  }
}

void IVTabSwitchControl::DrawButton(IGfx& g, const IRECT& r, bool pressed, bool mouseOver, ETabSegment segment,
                                    bool disabled)
{
  const bool horizontal = mDirection == EDirection::Horizontal;
  const bool first = segment == ETabSegment::First;
  const bool last = segment == ETabSegment::Last;
  switch (mShape)
  {
  case EVShape::RoundedEnds:
    if (horizontal)
      DrawPressableRectangle(g, r, pressed, mouseOver, disabled, first, last, false, false);
    else
      DrawPressableRectangle(g, r, pressed, mouseOver, disabled, false, first, false, last);
    break;
  case EVShape::RoundedSides:
    if (horizontal)
      DrawPressableRectangle(g, r, pressed, mouseOver, disabled, true, true, false, false);
    else
      DrawPressableRectangle(g, r, pressed, mouseOver, disabled, false, true, false, true);
    break;
  default: DrawPressableShape(g, mShape, r, pressed, mouseOver, disabled); break;
  }
}

void IVTabSwitchControl::DrawButtonText(IGfx& g, const IRECT& r, bool, bool, ETabSegment, bool, const char* str)
{
  if (str && str[0])
    g.DrawText(mStyle.valueText, str, r, &GetBlend());
}

} // namespace plugkit::gfx
