#include "utils/morph/weight_histogram.h"

#include <algorithm>
#include <span>
#include <string>

#include "IGfx/IGfx.h"
#include "utils/morph/level_labels.h"
#include "utils/morph/morph_field_overlay.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

namespace {
constexpr float kBoxWidth = 168.f;
constexpr float kBoxHeight = 89.f;
} // namespace

WeightHistogram::Layout WeightHistogram::layout(const IRECT& pad, int bars, float textSize)
{
  Layout l;
  // The same gap the action rows below use.
  const float gap = std::max(6.f, (pad.H() - 273.f) / 6.f);
  l.box = IRECT(pad.L + 6.f, pad.T + 52.f + gap, pad.L + 6.f + kBoxWidth, pad.T + 52.f + gap + kBoxHeight);
  l.twoRows = bars >= 11;
  l.labelBand = l.twoRows ? 2.f * textSize + 0.5f : 20.f;
  l.baseline = l.box.B - l.labelBand;
  l.fullHeight = kBoxHeight - l.labelBand;
  l.x0 = l.box.L + kBoxWidth / 8.f;
  l.pitch = bars > 0 ? (l.box.R - l.x0) / static_cast<float>(bars) : 0.f;
  l.barWidth = std::min(24.f, l.pitch - 6.f);
  return l;
}

int WeightHistogram::barsOf(const MorphEngine& engine, std::array<int, kNumPoints>& out)
{
  int n = 0;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (engine.editState().points[i].active)
      out[static_cast<size_t>(n++)] = static_cast<int>(i);
  }
  return n;
}

void WeightHistogram::draw(IGfx& g, const IRECT& pad, const MorphEngine& engine, double x, double y,
                           const MorphFieldOverlay& overlay, const Style& style, const IBlend* blend)
{
  std::array<int, kNumPoints> bars{};
  const int n = barsOf(engine, bars);
  if (n == 0)
    return;

  Scales scales{};
  engine.computeScales(engine.editState(), scales);
  Weights weights{};
  engine.computeWeightsInto(engine.editState(), x, y, weights, scales, true, 1.0);

  std::array<float, 6> refs{};
  const std::span<const float> refLevels(refs.data(), static_cast<size_t>(overlay.histogramRefLevelsInto(refs)));
  const float s = style.text.mSize;
  const Layout l = layout(pad, n, s);
  IColor panel = style.background;
  panel.A = 210;
  g.FillRect(panel, l.box.GetPadded(5.f), blend);

  const IColor ref(style.hover.A, std::min(255, style.hover.R + 30), std::min(255, style.hover.G + 30),
                   std::min(255, style.hover.B + 30));
  for (const float f : refLevels)
    g.DrawLine(ref, l.x0, l.levelY(f), l.box.R, l.levelY(f), blend, 1.f);

  IText label = style.text;
  label.mAlign = EAlign::Center;
  int numbered = 0;
  for (int k = 0; k < n; ++k)
  {
    const int p = bars[static_cast<size_t>(k)];
    const float cx = l.barCentre(k);
    const float height = static_cast<float>(std::clamp(weights[static_cast<size_t>(p)], 0.0, 1.0)) * l.fullHeight;
    g.FillRect(style.hover, IRECT(cx - 0.5f * l.barWidth, l.baseline - height, cx + 0.5f * l.barWidth, l.baseline),
               blend);

    IText text = label;
    std::string str;
    if (p == 0)
    {
      str = style.pointGlyph;
      if (!style.pointGlyphFont.empty())
        text.SetFont(style.pointGlyphFont.c_str());
    }
    else
      str = std::to_string(p);

    IRECT where;
    if (!l.twoRows)
    {
      text.mVAlign = EVAlign::Middle;
      where = IRECT(cx - 0.5f * l.pitch, l.baseline, cx + 0.5f * l.pitch, l.baseline + 20.f);
    }
    else
    {
      // Two rows so that neighbouring numbers never touch: the teleport glyph below, the numbers
      // alternating from the top row.
      const int row = p == 0 ? 1 : (numbered++ % 2);
      const float top = l.baseline + static_cast<float>(row) * (s + 0.5f);
      text.mVAlign = row == 0 ? EVAlign::Bottom : EVAlign::Top;
      where = IRECT(cx - 0.9f * l.pitch, top, cx + 0.9f * l.pitch, top + s);
    }
    g.DrawText(text, str.c_str(), where, blend);
  }

  IText refText = style.text;
  const float small = 0.7f * s;
  refText.mSize = small;
  refText.mFGColor = ref;
  refText.mAlign = EAlign::Far;
  refText.mVAlign = EVAlign::Middle;
  for (const float f : refLevels)
  {
    const float yl = l.levelY(f);
    g.DrawText(refText, fracLabel(f).c_str(), IRECT(l.box.L, yl - small, l.x0 - 2.f, yl + small), blend);
  }
}

} // namespace zarvo::morph
