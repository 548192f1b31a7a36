#include "IGfx/Controls/IVRadioButtonControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVRadioButtonControl::IVRadioButtonControl(const IRECT& bounds, int paramIdx, const std::vector<const char*>& options,
                                           const char* label, const IVStyle& style, EVShape shape, EDirection direction,
                                           float buttonSize)
  : IVTabSwitchControl(bounds, paramIdx, options, label, style, shape, direction)
  , mButtonSize(buttonSize)
  , mTextOffset(3.f * buttonSize)
{
  AlignTexts();
}

IVRadioButtonControl::IVRadioButtonControl(const IRECT& bounds, IActionFunction actionFunc,
                                           const std::vector<const char*>& options, const char* label,
                                           const IVStyle& style, EVShape shape, EDirection direction, float buttonSize)
  : IVTabSwitchControl(bounds, std::move(actionFunc), options, label, style, shape, direction)
  , mButtonSize(buttonSize)
  , mTextOffset(3.f * buttonSize)
{
  AlignTexts();
}

void IVRadioButtonControl::AlignTexts()
{
  mText.mAlign = mStyle.valueText.mAlign = EAlign::Near;
  mText.mVAlign = mStyle.valueText.mVAlign = EVAlign::Middle;
}

IRECT IVRadioButtonControl::GetRadioRect(int idx) const
{
  const IRECT r = GetButtonRect(idx);
  const float side = std::max(1.f, mButtonSize);
  const float cx = r.L + 0.5f * mTextOffset;
  const float cy = r.MH();
  return IRECT(cx - 0.5f * side, cy - 0.5f * side, cx + 0.5f * side, cy + 0.5f * side);
}

void IVRadioButtonControl::DrawWidget(IGfx& g)
{
  const int selected = GetSelectedIdx();
  for (int i = 0; i < mNumStates; ++i)
  {
    const bool disabled = IsDisabled() || GetStateDisabled(i);
    DrawButton(g, GetRadioRect(i), i == selected, i == GetHoveredButton(), ETabSegment::Middle, disabled);
    if (i < NLabels() && GetTabLabel(i)[0] != '\0')
    {
      IText text = mStyle.valueText;
      text.mFGColor = GetColor(i == selected ? EVColor::PR : EVColor::X1);
      g.DrawText(text, GetTabLabel(i), GetButtonRect(i).GetPadded(mTextOffset, 0.f, 0.f, 0.f), &mBlend);
    }
  }
}

int IVRadioButtonControl::GetButtonForPoint(float x, float y) const
{
  for (int i = 0; i < mNumStates; ++i)
  {
    IRECT r = GetButtonRect(i);
    if (mOnlyButtonsRespondToMouse)
      r.R = std::min(r.R, r.L + mTextOffset);
    if (r.Contains(x, y))
      return i;
  }
  return -1;
}

} // namespace plugkit::gfx
