// A knob drawn by turning one whole bitmap through 260 degrees.
#pragma once

#include "IGfx/Controls/IBKnobControl.h"

namespace plugkit::gfx {

// Main thread only.
class IBKnobRotaterControl : public IBKnobControl
{
public:
  using IBKnobControl::IBKnobControl;

  // -130 degrees at 0, +130 at 1.
  void Draw(IGfx& g) override;
};

} // namespace plugkit::gfx
