#include "IGfx/IControlBases.h"

#include <algorithm>
#include <cmath>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

namespace plugkit::gfx {

namespace {

bool SteppedWithStep(const IParam* param) { return param && param->GetStepped() && param->GetStep() > 0.; }

// The value a stepped parameter would store for v.
double ConstrainNormalized(const IParam& param, double v) { return param.ToNormalized(param.FromNormalized(v)); }

// Knob and slider alike: one step of a stepped parameter per wheel event, else
// 0.01 (0.001 fine) per unit of d, left unclamped for SetDirty.
void WheelStep(IControl& control, const IMouseMod& mod, float d)
{
  const double inc = IsFineControl(mod, true) ? 0.001 : 0.01;
  double v = control.GetValue();
  const IParam* param = control.GetParam();
  if (SteppedWithStep(param))
  {
    if (d != 0.f)
    {
      const double plain = param->FromNormalized(v);
      const double step = d > 0.f ? param->GetStep() : -param->GetStep();
      v = param->ToNormalized(plain + step);
    }
  }
  else
  {
    v += inc * static_cast<double>(d);
  }
  control.SetValue(v);
  control.SetDirty(true);
}

void HideCursor(IControl& control, bool hide)
{
  if (IGfx* g = control.GetUI())
    g->HideMouseCursor(hide, true);
}

} // namespace

//--------------------------------------------------------------------------------------------------
IButtonControlBase::IButtonControlBase(const IRECT& bounds, IActionFunction actionFunc)
  : IControl(bounds, -1, std::move(actionFunc))
{
  mDblAsSingleClick = true;
}

void IButtonControlBase::OnMouseDown(float, float, const IMouseMod&)
{
  SetValue(1.);
  SetDirty(true);
}

void IButtonControlBase::OnEndAnimation()
{
  SetValue(0.);
  IControl::OnEndAnimation();
}

//--------------------------------------------------------------------------------------------------
ISwitchControlBase::ISwitchControlBase(const IRECT& bounds, int paramIdx, IActionFunction actionFunc, int nStates)
  : IControl(bounds, paramIdx, std::move(actionFunc))
  , mNumStates(nStates)
  , mDisabledState(static_cast<size_t>(std::max(nStates, 0)), false)
{
  mDblAsSingleClick = true;
  mDirty = true;
}

void ISwitchControlBase::OnInit()
{
  if (const IParam* param = GetParam())
    mNumStates = static_cast<int>(param->GetMax() - param->GetMin()) + 1;
}

void ISwitchControlBase::OnMouseDown(float, float, const IMouseMod&)
{
  if (mNumStates == 2)
  {
    SetValue(GetValue() == 0. ? 1. : 0.);
  }
  else
  {
    const double step = 1. / static_cast<double>(mNumStates - 1);
    double v = GetValue() + step;
    // Sums such as 1/3 + 1/3 + 1/3 may land a rounding error above 1 and must
    // still reach 1.
    if (v > std::nextafter(1., 2.))
      v = 0.;
    SetValue(v);
  }
  mMouseDown = true;
  SetDirty(true);
}

void ISwitchControlBase::OnMouseUp(float, float, const IMouseMod&)
{
  mMouseDown = false;
  SetDirty(false);
}

void ISwitchControlBase::SetStateDisabled(int stateIdx, bool disabled)
{
  if (stateIdx >= 0 && stateIdx < mNumStates && stateIdx < static_cast<int>(mDisabledState.size()))
    mDisabledState[static_cast<size_t>(stateIdx)] = disabled;
  SetDirty(false);
}

void ISwitchControlBase::SetAllStatesDisabled(bool disabled)
{
  for (size_t i = 0; i < mDisabledState.size(); ++i)
  {
    mDisabledState[i] = disabled;
    SetDirty(false);
  }
  SetDirty(false);
}

bool ISwitchControlBase::GetStateDisabled(int stateIdx) const
{
  if (stateIdx < 0 || stateIdx >= static_cast<int>(mDisabledState.size()))
    return false;
  return mDisabledState[static_cast<size_t>(stateIdx)];
}

//--------------------------------------------------------------------------------------------------
IKnobControlBase::IKnobControlBase(const IRECT& bounds, int paramIdx, EDirection direction, double gearing)
  : IControl(bounds, paramIdx)
  , mDirection(direction)
  , mGearing(gearing)
{}

void IKnobControlBase::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mMouseDown = true;
  mMouseDragValue = GetValue();
  if (mHideCursorOnDrag)
    HideCursor(*this, true);
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void IKnobControlBase::OnMouseUp(float, float, const IMouseMod&)
{
  if (mHideCursorOnDrag)
    HideCursor(*this, false);
  mMouseDown = false;
  SetDirty(false);
}

void IKnobControlBase::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod)
{
  double gearing = mGearing;
  if (IsFineControl(mod, false))
    gearing *= mFineGearingFactor;
  const IRECT r = GetKnobDragBounds();
  if (mDirection == EDirection::Vertical)
    mMouseDragValue += static_cast<double>(dY) / static_cast<double>(r.T - r.B) / gearing;
  else
    mMouseDragValue += static_cast<double>(dX) / static_cast<double>(r.R - r.L) / gearing;
  // Clamped at each step so that a drag past the end reverses at once.
  mMouseDragValue = std::clamp(mMouseDragValue, 0., 1.);
  double v = mMouseDragValue;
  const IParam* param = GetParam();
  if (SteppedWithStep(param))
    v = ConstrainNormalized(*param, v);
  SetValue(v);
  SetDirty(true);
}

void IKnobControlBase::OnMouseWheel(float, float, const IMouseMod& mod, float d) { WheelStep(*this, mod, d); }

//--------------------------------------------------------------------------------------------------
ISliderControlBase::ISliderControlBase(const IRECT& bounds, int paramIdx, EDirection dir, double gearing,
                                       float handleSize)
  : IControl(bounds, paramIdx)
  , mDirection(dir)
  , mHandleSize(handleSize)
  , mGearing(gearing)
{}

ISliderControlBase::ISliderControlBase(const IRECT& bounds, IActionFunction actionFunc, EDirection dir, double gearing,
                                       float handleSize)
  : IControl(bounds, std::move(actionFunc))
  , mDirection(dir)
  , mHandleSize(handleSize)
  , mGearing(gearing)
{}

void ISliderControlBase::OnResize()
{
  SetTargetRECT(mRECT);
  ClearMouseIsOver();
  mTrackBounds = mRECT;
  SetDirty(false);
}

void ISliderControlBase::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  mMouseDown = true;
  const IParam* param = GetParam();
  if (!(param && param->GetStepped()))
    SnapToMouse(x, y, mDirection, mTrackBounds, -1, 0., 1.);
  mMouseDragValue = GetValue();
  if (mHideCursorOnDrag)
    HideCursor(*this, true);
  if (mod.R)
    PromptUserInput(GetValIdxForPos(x, y));
}

void ISliderControlBase::OnMouseUp(float, float, const IMouseMod&)
{
  if (mHideCursorOnDrag)
    HideCursor(*this, false);
  mMouseDown = false;
  SetDirty(false);
}

void ISliderControlBase::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod)
{
  const IParam* param = GetParam();
  const bool stepped = param && param->GetStepped();
  const bool relative = (mod.touchID == 0 && mHideCursorOnDrag) || stepped;
  if (!relative)
  {
    SnapToMouse(x, y, mDirection, mTrackBounds, -1, 0., 1.);
    return;
  }
  double gearing = mGearing;
  if (IsFineControl(mod, false))
    gearing *= mFineGearingFactor;
  if (mDirection == EDirection::Vertical)
    mMouseDragValue += static_cast<double>(dY) / static_cast<double>(mTrackBounds.T - mTrackBounds.B) / gearing;
  else
    mMouseDragValue += static_cast<double>(dX) / static_cast<double>(mTrackBounds.R - mTrackBounds.L) / gearing;
  mMouseDragValue = std::clamp(mMouseDragValue, 0., 1.);
  double v = mMouseDragValue;
  if (SteppedWithStep(param))
    v = ConstrainNormalized(*param, v);
  SetValue(v);
  SetDirty(true);
}

void ISliderControlBase::OnMouseWheel(float, float, const IMouseMod& mod, float d) { WheelStep(*this, mod, d); }

} // namespace plugkit::gfx
