// The field overlay, built alongside the pad: its real header is used once it exists; until then a
// minimal private version with the same interface stands in, so the pad builds and draws without it.
#pragma once

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "IGfx/IGfx.h"
#include "IGfx/IRECT.h"
#include "IGfx/IText.h"

#if __has_include("utils/morph/morph_field_overlay.h")
#include "utils/morph/morph_field_overlay.h"
#else
namespace zarvo::morph {

class MorphEngine;

// The cached line work over the field; this version keeps the settings and draws the guide grid.
class MorphFieldOverlay
{
public:
  struct LabelAnchor
  {
    float u = 0.f;
    float v = 0.f;
    float level = 0.f;
  };

  bool showIsoLines = true;
  bool showRidges = true;
  bool showLinks = true;
  bool showCells = true;
  float cellBorderStrength = 0.f;
  bool showLabels = true;
  float labelTextSize = 12.f;
  float lineBrightness = 0.42f;
  int grayMin = 45;
  int grayMax = 162;
  int isoLevels = 6;
  int isoLevelCount = 7;
  float samplePitch = 2.f;
  float gridStep = 1.f / 11.f;
  double signature = std::numeric_limits<double>::quiet_NaN();
  plugkit::gfx::IRECT bounds;
  std::vector<LabelAnchor> contourLabels;

  void rebuildIfNeeded(const MorphEngine&, const plugkit::gfx::IRECT& r) { bounds = r; }
  void draw(plugkit::gfx::IGfx& g, const plugkit::gfx::IBlend* blend) const
  {
    if (lineBrightness <= 0.001f)
      return;
    const float b = lineBrightness * 0.5476191f;
    if (b <= 0.001f)
      return;
    const int grey = static_cast<int>(std::lroundf(b * static_cast<float>(grayMax - grayMin) + grayMin));
    const plugkit::gfx::IColor c(255, grey, grey, grey);
    const float s = std::fmax(bounds.W() * gridStep, 8.f);
    const float cx = bounds.MW();
    const float cy = bounds.MH();
    for (float x = cx + s / 2.f; x < bounds.R; x += s)
      g.DrawLine(c, x, bounds.T, x, bounds.B, blend);
    for (float x = cx - s / 2.f; x > bounds.L; x -= s)
      g.DrawLine(c, x, bounds.T, x, bounds.B, blend);
    for (float y = cy + s / 2.f; y < bounds.B; y += s)
      g.DrawLine(c, bounds.L, y, bounds.R, y, blend);
    for (float y = cy - s / 2.f; y > bounds.T; y -= s)
      g.DrawLine(c, bounds.L, y, bounds.R, y, blend);
  }
  std::vector<float> histogramRefLevels() const { return {0.f, 0.25f, 0.5f, 0.75f, 1.f}; }
};

} // namespace zarvo::morph
#endif
