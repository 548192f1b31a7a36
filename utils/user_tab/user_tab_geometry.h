// Where the user tab puts its columns and cells: pure functions of the slots and rectangles.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "IGfx/IRECT.h"
#include "utils/user_tab/user_tab_layout.h"

namespace zarvo::ui {

class UserTabGeometry
{
public:
  using Slot = UserTabLayout::Slot;
  // A cell and the index of its entry in the slot.
  struct Cell
  {
    int index;
    plugkit::gfx::IRECT rect;
  };
  // An id's share of a column's height; nullopt for an id the catalogue lacks.
  using SizeOf = std::function<std::optional<float>(int id)>;

  static constexpr float kCellGap = 2.f;

  // One rectangle per slot, side by side from base's left edge and of base's full height, sharing
  // base's width less stripWidth in proportion to the slots' width weights.
  static std::vector<plugkit::gfx::IRECT> columnRects(const std::vector<Slot>& slots, const plugkit::gfx::IRECT& base,
                                                      float stripWidth);
  // One cell per entry the catalogue holds, width modifiers excepted, stacked from the top kCellGap
  // apart. Controls share what spacers and gaps leave in proportion to their shares; a spacer takes its
  // share of the height, and spacers alone share the whole column. No cell reaches outside the column.
  static std::vector<Cell> cells(const Slot& slot, const plugkit::gfx::IRECT& column, const SizeOf& sizeOf);
};

} // namespace zarvo::ui
