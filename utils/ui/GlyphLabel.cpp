#include "utils/ui/GlyphLabel.h"

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

void drawGlyphLabel(IGfx& g, const GlyphLabel& label, const IRECT& bounds, const IText& style, const IBlend* blend,
                    float spacing)
{
  auto styleOf = [&style](const GlyphRun& run) {
    IText t = style;
    if (!run.font.empty())
      t.SetFont(run.font.c_str());
    t.mAlign = EAlign::Center;
    t.mVAlign = EVAlign::Middle;
    return t;
  };
  if (label.runs.empty())
    return;
  if (label.runs.size() == 1)
  {
    g.DrawText(styleOf(label.runs[0]), label.runs[0].text.c_str(), bounds, blend);
    return;
  }
  std::vector<float> widths;
  float total = spacing * static_cast<float>(label.runs.size() - 1);
  for (const GlyphRun& run : label.runs)
  {
    IRECT measured;
    widths.push_back(g.MeasureText(styleOf(run), run.text.c_str(), measured));
    total += widths.back();
  }
  float x = (bounds.L + bounds.R) / 2.f - total / 2.f;
  for (size_t i = 0; i < label.runs.size(); ++i)
  {
    g.DrawText(styleOf(label.runs[i]), label.runs[i].text.c_str(), IRECT(x, bounds.T, x + widths[i], bounds.B), blend);
    x += widths[i] + spacing;
  }
}

} // namespace zarvo::ui
