// Where a learnable control's presence dot sits and what counts as a press on it.
#pragma once

#include "IGfx/IBlend.h"
#include "IGfx/IColor.h"
#include "IGfx/IRECT.h"

namespace plugkit::gfx {
class IGfx;
}

namespace zarvo::midi_cc {

struct PresenceDot
{
  struct Colors
  {
    plugkit::gfx::IColor rest{200, 150, 150, 150};  // outline at rest
    plugkit::gfx::IColor pressed{255, 95, 55, 200}; // fill while held
    plugkit::gfx::IColor hoverFill{255, 235, 235, 235};
    plugkit::gfx::IColor hoverOutline{255, 60, 60, 60};
  };

  float radius = 2.5f;
  float inset = 3.5f;  // gap between the dot and the anchor's right and bottom edges
  float stroke = 1.f;  // outline width; also added to the radius when the dot is drawn filled
  float offsetX = 0.f; // in dot diameters
  float offsetY = 0.f;

  // Half the side of the square that takes presses: a few pixels of slack around the small dot.
  float hitHalfSize() const { return radius + 4.f; }

  // The widget bounds when they are a real rectangle, else the control's rectangle.
  static plugkit::gfx::IRECT anchorOf(const plugkit::gfx::IRECT& widgetBounds, const plugkit::gfx::IRECT& rect);

  float centreX(const plugkit::gfx::IRECT& anchor) const;
  float centreY(const plugkit::gfx::IRECT& anchor) const;
  // Both edges inclusive: a square, not a circle.
  bool hit(const plugkit::gfx::IRECT& anchor, float x, float y) const;
  plugkit::gfx::IRECT hitSquare(const plugkit::gfx::IRECT& anchor) const;
  // target grown to take in the hit square; an all-zero target becomes the square itself.
  plugkit::gfx::IRECT widenTarget(const plugkit::gfx::IRECT& target, const plugkit::gfx::IRECT& anchor) const;
  // A ring at rest; a filled dot, one stroke larger, while pressed or (outlined) under the pointer.
  void draw(plugkit::gfx::IGfx& g, const plugkit::gfx::IRECT& anchor, const Colors& colors, bool pressed, bool hovered,
            const plugkit::gfx::IBlend* blend) const;
};

} // namespace zarvo::midi_cc
