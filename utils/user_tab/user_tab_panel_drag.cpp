// Dragging user-tab cells and columns: the drop target under the pointer, the move it makes, and what
// the drag indicator shows of it.
#include <algorithm>

#include "IGfx/IGfx.h"
#include "utils/user_tab/user_tab_cell_overlay.h"
#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

void UserTabPanel::beginCellDrag(int column, int index, const IRECT& rect, bool wholeColumn)
{
  mDrag = DragState();
  mDrag.active = true;
  mDrag.fromColumn = column;
  mDrag.fromIndex = index;
  mDrag.startRect = rect;
  mDrag.wholeColumn = wholeColumn;
}

int UserTabPanel::columnAtX(float x) const
{
  for (size_t i = 0; i < mColumnRects.size(); ++i)
  {
    if (mColumnRects[i].L <= x && x <= mColumnRects[i].R)
      return static_cast<int>(i);
  }
  return -1;
}

void UserTabPanel::updateCellDrag(float x, float y, const IMouseMod& mods)
{
  if (!mDrag.active)
    return;
  mDrag.drop = mDrag.wholeColumn || mods.S ? DropKind::column : DropKind::cell;
  const int n = static_cast<int>(mColumnRects.size());

  if (mDrag.drop == DropKind::column)
  {
    int position = 0;
    for (const IRECT& r : mColumnRects)
    {
      if (r.MW() <= x)
        ++position;
    }
    mDrag.targetPosition = std::min(position, n);
    mDrag.targetColumn = -1;
    mDrag.valid = mDrag.targetPosition != mDrag.fromColumn && mDrag.targetPosition != mDrag.fromColumn + 1;
  }
  else if (const int column = columnAtX(x); column >= 0 && static_cast<size_t>(column) < mCellRects.size())
  {
    const auto& cells = mCellRects[static_cast<size_t>(column)];
    int position = 0;
    for (const auto& cell : cells)
    {
      if (cell.second.MH() <= y)
        ++position;
    }
    mDrag.targetPosition = std::min(position, static_cast<int>(cells.size()));
    mDrag.targetColumn = column;
    if (column != mDrag.fromColumn)
    {
      const bool known = mDrag.fromColumn >= 0 && static_cast<size_t>(mDrag.fromColumn) < mSlots.size() &&
                         mDrag.fromIndex >= 0 &&
                         static_cast<size_t>(mDrag.fromIndex) < mSlots[static_cast<size_t>(mDrag.fromColumn)].size();
      const float size =
        known ? controlSize(mSlots[static_cast<size_t>(mDrag.fromColumn)][static_cast<size_t>(mDrag.fromIndex)]) : 1.f;
      const Slot& target = mSlots[static_cast<size_t>(column)];
      mDrag.valid = known && fitsColumn(target, size) && target.size() < UserTabLayout::kMaxSlotEntries;
    }
    else
    {
      const auto cell = std::ranges::find_if(cells, [this](const auto& c) { return c.first == mDrag.fromIndex; });
      const int p = cell == cells.end() ? 0 : static_cast<int>(cell - cells.begin());
      mDrag.valid = mDrag.targetPosition != p && mDrag.targetPosition != p + 1;
    }
  }
  else
  {
    mDrag.targetColumn = -1;
    if (n == 0)
    {
      mDrag.valid = false;
      return;
    }
    mDrag.drop = DropKind::newColumn;
    mDrag.targetPosition = x < mColumnRects.front().L ? 0 : n;
    const bool lastCell = static_cast<size_t>(mDrag.fromColumn) < mCellRects.size() &&
                          mCellRects[static_cast<size_t>(mDrag.fromColumn)].size() == 1;
    mDrag.valid =
      !lastCell || (mDrag.targetPosition != mDrag.fromColumn && mDrag.targetPosition != mDrag.fromColumn + 1);
    if (!lastCell && mSlots.size() >= UserTabLayout::kMaxSlots)
      mDrag.valid = false;
  }
  if (mGraphics)
    mGraphics->SetAllControlsDirty();
}

void UserTabPanel::endCellDrag(float x, float y, const IMouseMod& mods)
{
  updateCellDrag(x, y, mods);
  const DragState drag = mDrag;
  mDrag = DragState();
  if (!drag.active || !drag.valid)
  {
    if (mGraphics)
      mGraphics->SetAllControlsDirty();
    return;
  }
  const std::vector<Slot> before = mSlots;
  if (drag.drop == DropKind::column)
    moveColumnTo(drag.fromColumn, drag.targetPosition);
  else if (drag.drop == DropKind::newColumn)
    moveEntryToNewColumn(drag.fromColumn, drag.fromIndex, drag.targetPosition);
  else
    moveEntryAcross(drag.fromColumn, drag.fromIndex, drag.targetColumn, drag.targetPosition);
  normalizeSlots();
  if (mSlots == before)
  {
    // A move the primitives refused (a limit) leaves no undo step behind.
    if (mGraphics)
      mGraphics->SetAllControlsDirty();
    return;
  }
  mHistory.push_back(before);
  changed();
}

bool UserTabPanel::dropMark(DropMark& mark) const
{
  if (!mDrag.active || !mDrag.valid || mColumnRects.empty())
    return false;
  const IRECT& first = mColumnRects.front();
  const auto gapX = [this](int position) {
    if (position <= 0)
      return mColumnRects.front().L;
    if (static_cast<size_t>(position) >= mColumnRects.size())
      return mColumnRects.back().R;
    return 0.5f * (mColumnRects[static_cast<size_t>(position) - 1].R + mColumnRects[static_cast<size_t>(position)].L);
  };
  if (mDrag.drop != DropKind::cell)
  {
    mark.outline = mDrag.drop == DropKind::column && static_cast<size_t>(mDrag.fromColumn) < mColumnRects.size()
                     ? mColumnRects[static_cast<size_t>(mDrag.fromColumn)]
                     : mDrag.startRect;
    mark.x1 = mark.x2 = gapX(mDrag.targetPosition);
    mark.y1 = first.T;
    mark.y2 = first.B;
    return true;
  }
  if (mDrag.targetColumn < 0 || static_cast<size_t>(mDrag.targetColumn) >= mColumnRects.size())
    return false;
  const IRECT& col = mColumnRects[static_cast<size_t>(mDrag.targetColumn)];
  const auto& cells = mCellRects[static_cast<size_t>(mDrag.targetColumn)];
  float y = col.T;
  const size_t p = static_cast<size_t>(std::max(0, mDrag.targetPosition));
  if (!cells.empty())
  {
    if (p == 0)
      y = cells.front().second.T;
    else if (p >= cells.size())
      y = cells.back().second.B;
    else
      y = 0.5f * (cells[p - 1].second.B + cells[p].second.T);
  }
  mark.outline = mDrag.startRect;
  mark.x1 = col.L;
  mark.x2 = col.R;
  mark.y1 = mark.y2 = y;
  return true;
}

void UserTabPanel::setHovered(CellOverlay* overlay, const IRECT& rect)
{
  mHoveredOverlay = overlay;
  mHoveredRect = rect;
}

void UserTabPanel::clearHovered(const CellOverlay* overlay)
{
  if (mHoveredOverlay == overlay)
    mHoveredOverlay = nullptr;
}

} // namespace zarvo::ui
