// A multi-state switch showing one SVG document per state.
#pragma once

#include <vector>

#include "IGfx/IControlBases.h"
#include "IGfx/ISVG.h"

namespace plugkit::gfx {

// Main thread only.
class ISVGSwitchControl : public ISwitchControlBase
{
public:
  ISVGSwitchControl(const IRECT& bounds, const std::vector<ISVG>& svgs, int paramIdx = -1,
                    IActionFunction actionFunc = nullptr);

  void Draw(IGfx& g) override;

private:
  std::vector<ISVG> mSVGs;
};

} // namespace plugkit::gfx
