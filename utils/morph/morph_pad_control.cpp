// The pad's construction, coordinates, focus rule, host values and its two animations.
#include "utils/morph/morph_pad_control.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

namespace zarvo::morph {

using namespace plugkit::gfx;

namespace {

// Lower bound first: a range narrower than the point keeps it at the lower bound.
float clampLowFirst(float v, float lo, float hi)
{
  if (v < lo)
    return lo;
  return std::min(v, hi);
}

int onlyBit(uint32_t mask) { return std::popcount(mask) == 1 ? std::countr_zero(mask) : -1; }

} // namespace

MorphPadControl::MorphPadControl(const IRECT& bounds, const std::vector<int>& params, MorphEngine& engine_,
                                 const IVStyle& style)
  : IControl(bounds, params)
  , IVectorBase(style, false, false)
  , engine(engine_)
{
  AttachIControl(this, "");
  sliderWidget.text = IText(14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", EAlign::Center, EVAlign::Middle);
  OnResize();
}

MorphPadControl::~MorphPadControl() = default;

void MorphPadControl::setAppearance(const Appearance& look) { static_cast<Appearance&>(*this) = look; }

void MorphPadControl::setCallbacks(Callbacks callbacks) { static_cast<Callbacks&>(*this) = std::move(callbacks); }

void MorphPadControl::setFieldAppearance(float lineBrightness, int isoLevels, float gridStep)
{
  overlay.lineBrightness = lineBrightness;
  overlay.setIsoLevels(isoLevels);
  overlay.gridStep = gridStep;
  overlay.signature = std::numeric_limits<double>::quiet_NaN();
}

void MorphPadControl::pulseEditAffordance()
{
  pulseTarget = engine.editing() ? 3 : (engine.moving() ? 1 : 3);
  startPulseAnimation();
}

void MorphPadControl::storeSelection(Mask mask)
{
  mask &= kPointBits;
  engine.edit({.focus = (engine.moving() && !engine.editing()) ? -1 : onlyBit(mask), .selection = mask});
}

void MorphPadControl::reportSelection(Mask mask)
{
  if (onSelectionChanged)
    onSelectionChanged(mask & kPointBits);
  else
    storeSelection(mask);
  SetDirty(false);
}

void MorphPadControl::applySelection(Mask mask) { reportSelection(mask); }

void MorphPadControl::cancelPendingSelect()
{
  if (pendingSelectPoint < 0)
    return;
  pendingSelectPoint = -1;
  SetAnimation(nullptr);
  SetDirty(false);
}

void MorphPadControl::capturePreDragPositions()
{
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    preDragX[i] = engine.editState().points[i].x;
    preDragY[i] = engine.editState().points[i].y;
  }
}

void MorphPadControl::teleportCenter(float& cx, float& cy) const
{
  const IRECT& r = GetRECT();
  const MorphPoint& p = engine.editState().points[0];
  const float m = 15.f * ps();
  cx = clampLowFirst(r.L + static_cast<float>(p.x) * r.W(), r.L + m, r.R - m);
  cy = clampLowFirst(r.B - static_cast<float>(p.y) * r.H(), r.T + m, r.B - m);
}

void MorphPadControl::modeCenter(const MorphPoint& p, float& cx, float& cy) const
{
  const IRECT& r = GetRECT();
  const float m = 18.f * ps();
  cx = clampLowFirst(r.L + static_cast<float>(p.x) * r.W(), r.L + m, r.R - m);
  cy = clampLowFirst(r.B - static_cast<float>(p.y) * r.H(), r.T + m, r.B - m);
}

void MorphPadControl::markerCenter(float& cx, float& cy) const
{
  const IRECT& r = GetRECT();
  const float m = 6.f * ps();
  cx = clampLowFirst(r.L + static_cast<float>(GetValue(0)) * r.W(), r.L + m, r.R - m);
  cy = clampLowFirst(r.B - static_cast<float>(GetValue(1)) * r.H(), r.T + m, r.B - m);
}

int MorphPadControl::pointAt(float x, float y) const
{
  float cx = 0.f;
  float cy = 0.f;
  teleportCenter(cx, cy);
  const float rt = 15.f * ps();
  if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= rt * rt)
    return 0;
  int best = -1;
  float bestD = 0.f;
  for (int i = 1; i < static_cast<int>(kNumPoints); ++i)
  {
    const MorphPoint& p = engine.editState().points[static_cast<size_t>(i)];
    modeCenter(p, cx, cy);
    const float reach = (p.active ? 18.f : 9.f) * ps();
    const float d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    if (d <= reach * reach && (best < 0 || d < bestD))
    {
      best = i;
      bestD = d;
    }
  }
  return best;
}

IRECT MorphPadControl::editButtonRect() const
{
  const IRECT& r = GetRECT();
  return IRECT(r.L + 6, r.T + 6, r.L + 58, r.T + 26);
}

IRECT MorphPadControl::lockButtonRect(int i) const
{
  const IRECT& r = GetRECT();
  const float dx = 52.f * static_cast<float>(i);
  return IRECT(r.L + 64 + dx, r.T + 6, r.L + 110 + dx, r.T + 26);
}

IRECT MorphPadControl::contrastSliderRect() const
{
  const IRECT& r = GetRECT();
  return IRECT(r.L + 6, r.T + 32, r.L + 174, r.T + 52);
}

void MorphPadControl::OnResize()
{
  const IRECT& r = GetRECT();
  const float h = r.H();
  if (h <= 0.f)
    return;
  const float a = r.W() / h;
  if (a > 0.f)
    engine.edit({.aspect = a});
  engine.edit({.snapRadius = std::max(0.0, 18.0 * engine.pointScale() / h),
               .centreSnapRadius = std::max(0.0, 15.0 * engine.pointScale() / h)});
}

void MorphPadControl::SetValueFromDelegate(double value, int valIdx)
{
  if (drag == Drag::position || valIdx < 0 || valIdx >= NVals())
    return;
  if (value != GetValue(valIdx))
  {
    SetValue(value, valIdx);
    SetDirty(false);
  }
}

void MorphPadControl::OnEndAnimation()
{
  flashActionIndex = -1;
  flashAmount = 0.f;
  pulseAmount = 0.f;
  IControl::OnEndAnimation();
  SetDirty(false);
}

void MorphPadControl::flashAction(int action)
{
  flashActionIndex = action;
  flashAmount = 1.f;
  pulseAmount = 0.f;
  pulseTarget = 0;
  SetAnimation(flashAnimation, 140.);
}

void MorphPadControl::startPulseAnimation()
{
  flashActionIndex = -1;
  flashAmount = 0.f;
  SetAnimation(pulseAnimation, 900.);
}

void MorphPadControl::flashAnimation(IControl* caller)
{
  auto* pad = static_cast<MorphPadControl*>(caller);
  const double t = pad->GetAnimationProgress();
  if (t >= 1.)
  {
    pad->OnEndAnimation();
    return;
  }
  pad->flashAmount = static_cast<float>(1. - t);
  pad->SetDirty(false);
}

void MorphPadControl::pulseAnimation(IControl* caller)
{
  auto* pad = static_cast<MorphPadControl*>(caller);
  const double t = pad->GetAnimationProgress();
  if (t >= 1.)
  {
    pad->OnEndAnimation();
    return;
  }
  pad->pulseAmount = static_cast<float>((1. - t) * (0.5 - 0.5 * std::cos(4. * std::numbers::pi * t)));
  pad->SetDirty(false);
}

} // namespace zarvo::morph
