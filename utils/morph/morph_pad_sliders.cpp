// The pad's sliders: field contrast, the three appearance settings, point size, shape and cutoff
// contrast, and the spread of a selection.
#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "utils/morph/field_appearance.h"
#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

namespace {

// A mouse x on the span [x0, x0 + w] as a fraction: absolute, or in fine mode 18% of the pointer's
// travel added to the current fraction.
float sliderT(float x, float lastX, float x0, float w, float current, bool fine)
{
  float t = 0.f;
  if (fine && w > 0.f)
    t = std::clamp(current, 0.f, 1.f) + (x - lastX) / w * 0.18f;
  else
    t = w > 0.f ? (x - x0) / w : 0.f;
  return std::clamp(t, 0.f, 1.f);
}

} // namespace

IRECT MorphPadControl::apprSliderRect(int index) const
{
  const IRECT& r = GetRECT();
  switch (index)
  {
  case 0: return IRECT(r.L + 6, r.B - 52, r.L + 174, r.B - 32);
  case 1: return IRECT(r.L + 6, r.B - 26, r.L + 87, r.B - 6);
  case 2: return IRECT(r.L + 93, r.B - 26, r.L + 174, r.B - 6);
  default: return IRECT();
  }
}

std::string MorphPadControl::apprSliderLabel(int index) const
{
  switch (index)
  {
  case 0: return fmt::format("lines {:.0f}%", overlay.lineBrightness * 100.f);
  case 1: return fmt::format("iso {}", overlay.isoLevelCount);
  case 2: return fmt::format("grid {:.1f}", 1.f / overlay.gridStep);
  default: return {};
  }
}

float MorphPadControl::apprSliderShown(int index) const
{
  using namespace appearance;
  switch (index)
  {
  case 0: return std::clamp(overlay.lineBrightness, 0.f, 1.f);
  case 1: return std::clamp(static_cast<float>(overlay.isoLevels) / static_cast<float>(kMaxIsoLevels), 0.f, 1.f);
  case 2: return std::clamp((1.f / overlay.gridStep - 1.f) / (kMaxGridCells - 1.f), 0.f, 1.f);
  default: return 0.f;
  }
}

void MorphPadControl::setApprFromX(int index, float x, bool fine)
{
  const float lastX = sliderLastX;
  sliderLastX = x;
  const IRECT& r = GetRECT();
  if (index == 0)
  {
    const float t = sliderT(x, lastX, r.L + 6, 168.f, overlay.lineBrightness, fine);
    overlay.lineBrightness = std::clamp(t, 0.f, 1.f);
  }
  else if (index == 1)
  {
    const float t = sliderT(x, lastX, r.L + 6, 81.f, apprSliderShown(1), fine);
    overlay.setIsoLevels(static_cast<int>(std::lroundf(static_cast<float>(appearance::kMaxIsoLevels) * t)));
  }
  else if (index == 2)
  {
    const float t =
      sliderT(x, lastX, r.L + 93, 81.f, (1.f / overlay.gridStep - 1.f) / (appearance::kMaxGridCells - 1.f), fine);
    const float cells = 1.f + (appearance::kMaxGridCells - 1.f) * t;
    overlay.gridStep = appearance::clampGridStep(1.f / cells);
  }
  else
  {
    return;
  }
  if (onAppearanceChanged)
    onAppearanceChanged(overlay.lineBrightness, overlay.isoLevels, overlay.gridStep);
  SetDirty(false);
}

void MorphPadControl::setSigmaFromT(float t)
{
  using namespace appearance;
  engine.setSigma(clampSigma(kMaxSigma - (kMaxSigma - kMinSigma) * static_cast<double>(t)));
}

void MorphPadControl::setContrastFromX(float x, bool fine)
{
  const float lastX = sliderLastX;
  sliderLastX = x;
  const float current = appearance::contrastOf(engine.editState().sigma);
  setSigmaFromT(sliderT(x, lastX, GetRECT().L + 6, 168.f, current, fine));
  // Contrast changes the sound: the controller re-resolves and republishes.
  SetDirty(true);
}

void MorphPadControl::setSizeFromX(float x, bool fine)
{
  const float lastX = sliderLastX;
  sliderLastX = x;
  const float current = static_cast<float>(engine.pointScale()) - 1.f;
  const float t = sliderT(x, lastX, GetRECT().L + 6, 168.f, current, fine);
  engine.setPointScale(std::clamp(1.0 + static_cast<double>(t), 1.0, 2.0));
  engine.setSnapRadii(engine.pointScale() * MorphEngine::kSnapRadiusPerScale,
                      engine.pointScale() * MorphEngine::kCentreSnapRadiusPerScale);
  OnResize();
  relaxAllPoints(0);
  SetDirty(true);
}

void MorphPadControl::setShapeContrastFromX(float x, bool)
{
  sliderLastX = x;
  const IRECT& r = GetRECT();
  engine.setShapeContrast(std::clamp(static_cast<double>((x - (r.L + 6)) / 168.f), 0.0, 1.0));
  SetDirty(true);
}

void MorphPadControl::setCutoffContrastFromX(float x, bool)
{
  sliderLastX = x;
  const IRECT& r = GetRECT();
  engine.setCutoffContrast(std::clamp(static_cast<double>((x - (r.L + 6)) / 168.f), 0.0, 1.0));
  SetDirty(true);
}

IRECT MorphPadControl::spreadSliderRect() const { return contrastSliderRect(); }

bool MorphPadControl::spreadSliderShown() const
{
  if (engine.editing() || engine.padOption())
    return false;
  int count = 0;
  for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
    if ((engine.selection() >> i) & 1u)
      ++count;
  return count >= 2;
}

void MorphPadControl::configureSlider(const IRECT& r)
{
  sliderWidget.trackColor = hasDarkColor ? darkColor : GetColor(EVColor::BG);
  const bool over = mouseInside && r.Contains(mousePos[0], mousePos[1]);
  sliderWidget.fillColor = over ? accent() : hoverColour();
  sliderWidget.text = padText();
}

void MorphPadControl::drawFieldGroup(IGfx& g, const IText& text)
{
  const IRECT r = contrastSliderRect();
  configureSlider(r);
  const float shown = appearance::contrastOf(engine.editState().sigma);
  sliderWidget.draw(g, r, shown, std::string(), &mBlend);
  zarvo::ui::drawGlyphLabel(g, contrastLabel + GlyphLabel(fmt::format(" {:.2f}", shown)), r, text, &mBlend,
                            glyphRunGap);
  drawAppearanceSliders(g, text);
}

void MorphPadControl::drawAppearanceSliders(IGfx& g, const IText& text)
{
  for (int i = 0; i < 3; ++i)
  {
    const IRECT r = apprSliderRect(i);
    configureSlider(r);
    if (i == 0)
    {
      sliderWidget.draw(g, r, apprSliderShown(0), std::string(), &mBlend);
      zarvo::ui::drawGlyphLabel(g, linesLabel + GlyphLabel(fmt::format(" {:.0f}%", overlay.lineBrightness * 100.f)), r,
                                text, &mBlend, glyphRunGap);
    }
    else
    {
      sliderWidget.draw(g, r, apprSliderShown(i), apprSliderLabel(i), &mBlend);
    }
  }
}

void MorphPadControl::drawSpreadSlider(IGfx& g, const IText& text)
{
  const IRECT r = spreadSliderRect();
  configureSlider(r);
  const float shown = spreadValue;
  sliderWidget.draw(g, r, shown, std::string(), &mBlend);
  const float factor = shown / std::max(0.01f, spreadAtStart);
  const std::string value = spreadSliderDrag ? fmt::format(" {:.0f}%", factor * 100.f) : std::string();
  zarvo::ui::drawGlyphLabel(g, spreadLabel + GlyphLabel(value), r, text, &mBlend, glyphRunGap);
}

} // namespace zarvo::morph
