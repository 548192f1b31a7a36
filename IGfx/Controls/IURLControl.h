// A clickable, underlined link that asks the platform to open its URL.
#pragma once

#include "IGfx/Controls/ITextControl.h"

namespace plugkit::gfx {

// Main thread only.
class IURLControl : public ITextControl
{
public:
  // The text style's colour is the link's colour until it is hovered or clicked.
  IURLControl(const IRECT& bounds, const char* str, const char* url, const IText& text = DEFAULT_TEXT,
              const IColor& bgColor = DEFAULT_BGCOLOR, const IColor& mouseOverColor = COLOR_WHITE,
              const IColor& clickedColor = COLOR_BLUE);

  void Draw(IGfx& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  // Also takes the style's colour as the link's colour.
  void SetText(const IText& text) override;

  bool GetClicked() const { return mClicked; }

private:
  TextString mURL;
  IColor mOriginalColor;
  IColor mMouseOverColor;
  IColor mClickedColor;
  bool mClicked = false;
};

} // namespace plugkit::gfx
