// What bitmap controls share: a multi-frame bitmap and the drawing of the frame their value selects.
#pragma once

#include "IGfx/IBitmap.h"
#include "IPlugin/TextString.h"

namespace plugkit::gfx {

class IControl;
class IGfx;

// Main thread only.
class IBitmapBase
{
public:
  explicit IBitmapBase(const IBitmap& bitmap)
    : mBitmap(bitmap)
    , mBitmapName(bitmap.GetResourceName())
  {}
  virtual ~IBitmapBase() = default;

  void AttachIControl(IControl* control) { mControl = control; }
  // The frame value 0 of the control selects, centred in the control's rectangle, with its blend.
  void DrawBitmap(IGfx& g);
  // 1 for fewer than two frames; else value 0..1 spread evenly over frames 1..N.
  static int FrameForValue(int nFrames, double value);

  const IBitmap& GetBitmap() const { return mBitmap; }
  // Takes the bitmap's variant for the context's screen scale; a failed load keeps the one held.
  void RescaleBitmap(IGfx& g);

protected:
  IBitmap mBitmap;
  TextString mBitmapName;
  IControl* mControl = nullptr;
};

} // namespace plugkit::gfx
