// A static glyph label; it ignores the mouse, so clicks reach what lies beneath.
#pragma once

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControl.h"
#include "utils/ui/GlyphLabel.h"

namespace zarvo::ui {

// Main thread only.
class GlyphLabelControl : public plugkit::gfx::IControl, public plugkit::gfx::IVectorBase
{
public:
  GlyphLabelControl(const plugkit::gfx::IRECT& bounds, GlyphLabel label, const plugkit::gfx::IVStyle& style);
  ~GlyphLabelControl() override;

  void Draw(plugkit::gfx::IGfx& g) override;

  GlyphLabel label;
  // Pixels between runs.
  float spacing = 0.f;
};

} // namespace zarvo::ui
