#include "utils/midi_cc/cc_display_control.h"

#include "IGfx/IGfx.h"

namespace zarvo::midi_cc {

CCDisplayControl::CCDisplayControl(const plugkit::gfx::IRECT& bounds, int paramIdx, const char* label,
                                   const plugkit::gfx::IText& text)
  : IControl(bounds, paramIdx)
  , mTextStyle(text)
{
  mText = text; // the live value mark's colour
  mStr.Set(label ? label : "");
}

void CCDisplayControl::Draw(plugkit::gfx::IGfx& g)
{
  if (mStr.GetLength() > 0)
    g.DrawText(mTextStyle, mStr.Get(), mRECT, &mBlend);
}

} // namespace zarvo::midi_cc
