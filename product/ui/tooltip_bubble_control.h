// The editor's single help bubble: a wrapped help text beside the hovered control, fading in and out;
// it also carries the framework's value readouts.
#pragma once

#include <string>
#include <vector>

#include "IGfx/Controls/IBubbleControl.h"
#include "product/ui/theme.h"

namespace vemlor::ui {

// Main thread only (idle timer and editor events).
class TooltipBubbleControl : public plugkit::gfx::IBubbleControl
{
public:
  // Starts hidden and ignores the mouse; the base's extra text margin is dropped for insetX and insetY.
  TooltipBubbleControl(const plugkit::gfx::IText& text = smallTxtWhite, const plugkit::gfx::IColor& fill = colDarkGray,
                       const plugkit::gfx::IColor& frame = colLightGray, float roundness = 5.f);
  ~TooltipBubbleControl() override;

  // Shows text beside anchor, a rectangle of caller; cheap to repeat with the same arguments.
  void showTooltip(plugkit::gfx::IControl* caller, const plugkit::gfx::IRECT& anchor, const char* text);
  // Fades a shown help text out.
  void hideTooltip();

  // The wrapped content size plus the insets, from (0, 0).
  void MeasureText(const char* text, plugkit::gfx::IRECT& bounds) override;
  void DrawContent(plugkit::gfx::IGfx& g, const plugkit::gfx::IRECT& body) override;

  // Keeps the bubble inside the maximum bounds and applies it to the control.
  void clampIntoBounds();
  // Fills lines, lineHeight and contentWidth; nothing to do for the text already wrapped.
  void wrap(plugkit::gfx::IGfx& g, const char* text);

  std::vector<std::string> lines;
  std::string wrappedText;
  float lineHeight = 0.f;
  float contentWidth = 0.f;
  float insetX = 15.f;
  float insetY = 7.f;
  plugkit::gfx::IRECT appliedRect;
  bool helpWanted = false;

private:
  // A value readout holds and then fades once its caller is let go; a help text stays until hidden.
  bool HoldsWhenShown() const override { return !helpWanted; }
  // The bubble placed beside anchor, and its arrow.
  plugkit::gfx::IRECT place(const plugkit::gfx::IRECT& anchor, EArrowDir& arrow);
  // r moved to lie inside the maximum bounds, as far as it fits.
  plugkit::gfx::IRECT clamped(const plugkit::gfx::IRECT& r) const;
};

} // namespace vemlor::ui
