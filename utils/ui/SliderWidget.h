// The filled-bar look shared by the fill slider and the morph pad's sliders: a plain record, copied freely.
#pragma once

#include <string>

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IGfxEnums.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::ui {

struct SliderWidget
{
  plugkit::gfx::IColor trackColor = plugkit::gfx::COLOR_BLACK;
  plugkit::gfx::IColor fillColor = plugkit::gfx::COLOR_WHITE;
  plugkit::gfx::IText text{14.f, plugkit::gfx::DEFAULT_TEXT_FGCOLOR, "Roboto-Regular"};
  // The value the fill starts from: 0 fills from the start, 0.5 from the middle.
  float fillOrigin = 0.f;
  plugkit::gfx::EDirection direction = plugkit::gfx::EDirection::Horizontal;

  // Main thread. Vertical bars fill from the bottom; value is clamped to 0..1.
  void draw(plugkit::gfx::IGfx& g, const plugkit::gfx::IRECT& r, float value, const std::string& text,
            const plugkit::gfx::IBlend* blend) const;
};

} // namespace zarvo::ui
