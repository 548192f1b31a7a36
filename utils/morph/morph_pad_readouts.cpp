// The weight histogram of the settings mode and the level labels on the iso lines: drawn by the
// overlay's own readouts where they exist, else here.
#include <algorithm>
#include <cmath>

#include <fmt/format.h>

#include "utils/morph/morph_pad_control.h"

#if __has_include("utils/morph/weight_histogram.h") && __has_include("utils/morph/level_labels.h")
#include "utils/morph/level_labels.h"
#include "utils/morph/weight_histogram.h"

namespace zarvo::morph {

using namespace plugkit::gfx;

std::string MorphPadControl::fracLabel(float v) { return zarvo::morph::fracLabel(v); }

void MorphPadControl::drawHistogram(IGfx& g, const IText& text)
{
  const WeightHistogram::Style style{text, hoverColour(), GetColor(EVColor::BG), pointGlyph, pointGlyphFont};
  WeightHistogram::draw(g, GetRECT(), engine, GetValue(0), GetValue(1), overlay, style, &mBlend);
}

void MorphPadControl::drawContourLabels(IGfx& g, const IText& text)
{
  drawLevelLabels(g, overlay, GetRECT(), text, GetColor(EVColor::BG), &mBlend);
}

} // namespace zarvo::morph

#else

namespace zarvo::morph {

using namespace plugkit::gfx;

std::string MorphPadControl::fracLabel(float v)
{
  if (v <= 0.f)
    return "0";
  if (v >= 1.f)
    return "1";
  std::string s = fmt::format("{:.2g}", v);
  if (s.rfind("0.", 0) == 0)
    s.erase(0, 1);
  return s;
}

void MorphPadControl::drawHistogram(IGfx& g, const IText& text)
{
  const auto& pts = engine.editState.points;
  std::array<int, kNumPoints> bars{};
  int n = 0;
  for (int i = 0; i < static_cast<int>(kNumPoints); ++i)
    if (pts[static_cast<size_t>(i)].active)
      bars[static_cast<size_t>(n++)] = i;
  if (n == 0)
    return;

  Scales scales{};
  Weights w{};
  engine.computeScales(engine.editState, scales);
  engine.computeWeightsInto(engine.editState, GetValue(0), GetValue(1), w, scales, true, 1.0);

  const IRECT& r = GetRECT();
  const float gap = std::max(6.f, (r.H() - 273.f) / 6.f);
  const IRECT box(r.L + 6, r.T + 52 + gap, r.L + 174, r.T + 141 + gap);
  IColor panel = GetColor(EVColor::BG);
  panel.A = 210;
  g.FillRect(panel, box.GetPadded(5.f), &mBlend);

  const float s = text.mSize;
  const float lb = n < 11 ? 20.f : 2.f * s + 0.5f;
  const float yb = box.B - lb;
  const float hmax = 89.f - lb;
  const float x0 = box.L + 168.f / 8.f;
  const float bw = (box.R - x0) / static_cast<float>(n);
  const float barW = std::min(24.f, bw - 6.f);
  IColor ref = hoverColour();
  ref.R = std::min(255, ref.R + 30);
  ref.G = std::min(255, ref.G + 30);
  ref.B = std::min(255, ref.B + 30);

  const std::vector<float> levels = overlay.histogramRefLevels();
  for (float f : levels)
    g.DrawLine(ref, x0, yb - f * hmax, box.R, yb - f * hmax, &mBlend);

  int numbered = 0;
  for (int k = 0; k < n; ++k)
  {
    const int p = bars[static_cast<size_t>(k)];
    const float cx = x0 + (static_cast<float>(k) + 0.5f) * bw;
    const float h = std::clamp(static_cast<float>(w[static_cast<size_t>(p)]), 0.f, 1.f) * hmax;
    g.FillRect(hoverColour(), IRECT(cx - barW / 2.f, yb - h, cx + barW / 2.f, yb), &mBlend);

    IText t = text;
    std::string label = std::to_string(p);
    if (p == 0)
    {
      label = pointGlyph;
      if (!pointGlyphFont.empty())
        t.SetFont(pointGlyphFont.c_str());
    }
    if (n < 11)
    {
      g.DrawText(t, label.c_str(), IRECT(cx - 0.5f * bw, yb, cx + 0.5f * bw, yb + 20.f), &mBlend);
      continue;
    }
    const int row = p == 0 ? 1 : (numbered++ % 2);
    const float top = yb + static_cast<float>(row) * (s + 0.5f);
    t.mVAlign = row == 0 ? EVAlign::Bottom : EVAlign::Top;
    g.DrawText(t, label.c_str(), IRECT(cx - 0.9f * bw, top, cx + 0.9f * bw, top + s), &mBlend);
  }

  IText small = text;
  small.mSize = text.mSize * 0.7f;
  small.mFGColor = ref;
  small.mAlign = EAlign::Far;
  small.mVAlign = EVAlign::Middle;
  for (float f : levels)
  {
    const float y = yb - f * hmax;
    g.DrawText(small, fracLabel(f).c_str(), IRECT(box.L, y - small.mSize, x0 - 2.f, y + small.mSize), &mBlend);
  }
}

void MorphPadControl::drawContourLabels(IGfx& g, const IText& text)
{
  if (!overlay.showIsoLines || !overlay.showLabels || overlay.lineBrightness <= 0.001f || overlay.contourLabels.empty())
    return;
  IText t = text;
  t.mSize = overlay.labelTextSize;
  const int grey =
    static_cast<int>(std::lroundf(static_cast<float>(overlay.grayMin) +
                                  static_cast<float>(overlay.grayMax - overlay.grayMin) * overlay.lineBrightness));
  t.mFGColor = IColor(255, grey, grey, grey);
  const IRECT& r = GetRECT();
  for (const auto& label : overlay.contourLabels)
  {
    const float cx = r.L + r.W() * label.u;
    const float cy = r.B - r.H() * label.v;
    const IRECT box(cx - 8.f, cy - 6.f, cx + 8.f, cy + 6.f);
    g.FillRoundRect(GetColor(EVColor::BG), box, 2.f, &mBlend);
    g.DrawText(t, fracLabel(label.level).c_str(), box, &mBlend);
  }
}

} // namespace zarvo::morph

#endif
