// The overlay's cache, its sampling grid and its drawing. Iso lines and labels are in
// morph_field_overlay_iso.cpp, links, ridges and cell borders in morph_field_overlay_links.cpp.
#include "utils/morph/morph_field_overlay.h"

#include <algorithm>
#include <cmath>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"

namespace zarvo::morph {

namespace {

using plugkit::gfx::IBlend;
using plugkit::gfx::IColor;
using plugkit::gfx::IGfx;
using plugkit::gfx::IRECT;
using Segment = MorphFieldOverlay::Segment;

constexpr size_t kMaxNodes =
  static_cast<size_t>(MorphFieldOverlay::kMaxCellsX + 1) * static_cast<size_t>(MorphFieldOverlay::kMaxCellsY + 1);

IColor opaqueGray(int level) { return IColor(255, level, level, level); }

// All segments in one path and one stroke: thousands of separate strokes would cost a draw call
// each. Dotted segments are cut into dashes the way a single dotted line is, so the look is the same.
void strokeSegments(IGfx& g, const std::vector<Segment>& segments, const IRECT& r, const IColor& color,
                    const IBlend* blend, float dashLen)
{
  if (segments.empty())
    return;
  const float w = r.W();
  const float h = r.H();
  g.PathClear();
  for (const Segment& s : segments)
  {
    const float x1 = r.L + s.u0 * w;
    const float y1 = r.B - s.v0 * h;
    const float x2 = r.L + s.u1 * w;
    const float y2 = r.B - s.v1 * h;
    if (dashLen <= 0.f)
    {
      g.PathMoveTo(x1, y1);
      g.PathLineTo(x2, y2);
      continue;
    }
    const float count = std::round(std::hypot(x2 - x1, y2 - y1) / dashLen);
    if (!(count >= 2.f && count < 1e6f))
      continue;
    const int n = static_cast<int>(count);
    const float t = 1.f / static_cast<float>(n);
    for (int i = 1; i < n; i += 2)
    {
      const float a = static_cast<float>(i - 1) * t;
      const float b = static_cast<float>(i) * t;
      g.PathMoveTo(x1 + a * (x2 - x1), y1 + a * (y2 - y1));
      g.PathLineTo(x1 + b * (x2 - x1), y1 + b * (y2 - y1));
    }
  }
  g.PathStroke(color, 1.f, plugkit::gfx::IStrokeOptions(), blend);
}

// Lines of joined segments, each one path, all in one stroke.
template <class Point>
void strokeLines(IGfx& g, const std::vector<Point>& points, const std::vector<uint32_t>& starts, const IRECT& r,
                 const IColor& color, const IBlend* blend)
{
  if (starts.size() < 2)
    return;
  const float w = r.W();
  const float h = r.H();
  g.PathClear();
  for (size_t k = 0; k + 1 < starts.size(); ++k)
  {
    for (uint32_t p = starts[k]; p < starts[k + 1]; ++p)
    {
      const float x = r.L + points[p].u * w;
      const float y = r.B - points[p].v * h;
      if (p == starts[k])
        g.PathMoveTo(x, y);
      else
        g.PathLineTo(x, y);
    }
  }
  g.PathStroke(color, 1.f, plugkit::gfx::IStrokeOptions(), blend);
}

} // namespace

MorphFieldOverlay::MorphFieldOverlay()
{
  nodeValues.reserve(kMaxNodes);
  nodeOwners.reserve(kMaxNodes);
  isoSegments.reserve(32768);
  ridgeSegments.reserve(8192);
  linkSegments.reserve(kNumPoints * kNumPoints);
  cellBorderSegments.reserve(8192);
  contourLabels.reserve(512);
  mLabelPlaces.reserve(512);
  mBasins.reserve(kNumPoints * (kNumPoints - 1) * (kNumPoints - 2) / 6);
  mRayPath.reserve(256);
  mLinkSamples.reserve(512);
  constexpr size_t kMaxEdges =
    static_cast<size_t>(kMaxCellsY + 1) * kMaxCellsX + static_cast<size_t>(kMaxCellsY) * (kMaxCellsX + 1);
  mIsoEdges.reserve(32768);
  mIsoLevelEnds.reserve(32);
  mIsoPathPoints.reserve(40000);
  mIsoPathStarts.reserve(8192);
  mEdgeFirst.reserve(kMaxEdges);
  mEdgeSecond.reserve(kMaxEdges);
  mSegmentUsed.reserve(32768);
}

void MorphFieldOverlay::setIsoLevels(int n)
{
  isoLevels = appearance::clampIsoLevels(n);
  isoLevelCount = isoLevelCountFor(isoLevels);
  signature = std::numeric_limits<double>::quiet_NaN();
}

namespace {
double aspectOf(const IRECT& r) { return r.H() > 0.f ? static_cast<double>(r.W()) / static_cast<double>(r.H()) : 1.0; }
} // namespace

MorphFieldOverlay::Inputs MorphFieldOverlay::inputsOf(const MorphEngine& engine, const IRECT& rect) const
{
  const MorphEngine::RTState& s = engine.editState();
  Inputs in{};
  size_t k = 0;
  in[k++] = s.sigma;
  in[k++] = engine.pointScale();
  in[k++] = aspectOf(rect);
  in[k++] = isoLevelCount;
  in[k++] = samplePitch;
  in[k++] = s.kernelTail;
  in[k++] = s.tailPower;
  in[k++] = s.model;
  in[k++] = s.neighborIndex[modelSlot(s.model)];
  in[k++] = s.nnSamples;
  in[k++] = s.nnRadius;
  in[k++] = s.snapFeather;
  in[k++] = s.snapCurve;
  for (const MorphPoint& p : s.points)
  {
    in[k++] = p.active ? 1.0 : 0.0;
    in[k++] = p.active ? p.x : 0.0;
    in[k++] = p.active ? p.y : 0.0;
  }
  return in;
}

double MorphFieldOverlay::computeSignature(const MorphEngine& engine, const IRECT& rect) const
{
  const MorphEngine::RTState& s = engine.editState();
  double sum = s.sigma * 1.7 + engine.pointScale() * 3.1 + 0.7 * aspectOf(rect);
  sum += isoLevelCount * 11.0 + samplePitch * 0.5;
  sum += s.kernelTail * 17.0 + s.tailPower * 9.0 + s.model * 101.0 + s.neighborIndex[modelSlot(s.model)] * 3.3 +
         s.nnSamples * 5.5 + s.nnRadius * 7.7 + s.snapFeather * 6.6 + s.snapCurve * 4.4;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    const MorphPoint& p = s.points[i];
    if (p.active)
      sum += (p.x * 13.3 + p.y * 7.9 + 5.0) * static_cast<double>(i + 1);
  }
  return sum;
}

bool MorphFieldOverlay::needsRebuild(const MorphEngine& engine, const IRECT& rect, bool coarse) const
{
  if (std::isnan(signature) || computeSignature(engine, rect) != signature)
    return true;
  if (mCoarse && !coarse)
    return true;
  return inputsOf(engine, rect) != mInputs;
}

bool MorphFieldOverlay::rebuildIfNeeded(const MorphEngine& engine, const IRECT& rect, bool coarse)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  bounds = rect;
  if (!needsRebuild(engine, rect, coarse))
    return false;
  signature = computeSignature(engine, rect);
  mInputs = inputsOf(engine, rect);
  ++mRebuildCount;
  mCoarse = coarse;
  mPitch = coarse ? std::max(samplePitch, coarsePitchFor(engine.editState().model)) : samplePitch;

  isoSegments.clear();
  ridgeSegments.clear();
  linkSegments.clear();
  contourLabels.clear();
  cellBorderSegments.clear();
  mBasins.clear();
  mIsoEdges.clear();
  mIsoLevelEnds.clear();
  mIsoPathPoints.clear();
  mIsoPathStarts.clear();
  mIsoPathsFor = 0;
  cellBorderStrength = 0.f;

  if (!(rect.W() > 0.f) || !(rect.H() > 0.f))
    return true;

  Scales scales{};
  engine.computeScales(engine.editState(), scales);
  if (isoLevelCount <= 0)
    return true;

  if (coarse)
  {
    rebuildFieldGrids(engine, scales, false);
    marchIsoLevels(engine, scales, false);
    return true;
  }

  rebuildRidges(engine, aspectOf(rect), scales);

  // Cells show only where each point owns a clear region: compact tails always, the other models
  // once sigma is sharp enough.
  bool cellMode = false;
  if (showCells)
  {
    const uint32_t model = engine.editState().model;
    if (model == 2 || model == 3)
    {
      cellBorderStrength = 1.f;
      cellMode = true;
    }
    else
    {
      const double t = std::clamp((2.0 - engine.editState().sigma) / 1.98, 0.0, 1.0);
      if (t >= 0.85)
      {
        cellBorderStrength = static_cast<float>(std::clamp((t - 0.85) / (0.92 - 0.85), 0.0, 1.0));
        cellMode = true;
      }
    }
  }

  rebuildFieldGrids(engine, scales, cellMode);
  // The natural-neighbour field counts samples, so it steps instead of sloping: there is no
  // crossing to home in on between two nodes.
  marchIsoLevels(engine, scales, engine.editState().model != 4);
  rebuildContourLabels(engine, scales);
  if (cellMode)
    rebuildCellBorders(engine, scales);
  return true;
}

void MorphFieldOverlay::marchIsoLevels(const MorphEngine& engine, const Scales& scales, bool refine)
{
  const int stride = cellsX + 1;
  for (int k = 1; k <= isoLevelCount; ++k)
  {
    const double level = static_cast<double>(k) / static_cast<double>(isoLevelCount + 1);
    for (int j = 0; j < cellsY; ++j)
    {
      const double* top = nodeValues.data() + static_cast<size_t>(j) * stride;
      const double* bottom = top + stride;
      for (int i = 0; i < cellsX; ++i)
      {
        // Most cells lie wholly above or below a level: skip them before the case analysis.
        const double lo = std::min(std::min(bottom[i], bottom[i + 1]), std::min(top[i + 1], top[i]));
        const double hi = std::max(std::max(bottom[i], bottom[i + 1]), std::max(top[i + 1], top[i]));
        if (lo >= level || hi < level)
          continue;
        if (refine)
          marchCellOnField(engine, scales, bottom[i], bottom[i + 1], top[i + 1], top[i], i, j, level);
        else
          marchCell(bottom[i], bottom[i + 1], top[i + 1], top[i], i, j, cellsX, cellsY, level);
      }
    }
    mIsoLevelEnds.push_back(isoSegments.size());
  }
  rebuildIsoPaths(static_cast<size_t>(cellsY + 1) * cellsX + static_cast<size_t>(cellsY) * (cellsX + 1));
}

void MorphFieldOverlay::rebuildFieldGrids(const MorphEngine& engine, const Scales& scales, bool cellMode)
{
  cellsX = std::clamp(static_cast<int>(bounds.W() / mPitch), kMinCellsX, kMaxCellsX);
  cellsY = std::clamp(static_cast<int>(bounds.H() / mPitch), kMinCellsY, kMaxCellsY);
  const size_t count = static_cast<size_t>(cellsX + 1) * static_cast<size_t>(cellsY + 1);
  nodeValues.resize(count);
  nodeOwners.resize(cellMode ? count : 0);

  size_t n = 0;
  for (int j = 0; j <= cellsY; ++j)
  {
    const double v = 1.0 - static_cast<double>(j) / cellsY;
    for (int i = 0; i <= cellsX; ++i, ++n)
    {
      const double u = static_cast<double>(i) / cellsX;
      if (cellMode)
      {
        const MorphEngine::FieldSample sample = engine.fieldSampleAt(u, v, scales);
        nodeOwners[n] = static_cast<int>(sample.point);
        nodeValues[n] = sample.weight;
      }
      else
        nodeValues[n] = engine.dominanceAt(u, v, scales);
    }
  }
}

int MorphFieldOverlay::lineGray() const { return appearance::grayAt(lineBrightness, grayMin, grayMax); }

int MorphFieldOverlay::gridGray() const
{
  return appearance::grayAt(lineBrightness * kGridBrightness, grayMin, grayMax);
}

void MorphFieldOverlay::draw(IGfx& g, const IBlend* blend) const
{
  if (!(lineBrightness > appearance::kHiddenBrightness))
    return;
  drawGrid(g, blend);

  const int gray = lineGray();
  const IColor line = opaqueGray(gray);
  if (showLinks)
    strokeSegments(g, linkSegments, bounds, line, blend, 3.f);
  if (showRidges)
    strokeSegments(g, ridgeSegments, bounds, line, blend, 3.f);
  if (showIsoLines)
  {
    if (mIsoPathsFor == isoSegments.size() && mIsoPathsFor > 0)
      strokeLines(g, mIsoPathPoints, mIsoPathStarts, bounds, line, blend);
    else
      strokeSegments(g, isoSegments, bounds, line, blend, 0.f);
  }
  if (showCells && cellBorderStrength > 0.001f)
  {
    const int cellGray = appearance::grayAt(cellBorderStrength, grayMin, gray);
    strokeSegments(g, cellBorderSegments, bounds, opaqueGray(cellGray), blend, 0.f);
  }
}

void MorphFieldOverlay::drawGrid(IGfx& g, const IBlend* blend) const
{
  if (!(lineBrightness * kGridBrightness > appearance::kHiddenBrightness))
    return;
  const IColor color = opaqueGray(gridGray());
  const IRECT& r = bounds;
  const float s = std::max(r.W() * gridStep, 8.f);
  const float cx = r.MW();
  const float cy = r.MH();
  // The centre falls in the middle of a square, not on a line.
  for (int k = 0;; ++k)
  {
    const float x = cx + (static_cast<float>(k) + 0.5f) * s;
    if (!(x < r.R))
      break;
    g.DrawLine(color, x, r.T, x, r.B, blend, 1.f);
  }
  for (int k = 0;; ++k)
  {
    const float x = cx - (static_cast<float>(k) + 0.5f) * s;
    if (!(x > r.L))
      break;
    g.DrawLine(color, x, r.T, x, r.B, blend, 1.f);
  }
  for (int k = 0;; ++k)
  {
    const float y = cy + (static_cast<float>(k) + 0.5f) * s;
    if (!(y < r.B))
      break;
    g.DrawLine(color, r.L, y, r.R, y, blend, 1.f);
  }
  for (int k = 0;; ++k)
  {
    const float y = cy - (static_cast<float>(k) + 0.5f) * s;
    if (!(y > r.T))
      break;
    g.DrawLine(color, r.L, y, r.R, y, blend, 1.f);
  }
}

} // namespace zarvo::morph
