// One SVG document drawn over the control's bounds, optionally cached in a layer.
#pragma once

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IGfx/ILayer.h"
#include "IGfx/ISVG.h"

namespace plugkit::gfx {

// Main thread only.
class ISVGControl : public IControl
{
public:
  // With useLayer the document is drawn into a layer only when the layer is missing or stale, and
  // the layer is composited every frame.
  ISVGControl(const IRECT& bounds, const ISVG& svg, bool useLayer = false);

  void Draw(IGfx& g) override;

private:
  bool mUseLayer;
  ILayerPtr mLayer;
  ISVG mSVG;
};

} // namespace plugkit::gfx
