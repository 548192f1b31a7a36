#include "IGfx/Controls/IBitmapBase.h"

#include <algorithm>

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"

namespace plugkit::gfx {

int IBitmapBase::FrameForValue(int nFrames, double value)
{
  if (nFrames < 2)
    return 1;
  return std::min(nFrames, std::max(static_cast<int>((nFrames - 1) * value + 0.5), 0) + 1);
}

void IBitmapBase::DrawBitmap(IGfx& g)
{
  if (!mControl)
    return;
  const int frame = FrameForValue(mBitmap.N(), mControl->GetValue());
  const IRECT frameRect =
    mControl->GetRECT().GetCentredInside(static_cast<float>(mBitmap.FW()), static_cast<float>(mBitmap.FH()));
  g.DrawBitmap(mBitmap, frameRect, frame, &mControl->GetBlend());
}

void IBitmapBase::RescaleBitmap(IGfx& g)
{
  if (mBitmapName.GetLength() == 0)
    return;
  const IBitmap scaled = g.GetScaledBitmap(mBitmap);
  if (scaled.IsValid())
    mBitmap = scaled;
}

} // namespace plugkit::gfx
