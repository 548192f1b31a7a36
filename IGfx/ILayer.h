// An offscreen layer drawing can be redirected into (ILayer), and the drop shadow applied to one (IShadow).
#pragma once

#include <memory>

#include "IGfx/IBitmap.h"
#include "IGfx/IPattern.h"
#include "IGfx/IRECT.h"

namespace plugkit::gfx {

class IControl;

class ILayer
{
public:
  // Takes ownership of bitmap.
  ILayer(APIBitmap* bitmap, const IRECT& layerRect, IControl* control, const IRECT& controlRect)
    : mBitmap(bitmap)
    , mControl(control)
    , mControlRECT(controlRect)
    , mRECT(layerRect)
  {}

  void Invalidate() { mInvalid = true; }
  bool IsInvalid() const { return mInvalid; }
  APIBitmap* GetAPIBitmap() const { return mBitmap.get(); }
  // The backend bitmap as a one-frame IBitmap.
  IBitmap GetBitmap() const { return IBitmap(mBitmap.get(), 1, false); }
  const IRECT& Bounds() const { return mRECT; }
  IControl* GetControl() const { return mControl; }
  const IRECT& GetControlRECT() const { return mControlRECT; }
  void SetControlRECT(const IRECT& r) { mControlRECT = r; }
  // Hands the bitmap to the caller; the layer keeps none.
  APIBitmap* ReleaseAPIBitmap() { return mBitmap.release(); }
  void ResetAPIBitmap(APIBitmap* bitmap) { mBitmap.reset(bitmap); }

private:
  std::unique_ptr<APIBitmap> mBitmap;
  IControl* mControl;
  IRECT mControlRECT;
  IRECT mRECT;
  bool mInvalid = false;
};

struct IShadow
{
  IPattern mPattern = IPattern(COLOR_BLACK);
  float mBlurSize = 5.f;
  float mXOffset = 5.f;
  float mYOffset = 5.f;
  float mOpacity = 1.f;
  bool mDrawForeground = true;
};

} // namespace plugkit::gfx
