// A box that shows an integer parameter and changes it by vertical dragging, with its label on any side.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControlBases.h"

namespace zarvo::ui {

// Main thread only.
class IntDragControl : public plugkit::gfx::IKnobControlBase, public plugkit::gfx::IVectorBase
{
public:
  enum class LabelPos : int32_t
  {
    None = 0,
    Left = 1,
    Right = 2,
    Above = 3,
    Below = 4
  };

  // labelFraction is the share of the box the label takes (clamped to 0..1).
  IntDragControl(const plugkit::gfx::IRECT& bounds, int paramIdx, const plugkit::gfx::IVStyle& style,
                 std::string_view label = {}, LabelPos labelPos = LabelPos::None, float labelFraction = 0.5f,
                 double gearing = plugkit::gfx::DEFAULT_GEARING);

  void Draw(plugkit::gfx::IGfx& g) override;

  // The value's text: the parameter's display text, else the value as a whole number.
  std::string valueText() const;
  // The parts of the rectangle the label and the value take; the label part is empty when none is drawn.
  void split(plugkit::gfx::IRECT& labelRect, plugkit::gfx::IRECT& valueRect) const;

private:
  std::string mLabel;
  LabelPos mLabelPos;
  float mLabelFraction;
};

} // namespace zarvo::ui
