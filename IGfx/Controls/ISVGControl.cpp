#include "IGfx/Controls/ISVGControl.h"

namespace plugkit::gfx {

ISVGControl::ISVGControl(const IRECT& bounds, const ISVG& svg, bool useLayer)
  : IControl(bounds)
  , mUseLayer(useLayer)
  , mSVG(svg)
{}

void ISVGControl::Draw(IGfx& g)
{
  if (!mUseLayer)
  {
    g.DrawSVG(mSVG, mRECT, &mBlend);
    return;
  }
  if (!g.CheckLayer(mLayer))
  {
    g.StartLayer(this, mRECT);
    g.DrawSVG(mSVG, mRECT);
    mLayer = g.EndLayer();
  }
  g.DrawLayer(mLayer, &mBlend);
}

//------------------------------------------------------------------------------------------------
// The context's making form

void IGfx::AttachSVGBackground(const char* fileName)
{
  IControl* background = new ISVGControl(GetBounds(), LoadSVG(fileName, "px", 72.f));
  background->SetDelegate(mDelegate);
  background->SetGraphics(this);
  InsertBackgroundControl(background);
}

} // namespace plugkit::gfx
