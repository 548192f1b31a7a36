#include "IGfx/Controls/IVPlotControl.h"

#include "IGfx/ILayer.h"

namespace plugkit::gfx {

IVPlotControl::IVPlotControl(const IRECT& bounds, const std::vector<Plot>& plots, int numPoints, const char* label,
                             const IVStyle& style, float min, float max, bool useLayer)
  : IControl(bounds, -1)
  , IVectorBase(style, false, false)
  , mMin(min)
  , mMax(max)
  , mUseLayer(useLayer)
  , mPoints(static_cast<size_t>(numPoints > 0 ? numPoints : 0))
{
  AttachIControl(this, label);
  for (const Plot& p : plots)
    AddPlotFunc(p.color, p.func);
}

void IVPlotControl::AddPlotFunc(const IColor& color, const std::function<double(double)>& func)
{
  mPlots.push_back({color, func});
  // A cached picture would not show the new curve.
  if (mLayer)
    mLayer->Invalidate();
  SetDirty(false);
}

IRECT IVPlotControl::GetPlotBounds() const
{
  const float stepV = mWidgetBounds.H() / static_cast<float>(mVerticalDivisions + 2);
  return mWidgetBounds.GetPadded(0.f, stepV, 0.f, -stepV);
}

void IVPlotControl::Draw(IGfx& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  if (!mUseLayer)
  {
    DrawContent(g);
    return;
  }
  if (!g.CheckLayer(mLayer))
  {
    g.StartLayer(this, mRECT);
    DrawContent(g);
    mLayer = g.EndLayer();
  }
  g.DrawLayer(mLayer, &mBlend);
}

void IVPlotControl::DrawContent(IGfx& g)
{
  const float stepH = mWidgetBounds.W() / static_cast<float>(mHorizontalDivisions);
  const float stepV = mWidgetBounds.H() / static_cast<float>(mVerticalDivisions + 2);
  g.DrawGrid(GetColor(EVColor::SH), mWidgetBounds, stepH, stepV, &mBlend, 1.f);

  const IRECT plotBounds = GetPlotBounds();
  const int n = static_cast<int>(mPoints.size());
  const double range = static_cast<double>(mMax) - static_cast<double>(mMin);
  for (const Plot& plot : mPlots)
  {
    if (n == 0 || !plot.func)
      continue;
    for (int i = 0; i < n; ++i)
    {
      // A single point is the function at 0; an empty range draws at mid-height.
      const double x = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.;
      const double y = plot.func(x);
      mPoints[static_cast<size_t>(i)] = range != 0. ? static_cast<float>((y - mMin) / range) : 0.5f;
    }
    g.DrawData(plot.color, plotBounds, mPoints.data(), n, nullptr, &mBlend, mTrackSize);
  }

  if (mStyle.drawFrame)
    g.DrawRect(GetColor(EVColor::FR), mWidgetBounds, &mBlend, mStyle.frameThickness);
}

void IVPlotControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  SetDirty(false);
}

} // namespace plugkit::gfx
