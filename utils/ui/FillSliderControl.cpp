#include "utils/ui/FillSliderControl.h"

#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginParameter.h"

namespace zarvo::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

FillSliderControl::FillSliderControl(const IRECT& bounds, int paramIdx, const IColor& track, const IColor& fill,
                                     const IColor& hoverFill, const IText& valueText, const char* caption,
                                     double gearing, EDirection direction)
  : ISliderControlBase(bounds, paramIdx, direction, gearing, 0.f)
  , mTrackColor(track)
  , mFillColor(fill)
  , mHoverFillColor(hoverFill)
  , mValueText(valueText)
  , mCaption(caption ? caption : "")
{
  // The relative drag reads absolute pointer positions, so the cursor must stay where it is.
  mHideCursorOnDrag = false;
  mText = valueText;
}

void FillSliderControl::setShowDisplayText(bool show)
{
  mShowDisplayText = show;
  SetDirty(false);
}

void FillSliderControl::setShowNumber(bool show, int decimals)
{
  mShowNumber = show;
  mDecimals = std::max(0, decimals);
  SetDirty(false);
}

void FillSliderControl::setUnit(const std::string& unit)
{
  mUnit = unit;
  SetDirty(false);
}

void FillSliderControl::setCaption(const std::string& caption)
{
  mCaption = caption;
  SetDirty(false);
}

void FillSliderControl::setLabel(const std::string& label, const IText& labelText)
{
  mLabel = label;
  mLabelText = labelText;
  SetDirty(false);
}

void FillSliderControl::setFillOrigin(float origin)
{
  mFillOrigin = origin;
  SetDirty(false);
}

void FillSliderControl::setDragMode(int mode)
{
  mDragMode = mode;
  mHideCursorOnDrag = mode == 1;
}

std::string FillSliderControl::barText() const
{
  const IParam* param = GetParam();
  if (!param)
    return mCaption;
  if (mShowDisplayText)
  {
    TextString str;
    param->GetDisplay(GetValue(), true, str, true);
    return str.Get();
  }
  if (!mShowNumber)
    return mCaption;
  const double x = param->FromNormalized(GetValue());
  const std::string number = mDecimals > 0 ? fmt::format("{:.{}f}", x, mDecimals) : std::to_string(std::llround(x));
  if (!mUnit.empty())
    return number + " " + mUnit;
  return mCaption.empty() ? number : mCaption + " " + number;
}

void FillSliderControl::Draw(IGfx& g)
{
  const bool active = mMouseDown || GetMouseIsOver();
  mWidget.trackColor = active ? mFillColor : mTrackColor;
  mWidget.fillColor = active ? mHoverFillColor : mFillColor;
  mWidget.text = mValueText;
  mWidget.text.mAlign = EAlign::Center;
  mWidget.text.mVAlign = EVAlign::Middle;
  mWidget.fillOrigin = std::clamp(mFillOrigin, 0.f, 1.f);
  mWidget.direction = mDirection;

  IRECT bar = mRECT;
  if (!mLabel.empty())
  {
    g.DrawText(mLabelText, mLabel.c_str(), IRECT(mRECT.L, mRECT.T, mRECT.R, mRECT.MH()), &GetBlend());
    bar = IRECT(mRECT.L, mRECT.MH(), mRECT.R, mRECT.B);
  }
  mWidget.draw(g, bar, static_cast<float>(GetValue()), barText(), &GetBlend());
}

void FillSliderControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (mDragMode == 1)
  {
    ISliderControlBase::OnMouseDown(x, y, mod);
  }
  else
  {
    mMouseDown = true;
    IControl::OnMouseDown(x, y, mod);
  }
  mPressX = x;
  mPressY = y;
  mFine = IsFineControl(mod, false);
  mStartValue = GetValue();
  mMouseDragValue = mStartValue;
}

void FillSliderControl::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod)
{
  const bool horizontal = mDirection == EDirection::Horizontal;
  const double length = horizontal ? mTrackBounds.W() : mTrackBounds.H();
  if (length == 0.)
    return;
  const bool fine = IsFineControl(mod, false);
  if (fine != mFine)
  {
    // Re-anchored where fine control changed, so the value does not jump.
    mPressX = x;
    mPressY = y;
    mFine = fine;
    mStartValue = GetValue();
    mMouseDragValue = mStartValue;
  }
  const double gearing = mGearing * (fine ? 10. : 1.);
  double v;
  if (mDragMode == 1)
  {
    mMouseDragValue += static_cast<double>(horizontal ? dX : -dY) / length / gearing;
    mMouseDragValue = std::clamp(mMouseDragValue, 0., 1.);
    v = mMouseDragValue;
  }
  else
  {
    const double moved = static_cast<double>(x - mPressX) * 0.75 + static_cast<double>(mPressY - y);
    v = std::clamp(mStartValue + moved / length / gearing, 0., 1.);
  }
  SetValue(v);
  SetDirty(true);
}

void FillSliderControl::OnMouseDblClick(float, float, const IMouseMod&) { SetValueToDefault(); }

} // namespace zarvo::ui
