// A section caption: a plain text control that the plug-in finds by its type and dims with its section.
#pragma once

#include "IGfx/Controls/ITextControl.h"

namespace vemlor::ui {

// Main thread only.
class SectionLabelControl : public plugkit::gfx::ITextControl
{
public:
  using ITextControl::ITextControl;

  // The opacity while disabled; applied at once when the caption is already disabled.
  void setDisabledAlpha(float alpha);
};

} // namespace vemlor::ui
