// A string drawn over a filled background: labels and readouts, and the base of the other text controls.
#pragma once

#include "IGfx/IControl.h"
#include "IGfx/IVStyle.h"

namespace plugkit::gfx {

// Main thread only.
class ITextControl : public IControl
{
public:
  // Ignores the mouse. With setBoundsBasedOnStr the rectangle fits the string, keeping its centre.
  ITextControl(const IRECT& bounds, const char* str = "", const IText& text = DEFAULT_TEXT,
               const IColor& bgColor = DEFAULT_BGCOLOR, bool setBoundsBasedOnStr = false);

  // An equal string changes nothing; another is stored and redrawn.
  virtual void SetStr(const char* str);
  // printf rules, at most maxLength bytes.
  void SetStrFmt(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void ClearStr() { SetStr(""); }
  const char* GetStr() const { return mStr.Get(); }
  const IColor& GetBGColor() const { return mBGColor; }

  void Draw(IGfx& g) override;
  void OnInit() override;

protected:
  // Both rectangles become the string's measured size around the current centre.
  void SetBoundsBasedOnStr();

  TextString mStr;
  IColor mBGColor;
  bool mSetBoundsBasedOnStr;
};

} // namespace plugkit::gfx
