#include "IGfx/Controls/IVectorBase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

namespace {

// (0, 0) for an empty string or without a context to measure in.
IRECT Measure(const IControl* control, const IText& text, const char* str)
{
  IRECT r;
  IGfx* g = control ? control->GetUI() : nullptr;
  if (!g || !str || !str[0])
    return r;
  g->MeasureText(text, str, r);
  return IRECT(0.f, 0.f, r.W(), r.H());
}

IRECT ScaledAboutCentre(const IRECT& r, float frac) { return r.GetCentredInside(r.W() * frac, r.H() * frac); }

} // namespace

IVectorBase::IVectorBase(const IVStyle& style, bool labelInWidget, bool valueInWidget)
  : mLabelInWidget(labelInWidget)
  , mValueInWidget(valueInWidget)
{
  IVectorBase::SetStyle(style);
}

void IVectorBase::AttachIControl(IControl* control, const char* label)
{
  mControl = control;
  SetLabelStr(label);
}

void IVectorBase::SetStyle(const IVStyle& style)
{
  mStyle = style;
  OnStyleChanged();
}

void IVectorBase::DrawBackground(IGfx& g, const IRECT& rect)
{
  g.FillRect(GetColor(EVColor::BG), rect, &mControl->GetBlend());
}

void IVectorBase::DrawLabel(IGfx& g)
{
  if (mLabelBounds.H() != 0.f && mStyle.showLabel)
    g.DrawText(mStyle.labelText, mLabelStr.Get(), mLabelBounds, &mControl->GetBlend());
}

void IVectorBase::DrawValue(IGfx& g, bool mouseOver)
{
  if (mouseOver)
    g.FillRect(COLOR_TRANSLUCENT, mValueBounds);
  if (mStyle.showValue)
    g.DrawText(mStyle.valueText, mValueStr.Get(), mValueBounds, &mControl->GetBlend());
}

void IVectorBase::DrawPressableShape(IGfx& g, EVShape shape, const IRECT& bounds, bool pressed, bool mouseOver,
                                     bool disabled)
{
  switch (shape)
  {
  case EVShape::Rectangle:
  case EVShape::RoundedSides: DrawPressableRectangle(g, bounds, pressed, mouseOver, disabled); break;
  case EVShape::RoundedEnds:
    DrawPressableRectangle(g, bounds, pressed, mouseOver, disabled, true, true, false, false);
    break;
  case EVShape::Ellipse: DrawPressableEllipse(g, bounds, pressed, mouseOver, disabled); break;
  case EVShape::Triangle: DrawPressableTriangle(g, bounds, pressed, mouseOver, mStyle.angle, disabled); break;
  default: break;
  }
}

IColor IVectorBase::GetAdjustedColor(EVColor c, bool disabled) const
{
  IColor color = GetColor(c);
  if (!disabled)
    return color;
  const int d = static_cast<int>(-255.f * mDisabledContrast);
  color.R = std::clamp(color.R + d, 0, 255);
  color.G = std::clamp(color.G + d, 0, 255);
  color.B = std::clamp(color.B + d, 0, 255);
  return color;
}

IRECT IVectorBase::GetAdjustedHandleBounds(const IRECT& rect) const
{
  IRECT h = rect;
  if (mStyle.drawFrame)
    h = h.GetPadded(-0.5f * mStyle.frameThickness);
  if (mStyle.drawShadows)
    h = h.GetPadded(mStyle.shadowOffset, 0.f, -mStyle.shadowOffset, -mStyle.shadowOffset);
  return h;
}

float IVectorBase::GetRoundedCornerRadius(const IRECT& handle) const
{
  return std::min(handle.W(), handle.H()) / 2.f * mStyle.roundness;
}

IRECT IVectorBase::DrawPressableRectangle(IGfx& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled,
                                          bool rTL, bool rTR, bool rBL, bool rBR)
{
  const IBlend* blend = &mControl->GetBlend();
  const IRECT h = GetAdjustedHandleBounds(bounds);
  const float cr = GetRoundedCornerRadius(h);
  const float tl = rTL ? cr : 0.f;
  const float tr = rTR ? cr : 0.f;
  const float bl = rBL ? cr : 0.f;
  const float br = rBR ? cr : 0.f;
  const float o = mStyle.shadowOffset;
  const IRECT inner = h.GetPadded(-o);
  const IRECT shadow = h.GetTranslated(o, o);
  auto fill = [&](const IColor& c, const IRECT& r, const IBlend* b) { g.FillRoundRect(c, r, tl, tr, bl, br, b); };

  if (pressed)
  {
    if (mStyle.emboss)
    {
      fill(GetColor(EVColor::PR), h, blend);
      fill(GetColor(EVColor::SH), h, blend);
      fill(GetAdjustedColor(EVColor::FG, disabled), IRECT(h.L + o, h.T + o, h.R, h.B), nullptr);
      fill(GetColor(EVColor::PR), inner, blend);
    }
    else
    {
      fill(GetAdjustedColor(EVColor::PR, disabled), h, nullptr);
    }
    if (mControl->GetAnimationFunction())
      DrawSplash(g, h);
  }
  else
  {
    if (mStyle.drawShadows)
      fill(GetColor(EVColor::SH), shadow, blend);
    if (mStyle.emboss)
    {
      fill(GetAdjustedColor(EVColor::PR, disabled), h, nullptr);
      fill(GetAdjustedColor(EVColor::SH, disabled), shadow, nullptr);
      fill(GetAdjustedColor(EVColor::FG, disabled), inner, nullptr);
      if (mouseOver)
        fill(GetColor(EVColor::HL), inner, blend);
    }
    else
    {
      fill(GetAdjustedColor(EVColor::FG, disabled), h, nullptr);
      if (mouseOver)
        fill(GetColor(EVColor::HL), h, blend);
    }
  }
  if (mStyle.drawFrame)
    g.DrawRoundRect(GetColor(EVColor::FR), h, tl, tr, bl, br, blend, mStyle.frameThickness);
  return h;
}

void IVectorBase::DrawPressableEllipse(IGfx& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled)
{
  const IBlend* blend = &mControl->GetBlend();
  const float o = mStyle.shadowOffset;
  const IRECT inner = bounds.GetPadded(-o);
  const IRECT shadow = bounds.GetTranslated(o, o);

  if (pressed)
  {
    if (mStyle.emboss)
    {
      g.FillEllipse(GetColor(EVColor::PR), bounds, blend);
      g.FillEllipse(GetColor(EVColor::SH), bounds, blend);
      g.FillEllipse(GetAdjustedColor(EVColor::FG, disabled), IRECT(shadow.L, shadow.T, bounds.R, bounds.B));
      g.FillEllipse(GetAdjustedColor(EVColor::PR, disabled), inner);
    }
    else
    {
      g.FillEllipse(GetAdjustedColor(EVColor::PR, disabled), bounds);
    }
    if (mControl->GetAnimationFunction())
      DrawSplash(g, bounds);
  }
  else
  {
    if (!disabled && mStyle.drawShadows)
      g.FillEllipse(GetColor(EVColor::SH), shadow);
    if (mStyle.emboss)
    {
      g.FillEllipse(GetAdjustedColor(EVColor::PR, disabled), bounds);
      g.FillEllipse(GetAdjustedColor(EVColor::SH, disabled), shadow);
      g.FillEllipse(GetAdjustedColor(EVColor::FG, disabled), inner);
      if (mouseOver)
        g.FillEllipse(GetColor(EVColor::HL), inner, blend);
    }
    else
    {
      g.FillEllipse(GetAdjustedColor(EVColor::FG, disabled), bounds);
      if (mouseOver)
        g.FillEllipse(GetColor(EVColor::HL), bounds, blend);
    }
  }
  if (mStyle.drawFrame)
    g.DrawEllipse(GetColor(EVColor::FR), bounds, blend, mStyle.frameThickness);
}

IRECT IVectorBase::DrawPressableTriangle(IGfx& g, const IRECT& bounds, bool pressed, bool mouseOver, float angle,
                                         bool disabled)
{
  const IBlend* blend = &mControl->GetBlend();
  const IRECT h = GetAdjustedHandleBounds(bounds);
  const float cx = h.MW();
  const float cy = h.MH();
  const float o = mStyle.shadowOffset;
  float x[3] = {h.L, cx, h.R};
  float y[3] = {h.B, h.T, h.B};
  const float a = angle / 180.f * std::numbers::pi_v<float>;
  const float cosA = std::cos(a);
  const float sinA = std::sin(a);
  for (int i = 0; i < 3; ++i)
  {
    const float dx = x[i] - cx;
    const float dy = y[i] - cy;
    x[i] = cx + dx * cosA - dy * sinA;
    y[i] = cy + dx * sinA + dy * cosA;
  }

  if (!pressed && mStyle.drawShadows)
    g.FillTriangle(GetColor(EVColor::SH), x[0] + o, y[0] + o, x[1] + o, y[1] + o, x[2] + o, y[2] + o, blend);
  g.FillTriangle(GetAdjustedColor(pressed ? EVColor::PR : EVColor::FG, disabled), x[0], y[0], x[1], y[1], x[2], y[2]);
  if (mouseOver)
    g.FillTriangle(GetColor(EVColor::HL), x[0], y[0], x[1], y[1], x[2], y[2], blend);
  if (pressed && mControl->GetAnimationFunction())
    DrawSplash(g);
  if (mStyle.drawFrame)
    g.DrawTriangle(GetColor(EVColor::FR), x[0], y[0], x[1], y[1], x[2], y[2], blend, mStyle.frameThickness);
  return h;
}

void IVectorBase::DrawSplash(IGfx& g, const IRECT& clip)
{
  g.PathClipRegion(clip);
  g.FillCircle(GetColor(EVColor::HL), mSplashX, mSplashY, mSplashRadius);
  g.PathClipRegion();
}

IRECT IVectorBase::MakeRects(const IRECT& rect, bool hasHandle)
{
  IRECT area = rect;

  if (!mLabelInWidget)
  {
    mLabelBounds = IRECT();
    if (mStyle.showLabel && mLabelStr.GetLength() > 0)
    {
      const IRECT m = Measure(mControl, mStyle.labelText, mLabelStr.Get());
      const float w = m.W();
      const float h = m.H();
      const float lw = std::max(1.f, w);
      const float lh = h > 0.f ? h : lw;
      IRECT strip;
      switch (mStyle.labelOrientation)
      {
      case ELabelPosition::Top: strip = IRECT(rect.L, rect.T, rect.R, rect.T + h); break;
      case ELabelPosition::Bottom: strip = IRECT(rect.L, rect.B - h, rect.R, rect.B); break;
      case ELabelPosition::Right: strip = IRECT(rect.R - w, rect.T, rect.R, rect.B); break;
      case ELabelPosition::Left: strip = IRECT(rect.L, rect.T, rect.L + w, rect.B); break;
      }
      mLabelBounds = strip.GetCentredInside(lw, lh);
    }
    if (!mLabelBounds.Empty())
    {
      switch (mStyle.labelOrientation)
      {
      case ELabelPosition::Top: area.T += mLabelBounds.H(); break;
      case ELabelPosition::Bottom: area.B -= mLabelBounds.H(); break;
      case ELabelPosition::Right: area.R -= mLabelBounds.W(); break;
      case ELabelPosition::Left: area.L += mLabelBounds.W(); break;
      }
    }
  }

  if (mStyle.showValue && !mValueInWidget)
  {
    const IRECT m = Measure(mControl, mStyle.valueText, mValueStr.Get());
    const float h = m.H();
    const float half = m.W() * mValueDisplayFrac;
    const float cx = area.MW();
    const float cy = area.MH();
    switch (mStyle.valueText.mVAlign)
    {
    case EVAlign::Top:
      mValueBounds = IRECT(cx - half, area.T, cx + half, area.T + h);
      mWidgetBounds = ScaledAboutCentre(IRECT(area.L, area.T + h, area.R, area.B), mStyle.widgetFrac);
      break;
    case EVAlign::Middle:
      mValueBounds = IRECT(cx - half, cy - h / 2.f, cx + half, cy + h / 2.f);
      mWidgetBounds = ScaledAboutCentre(area, mStyle.widgetFrac);
      break;
    case EVAlign::Bottom:
      mValueBounds = IRECT(cx - half, area.B - h, cx + half, area.B);
      mWidgetBounds = ScaledAboutCentre(IRECT(area.L, area.T, area.R, area.B - h), mStyle.widgetFrac);
      break;
    }
  }
  else
  {
    mWidgetBounds = ScaledAboutCentre(area, mStyle.widgetFrac);
  }

  if (hasHandle)
    mWidgetBounds = ScaledAboutCentre(GetAdjustedHandleBounds(area), mStyle.widgetFrac);
  if (mLabelInWidget)
    mLabelBounds = mWidgetBounds;
  if (mValueInWidget)
    mValueBounds = mWidgetBounds;
  return area;
}

//--------------------------------------------------------------------------------------------------
void SplashClickActionFunc(IControl* caller)
{
  auto* vb = dynamic_cast<IVectorBase*>(caller);
  IGfx* g = caller->GetUI();
  if (!vb)
    return;
  float x = 0.f;
  float y = 0.f;
  if (g)
    g->GetMouseDownPoint(x, y);
  vb->SetSplashPoint(x, y);
  vb->OnStyleChanged();
  caller->SetAnimation(SplashAnimationFunc, DEFAULT_ANIMATION_DURATION);
}

void SplashAnimationFunc(IControl* caller)
{
  auto* vb = dynamic_cast<IVectorBase*>(caller);
  if (!vb)
    return;
  const double progress = caller->GetAnimationProgress();
  if (progress > 1.)
  {
    caller->OnEndAnimation();
    return;
  }
  vb->SetSplashRadius(static_cast<float>(progress) * vb->GetMaxSplashRadius());
  vb->OnStyleChanged();
  caller->SetDirty(false);
}

void IGfx::StyleAllVectorControls(const IVStyle& style)
{
  ForStandardControlsFunc([&style](IControl* c) {
    if (auto* vb = dynamic_cast<IVectorBase*>(c))
      vb->SetStyle(style);
  });
}

} // namespace plugkit::gfx
