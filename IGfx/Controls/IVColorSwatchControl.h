// Labelled colour cells that edit the colours of the control's own style through the platform's
// colour chooser.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IGfx/Controls/IVectorBase.h"

namespace plugkit::gfx {

// Main thread only.
class IVColorSwatchControl : public IControl, public IVectorBase
{
public:
  enum class ECellLayout
  {
    kGrid = 0,   // three columns by three rows
    kHorizontal, // one row
    kVertical    // one column
  };

  // Called after the user picked a colour for a cell.
  using ColorChosenFunc = std::function<void(int cellIdx, const IColor& color)>;

  IVColorSwatchControl(const IRECT& bounds, const char* label = "", ColorChosenFunc func = nullptr,
                       const IVStyle& style = DEFAULT_STYLE, ECellLayout layout = ECellLayout::kGrid,
                       const std::vector<EVColor>& colorIDs = {EVColor::BG, EVColor::FG, EVColor::PR, EVColor::FR,
                                                               EVColor::HL, EVColor::SH, EVColor::X1, EVColor::X2,
                                                               EVColor::X3},
                       const std::vector<const char*>& labelsForIDs = {"Background", "Foreground", "Pressed", "Frame",
                                                                       "Highlight", "Shadow", "Extra 1", "Extra 2",
                                                                       "Extra 3"});

  void OnResize() override;
  void Draw(IGfx& g) override;
  void DrawWidget(IGfx& g) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  // Opens the colour chooser for the cell clicked; nothing outside the cells.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;

  int GetCellUnderMouse() const { return mCellOver; }
  const std::vector<IRECT>& GetCellRects() const { return mCellRects; }

private:
  int CellAt(float x, float y) const;

  ColorChosenFunc mColorChosenFunc;
  int mCellOver = -1;
  ECellLayout mLayout;
  std::vector<IRECT> mCellRects;
  std::vector<std::string> mLabels;
  std::vector<EVColor> mColorIDs;
  // A chooser may answer after the control is gone: its answer then goes nowhere.
  std::shared_ptr<IVColorSwatchControl*> mSelf;
};

} // namespace plugkit::gfx
