#include "utils/user_tab/user_tab_cell_overlay.h"

#include <cmath>

#include "IGfx/IGfx.h"
#include "utils/ui/GlyphLabel.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

UserTabPanel::CellOverlay::CellOverlay(const IRECT& bounds, UserTabPanel& panel, int column, int index,
                                       bool wholeColumn)
  : IControl(bounds)
  , mPanel(panel)
  , mColumn(column)
  , mIndex(index)
  , mWholeColumn(wholeColumn)
{
  if (!wholeColumn)
    SetTooltip(panel.cellTip.c_str());
}

IRECT UserTabPanel::CellOverlay::removeBox() const
{
  return IRECT(mRECT.R - kRemoveBoxWidth, mRECT.T, mRECT.R, mRECT.T + kRemoveBoxHeight);
}

bool UserTabPanel::CellOverlay::inRemoveBox(float x, float y) const
{
  const IRECT box = removeBox();
  return !mWholeColumn && x >= box.L && x < box.R && y >= box.T && y < box.B;
}

void UserTabPanel::CellOverlay::OnMouseDown(float x, float y, const IMouseMod&)
{
  mDownX = x;
  mDownY = y;
  mDragging = false;
  mPressedRemove = inRemoveBox(x, y);
}

void UserTabPanel::CellOverlay::OnMouseDrag(float x, float y, float, float, const IMouseMod& mod)
{
  if (mPressedRemove)
    return;
  if (!mDragging)
  {
    if (std::hypot(x - mDownX, y - mDownY) < kDragThreshold)
      return;
    mDragging = true;
    mPanel.beginCellDrag(mColumn, mIndex, mRECT, mWholeColumn);
  }
  mPanel.updateCellDrag(x, y, mod);
}

void UserTabPanel::CellOverlay::OnMouseUp(float x, float y, const IMouseMod& mod)
{
  if (mGraphics)
    mGraphics->SetMouseCursor(ECursor::ARROW);
  // Either call may rebuild the panel, which removes this overlay: nothing of it is read afterwards.
  if (std::exchange(mDragging, false))
    mPanel.endCellDrag(x, y, mod);
  else if (std::exchange(mPressedRemove, false) && inRemoveBox(x, y))
    mPanel.removeEntry(mColumn, mIndex);
}

void UserTabPanel::CellOverlay::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  IControl::OnMouseOver(x, y, mod);
  mHovered = true;
  mOverRemove = inRemoveBox(x, y);
  mPanel.setHovered(this, mRECT);
  if (mGraphics)
  {
    mGraphics->SetMouseCursor(mOverRemove ? ECursor::HAND : ECursor::SIZEALL);
    mGraphics->SetAllControlsDirty();
  }
}

void UserTabPanel::CellOverlay::OnMouseOut()
{
  IControl::OnMouseOut();
  mHovered = false;
  mOverRemove = false;
  mPanel.clearHovered(this);
  if (mGraphics)
  {
    mGraphics->SetMouseCursor(ECursor::ARROW);
    mGraphics->SetAllControlsDirty();
  }
}

void UserTabPanel::CellOverlay::OnDrop(const char* path) { mPanel.OnDrop(path); }

void UserTabPanel::CellOverlay::Draw(IGfx& g)
{
  const IColor accent = mPanel.accentColor();
  g.DrawRect(IColor(80, accent.R, accent.G, accent.B), mRECT, &mBlend, 1.f);
  const IColor highlight = mPanel.glyphHighlight();
  if (mHovered && !mOverRemove && !mPanel.moveGlyph.runs.empty() && mRECT.W() > 40.f && mRECT.H() > 40.f)
  {
    IText text = mPanel.glyphStyle().valueText;
    text.mFGColor = highlight;
    drawGlyphLabel(g, mPanel.moveGlyph, mRECT, text, &mBlend, 0.f);
  }
  if (!mWholeColumn && !mPanel.removeGlyph.runs.empty())
  {
    IText text = mPanel.buttonStyle().valueText;
    text.mFGColor = mOverRemove ? highlight : accent;
    drawGlyphLabel(g, mPanel.removeGlyph, removeBox(), text, &mBlend, 0.f);
  }
}

} // namespace zarvo::ui
