// A horizontal or vertical slider drawn as a filled bar, with an optional label above it and a value
// text or caption on the bar.
#pragma once

#include <string>

#include "IGfx/IControlBases.h"
#include "utils/ui/SliderWidget.h"

namespace zarvo::ui {

// Main thread only.
class FillSliderControl : public plugkit::gfx::ISliderControlBase
{
public:
  // Colours: normal track, normal fill (also the hovered track), hovered fill. caption is shown on
  // the bar when no value display is chosen.
  FillSliderControl(const plugkit::gfx::IRECT& bounds, int paramIdx, const plugkit::gfx::IColor& track,
                    const plugkit::gfx::IColor& fill, const plugkit::gfx::IColor& hoverFill,
                    const plugkit::gfx::IText& valueText, const char* caption, double gearing = 1.,
                    plugkit::gfx::EDirection direction = plugkit::gfx::EDirection::Horizontal);

  void Draw(plugkit::gfx::IGfx& g) override;
  void OnMouseDown(float x, float y, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const plugkit::gfx::IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const plugkit::gfx::IMouseMod& mod) override;

  // The bar shows the parameter's display text.
  void setShowDisplayText(bool show);
  // The bar shows the parameter's value with that many decimals (0: a whole number).
  void setShowNumber(bool show, int decimals = 0);
  void setUnit(const std::string& unit);
  void setCaption(const std::string& caption);
  // A label above the bar; the bar then takes the lower half.
  void setLabel(const std::string& label, const plugkit::gfx::IText& labelText);
  void setLabel(const std::string& label) { setLabel(label, mLabelText); }
  void setFillOrigin(float origin);
  // 1 follows the track by the pointer's motion; any other mode drags relative to the press point.
  void setDragMode(int mode);

  // The text the bar shows for the current value.
  std::string barText() const;
  const SliderWidget& widget() const { return mWidget; }
  float fillOrigin() const { return mFillOrigin; }

private:
  SliderWidget mWidget;
  plugkit::gfx::IColor mTrackColor;
  plugkit::gfx::IColor mFillColor;
  plugkit::gfx::IColor mHoverFillColor;
  plugkit::gfx::IText mValueText;
  std::string mCaption;
  std::string mUnit;
  bool mShowDisplayText = false;
  bool mShowNumber = false;
  int mDecimals = 0;
  std::string mLabel;
  plugkit::gfx::IText mLabelText{14.f, plugkit::gfx::DEFAULT_TEXT_FGCOLOR, "Roboto-Regular"};
  float mFillOrigin = 0.f;
  int mDragMode = 0;
  float mPressX = 0.f;
  float mPressY = 0.f;
  bool mFine = false;
  double mStartValue = 0.;
};

} // namespace zarvo::ui
