#include "IGfx/Controls/IBitmapControl.h"

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IBitmapControl::IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx, EBlend blend)
  : IControl(IRECT(x, y, x + static_cast<float>(bitmap.FW()), y + static_cast<float>(bitmap.FH())), paramIdx)
  , IBitmapBase(bitmap)
{
  mBlend = IBlend(blend, 1.f);
  AttachIControl(this);
}

void IBitmapControl::OnRescale()
{
  if (!mGraphics || mBitmapName.GetLength() == 0)
    return;
  const IBitmap reloaded = mGraphics->LoadBitmap(mBitmapName.Get(), mBitmap.N(), mBitmap.GetFramesAreHorizontal(), 0);
  if (reloaded.IsValid())
    mBitmap = reloaded;
}

//------------------------------------------------------------------------------------------------
// The context's making form

void IGfx::AttachBackground(const char* fileName)
{
  IControl* background = new IBitmapControl(0.f, 0.f, LoadBitmap(fileName, 1, false, 0));
  ConnectControl(background);
  InsertBackgroundControl(background);
}

} // namespace plugkit::gfx
