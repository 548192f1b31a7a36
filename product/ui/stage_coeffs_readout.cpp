#include "product/ui/stage_coeffs_readout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "IGfx/IGfx.h"

namespace vemlor::ui {

using namespace plugkit::gfx;

StageCoeffsReadout::StageCoeffsReadout(const IRECT& bounds)
  : IControl(bounds)
{}

void StageCoeffsReadout::setTitle(const std::string& title)
{
  mTitle = title;
  SetDirty(false);
}

void StageCoeffsReadout::setTextStyles(const IText& title, const IText& rowName, const IText& rowValue)
{
  mTitleText = title;
  mRowNameText = rowName;
  mRowValueText = rowValue;
  SetDirty(false);
}

void StageCoeffsReadout::setBackground(const IColor& color)
{
  mBackground = color;
  SetDirty(false);
}

void StageCoeffsReadout::setRow(int row, const char* name, double value)
{
  if (row < 0 || row >= kMaxRows)
    return;
  Row& r = mRows[static_cast<size_t>(row)];
  if (!name)
    name = "";
  if (std::strcmp(r.name, name) == 0 && r.value == value)
    return;
  r.name = name;
  r.value = value;
  SetDirty(false);
}

void StageCoeffsReadout::setRowCount(int count)
{
  count = std::clamp(count, 0, kMaxRows);
  if (count == mRowCount)
    return;
  mRowCount = count;
  SetDirty(false);
}

void StageCoeffsReadout::setShowRows(bool show)
{
  if (show == mShowRows)
    return;
  mShowRows = show;
  SetDirty(false);
}

double StageCoeffsReadout::rowValue(int row) const
{
  return row >= 0 && row < kMaxRows ? mRows[static_cast<size_t>(row)].value : 0.;
}

std::string StageCoeffsReadout::formatValue(double value)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%+.1f", value);
  return text;
}

void StageCoeffsReadout::Draw(IGfx& g)
{
  if (!mShowRows)
  {
    g.FillRect(mBackground, mRECT);
    g.DrawText(mTitleText, mTitle.c_str(), mRECT);
    return;
  }
  const float h = mRECT.H() / static_cast<float>(mRowCount + 1);
  const IRECT titleRow(mRECT.L, mRECT.T, mRECT.R, mRECT.T + h);
  g.FillRect(mBackground, titleRow);
  g.DrawText(mTitleText, mTitle.c_str(), titleRow);
  const float split = mRECT.L + 0.4f * mRECT.W();
  for (int i = 0; i < mRowCount; ++i)
  {
    const float top = mRECT.T + static_cast<float>(i + 1) * h;
    const Row& row = mRows[static_cast<size_t>(i)];
    g.DrawText(mRowNameText, row.name, IRECT(mRECT.L, top, split, top + h));
    g.DrawText(mRowValueText, formatValue(row.value).c_str(), IRECT(split, top, mRECT.R, top + h));
  }
}

void StageCoeffsReadout::OnMouseDown(float, float, const IMouseMod&)
{
  if (mClickCallback)
    mClickCallback();
}

} // namespace vemlor::ui
