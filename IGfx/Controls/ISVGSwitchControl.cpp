#include "IGfx/Controls/ISVGSwitchControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

ISVGSwitchControl::ISVGSwitchControl(const IRECT& bounds, const std::vector<ISVG>& svgs, int paramIdx,
                                     IActionFunction actionFunc)
  : ISwitchControlBase(bounds, paramIdx, std::move(actionFunc), static_cast<int>(svgs.size()))
  , mSVGs(svgs)
{}

void ISVGSwitchControl::Draw(IGfx& g)
{
  if (mSVGs.empty())
    return;
  const int last = static_cast<int>(mSVGs.size()) - 1;
  // Values outside 0..1 (set from code) still pick a document that exists.
  const int state = std::clamp(static_cast<int>(GetValue() * last + 0.5), 0, last);
  g.DrawSVG(mSVGs[static_cast<size_t>(state)], mRECT, &mBlend);
}

} // namespace plugkit::gfx
