#include "utils/ui/SelectControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;
using plugkit::IParam;

SelectControl::SelectControl(const IRECT& bounds, int paramIdx, std::vector<const char*> options, const char* label,
                             const IVStyle& style)
  : IVTabSwitchControl(bounds, paramIdx, options, label, style, EVShape::Rectangle, EDirection::Horizontal)
{}

void SelectControl::setGrid(int columns, int rows)
{
  mGridColumns = columns;
  mGridRows = rows;
}

IRECT SelectControl::segmentRect(int idx) const
{
  if (!hasGrid())
    return GetButtonRect(idx);
  return idx >= 0 && idx < static_cast<int>(mGridCells.size()) ? mGridCells[static_cast<size_t>(idx)] : IRECT();
}

void SelectControl::DrawButton(IGfx& g, const IRECT& r, bool pressed, bool mouseOver, ETabSegment, bool disabled)
{
  const float a = disabled ? 0.35f : 1.f;
  if (mouseOver || (pressed && !mNoSelectionFill))
  {
    IColor fill = GetColor(pressed ? EVColor::PR : EVColor::HL);
    fill.A = static_cast<int>(255.f * a);
    g.FillRect(fill, r);
  }
  IColor frame = GetColor(EVColor::X1);
  if (frame.A > 0)
  {
    frame.A = static_cast<int>(std::min(1.f, a * static_cast<float>(frame.A) / 255.f * 0.6f) * 255.f);
    g.DrawRect(frame, r, nullptr, mFrameThickness);
  }
}

void SelectControl::OnResize()
{
  if (!hasGrid())
  {
    mGridCells.clear();
    IVTabSwitchControl::OnResize();
    return;
  }
  // The stock layout first, so its own segment list stays in step with the rectangle.
  IVTabSwitchControl::OnResize();
  const IRECT w = MakeRects(mRECT, false);
  SetTargetRECT(w);
  const float cw = w.W() / static_cast<float>(mGridColumns);
  const float ch = w.H() / static_cast<float>(mGridRows);
  mGridCells.clear();
  for (int i = 0; i < mNumStates; ++i)
  {
    const int col = i % mGridColumns;
    const int row = std::min(i / mGridColumns, mGridRows - 1);
    const float l = w.L + static_cast<float>(col) * cw;
    const float t = w.T + static_cast<float>(row) * ch;
    mGridCells.emplace_back(l, t, l + cw, t + ch);
  }
  SetDirty(false);
}

int SelectControl::GetButtonForPoint(float x, float y) const
{
  if (!hasGrid())
    return IVTabSwitchControl::GetButtonForPoint(x, y);
  for (size_t i = 0; i < mGridCells.size(); ++i)
    if (mGridCells[i].Contains(x, y))
      return static_cast<int>(i);
  return -1;
}

void SelectControl::DrawWidget(IGfx& g)
{
  if (!hasGrid())
  {
    IVTabSwitchControl::DrawWidget(g);
    return;
  }
  const int n = static_cast<int>(mGridCells.size());
  const int selected = GetSelectedIdx();
  const int hovered = GetHoveredButton();
  for (int i = 0; i < n; ++i)
  {
    ETabSegment segment = ETabSegment::Middle;
    if (i == n - 1)
      segment = ETabSegment::Last;
    else if (i == 0)
      segment = ETabSegment::First;
    const bool disabled = IsDisabled() || GetStateDisabled(i);
    const IRECT& r = mGridCells[static_cast<size_t>(i)];
    DrawButton(g, r, i == selected, i == hovered, segment, disabled);
    DrawButtonText(g, r, i == selected, i == hovered, segment, disabled, GetTabLabel(i));
  }
}

} // namespace zarvo::ui
