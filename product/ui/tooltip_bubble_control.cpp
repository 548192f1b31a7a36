#include "product/ui/tooltip_bubble_control.h"

#include <algorithm>
#include <string_view>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"

namespace vemlor::ui {

using plugkit::gfx::EAlign;
using plugkit::gfx::EDirection;
using plugkit::gfx::EVAlign;
using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;
using plugkit::gfx::IText;

namespace {

constexpr float kMaxWrapWidth = 360.f;
// Room kept free beside the wrapped text in a narrow editor.
constexpr float kEditorMargin = 24.f;
// Keeps the bubble from ending in the last pixels before the right edge.
constexpr float kRightEdgeMargin = 10.f;

float measure(plugkit::gfx::IGfx& g, const IText& style, const std::string& s)
{
  IRECT r;
  return g.MeasureText(style, s.c_str(), r);
}

} // namespace

TooltipBubbleControl::TooltipBubbleControl(const IText& text, const plugkit::gfx::IColor& fill,
                                           const plugkit::gfx::IColor& frame, float roundness)
  : IBubbleControl(text, fill, frame, roundness)
{
  mHorizontalPadding = 0.f;
  mDirection = EDirection::Horizontal;
}

TooltipBubbleControl::~TooltipBubbleControl() = default;

IRECT TooltipBubbleControl::place(const IRECT& anchor, EArrowDir& arrow)
{
  IRECT content;
  MeasureText(mStr.Get(), content);
  const float w = content.W() + 2.f * mDropShadowSize;
  const float h = content.H() + 2.f * mDropShadowSize;
  const float cy = (anchor.T + anchor.B) / 2.f;
  if (anchor.R + w > mMaxBounds.R - kRightEdgeMargin)
  {
    arrow = kEast;
    return IRECT(anchor.L - w, cy - h / 2.f, anchor.L, cy + h / 2.f);
  }
  arrow = kWest;
  return IRECT(anchor.R, cy - h / 2.f, anchor.R + w, cy + h / 2.f);
}

IRECT TooltipBubbleControl::clamped(const IRECT& r) const
{
  float dx = std::min(0.f, mMaxBounds.R - r.R);
  if (r.L + dx < mMaxBounds.L)
    dx = mMaxBounds.L - r.L;
  float dy = std::min(0.f, mMaxBounds.B - r.B);
  if (r.T + dy < mMaxBounds.T)
    dy = mMaxBounds.T - r.T;
  return r.GetTranslated(dx, dy);
}

void TooltipBubbleControl::showTooltip(IControl* caller, const IRECT& anchor, const char* text)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  helpWanted = true;
  mDirection = EDirection::Horizontal;
  const std::string_view newText = text ? text : "";
  const bool textChanged = newText != mStr.Get();
  mStr.Set(text ? text : "");
  if (mMaxBounds.W() == 0.f && mGraphics)
    mMaxBounds = IRECT(0.f, 0.f, static_cast<float>(mGraphics->Width()), static_cast<float>(mGraphics->Height()));

  EArrowDir arrow = kWest;
  const IRECT bubble = place(anchor, arrow);
  mArrowDir = arrow;
  // A bubble that would land where it already is changes nothing, so a resting pointer redraws nothing.
  if (mMaxBounds.W() <= 0.f || clamped(bubble) != mBubbleBounds)
    MoveBubble(bubble);
  else if (textChanged)
    SetDirty(false);
  Expand(caller);
  clampIntoBounds();
}

void TooltipBubbleControl::hideTooltip()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!helpWanted)
    return;
  helpWanted = false;
  if (mState == kExpanding || mState == kShown)
  {
    mState = kCollapsing;
    StartAnimation(kFadeMs);
    SetDirty(false);
  }
}

void TooltipBubbleControl::clampIntoBounds()
{
  if (mMaxBounds.W() <= 0.f)
    return;
  mBubbleBounds = clamped(mBubbleBounds);
  if (mBubbleBounds == appliedRect)
    return;
  appliedRect = mBubbleBounds;
  SetTargetAndDrawRECTs(mBubbleBounds);
  ClearMouseIsOver();
  OnResize();
  if (mGraphics)
    mGraphics->SetAllControlsDirty();
}

void TooltipBubbleControl::wrap(plugkit::gfx::IGfx& g, const char* text)
{
  const std::string_view str = text ? text : "";
  if (str == wrappedText && !lines.empty())
    return;
  wrappedText = str;
  lines.clear();

  IRECT ag;
  g.MeasureText(mText, "Ag", ag);
  lineHeight = 1.2f * std::max(mText.mSize, ag.H());
  const float wrapWidth = std::min(static_cast<float>(g.Width()) - kEditorMargin, kMaxWrapWidth);

  float widest = 0.f;
  auto finishLine = [&](std::string& line) {
    widest = std::max(widest, measure(g, mText, line));
    lines.push_back(std::move(line));
    line.clear();
  };
  size_t start = 0;
  while (!str.empty() && start <= str.size())
  {
    const size_t end = std::min(str.find('\n', start), str.size());
    const std::string_view paragraph = str.substr(start, end - start);
    start = end + 1;
    if (paragraph.empty())
    {
      lines.emplace_back();
      continue;
    }
    std::string line;
    size_t wordStart = 0;
    while (wordStart <= paragraph.size())
    {
      const size_t wordEnd = std::min(paragraph.find(' ', wordStart), paragraph.size());
      const std::string_view word = paragraph.substr(wordStart, wordEnd - wordStart);
      wordStart = wordEnd + 1;
      if (line.empty())
      {
        // A word wider than the wrap width gets a line of its own; it is never broken.
        line = word;
        continue;
      }
      std::string candidate = line + " " + std::string(word);
      if (measure(g, mText, candidate) <= wrapWidth)
        line = std::move(candidate);
      else
      {
        finishLine(line);
        line = word;
      }
    }
    finishLine(line);
  }
  if (lines.empty())
    lines.emplace_back();
  contentWidth = std::clamp(widest, 1.f, std::max(1.f, wrapWidth));
}

void TooltipBubbleControl::MeasureText(const char* text, IRECT& bounds)
{
  if (!mGraphics)
  {
    bounds = IRECT();
    return;
  }
  wrap(*mGraphics, text);
  bounds = IRECT(0.f, 0.f, contentWidth + 2.f * insetX, static_cast<float>(lines.size()) * lineHeight + 2.f * insetY);
}

void TooltipBubbleControl::DrawContent(plugkit::gfx::IGfx& g, const IRECT& body)
{
  wrap(g, mStr.Get());
  if (lines.empty())
    return;
  IText style = mText;
  style.mAlign = EAlign::Near;
  style.mVAlign = EVAlign::Middle;
  const IRECT band(body.L + insetX, body.T + insetY, body.R - insetX, body.B - insetY);
  const float slot = band.H() / static_cast<float>(lines.size());
  for (size_t i = 0; i < lines.size(); ++i)
  {
    if (lines[i].empty())
      continue;
    const float top = band.T + slot * static_cast<float>(i);
    g.DrawText(style, lines[i].c_str(), IRECT(band.L, top, band.R, top + slot), &mBlend);
  }
}

} // namespace vemlor::ui
