#include "IGfx/Controls/ICornerResizerControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

ICornerResizerControl::ICornerResizerControl(const IRECT& graphicsBounds, float size, const IColor& color,
                                             const IColor& mouseOverColor, const IColor& dragColor)
  : IControl(
      IRECT(graphicsBounds.R - size, graphicsBounds.B - size, graphicsBounds.R, graphicsBounds.B).GetPadded(-1.f))
  , mSize(size)
  , mInitialGraphicsBounds(0.f, 0.f, graphicsBounds.W(), graphicsBounds.H())
  , mColor(color)
  , mMouseOverColor(mouseOverColor)
  , mDragColor(dragColor)
{}

void ICornerResizerControl::OnRescale()
{
  if (!mGraphics)
    return;
  const float s = mSize / mGraphics->GetDrawScale();
  const float w = static_cast<float>(mGraphics->Width());
  const float h = static_cast<float>(mGraphics->Height());
  SetTargetAndDrawRECTs(IRECT(w - s, h - s, w, h));
  ClearMouseIsOver();
  OnResize();
}

void ICornerResizerControl::Draw(IGfx& g)
{
  const IColor& color = g.GetResizingInProcess() ? mDragColor : (mMouseIsOver ? mMouseOverColor : mColor);
  const IRECT& r = mRECT;
  g.FillTriangle(color, r.L, r.B, r.R, r.T, r.R, r.B);
}

void ICornerResizerControl::OnMouseDown(float, float, const IMouseMod&)
{
  if (mGraphics)
    mGraphics->StartDragResize();
}

void ICornerResizerControl::OnMouseDblClick(float, float, const IMouseMod&)
{
  if (mGraphics)
    mGraphics->Resize(static_cast<int>(mInitialGraphicsBounds.W()), static_cast<int>(mInitialGraphicsBounds.H()), 1.f,
                      true);
}

void ICornerResizerControl::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  if (!mMouseOver && mGraphics)
    mPrevCursorType = mGraphics->SetMouseCursor(ECursor::SIZENWSE);
  mMouseOver = true;
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut()
{
  if (mMouseOver && mGraphics)
    mGraphics->SetMouseCursor(mPrevCursorType);
  mMouseOver = false;
  IControl::OnMouseOut();
}

//------------------------------------------------------------------------------------------------
// The context's making form

void IGfx::AttachCornerResizer(EUIResizerMode mode, bool layoutOnResize, const IColor& color,
                               const IColor& mouseOverColor, const IColor& dragColor, float size)
{
  AttachCornerResizer(new ICornerResizerControl(GetBounds(), size, color, mouseOverColor, dragColor), mode,
                      layoutOnResize);
}

} // namespace plugkit::gfx
