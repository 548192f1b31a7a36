// Static text drawn with a bitmap font: one frame per character.
#pragma once

#include "IGfx/Controls/IBitmapBase.h"
#include "IGfx/Controls/ITextControl.h"

namespace plugkit::gfx {

// Main thread only.
class IBTextControl : public ITextControl, public IBitmapBase
{
public:
  // multiline and vCenter are handed to the bitmap text drawing as its multiline and vertical-centre choices.
  IBTextControl(const IRECT& bounds, const IBitmap& bitmap, const IText& text = DEFAULT_TEXT, const char* str = "",
                int charWidth = 6, int charHeight = 12, int charOffset = 0, bool multiline = false, bool vCenter = true,
                EBlend blend = EBlend::Default);

  void OnRescale() override;
  void Draw(IGfx& g) override;

private:
  int mCharWidth;
  int mCharHeight;
  int mCharOffset;
  bool mMultiLine;
  bool mVCentre;
};

} // namespace plugkit::gfx
