#include "utils/user_tab/user_tab_drag_indicator.h"

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

UserTabPanel::DragIndicator::DragIndicator(const IRECT& bounds, UserTabPanel& panel)
  : IControl(bounds)
  , mPanel(panel)
{
  mIgnoreMouse = true;
}

bool UserTabPanel::DragIndicator::IsDirty()
{
  return mPanel.dragState().active || mPanel.hoveredOverlay() || IControl::IsDirty();
}

void UserTabPanel::DragIndicator::Draw(IGfx& g)
{
  if (DropMark mark; mPanel.dropMark(mark))
  {
    g.DrawRect(COLOR_WHITE, mark.outline, &mBlend, 1.f);
    g.DrawLine(COLOR_WHITE, mark.x1, mark.y1, mark.x2, mark.y2, &mBlend, 2.f);
  }
  else if (mPanel.hoveredOverlay())
    g.DrawRect(COLOR_WHITE, mPanel.hoveredRect(), &mBlend, 1.f);

  if (!mPanel.dragHint.empty() && mPanel.bottomBand > 0.f)
  {
    IText text = mPanel.style().labelText;
    text.mFGColor = COLOR_WHITE;
    const IRECT band(0.f, mRECT.B - mPanel.bottomBand, static_cast<float>(g.Width()), mRECT.B);
    IRECT extent;
    const float width = g.MeasureText(text, mPanel.dragHint.c_str(), extent);
    g.DrawText(text, mPanel.dragHint.c_str(), mPanel.dragHintRect(band, width), &mBlend);
  }
}

} // namespace zarvo::ui
