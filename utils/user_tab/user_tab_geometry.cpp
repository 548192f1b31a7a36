#include "utils/user_tab/user_tab_geometry.h"

#include <algorithm>

namespace zarvo::ui {

using plugkit::gfx::IRECT;

std::vector<IRECT> UserTabGeometry::columnRects(const std::vector<Slot>& slots, const IRECT& base, float stripWidth)
{
  float weights = 0.f;
  for (const Slot& slot : slots)
    weights += UserTabLayout::slotWidthWeight(slot);
  const float shared = std::max(0.f, base.W() - stripWidth);
  std::vector<IRECT> rects;
  rects.reserve(slots.size());
  float x = base.L;
  for (const Slot& slot : slots)
  {
    const float w = weights > 0.f ? UserTabLayout::slotWidthWeight(slot) / weights * shared : 0.f;
    rects.emplace_back(x, base.T, x + w, base.B);
    x += w;
  }
  return rects;
}

std::vector<UserTabGeometry::Cell> UserTabGeometry::cells(const Slot& slot, const IRECT& column, const SizeOf& sizeOf)
{
  struct Sized
  {
    int index;
    float size;
    bool spacer;
  };
  std::vector<Sized> sized;
  float spacerSum = 0.f;
  float controlSum = 0.f;
  bool hasControl = false;
  for (size_t i = 0; i < slot.size(); ++i)
  {
    const int id = slot[i];
    if (UserTabLayout::isWidthMod(id))
      continue;
    const std::optional<float> size = sizeOf(id);
    if (!size)
      continue;
    const bool spacer = id < 0;
    sized.push_back({static_cast<int>(i), std::max(0.f, *size), spacer});
    (spacer ? spacerSum : controlSum) += std::max(0.f, *size);
    hasControl = hasControl || !spacer;
  }
  if (sized.empty())
    return {};

  const float h = column.H();
  const float gaps = kCellGap * static_cast<float>(sized.size() - 1);
  if (controlSum < 0.0001f)
    controlSum = 1.f;
  // Spacers that with the gaps would not fit shrink together, so that the column holds them.
  const float spacerRoom = std::max(0.f, h - gaps);
  const float spacerScale = spacerSum * h > spacerRoom && spacerSum > 0.f ? spacerRoom / (spacerSum * h) : 1.f;
  const float controlRoom = std::max(0.f, h - gaps - spacerSum * h * spacerScale);

  std::vector<Cell> cells;
  cells.reserve(sized.size());
  float y = column.T;
  for (const Sized& s : sized)
  {
    float cellH = 0.f;
    if (!s.spacer)
      cellH = s.size / controlSum * controlRoom;
    else if (hasControl)
      cellH = s.size * h * spacerScale;
    else
      cellH = spacerSum > 0.f ? s.size / spacerSum * spacerRoom : spacerRoom / static_cast<float>(sized.size());
    const float top = std::min(y, column.B);
    const float bottom = std::min(top + std::max(0.f, cellH), column.B);
    cells.push_back({s.index, IRECT(column.L, top, column.R, bottom)});
    y = bottom + kCellGap;
  }
  return cells;
}

} // namespace zarvo::ui
