// A text bound to a parameter, so that a parameter shown only as text can be learned too.
#pragma once

#include "IGfx/IControl.h"
#include "IGfx/IText.h"
#include "IPlugin/TextString.h"

namespace zarvo::midi_cc {

class CCDisplayControl : public plugkit::gfx::IControl
{
public:
  CCDisplayControl(const plugkit::gfx::IRECT& bounds, int paramIdx, const char* label, const plugkit::gfx::IText& text);
  ~CCDisplayControl() override = default;

  // The text in the control's rectangle; an empty text draws nothing.
  void Draw(plugkit::gfx::IGfx& g) override;

  plugkit::gfx::IText mTextStyle;
  // Its owner may replace it at any time and then mark the control dirty.
  TextString mStr;
};

} // namespace zarvo::midi_cc
