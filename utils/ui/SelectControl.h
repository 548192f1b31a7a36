// A segmented selector: one segment per option, in a row or in a grid of equal cells.
#pragma once

#include <vector>

#include "IGfx/Controls/IVTabSwitchControl.h"

namespace zarvo::ui {

// Main thread only.
class SelectControl : public plugkit::gfx::IVTabSwitchControl
{
public:
  // Empty options take the parameter's display texts.
  SelectControl(const plugkit::gfx::IRECT& bounds, int paramIdx, std::vector<const char*> options = {},
                const char* label = "", const plugkit::gfx::IVStyle& style = plugkit::gfx::DEFAULT_STYLE);

  void DrawButton(plugkit::gfx::IGfx& g, const plugkit::gfx::IRECT& r, bool pressed, bool mouseOver,
                  ETabSegment segment, bool disabled) override;
  void DrawWidget(plugkit::gfx::IGfx& g) override;
  void OnResize() override;
  int GetButtonForPoint(float x, float y) const override;

  // Segment i sits in column i mod columns and row min(i / columns, rows - 1); takes effect at the next
  // layout. Both above 0 for a grid, otherwise one row.
  void setGrid(int columns, int rows);
  void setFrameThickness(float thickness) { mFrameThickness = thickness; }
  // The selected segment is not filled (only hovering fills).
  void setNoSelectionFill(bool noFill) { mNoSelectionFill = noFill; }

  bool hasGrid() const { return mGridColumns > 0 && mGridRows > 0; }
  // The segment's rectangle as laid out; empty outside the list.
  plugkit::gfx::IRECT segmentRect(int idx) const;

private:
  float mFrameThickness = 1.f;
  int mGridColumns = 0;
  int mGridRows = 0;
  bool mNoSelectionFill = false;
  std::vector<plugkit::gfx::IRECT> mGridCells;
};

} // namespace zarvo::ui
