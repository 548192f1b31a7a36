#include "utils/ui/GlyphButtonControl.h"

#include "IGfx/IGfx.h"

namespace zarvo::ui {

using plugkit::gfx::EVColor;
using plugkit::gfx::IColor;
using plugkit::gfx::IControl;
using plugkit::gfx::IMouseMod;
using plugkit::gfx::IText;

namespace {

constexpr int32_t kDrawsPerPoll = 20;
// Text alpha of a disabled button: about a third of full.
constexpr int kDisabledTextAlpha = 89;

} // namespace

GlyphButtonControl::GlyphButtonControl(const plugkit::gfx::IRECT& bounds, GlyphLabel label_,
                                       std::function<void(IControl*)> action_, const plugkit::gfx::IVStyle& style)
  : IControl(bounds, -1)
  , IVectorBase(style, false, false)
  , label(std::move(label_))
  , action(std::move(action_))
{
  AttachIControl(this, "");
  // A quick second click is a click of its own: a toggle that took it for a double click would lose it.
  SetDblAsSingleClick(true);
}

GlyphButtonControl::~GlyphButtonControl() = default;

void GlyphButtonControl::OnMouseDown(float, float, const IMouseMod&)
{
  if (!enabled)
    return;
  pressed = true;
  SetDirty(false);
}

void GlyphButtonControl::OnMouseUp(float x, float y, const IMouseMod&)
{
  pressed = false;
  SetDirty(false);
  if (enabled && action && mRECT.Contains(x, y))
    action(this);
}

void GlyphButtonControl::Draw(plugkit::gfx::IGfx& g)
{
  if (enabledQuery)
  {
    if (enabledPollCountdown-- <= 1)
    {
      enabledPollCountdown = kDrawsPerPoll;
      enabled = enabledQuery();
    }
  }

  const IColor& bg = GetColor(EVColor::BG);
  if (bg.A > 0)
    g.FillRect(bg, mRECT, &mBlend);
  if (enabled)
  {
    if (pressed)
      g.FillRect(GetColor(EVColor::PR), mRECT, &mBlend);
    else if (GetMouseIsOver())
      g.FillRect(GetColor(EVColor::HL), mRECT, &mBlend);
  }
  const IColor& frame = GetColor(EVColor::FR);
  if (frame.A > 0)
    g.DrawRect(frame, mRECT, &mBlend, 1.f);

  IText text = mStyle.valueText;
  if (GetMouseIsOver() && useHoverTextColor && enabled)
    text.mFGColor = hoverTextColor;
  else if (!enabled)
    text.mFGColor.A = kDisabledTextAlpha;
  drawGlyphLabel(g, label, mRECT, text, &mBlend, spacing);
}

bool GlyphButtonControl::IsDirty() { return enabledQuery ? true : IControl::IsDirty(); }

} // namespace zarvo::ui
