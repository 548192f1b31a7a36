#include "utils/ui/GlyphLabelControl.h"

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using plugkit::gfx::EVColor;

GlyphLabelControl::GlyphLabelControl(const plugkit::gfx::IRECT& bounds, GlyphLabel label_,
                                     const plugkit::gfx::IVStyle& style)
  : IControl(bounds, -1)
  , IVectorBase(style, false, false)
  , label(std::move(label_))
{
  AttachIControl(this, "");
  SetIgnoreMouse(true);
}

GlyphLabelControl::~GlyphLabelControl() = default;

void GlyphLabelControl::Draw(plugkit::gfx::IGfx& g)
{
  const plugkit::gfx::IColor& bg = GetColor(EVColor::BG);
  if (bg.A > 0)
    g.FillRect(bg, mRECT, &mBlend);
  drawGlyphLabel(g, label, mRECT, mStyle.valueText, &mBlend, spacing);
}

} // namespace zarvo::ui
