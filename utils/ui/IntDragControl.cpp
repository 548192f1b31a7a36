#include "utils/ui/IntDragControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

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

} // namespace

IntDragControl::IntDragControl(const IRECT& bounds, int paramIdx, const IVStyle& style, std::string_view label,
                               LabelPos labelPos, float labelFraction, double gearing)
  : IKnobControlBase(bounds, paramIdx, EDirection::Vertical, gearing)
  , IVectorBase(WithoutTexts(style), false, false)
  , mLabel(label)
  , mLabelPos(labelPos)
  , mLabelFraction(std::clamp(labelFraction, 0.f, 1.f))
{
  mFineGearingFactor = 20.;
  mHideCursorOnDrag = true;
  mText = style.valueText;
  AttachIControl(this, "");
}

std::string IntDragControl::valueText() const
{
  const IParam* param = GetParam();
  if (!param)
    return {};
  const double x = param->FromNormalized(GetValue());
  TextString str;
  param->GetDisplay(x, false, str, true);
  if (str.GetLength() > 0)
    return str.Get();
  char text[32];
  std::snprintf(text, sizeof(text), "%d", static_cast<int>(std::lround(x)));
  return text;
}

void IntDragControl::split(IRECT& labelRect, IRECT& valueRect) const
{
  const IRECT& r = mRECT;
  labelRect = IRECT();
  valueRect = r;
  if (mLabelPos == LabelPos::None || mLabel.empty())
    return;
  const float f = mLabelFraction;
  switch (mLabelPos)
  {
  case LabelPos::Left:
    labelRect = IRECT(r.L, r.T, r.L + f * r.W(), r.B);
    valueRect = IRECT(labelRect.R, r.T, r.R, r.B);
    break;
  case LabelPos::Right:
    labelRect = IRECT(r.R - f * r.W(), r.T, r.R, r.B);
    valueRect = IRECT(r.L, r.T, labelRect.L, r.B);
    break;
  case LabelPos::Above:
    labelRect = IRECT(r.L, r.T, r.R, r.T + f * r.H());
    valueRect = IRECT(r.L, labelRect.B, r.R, r.B);
    break;
  case LabelPos::Below:
    labelRect = IRECT(r.L, r.B - f * r.H(), r.R, r.B);
    valueRect = IRECT(r.L, r.T, r.R, labelRect.T);
    break;
  default: break;
  }
}

void IntDragControl::Draw(IGfx& g)
{
  g.FillRect(GetColor(GetMouseIsOver() ? EVColor::HL : EVColor::BG), mRECT, &GetBlend());
  if (!GetParam())
    return;
  IRECT labelRect, valueRect;
  split(labelRect, valueRect);
  IText valueStyle = mStyle.valueText;
  valueStyle.mFGColor = GetColor(GetMouseIsOver() ? EVColor::X1 : EVColor::FG);
  g.DrawText(valueStyle, valueText().c_str(), valueRect, &GetBlend());
  if (labelRect.W() > 0.f && labelRect.H() > 0.f)
    g.DrawText(mStyle.labelText, mLabel.c_str(), labelRect, &GetBlend());
}

} // namespace zarvo::ui
