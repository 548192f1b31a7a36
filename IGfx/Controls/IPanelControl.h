// A filled rectangle that can hold child controls: backgrounds and section panels.
#pragma once

#include "IGfx/IContainerBase.h"
#include "IGfx/IPattern.h"

namespace plugkit::gfx {

// Main thread only. Ignores the mouse; hiding or disabling it does the same to its children.
class IPanelControl : public IContainerBase
{
public:
  IPanelControl(const IRECT& bounds, const IColor& color, bool drawFrame = false,
                IContainerFunction attachFunc = nullptr, IContainerFunction resizeFunc = nullptr);
  IPanelControl(const IRECT& bounds, const IPattern& pattern, bool drawFrame = false,
                IContainerFunction attachFunc = nullptr, IContainerFunction resizeFunc = nullptr);

  // The fill, then a light grey 1 px frame when asked for, both with the control's blend.
  void Draw(IGfx& g) override;

  const IPattern& GetPattern() const { return mPattern; }

private:
  IPattern mPattern;
  bool mDrawFrame;
};

} // namespace plugkit::gfx
