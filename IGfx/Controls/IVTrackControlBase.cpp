#include "IGfx/Controls/IVTrackControlBase.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVTrackControlBase::IVTrackControlBase(const IRECT& bounds, const char* label, const IVStyle& style,
                                       const std::vector<int>& params, int nSteps, EDirection dir,
                                       const std::vector<const char*>& trackNames)
  : IControl(bounds, params)
  , IVectorBase(style, false, false)
  , mDirection(dir)
  , mNSteps(nSteps)
{
  mTrackBounds.resize(params.size());
  for (const char* name : trackNames)
    mTrackNames.emplace_back(name ? name : "");
  AttachIControl(this, label);
}

void IVTrackControlBase::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
}

void IVTrackControlBase::DrawWidget(IGfx& g)
{
  for (int i = 0; i < NVals(); ++i)
    DrawTrack(g, mTrackBounds[static_cast<size_t>(i)], i);
}

void IVTrackControlBase::DrawBackground(IGfx& g, const IRECT& r)
{
  g.FillRect(GetColor(EVColor::BG), r, &mBlend);
  if (mBaseValue > 0.)
  {
    const float b = static_cast<float>(mBaseValue);
    if (mDirection == EDirection::Vertical)
    {
      const float y = r.B - b * r.H();
      g.DrawLine(GetColor(EVColor::SH), r.L, y, r.R, y, &mBlend, 1.f);
    }
    else
    {
      const float x = r.L + b * r.W();
      g.DrawLine(GetColor(EVColor::SH), x, r.T, x, r.B, &mBlend, 1.f);
    }
  }
}

void IVTrackControlBase::DrawTrack(IGfx& g, const IRECT& r, int chIdx)
{
  DrawTrackBackground(g, r, chIdx);
  if (!mTrackNames.empty())
    DrawTrackName(g, r, chIdx);

  const float v = static_cast<float>(GetValue(chIdx));
  const float b = static_cast<float>(mBaseValue);
  const bool horizontal = mDirection == EDirection::Horizontal;
  const float lo = b > 0.f ? std::min(v, b) : 0.f;
  const float hi = b > 0.f ? std::max(v, b) : v;
  IRECT fill = horizontal ? IRECT(r.L + lo * r.W(), r.T, r.L + hi * r.W(), r.B)
                          : IRECT(r.L, r.B - hi * r.H(), r.R, r.B - lo * r.H());
  const bool above = v > b;

  if (!mStepBounds.empty())
  {
    if (!(b > 0.f) && !horizontal && mZeroValueStepHasBounds && v == 0.f)
      fill.T = mStepBounds.front().T;
    for (const IRECT& cell : mStepBounds)
    {
      if (fill.R >= cell.L && fill.R <= cell.R && fill.T >= cell.T && fill.T <= cell.B)
      {
        if (horizontal)
        {
          fill.L = cell.L;
          fill.R = cell.R;
        }
        else
        {
          fill.T = cell.T;
          fill.B = cell.B;
        }
        break;
      }
    }
    if (mZeroValueStepHasBounds || GetValue(chIdx) > 0.)
      DrawTrackHandle(g, fill, chIdx, above);
  }
  else
  {
    DrawTrackHandle(g, fill, chIdx, above);
    IRECT peak;
    if (horizontal)
      peak =
        b > v ? IRECT(fill.L, fill.T, fill.L + mPeakSize, fill.B) : IRECT(fill.R - mPeakSize, fill.T, fill.R, fill.B);
    else
      peak =
        b > v ? IRECT(fill.L, fill.B - mPeakSize, fill.R, fill.B) : IRECT(fill.L, fill.T, fill.R, fill.T + mPeakSize);
    DrawPeak(g, peak, chIdx, above);
  }

  if (mStyle.drawFrame && mDrawTrackFrame)
    g.DrawRect(GetColor(EVColor::FR), r, &mBlend, mStyle.frameThickness);
}

void IVTrackControlBase::DrawTrackBackground(IGfx& g, const IRECT& r, int chIdx)
{
  g.FillRect(chIdx == mHighlightedTrack ? GetColor(EVColor::HL) : COLOR_TRANSPARENT, r, &mBlend);
}

void IVTrackControlBase::DrawTrackName(IGfx& g, const IRECT& r, int chIdx)
{
  const size_t i = static_cast<size_t>(chIdx);
  g.DrawText(mText, i < mTrackNames.size() ? mTrackNames[i].c_str() : "", r, &mBlend);
}

void IVTrackControlBase::DrawTrackHandle(IGfx& g, const IRECT& r, int chIdx, bool)
{
  g.FillRect(chIdx == mHighlightedTrack ? GetColor(EVColor::X1) : GetColor(EVColor::FG), r, &mBlend);
  if (chIdx == mMouseOverTrack)
    g.FillRect(GetColor(EVColor::HL), r, &mBlend);
}

void IVTrackControlBase::DrawPeak(IGfx& g, const IRECT& r, int, bool) { g.FillRect(GetColor(EVColor::FR), r, &mBlend); }

void IVTrackControlBase::MakeTrackRects(const IRECT& bounds)
{
  const int n = NVals();
  if (n == 0)
    return;
  const float p = mTrackPadding;
  for (int i = 0; i < n; ++i)
  {
    const float fi = static_cast<float>(i);
    IRECT& t = mTrackBounds[static_cast<size_t>(i)];
    if (mDirection == EDirection::Vertical)
    {
      const float w = bounds.W() / static_cast<float>(n);
      t = IRECT(bounds.L + fi * w, bounds.T, bounds.L + (fi + 1.f) * w - p, bounds.B - p);
    }
    else
    {
      const float h = bounds.H() / static_cast<float>(n);
      t = IRECT(bounds.L, bounds.T + fi * h + p, bounds.R, bounds.T + (fi + 1.f) * h - p);
    }
  }
}

void IVTrackControlBase::MakeStepRects(const IRECT& bounds, int nSteps)
{
  mStepBounds.clear();
  if (nSteps <= 0)
    return;
  const int m = nSteps + (mZeroValueStepHasBounds ? 1 : 0);
  for (int i = 0; i < m; ++i)
  {
    const float fi = static_cast<float>(i);
    if (mDirection == EDirection::Horizontal)
    {
      // Cell 0 is the right-most; the following cells go leftwards.
      const float w = bounds.W() / static_cast<float>(m);
      mStepBounds.emplace_back(bounds.R - (fi + 1.f) * w, bounds.T, bounds.R - fi * w, bounds.B);
    }
    else
    {
      const float h = bounds.H() / static_cast<float>(m);
      mStepBounds.emplace_back(bounds.L, bounds.B - (fi + 1.f) * h, bounds.R, bounds.B - fi * h);
    }
  }
}

void IVTrackControlBase::OnMouseOver(float x, float y, const IMouseMod& mod)
{
  mMouseOverTrack = GetValIdxForPos(x, y);
  IControl::OnMouseOver(x, y, mod);
  SetDirty(false);
}

void IVTrackControlBase::OnMouseOut()
{
  mMouseOverTrack = -1;
  IControl::OnMouseOut();
  SetDirty(false);
}

void IVTrackControlBase::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  MakeTrackRects(mWidgetBounds);
  MakeStepRects(mWidgetBounds, mNSteps);
  SetDirty(false);
}

int IVTrackControlBase::GetValIdxForPos(float x, float y) const
{
  for (int i = 0; i < NVals(); ++i)
    if (mTrackBounds[static_cast<size_t>(i)].Contains(x, y))
      return i;
  return -1;
}

} // namespace plugkit::gfx
