#include "utils/ui/GlyphLabel.h"

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using plugkit::gfx::EAlign;
using plugkit::gfx::EVAlign;
using plugkit::gfx::IRECT;
using plugkit::gfx::IText;

namespace {

// The style with the run's font, centred both ways.
IText runStyle(const IText& style, const GlyphRun& run)
{
  IText t = style;
  if (!run.font.empty())
    t.SetFont(run.font.c_str());
  t.mAlign = EAlign::Center;
  t.mVAlign = EVAlign::Middle;
  return t;
}

} // namespace

GlyphLabel::GlyphLabel(std::string_view text)
{
  if (!text.empty())
    runs.push_back(GlyphRun{std::string(text), {}});
}

GlyphLabel GlyphLabel::glyph(std::string_view text, std::string_view font)
{
  GlyphLabel label;
  label.runs.push_back(GlyphRun{std::string(text), std::string(font)});
  return label;
}

GlyphLabel& GlyphLabel::operator+=(const GlyphLabel& rhs)
{
  runs.insert(runs.end(), rhs.runs.begin(), rhs.runs.end());
  return *this;
}

void drawGlyphLabel(plugkit::gfx::IGfx& g, const GlyphLabel& label, const IRECT& bounds, const IText& style,
                    const plugkit::gfx::IBlend* blend, float spacing)
{
  if (label.runs.empty())
    return;
  if (label.runs.size() == 1)
  {
    g.DrawText(runStyle(style, label.runs.front()), label.runs.front().text.c_str(), bounds, blend);
    return;
  }

  std::vector<IText> styles;
  std::vector<float> widths;
  styles.reserve(label.runs.size());
  widths.reserve(label.runs.size());
  float total = spacing * static_cast<float>(label.runs.size() - 1);
  for (const GlyphRun& run : label.runs)
  {
    styles.push_back(runStyle(style, run));
    IRECT measured;
    widths.push_back(g.MeasureText(styles.back(), run.text.c_str(), measured));
    total += widths.back();
  }

  float x = (bounds.L + bounds.R) / 2.f - total / 2.f;
  for (size_t i = 0; i < label.runs.size(); ++i)
  {
    g.DrawText(styles[i], label.runs[i].text.c_str(), IRECT(x, bounds.T, x + widths[i], bounds.B), blend);
    x += widths[i] + spacing;
  }
}

} // namespace zarvo::ui
