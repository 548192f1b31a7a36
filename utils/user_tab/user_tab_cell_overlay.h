// The edit-mode cover of one user-tab cell (or of a column without cells): it forwards drags to the
// panel, removes its entry through the remove box in its top-right corner and shows the move glyph.
#pragma once

#include "IGfx/IControl.h"
#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

// Main thread only.
class UserTabPanel::CellOverlay : public plugkit::gfx::IControl
{
public:
  static constexpr float kRemoveBoxWidth = 20.f;
  static constexpr float kRemoveBoxHeight = 18.f;
  // Travel in pixels before a press becomes a drag.
  static constexpr float kDragThreshold = 6.f;

  // index is the entry's index in its slot; for a whole-column overlay the slot's width-modifier index.
  CellOverlay(const IRECT& bounds, UserTabPanel& panel, int column, int index, bool wholeColumn);

  void OnMouseDown(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnDrop(const char* path) override;
  void Draw(plugkit::gfx::IGfx& g) override;

  // Whole-column overlays have no remove box.
  bool inRemoveBox(float x, float y) const;
  IRECT removeBox() const;
  int column() const { return mColumn; }
  int index() const { return mIndex; }
  bool wholeColumn() const { return mWholeColumn; }
  bool hovered() const { return mHovered; }
  bool overRemove() const { return mOverRemove; }

private:
  UserTabPanel& mPanel;
  int mColumn;
  int mIndex;
  bool mHovered = false;
  bool mOverRemove = false;
  bool mDragging = false;
  bool mPressedRemove = false;
  bool mWholeColumn;
  float mDownX = 0.f;
  float mDownY = 0.f;
};

} // namespace zarvo::ui
