#include "IGfx/Controls/IPanelControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IPanelControl::IPanelControl(const IRECT& bounds, const IColor& color, bool drawFrame, IContainerFunction attachFunc,
                             IContainerFunction resizeFunc)
  : IPanelControl(bounds, IPattern(color), drawFrame, std::move(attachFunc), std::move(resizeFunc))
{}

IPanelControl::IPanelControl(const IRECT& bounds, const IPattern& pattern, bool drawFrame,
                             IContainerFunction attachFunc, IContainerFunction resizeFunc)
  : IContainerBase(bounds, std::move(attachFunc), std::move(resizeFunc))
  , mPattern(pattern)
  , mDrawFrame(drawFrame)
{
  mIgnoreMouse = true;
}

void IPanelControl::Draw(IGfx& g)
{
  g.PathRect(mRECT);
  g.PathFill(mPattern, IFillOptions(), &mBlend);
  if (mDrawFrame)
    g.DrawRect(COLOR_LIGHT_GRAY, mRECT, &mBlend, 1.f);
}

//------------------------------------------------------------------------------------------------
// The context's making form

void IGfx::AttachPanelBackground(const IPattern& pattern)
{
  IControl* background = new IPanelControl(GetBounds(), pattern, false);
  ConnectControl(background);
  InsertBackgroundControl(background);
}

} // namespace plugkit::gfx
