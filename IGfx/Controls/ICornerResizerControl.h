// The triangular handle in the editor's bottom-right corner that drags the UI scale or size.
#pragma once

#include "IGfx/IControl.h"

namespace plugkit::gfx {

// Main thread only.
class ICornerResizerControl : public IControl
{
public:
  // graphicsBounds: the editor's bounds now, restored by a double click. size: the side of the
  // handle in screen pixels, the same at every draw scale.
  ICornerResizerControl(const IRECT& graphicsBounds, float size, const IColor& color = COLOR_TRANSLUCENT,
                        const IColor& mouseOverColor = COLOR_BLACK, const IColor& dragColor = COLOR_BLACK);

  void Draw(IGfx& g) override;
  void OnRescale() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;

private:
  float mSize;
  bool mMouseOver = false;
  ECursor mPrevCursorType = ECursor::ARROW;
  IRECT mInitialGraphicsBounds;
  IColor mColor;
  IColor mMouseOverColor;
  IColor mDragColor;
};

} // namespace plugkit::gfx
