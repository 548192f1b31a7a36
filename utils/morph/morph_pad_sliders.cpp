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
  engine.edit({.sigma = clampSigma(kMaxSigma - (kMaxSigma - kMinSigma) * static_cast<double>(t))});
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

IRECT MorphPadControl::fieldSliderRect(int index) const
{
  if (index < 0 || index >= kNumFieldSliders)
    return IRECT();
  const IRECT& r = GetRECT();
  // A narrow pad narrows them rather than letting them run past its right edge.
  const float w = std::clamp((r.W() - 186.f - 6.f * kNumFieldSliders) / kNumFieldSliders, 0.f, 168.f);
  const float left = r.L + 180.f + static_cast<float>(index) * (w + 6.f);
  return IRECT(left, r.B - 26.f, left + w, r.B - 6.f);
}

float MorphPadControl::fieldSliderShown(int index) const
{
  switch (index)
  {
  case 0: return std::clamp(static_cast<float>(engine.pointScale()) - 1.f, 0.f, 1.f);
  case 1: return std::clamp(static_cast<float>(engine.editState().shapeContrast), 0.f, 1.f);
  case 2: return std::clamp(static_cast<float>(engine.editState().cutoffContrast), 0.f, 1.f);
  default: return 0.f;
  }
}

std::string MorphPadControl::fieldSliderLabel(int index) const
{
  switch (index)
  {
  case 0: return fmt::format("point size {:.2f}", engine.pointScale());
  case 1: return fmt::format("shape contrast {:.2f}", engine.editState().shapeContrast);
  case 2: return fmt::format("cutoff contrast {:.2f}", engine.editState().cutoffContrast);
  default: return {};
  }
}

float MorphPadControl::fieldSliderT(int index, float x, bool fine) const
{
  const IRECT r = fieldSliderRect(index);
  return sliderT(x, sliderLastX, r.L, r.W(), fieldSliderShown(index), fine);
}

void MorphPadControl::dragFieldSlider(int index, float x, bool fine)
{
  if (std::fabs(fieldSliderT(index, x, fine) - fieldSliderShown(index)) > 1e-6f)
    openPointsEdit();
  switch (index)
  {
  case 0: setSizeFromX(x, fine); break;
  case 1: setShapeContrastFromX(x, fine); break;
  case 2: setCutoffContrastFromX(x, fine); break;
  default: break;
  }
}

void MorphPadControl::setSizeFromX(float x, bool fine)
{
  const float t = fieldSliderT(0, x, fine);
  sliderLastX = x;
  const double scale = std::clamp(1.0 + static_cast<double>(t), 1.0, 2.0);
  engine.edit({.snapRadius = scale * MorphEngine::kSnapRadiusPerScale,
               .centreSnapRadius = scale * MorphEngine::kCentreSnapRadiusPerScale,
               .pointScale = scale});
  OnResize();
  relaxAllPoints(0);
  // The snap radii change the sound: the controller re-resolves and republishes.
  SetDirty(true);
}

void MorphPadControl::setShapeContrastFromX(float x, bool fine)
{
  const float t = fieldSliderT(1, x, fine);
  sliderLastX = x;
  engine.edit({.shapeContrast = static_cast<double>(t)});
  SetDirty(true);
}

void MorphPadControl::setCutoffContrastFromX(float x, bool fine)
{
  const float t = fieldSliderT(2, x, fine);
  sliderLastX = x;
  engine.edit({.cutoffContrast = static_cast<double>(t)});
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
  drawFieldSliders(g);
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

void MorphPadControl::drawFieldSliders(IGfx& g)
{
  for (int i = 0; i < kNumFieldSliders; ++i)
  {
    const IRECT r = fieldSliderRect(i);
    if (r.W() <= 0.f)
      continue;
    configureSlider(r);
    sliderWidget.draw(g, r, fieldSliderShown(i), fieldSliderLabel(i), &mBlend);
  }
}

void MorphPadControl::drawSpreadSlider(IGfx& g, const IText& text)
{
  const IRECT r = spreadSliderRect();
  configureSlider(r);
  const float shown = spreadValue;
  sliderWidget.draw(g, r, shown, std::string(), &mBlend);
  const float factor = shown / std::max(0.01f, spreadAtStart);
  const std::string value = drag == Drag::spreadSlider ? fmt::format(" {:.0f}%", factor * 100.f) : std::string();
  zarvo::ui::drawGlyphLabel(g, spreadLabel + GlyphLabel(value), r, text, &mBlend, glyphRunGap);
}

} // namespace zarvo::morph
