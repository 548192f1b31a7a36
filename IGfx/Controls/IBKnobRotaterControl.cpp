#include "IGfx/Controls/IBKnobRotaterControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

void IBKnobRotaterControl::Draw(IGfx& g)
{
  const double angle = -130. + 260. * GetValue();
  g.DrawRotatedBitmap(mBitmap, mRECT.MW(), mRECT.MH(), angle, &mBlend);
}

} // namespace plugkit::gfx
