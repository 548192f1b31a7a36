#include "utils/ui/WrapKnobControl.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

namespace {

IVStyle WithoutTexts(IVStyle style)
{
  style.showLabel = false;
  style.showValue = false;
  return style;
}

size_t LongestOf(const std::vector<std::string>& names)
{
  size_t n = 0;
  for (const std::string& name : names)
    n = std::max(n, name.size());
  return n;
}

// Room for the names around a dial of bounds.
IRECT Widened(const IRECT& bounds, const IVStyle& style, const std::vector<std::string>& names)
{
  const float s = style.labelText.mSize;
  const float side = 0.62f * s * static_cast<float>(LongestOf(names)) + 0.45f * s;
  const float top = 1.45f * s;
  return IRECT(bounds.L - side, bounds.T - top, bounds.R + side, bounds.B + top);
}

constexpr float kDegToRad = std::numbers::pi_v<float> / 180.f;

} // namespace

WrapKnobControl::WrapKnobControl(const IRECT& bounds, int paramIdx, const char* label, const IVStyle& style,
                                 std::vector<std::string> positionNames, float tickHalfWidth, float firstAngle,
                                 float lastAngle)
  : IVKnobControl(Widened(bounds, style, positionNames), paramIdx, label, WithoutTexts(style), false, false, firstAngle,
                  lastAngle, firstAngle, EDirection::Vertical, 4., 2.)
  , mKnobW(bounds.W())
  , mKnobH(bounds.H())
  , mKnobRect(bounds)
  , mPositionNames(std::move(positionNames))
  , mTickHalfWidth(tickHalfWidth)
  , mFirstAngle(firstAngle)
  , mLastAngle(lastAngle)
  , mNameText(style.labelText)
{}

WrapKnobControl::Factory WrapKnobControl::fitted(Factory factory)
{
  return [factory = std::move(factory)](const IRECT& cell) -> IControl* {
    IControl* control = factory ? factory(cell) : nullptr;
    if (auto* knob = dynamic_cast<WrapKnobControl*>(control))
      knob->fitToKnobRect();
    return control;
  };
}

size_t WrapKnobControl::longestName() const { return LongestOf(mPositionNames); }

int WrapKnobControl::divisions() const
{
  const int n = static_cast<int>(mPositionNames.size());
  return mWrap ? n : std::max(n, 2) - 1;
}

void WrapKnobControl::fitToKnobRect()
{
  mFitted = true;
  SetTargetAndDrawRECTs(mKnobRect);
  const float s = nameTextSize();
  const float L = static_cast<float>(longestName());
  mKnobW = std::max(4.f, mKnobRect.W() - 2.f * (0.62f * s * L + 0.8f * s));
  mKnobH = std::max(4.f, mKnobRect.H() - 2.f * 1.8f * s);
  if (GetUI())
    OnResize();
}

void WrapKnobControl::setRotation(float degrees)
{
  mAngle1 = mFirstAngle + degrees;
  mAngle2 = mLastAngle + degrees;
  mAnchorAngle = mFirstAngle + degrees;
  computeAnchors();
  SetDirty(false);
}

void WrapKnobControl::setWrap(bool wrap)
{
  mWrap = wrap;
  computeAnchors();
  SetDirty(false);
}

void WrapKnobControl::setSideLabel(const std::string& label, int below)
{
  mSideLabel = label;
  mSideLabelBelow = below;
  SetDirty(false);
}

void WrapKnobControl::OnResize()
{
  const float w = std::max(1.f, mKnobW);
  const float h = mKnobH > 0.f ? mKnobH : w;
  mWidgetBounds = mRECT.GetCentredInside(w, h);
  // Only the dial takes the mouse, not the names around it.
  SetTargetRECT(mWidgetBounds);
  ClearMouseIsOver();
  computeAnchors();
  SetDirty(false);
}

void WrapKnobControl::computeAnchors()
{
  mAnchors.clear();
  if (mPositionNames.empty())
    return;
  const float cx = mWidgetBounds.MW();
  const float cy = mWidgetBounds.MH();
  const float R = GetRadius() + (mFitted ? 0.6f : 0.35f) * nameTextSize();
  const float d = static_cast<float>(divisions());
  for (size_t i = 0; i < mPositionNames.size(); ++i)
  {
    const float a = (mAngle1 + (mAngle2 - mAngle1) * static_cast<float>(i) / d) * kDegToRad;
    const float sa = std::sin(a);
    const float ca = std::cos(a);
    Anchor anchor;
    anchor.x = cx + R * sa;
    anchor.y = cy - R * ca;
    anchor.hAlign = std::abs(sa) < 0.25f ? 1 : (sa <= 0.f ? 2 : 0);
    anchor.vAlign = ca > 0.5f ? 2 : (ca < -0.5f ? 0 : 1);
    mAnchors.push_back(anchor);
  }
}

void WrapKnobControl::DrawIndicatorTrack(IGfx&, float, float, float, float) {}

void WrapKnobControl::DrawWidget(IGfx& g)
{
  IVKnobControl::DrawWidget(g);
  drawTicks(g);
  for (size_t i = 0; i < mAnchors.size() && i < mPositionNames.size(); ++i)
  {
    if (mPositionNames[i].empty())
      continue;
    const Anchor& a = mAnchors[i];
    IText text = mNameText;
    text.mAlign = static_cast<EAlign>(a.hAlign);
    text.mVAlign = static_cast<EVAlign>(a.vAlign);
    g.DrawText(text, mPositionNames[i].c_str(), a.x, a.y, &GetBlend());
  }
  drawSideLabel(g);
}

void WrapKnobControl::drawTicks(IGfx& g) const
{
  if (mPositionNames.empty())
    return;
  const float cx = mWidgetBounds.MW();
  const float cy = mWidgetBounds.MH();
  const float r = GetRadius();
  const float d = static_cast<float>(divisions());
  for (size_t i = 0; i < mPositionNames.size(); ++i)
  {
    const float a = mAngle1 + (mAngle2 - mAngle1) * static_cast<float>(i) / d;
    g.DrawArc(GetColor(EVColor::FR), cx, cy, r, a - mTickHalfWidth, a + mTickHalfWidth, &GetBlend(), mTickThickness);
  }
}

void WrapKnobControl::drawSideLabel(IGfx& g) const
{
  if (mSideLabel.empty())
    return;
  const IRECT& area = mFitted ? mRECT : mWidgetBounds;
  const float cy = mWidgetBounds.MH();
  const float r = GetRadius();
  const IRECT box =
    mSideLabelBelow == 0 ? IRECT(mRECT.L, area.T, mRECT.R, cy - r) : IRECT(mRECT.L, cy + r, mRECT.R, area.B);
  IText text = mNameText;
  text.mAlign = EAlign::Center;
  text.mVAlign = EVAlign::Middle;
  g.DrawText(text, mSideLabel.c_str(), box, &GetBlend());
}

void WrapKnobControl::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod)
{
  double gearing = 4.;
  if (IsFineControl(mod, false))
    gearing *= mFineGearingFactor;
  const IRECT r = GetKnobDragBounds();
  double raw = mMouseDragValue;
  if (mDirection == EDirection::Vertical)
    raw += static_cast<double>(dY) / static_cast<double>(r.T - r.B) / gearing;
  else
    raw += static_cast<double>(dX) / static_cast<double>(r.R - r.L) / gearing;
  raw = mWrap ? raw - std::floor(raw) : std::clamp(raw, 0., 1.);
  mMouseDragValue = raw;

  double v = raw;
  if (!mPositionNames.empty())
  {
    const double d = static_cast<double>(divisions());
    const double step = 1. / d;
    const double span = static_cast<double>(mLastAngle - mFirstAngle);
    const double z = span != 0. ? std::clamp(static_cast<double>(mTickHalfWidth) * d / span, 0., 0.49) : 0.;
    const double p = raw / step;
    const double k = std::floor(p);
    const double t = p - k;
    double result;
    if (t <= z)
      result = k;
    else if (t >= 1. - z)
      result = k + 1.;
    else
      result = k + (t - z) / (1. - 2. * z);
    v = std::clamp(step * result, 0., 1.);
  }
  SetValue(v);
  SetDirty(true);
}

void WrapKnobControl::OnMouseWheel(float x, float y, const IMouseMod& mod, float d)
{
  if (mPositionNames.empty())
  {
    IVKnobControl::OnMouseWheel(x, y, mod, d);
    return;
  }
  const int n = static_cast<int>(mPositionNames.size());
  const double step = 1. / static_cast<double>(divisions());
  int index = static_cast<int>(std::lround(GetValue() / step)) + (d > 0.f ? 1 : -1);
  index = mWrap ? ((index % n) + n) % n : std::clamp(index, 0, n - 1);
  SetValue(step * static_cast<double>(index));
  SetDirty(true);
}

} // namespace zarvo::ui
