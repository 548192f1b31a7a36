#include "IGfx/Controls/IVSlideSwitchControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

IVSlideSwitchControl::IVSlideSwitchControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                           bool valueInButton, EDirection direction)
  : IVSwitchControl(bounds, paramIdx, label, style, valueInButton)
  , mDirection(direction)
{
  SetActionFunction([this](IControl*) { Slide(); });
}

IVSlideSwitchControl::IVSlideSwitchControl(const IRECT& bounds, IActionFunction actionFunc, const char* label,
                                           const IVStyle& style, bool valueInButton, EDirection direction,
                                           int numStates, int initialState)
  : IVSwitchControl(bounds, nullptr, label, style, numStates, valueInButton)
  , mDirection(direction)
{
  // The initial state is a state index; the value is normalised over the states.
  const double v = numStates > 1 ? static_cast<double>(initialState) / static_cast<double>(numStates - 1) : 0.;
  SetValue(std::clamp(v, 0., 1.));
  SetActionFunction([this](IControl*) { Slide(); });
  SetAnimationEndActionFunction(std::move(actionFunc));
}

int IVSlideSwitchControl::StateIndex() const
{
  const int n = std::max(mNumStates, 1);
  return std::clamp(static_cast<int>(GetValue() * static_cast<double>(n - 1) + 0.5), 0, n - 1);
}

IRECT IVSlideSwitchControl::Cell(int idx) const
{
  const IRECT& w = mWidgetBounds;
  const float n = static_cast<float>(std::max(mNumStates, 1));
  const float i = static_cast<float>(idx);
  if (mDirection == EDirection::Horizontal)
    return IRECT(w.L + i * w.W() / n, w.T, w.L + (i + 1.f) * w.W() / n, w.B);
  return IRECT(w.L, w.T + i * w.H() / n, w.R, w.T + (i + 1.f) * w.H() / n);
}

void IVSlideSwitchControl::UpdateRects()
{
  const int s = StateIndex();
  mStartRect = Cell(s);
  mHandleBounds = mStartRect;
  mEndRect = Cell((s + 1) % std::max(mNumStates, 1));
  if (mValueInWidget)
    mValueBounds = mHandleBounds;
}

void IVSlideSwitchControl::Slide()
{
  SetAnimation(
    [this](IControl*) {
      const float p = static_cast<float>(GetAnimationProgress());
      const float q = std::min(p, 1.f);
      mHandleBounds =
        IRECT(mStartRect.L + (mEndRect.L - mStartRect.L) * q, mStartRect.T + (mEndRect.T - mStartRect.T) * q,
              mStartRect.R + (mEndRect.R - mStartRect.R) * q, mStartRect.B + (mEndRect.B - mStartRect.B) * q);
      if (mValueInWidget)
        mValueBounds = mHandleBounds;
      if (p > 1.f)
        OnEndAnimation();
    },
    SLIDE_DURATION_MS);
}

void IVSlideSwitchControl::OnEndAnimation()
{
  UpdateRects();
  IVSwitchControl::OnEndAnimation();
}

void IVSlideSwitchControl::SetDirty(bool push, int)
{
  IControl::SetDirty(push, -1);
  if (const IParam* param = GetParam())
  {
    TextString str;
    param->GetDisplay(param->Value(), false, str);
    SetValueStr(str.Get());
  }
  if (!GetAnimationFunction())
    UpdateRects();
}

void IVSlideSwitchControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  SetDirty(false);
  UpdateRects();
}

void IVSlideSwitchControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawWidget(g);
  DrawLabel(g);
  if (!GetAnimationFunction())
    DrawValue(g, false);
}

void IVSlideSwitchControl::DrawWidget(IGfx& g)
{
  DrawTrack(g, mWidgetBounds);
  DrawHandle(g, mHandleBounds);
}

void IVSlideSwitchControl::DrawTrack(IGfx& g, const IRECT& bounds)
{
  g.FillRoundRect(GetColor(EVColor::SH), bounds, GetRoundedCornerRadius(mHandleBounds), &mBlend);
}

void IVSlideSwitchControl::DrawHandle(IGfx& g, const IRECT& bounds)
{
  DrawPressableShape(g, mShape, bounds, mMouseDown, GetMouseIsOver(), IsDisabled());
}

} // namespace plugkit::gfx
