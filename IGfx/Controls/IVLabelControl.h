// A text label in the vector style, with an optional drop shadow and frame.
#pragma once

#include "IGfx/Controls/ITextControl.h"
#include "IGfx/Controls/IVectorBase.h"

namespace plugkit::gfx {

// Main thread only. Text changes go through SetStr, SetStrFmt and ClearStr.
class IVLabelControl : public ITextControl, public IVectorBase
{
public:
  IVLabelControl(const IRECT& bounds, const char* label, const IVStyle& style = DEFAULT_STYLE);

  void Draw(IGfx& g) override;
};

} // namespace plugkit::gfx
