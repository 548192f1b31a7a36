// The overlay's iso lines (marching squares over the dominance grid), its labelled and reference
// levels, and the label anchors placed where the links cross the labelled levels.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "utils/morph/morph_field_overlay.h"

namespace zarvo::morph {

namespace {

// The divisor that sets which levels carry labels: the largest of 2..5 dividing count + 1.
int labelDivisor(int count)
{
  if (count < 1)
    return 4;
  const int n = count + 1;
  for (int d = 5; d >= 2; --d)
  {
    if (d <= n && n % d == 0)
      return d;
  }
  return std::min(n, 5);
}

// Moves a crossing along its edge (parameter t from corner s to corner e) until the field is within
// the tolerance of the level: the Illinois form of regula falsi, kept inside the bracket the corner
// values give (fs and fe are the corner values less the level, on opposite sides of 0).
double refineCrossing(const MorphEngine& engine, const Scales& scales, double us, double vs, double ue, double ve,
                      double fs, double fe, double t, double level)
{
  constexpr double kTolerance = 0.004;
  double a = 0.0;
  double b = 1.0;
  double fa = fs;
  double fb = fe;
  int lastSide = 0;
  for (int k = 0; k < 12; ++k)
  {
    const double f = engine.dominanceAt(us + (ue - us) * t, vs + (ve - vs) * t, scales) - level;
    if (std::abs(f) <= kTolerance)
      break;
    if ((f >= 0.0) == (fa >= 0.0))
    {
      a = t;
      fa = f;
      if (lastSide == -1)
        fb *= 0.5;
      lastSide = -1;
    }
    else
    {
      b = t;
      fb = f;
      if (lastSide == 1)
        fa *= 0.5;
      lastSide = 1;
    }
    const double denominator = fb - fa;
    t = std::abs(denominator) > 1e-15 ? a - fa * (b - a) / denominator : 0.5 * (a + b);
    if (!(t > a && t < b))
      t = 0.5 * (a + b);
  }
  return t;
}

} // namespace

template <class Refine>
void MorphFieldOverlay::marchCellWith(double bl, double br, double tr, double tl, int i, int j, int cellsAcross,
                                      int cellsDown, double level, const Refine& refine)
{
  const double uL = static_cast<double>(i) / cellsAcross;
  const double uR = static_cast<double>(i + 1) / cellsAcross;
  const double vB = 1.0 - static_cast<double>(j + 1) / cellsDown;
  const double vT = 1.0 - static_cast<double>(j) / cellsDown;
  // Corners counter-clockwise from the bottom left; edge e runs from corner e to corner e + 1.
  const double cu[4] = {uL, uR, uR, uL};
  const double cv[4] = {vB, vB, vT, vT};
  const double val[4] = {bl, br, tr, tl};

  const int kase = (bl >= level ? 1 : 0) | (br >= level ? 2 : 0) | (tr >= level ? 4 : 0) | (tl >= level ? 8 : 0);
  if (kase == 0 || kase == 15)
    return;

  const auto crossing = [&](int e, float& u, float& v) {
    const int s = e;
    const int f = (e + 1) & 3;
    const double d = val[f] - val[s];
    double t = 0.5;
    if (!(std::abs(d) < 1e-12))
      t = refine(cu[s], cv[s], cu[f], cv[f], val[s] - level, val[f] - level, (level - val[s]) / d);
    u = static_cast<float>(cu[s] + (cu[f] - cu[s]) * t);
    v = static_cast<float>(cv[s] + (cv[f] - cv[s]) * t);
  };
  // Grid edges by number: the horizontal ones row by row, then the vertical ones.
  const uint32_t across = static_cast<uint32_t>(cellsAcross);
  const uint32_t row = static_cast<uint32_t>(j);
  const uint32_t col = static_cast<uint32_t>(i);
  const uint32_t horizontal = (static_cast<uint32_t>(cellsDown) + 1) * across;
  const uint32_t edgeId[4] = {(row + 1) * across + col, horizontal + row * (across + 1) + col + 1, row * across + col,
                              horizontal + row * (across + 1) + col};
  const auto add = [&](int a, int b) {
    Segment seg;
    crossing(a, seg.u0, seg.v0);
    crossing(b, seg.u1, seg.v1);
    isoSegments.push_back(seg);
    mIsoEdges.push_back({edgeId[a], edgeId[b]});
  };

  switch (kase)
  {
  case 1:
  case 14: add(3, 0); break;
  case 2:
  case 13: add(0, 1); break;
  case 3:
  case 12: add(3, 1); break;
  case 4:
  case 11: add(1, 2); break;
  case 6:
  case 9: add(0, 2); break;
  case 7:
  case 8: add(2, 3); break;
  case 5:
  case 10:
  {
    // A saddle: a high centre joins the two high corners, so the lines cut off the low ones.
    const bool centreHigh = 0.25 * (bl + br + tr + tl) >= level;
    if ((kase == 5) == centreHigh)
    {
      add(0, 1);
      add(2, 3);
    }
    else
    {
      add(3, 0);
      add(1, 2);
    }
    break;
  }
  default: break;
  }
}

void MorphFieldOverlay::marchCell(double bl, double br, double tr, double tl, int i, int j, int cellsAcross,
                                  int cellsDown, double level)
{
  marchCellWith(bl, br, tr, tl, i, j, cellsAcross, cellsDown, level,
                [](double, double, double, double, double, double, double t) { return t; });
}

void MorphFieldOverlay::marchCellOnField(const MorphEngine& engine, const Scales& scales, double bl, double br,
                                         double tr, double tl, int i, int j, double level)
{
  marchCellWith(bl, br, tr, tl, i, j, cellsX, cellsY, level,
                [&](double us, double vs, double ue, double ve, double fs, double fe, double t) {
                  return refineCrossing(engine, scales, us, vs, ue, ve, fs, fe, t, level);
                });
}

void MorphFieldOverlay::simplifyIsoPath(size_t start)
{
  // Drops points that lie within a sixth of a pixel of the chord past them: the lines look the
  // same and the drawing tessellates a fraction of the points.
  constexpr float kTolerance = 0.15f;
  constexpr size_t kLongestRun = 24;
  const size_t end = mIsoPathPoints.size();
  if (end - start < 3)
    return;
  const float w = bounds.W();
  const float h = bounds.H();
  const auto farFromChord = [&](size_t a, size_t b) {
    const float ax = mIsoPathPoints[a].u * w, ay = mIsoPathPoints[a].v * h;
    const float dx = mIsoPathPoints[b].u * w - ax, dy = mIsoPathPoints[b].v * h - ay;
    const float length = std::hypot(dx, dy);
    for (size_t k = a + 1; k < b; ++k)
    {
      const float px = mIsoPathPoints[k].u * w - ax, py = mIsoPathPoints[k].v * h - ay;
      const float d = length > 1e-6f ? std::abs(dx * py - dy * px) / length : std::hypot(px, py);
      if (d > kTolerance)
        return true;
    }
    return false;
  };
  size_t write = start + 1;
  size_t anchor = start;
  for (size_t j = start + 2; j < end;)
  {
    if (j - anchor <= kLongestRun && !farFromChord(anchor, j))
    {
      ++j;
      continue;
    }
    // Slots below the new anchor are never read again, so the kept points move down in place.
    mIsoPathPoints[write++] = mIsoPathPoints[j - 1];
    anchor = j - 1;
    j = anchor + 2;
  }
  mIsoPathPoints[write++] = mIsoPathPoints[end - 1];
  mIsoPathPoints.resize(write);
}

void MorphFieldOverlay::rebuildIsoPaths(size_t edgeCount)
{
  mIsoPathPoints.clear();
  mIsoPathStarts.clear();
  mIsoPathsFor = 0;
  const size_t count = isoSegments.size();
  if (count == 0 || mIsoEdges.size() != count || mIsoLevelEnds.empty() || mIsoLevelEnds.back() != count)
    return;
  // Each crossing is shared by at most the two cells either side of its edge.
  mEdgeFirst.assign(edgeCount, -1);
  mEdgeSecond.assign(edgeCount, -1);
  mSegmentUsed.assign(count, 0);

  const auto other = [&](uint32_t edge, int32_t segment) {
    const int32_t a = mEdgeFirst[edge];
    return a == segment ? mEdgeSecond[edge] : a;
  };
  // The end of segment s that lies on `edge`.
  const auto endOn = [&](int32_t s, uint32_t edge) {
    const Segment& seg = isoSegments[static_cast<size_t>(s)];
    return mIsoEdges[static_cast<size_t>(s)][0] == edge ? PathPoint{seg.u0, seg.v0} : PathPoint{seg.u1, seg.v1};
  };

  size_t levelStart = 0;
  for (const size_t levelEnd : mIsoLevelEnds)
  {
    for (size_t s = levelStart; s < levelEnd; ++s)
    {
      for (const uint32_t e : mIsoEdges[s])
        (mEdgeFirst[e] < 0 ? mEdgeFirst[e] : mEdgeSecond[e]) = static_cast<int32_t>(s);
    }
    for (size_t first = levelStart; first < levelEnd; ++first)
    {
      if (mSegmentUsed[first])
        continue;
      // Back up to the start of an open line (or all the way round a closed one).
      int32_t s = static_cast<int32_t>(first);
      uint32_t entry = mIsoEdges[first][0];
      for (size_t guard = 0; guard < levelEnd - levelStart; ++guard)
      {
        const int32_t before = other(entry, s);
        if (before < 0 || before == static_cast<int32_t>(first))
          break;
        const auto& edges = mIsoEdges[static_cast<size_t>(before)];
        entry = edges[0] == entry ? edges[1] : edges[0];
        s = before;
      }
      mIsoPathStarts.push_back(static_cast<uint32_t>(mIsoPathPoints.size()));
      mIsoPathPoints.push_back(endOn(s, entry));
      while (s >= 0 && !mSegmentUsed[static_cast<size_t>(s)])
      {
        mSegmentUsed[static_cast<size_t>(s)] = 1;
        const auto& edges = mIsoEdges[static_cast<size_t>(s)];
        const uint32_t exit = edges[0] == entry ? edges[1] : edges[0];
        mIsoPathPoints.push_back(endOn(s, exit));
        s = other(exit, s);
        entry = exit;
      }
      simplifyIsoPath(mIsoPathStarts.back());
    }
    for (size_t s = levelStart; s < levelEnd; ++s)
    {
      for (const uint32_t e : mIsoEdges[s])
        mEdgeFirst[e] = mEdgeSecond[e] = -1;
    }
    levelStart = levelEnd;
  }
  mIsoPathStarts.push_back(static_cast<uint32_t>(mIsoPathPoints.size()));
  mIsoPathsFor = count;
}

int MorphFieldOverlay::labelledLevelsInto(std::array<float, 4>& out) const
{
  const int count = std::max(isoLevelCount, 0);
  const int d = labelDivisor(isoLevelCount);
  int n = 0;
  for (int k = 1; k < d; ++k)
  {
    long m = std::lround(static_cast<double>(k) / d * (count + 1));
    m = std::min<long>(m, count);
    if (m <= 0)
      m = 1;
    out[static_cast<size_t>(n++)] = static_cast<float>(static_cast<double>(m) / (count + 1));
  }
  return n;
}

std::vector<float> MorphFieldOverlay::labelledIsoLevels() const
{
  std::array<float, 4> levels{};
  const int n = labelledLevelsInto(levels);
  return {levels.begin(), levels.begin() + n};
}

int MorphFieldOverlay::histogramRefLevelsInto(std::array<float, 6>& out) const
{
  const int d = labelDivisor(isoLevelCount);
  for (int k = 0; k <= d; ++k)
    out[static_cast<size_t>(k)] = static_cast<float>(static_cast<double>(k) / d);
  return d + 1;
}

std::vector<float> MorphFieldOverlay::histogramRefLevels() const
{
  std::array<float, 6> levels{};
  const int n = histogramRefLevelsInto(levels);
  return {levels.begin(), levels.begin() + n};
}

void MorphFieldOverlay::rebuildContourLabels(const MorphEngine& engine, const Scales& scales)
{
  contourLabels.clear();
  if (!showLabels || linkSegments.empty())
    return;

  std::array<float, 4> all{};
  const int allCount = labelledLevelsInto(all);
  std::array<float, 4> levels{};
  int levelCount = 0;
  for (int k = 0; k < allCount; ++k)
  {
    if (all[static_cast<size_t>(k)] > 0.001f && all[static_cast<size_t>(k)] < 0.999f)
      levels[static_cast<size_t>(levelCount++)] = all[static_cast<size_t>(k)];
  }
  if (levelCount == 0)
    return;

  const double w = bounds.W();
  const double h = bounds.H();
  for (const Segment& link : linkSegments)
  {
    const double du = static_cast<double>(link.u1) - link.u0;
    const double dv = static_cast<double>(link.v1) - link.v0;
    int n = static_cast<int>(std::hypot(du, dv) / 0.01);
    if (n < 3)
      n = 2;
    mLinkSamples.resize(static_cast<size_t>(n + 1));
    double lowest = 1.0;
    for (int s = 0; s <= n; ++s)
    {
      const double t = static_cast<double>(s) / n;
      const double d = engine.dominanceAt(link.u0 + t * du, link.v0 + t * dv, scales);
      mLinkSamples[static_cast<size_t>(s)] = d;
      lowest = std::min(lowest, d);
    }
    const auto sample = [&](int s) { return mLinkSamples[static_cast<size_t>(s)]; };
    const auto anchorAt = [&](int s, double level) {
      const double diff = sample(s + 1) - sample(s);
      const double f = std::abs(diff) < 1e-9 ? 0.5 : (level - sample(s)) / diff;
      const double t = (s + f) / n;
      return LabelAnchor{static_cast<float>(link.u0 + t * du), static_cast<float>(link.v0 + t * dv),
                         static_cast<float>(level)};
    };

    for (int k = 0; k < levelCount; ++k)
    {
      const double level = levels[static_cast<size_t>(k)];
      // Only a link that dips clearly below the level crosses it.
      if (lowest >= level - 0.015)
        continue;
      int falling = -1;
      for (int s = 0; s < n && falling < 0; ++s)
      {
        if (sample(s) >= level && level > sample(s + 1))
          falling = s;
      }
      int rising = -1;
      for (int s = n - 1; s >= 0 && rising < 0; --s)
      {
        if (sample(s + 1) >= level && level > sample(s))
          rising = s;
      }
      if (falling >= 0)
      {
        const LabelAnchor a = anchorAt(falling, level);
        contourLabels.push_back(a);
        if (rising >= 0)
        {
          const LabelAnchor b = anchorAt(rising, level);
          if (std::hypot((b.u - a.u) * w, (b.v - a.v) * h) >= 60.0)
            contourLabels.push_back(b);
        }
      }
      else if (rising >= 0)
        contourLabels.push_back(anchorAt(rising, level));
    }
  }
  thinContourLabels(engine);
}

void MorphFieldOverlay::thinContourLabels(const MorphEngine& engine)
{
  const auto& points = engine.editState().points;
  const bool anyActive = std::any_of(points.begin(), points.end(), [](const MorphPoint& p) { return p.active; });
  if (contourLabels.size() < 2 || !anyActive)
    return;

  const float w = bounds.W();
  const float h = bounds.H();
  mLabelPlaces.resize(contourLabels.size());
  for (size_t k = 0; k < contourLabels.size(); ++k)
  {
    LabelPlace& place = mLabelPlaces[k];
    place.x = bounds.L + contourLabels[k].u * w;
    place.y = bounds.B - contourLabels[k].v * h;
    place.keep = true;
    place.nearest = -1;
    float best = 0.f;
    float px = 0.f;
    float py = 0.f;
    for (size_t i = 0; i < kNumPoints; ++i)
    {
      if (!points[i].active)
        continue;
      const float x = bounds.L + static_cast<float>(points[i].x) * w;
      const float y = bounds.B - static_cast<float>(points[i].y) * h;
      const float d2 = (place.x - x) * (place.x - x) + (place.y - y) * (place.y - y);
      if (place.nearest < 0 || d2 < best)
      {
        best = d2;
        place.nearest = static_cast<int>(i);
        px = x;
        py = y;
      }
    }
    place.angle = std::atan2(place.y - py, place.x - px);
  }

  constexpr float kPi = std::numbers::pi_v<float>;
  for (size_t i = 0; i < mLabelPlaces.size(); ++i)
  {
    if (!mLabelPlaces[i].keep)
      continue;
    const LabelPlace& a = mLabelPlaces[i];
    for (size_t j = i + 1; j < mLabelPlaces.size(); ++j)
    {
      LabelPlace& b = mLabelPlaces[j];
      if (!b.keep || b.nearest != a.nearest)
        continue;
      if (std::abs(contourLabels[i].level - contourLabels[j].level) > 0.0001f)
        continue;
      if (std::hypot(b.x - a.x, b.y - a.y) >= 60.f)
        continue;
      float turn = std::abs(a.angle - b.angle);
      if (turn > kPi)
        turn = 2.f * kPi - turn;
      if (turn < 0.5f * kPi)
        b.keep = false;
    }
  }

  size_t kept = 0;
  for (size_t k = 0; k < contourLabels.size(); ++k)
  {
    if (mLabelPlaces[k].keep)
      contourLabels[kept++] = contourLabels[k];
  }
  contourLabels.resize(kept);
}

} // namespace zarvo::morph
