// A layout placeholder: a white box with its diagonals, its position and size, and an editable name.
#pragma once

#include "IGfx/Controls/ITextControl.h"

namespace plugkit::gfx {

// Main thread only.
class PlaceHolder : public ITextControl
{
public:
  explicit PlaceHolder(const IRECT& bounds, const char* str = "Place Holder");

  void Draw(IGfx& g) override;
  void OnResize() override;
  // Opens a text entry for the name.
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnTextEntryCompletion(const char* str, int valIdx) override;

private:
  TextString mTLHCStr;
  TextString mWidthStr;
  TextString mHeightStr;
  IText mTLGCText = DEFAULT_TEXT;
  IText mWidthText = DEFAULT_TEXT;
  IText mHeightText = DEFAULT_TEXT;
};

} // namespace plugkit::gfx
