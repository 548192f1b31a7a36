// The user tab's edits, their undo and the move primitives of drag and drop.
#include <algorithm>

#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

namespace {

bool validIndex(int i, size_t n) { return i >= 0 && static_cast<size_t>(i) < n; }

// Inserts at index clamped to the slot.
void insertClamped(UserTabPanel::Slot& slot, int index, int id)
{
  const size_t at = static_cast<size_t>(std::clamp(index, 0, static_cast<int>(slot.size())));
  slot.insert(slot.begin() + static_cast<std::ptrdiff_t>(at), id);
}

} // namespace

void UserTabPanel::addSlot(int id)
{
  if (mSlots.size() >= UserTabLayout::kMaxSlots)
    return;
  pushHistory();
  mSlots.push_back({id});
  changed();
}

void UserTabPanel::addToSlot(int column, int id)
{
  if (!validIndex(column, mSlots.size()))
    return;
  Slot& slot = mSlots[static_cast<size_t>(column)];
  if (slot.size() >= UserTabLayout::kMaxSlotEntries)
    return;
  pushHistory();
  if (UserTabLayout::isWidthMod(id))
    slot.insert(slot.begin(), id);
  else
    slot.push_back(id);
  changed();
}

void UserTabPanel::removeEntry(int column, int index)
{
  if (!validIndex(column, mSlots.size()) || !validIndex(index, mSlots[static_cast<size_t>(column)].size()))
    return;
  pushHistory();
  Slot& slot = mSlots[static_cast<size_t>(column)];
  slot.erase(slot.begin() + index);
  if (slot.empty())
    mSlots.erase(mSlots.begin() + column);
  changed();
}

void UserTabPanel::resetColumnWidth(int column)
{
  if (!validIndex(column, mSlots.size()))
    return;
  const int mod = widthModIndex(mSlots[static_cast<size_t>(column)]);
  if (mod < 0)
    return;
  removeEntry(column, mod);
}

void UserTabPanel::clearSlots()
{
  if (mSlots.empty())
    return;
  pushHistory();
  mSlots.clear();
  changed();
}

void UserTabPanel::undo()
{
  if (mHistory.empty())
    return;
  mSlots = std::move(mHistory.back());
  mHistory.pop_back();
  changed();
}

void UserTabPanel::moveColumnTo(int from, int to)
{
  const int n = static_cast<int>(mSlots.size());
  if (!validIndex(from, mSlots.size()))
    return;
  to = std::clamp(to, 0, n);
  Slot moved = std::move(mSlots[static_cast<size_t>(from)]);
  mSlots.erase(mSlots.begin() + from);
  const int at = std::clamp(to > from ? to - 1 : to, 0, static_cast<int>(mSlots.size()));
  mSlots.insert(mSlots.begin() + at, std::move(moved));
}

void UserTabPanel::moveEntryWithinSlot(int column, int from, int toCell)
{
  if (!validIndex(column, mSlots.size()) || !validIndex(column, mCellRects.size()))
    return;
  Slot& slot = mSlots[static_cast<size_t>(column)];
  if (!validIndex(from, slot.size()))
    return;
  const auto& cells = mCellRects[static_cast<size_t>(column)];
  const int c = std::clamp(toCell, 0, static_cast<int>(cells.size()));
  const int target =
    c == static_cast<int>(cells.size()) ? static_cast<int>(slot.size()) : cells[static_cast<size_t>(c)].first;
  const int id = slot[static_cast<size_t>(from)];
  slot.erase(slot.begin() + from);
  insertClamped(slot, target > from ? target - 1 : target, id);
}

void UserTabPanel::moveEntryAcross(int fromColumn, int from, int toColumn, int toCell)
{
  if (fromColumn == toColumn)
  {
    moveEntryWithinSlot(fromColumn, from, toCell);
    return;
  }
  if (!validIndex(fromColumn, mSlots.size()) || !validIndex(toColumn, mSlots.size()) ||
      !validIndex(toColumn, mCellRects.size()) || !validIndex(from, mSlots[static_cast<size_t>(fromColumn)].size()))
    return;
  Slot& source = mSlots[static_cast<size_t>(fromColumn)];
  Slot& dest = mSlots[static_cast<size_t>(toColumn)];
  if (dest.size() >= UserTabLayout::kMaxSlotEntries)
    return;
  const auto& cells = mCellRects[static_cast<size_t>(toColumn)];
  const int c = std::clamp(toCell, 0, static_cast<int>(cells.size()));
  const int target =
    c == static_cast<int>(cells.size()) ? static_cast<int>(dest.size()) : cells[static_cast<size_t>(c)].first;
  const int id = source[static_cast<size_t>(from)];
  source.erase(source.begin() + from);
  insertClamped(dest, target, id);
  if (source.empty())
    mSlots.erase(mSlots.begin() + fromColumn);
}

void UserTabPanel::moveEntryToNewColumn(int fromColumn, int from, int newColumnIndex)
{
  if (!validIndex(fromColumn, mSlots.size()) || !validIndex(from, mSlots[static_cast<size_t>(fromColumn)].size()))
    return;
  Slot& source = mSlots[static_cast<size_t>(fromColumn)];
  // At the column limit only a move that empties its source column fits.
  if (mSlots.size() >= UserTabLayout::kMaxSlots && source.size() > 1)
    return;
  const int id = source[static_cast<size_t>(from)];
  source.erase(source.begin() + from);
  const bool emptied = source.empty();
  const int at = std::clamp(newColumnIndex, 0, static_cast<int>(mSlots.size()));
  mSlots.insert(mSlots.begin() + at, Slot{id});
  if (emptied)
    mSlots.erase(mSlots.begin() + (at <= fromColumn ? fromColumn + 1 : fromColumn));
}

} // namespace zarvo::ui
