// The overlay's links between neighbouring points, the basins between them with the ridge rays that
// climb from each basin to its points, and the borders between the cells the points dominate.
#include <algorithm>
#include <bit>
#include <cmath>

#include "utils/morph/morph_field_overlay.h"

namespace zarvo::morph {

namespace {

struct FieldPoint
{
  double x = 0.0;
  double y = 0.0;
};

// Maps between field coordinates (v up) and pixels (y down) of one rectangle.
struct PixelMap
{
  double l, t, w, h;

  explicit PixelMap(const plugkit::gfx::IRECT& r)
    : l(r.L)
    , t(r.T)
    , w(r.W())
    , h(r.H())
  {}
  double x(double u) const { return l + u * w; }
  double y(double v) const { return t + h - v * h; }
  double u(double px) const { return (px - l) / w; }
  double v(double py) const { return 1.0 - (py - t) / h; }
  double clampX(double px) const { return std::clamp(px, l, l + w); }
  double clampY(double py) const { return std::clamp(py, t, t + h); }
};

} // namespace

void MorphFieldOverlay::rebuildRidges(const MorphEngine& engine, double aspect, const Scales& scales)
{
  mBasins.clear();
  std::array<FieldPoint, kNumPoints> pts{};
  size_t n = 0;
  for (const MorphPoint& p : engine.editState().points)
  {
    if (p.active)
      pts[n++] = {p.x, p.y};
  }
  if (n < 2)
    return;

  // Links: Gabriel neighbours, pairs whose diameter circle holds no other point.
  for (size_t a = 0; a < n; ++a)
  {
    for (size_t b = a + 1; b < n; ++b)
    {
      const double dx = (pts[a].x - pts[b].x) * aspect;
      const double dy = pts[a].y - pts[b].y;
      const double q = (dx * dx + dy * dy) * 0.25;
      if (q < 1e-9)
        continue;
      const double mx = 0.5 * (pts[a].x + pts[b].x);
      const double my = 0.5 * (pts[a].y + pts[b].y);
      bool empty = true;
      for (size_t c = 0; c < n && empty; ++c)
      {
        if (c == a || c == b)
          continue;
        const double cx = (pts[c].x - mx) * aspect;
        const double cy = pts[c].y - my;
        empty = !(cx * cx + cy * cy < q * 0.999999);
      }
      if (empty)
        linkSegments.push_back({static_cast<float>(pts[a].x), static_cast<float>(pts[a].y),
                                static_cast<float>(pts[b].x), static_cast<float>(pts[b].y)});
    }
  }

  // Basins: the midpoint of two points, else the circumcentres of the Delaunay triangles.
  if (n == 2)
    mBasins.push_back(
      {static_cast<float>(0.5 * (pts[0].x + pts[1].x)), static_cast<float>(0.5 * (pts[0].y + pts[1].y)), 0b11u});
  else
  {
    for (size_t a = 0; a < n; ++a)
    {
      for (size_t b = a + 1; b < n; ++b)
      {
        for (size_t c = b + 1; c < n; ++c)
        {
          const double ax = pts[a].x * aspect, ay = pts[a].y;
          const double bx = pts[b].x * aspect, by = pts[b].y;
          const double cx = pts[c].x * aspect, cy = pts[c].y;
          const double D = 2.0 * (ax * (by - cy) + bx * (cy - ay) + cx * (ay - by));
          if (std::abs(D) < 1e-12)
            continue;
          const double a2 = ax * ax + ay * ay;
          const double b2 = bx * bx + by * by;
          const double c2 = cx * cx + cy * cy;
          const double ux = (a2 * (by - cy) + b2 * (cy - ay) + c2 * (ay - by)) / D;
          const double uy = (a2 * (cx - bx) + b2 * (ax - cx) + c2 * (bx - ax)) / D;
          const double r2 = (ax - ux) * (ax - ux) + (ay - uy) * (ay - uy);
          bool empty = true;
          for (size_t d = 0; d < n && empty; ++d)
          {
            if (d == a || d == b || d == c)
              continue;
            const double ex = pts[d].x * aspect - ux;
            const double ey = pts[d].y - uy;
            empty = !(ex * ex + ey * ey < r2 * 0.999999);
          }
          if (!empty)
            continue;
          const double su = ux / aspect;
          if (su < -0.1 || su > 1.1 || uy < -0.1 || uy > 1.1)
            continue;
          mBasins.push_back({static_cast<float>(std::clamp(su, 0.0, 1.0)), static_cast<float>(std::clamp(uy, 0.0, 1.0)),
                             (1u << a) | (1u << b) | (1u << c)});
        }
      }
    }
  }
  if (engine.editState().model != 0)
  {
    for (Basin& basin : mBasins)
    {
      double u = basin.u;
      double v = basin.v;
      refineBasinSeed(engine, scales, u, v);
      basin.u = static_cast<float>(u);
      basin.v = static_cast<float>(v);
    }
  }

  // Basins closer than 14 pixels are one basin: the first takes the others' points.
  const double w = bounds.W();
  const double h = bounds.H();
  for (size_t i = 0; i < mBasins.size(); ++i)
  {
    Basin& basin = mBasins[i];
    if (basin.members == 0)
      continue;
    for (size_t j = i + 1; j < mBasins.size(); ++j)
    {
      Basin& other = mBasins[j];
      if (other.members == 0)
        continue;
      const double dx = (static_cast<double>(other.u) - basin.u) * w;
      const double dy = (static_cast<double>(other.v) - basin.v) * h;
      if (dx * dx + dy * dy <= 196.0)
      {
        basin.members |= other.members;
        other.members = 0;
      }
    }
    for (uint32_t m = basin.members; m != 0; m &= m - 1)
    {
      const FieldPoint& p = pts[static_cast<size_t>(std::countr_zero(m))];
      traceRidgeRay(engine, scales, aspect, basin.u, basin.v, p.x, p.y);
    }
  }
}

void MorphFieldOverlay::refineBasinSeed(const MorphEngine& engine, const Scales& scales, double& u, double& v) const
{
  const PixelMap map(bounds);
  const auto dom = [&](double x, double y) { return engine.dominanceForRidgesAt(map.u(x), map.v(y), scales); };

  double px = map.x(u);
  double py = map.y(v);
  const double startX = px;
  const double startY = py;
  const double limit = 0.35 * std::min(map.w, map.h);
  double d = dom(px, py);
  double step = 6.0;
  for (int iteration = 0; iteration < 80; ++iteration)
  {
    const double gx = dom(px + 2.0, py) - dom(px - 2.0, py);
    const double gy = dom(px, py + 2.0) - dom(px, py - 2.0);
    const double len = std::hypot(gx, gy);
    if (len < 1e-8)
      break;
    const double nx = map.clampX(px - step * gx / len);
    const double ny = map.clampY(py - step * gy / len);
    const double nd = dom(nx, ny);
    if (nd < d)
    {
      // Downhill, but not so far that the seed leaves its place between the points.
      if (std::hypot(nx - startX, ny - startY) > limit)
        break;
      px = nx;
      py = ny;
      d = nd;
    }
    else
    {
      step *= 0.5;
      if (step < 0.5)
        break;
    }
  }
  u = map.u(px);
  v = map.v(py);
}

void MorphFieldOverlay::traceRidgeRay(const MorphEngine& engine, const Scales& scales, double aspect, double seedU,
                                      double seedV, double pointU, double pointV)
{
  const PixelMap map(bounds);
  const auto dom = [&](double x, double y) { return engine.dominanceForRidgesAt(map.u(x), map.v(y), scales); };

  const double sx = map.x(seedU);
  const double sy = map.y(seedV);
  const double ax = map.x(pointU);
  const double ay = map.y(pointV);
  const double startLen = std::hypot(ax - sx, ay - sy);
  if (startLen < 0.001)
    return;

  mRayPath.clear();
  mRayPath.push_back({static_cast<float>(sx), static_cast<float>(sy)});
  double px = sx + 5.0 * (ax - sx) / startLen;
  double py = sy + 5.0 * (ay - sy) / startLen;
  mRayPath.push_back({static_cast<float>(px), static_cast<float>(py)});

  for (int step = 0; step < 170; ++step)
  {
    const double tx = ax - px;
    const double ty = ay - py;
    const double toLen = std::hypot(tx, ty);
    if (toLen < 0.001)
      break;
    const double dirX = tx / toLen;
    const double dirY = ty / toLen;
    const double gx = dom(px + 4.0, py) - dom(px - 4.0, py);
    const double gy = dom(px, py + 4.0) - dom(px, py - 4.0);
    const double gLen = std::hypot(gx, gy);
    const double nx = gLen > 1e-9 ? gx / gLen : dirX;
    const double ny = gLen > 1e-9 ? gy / gLen : dirY;
    // Climb the dominance while being drawn towards the point.
    double vx = 0.65 * nx + 0.35 * dirX;
    double vy = 0.65 * ny + 0.35 * dirY;
    const double vLen = std::hypot(vx, vy);
    if (vLen > 1e-9)
    {
      vx /= vLen;
      vy /= vLen;
    }
    else
    {
      vx = dirX;
      vy = dirY;
    }
    const double qx = map.clampX(px + 5.0 * vx);
    const double qy = map.clampY(py + 5.0 * vy);
    if (std::hypot(qx - px, qy - py) < 0.5)
      break; // stuck against an edge
    px = qx;
    py = qy;
    mRayPath.push_back({static_cast<float>(px), static_cast<float>(py)});
    if (std::hypot(ax - px, ay - py) < 7.5 || dom(px, py) > 0.99)
      break;
  }

  if (!rayReachesAnchor(engine, aspect, mRayPath.front(), mRayPath.back()))
    return;
  smoothPath(mRayPath);
  for (size_t k = 1; k < mRayPath.size(); ++k)
  {
    const PixelPos& a = mRayPath[k - 1];
    const PixelPos& b = mRayPath[k];
    ridgeSegments.push_back({static_cast<float>(map.u(a.x)), static_cast<float>(map.v(a.y)),
                             static_cast<float>(map.u(b.x)), static_cast<float>(map.v(b.y))});
  }
}

bool MorphFieldOverlay::rayReachesAnchor(const MorphEngine& engine, double aspect, PixelPos first, PixelPos last) const
{
  const PixelMap map(bounds);
  const MorphEngine::RTState& s = engine.editState();
  const auto within = [&](const MorphPoint& p, double u, double v, double radius) {
    const double dx = (p.x - u) * aspect;
    const double dy = p.y - v;
    return dx * dx + dy * dy <= radius * radius;
  };
  for (const PixelPos& pos : {first, last})
  {
    const double u = map.u(pos.x);
    const double v = map.v(pos.y);
    if (s.points[0].active && s.centreSnapRadius > 0.0 && within(s.points[0], u, v, 1.5 * s.centreSnapRadius))
      return true;
    if (s.snapRadius > 0.0)
    {
      for (size_t i = 1; i < kNumPoints; ++i)
      {
        if (s.points[i].active && within(s.points[i], u, v, 1.5 * s.snapRadius))
          return true;
      }
    }
  }
  return false;
}

void MorphFieldOverlay::smoothPath(std::vector<PixelPos>& path) const
{
  if (path.size() < 3)
    return;
  for (int pass = 0; pass < 3; ++pass)
  {
    PixelPos before = path[0]; // the previous position as the last pass left it
    for (size_t i = 1; i + 1 < path.size(); ++i)
    {
      const PixelPos here = path[i];
      path[i].x = 0.25f * before.x + 0.5f * here.x + 0.25f * path[i + 1].x;
      path[i].y = 0.25f * before.y + 0.5f * here.y + 0.25f * path[i + 1].y;
      before = here;
    }
  }
}

void MorphFieldOverlay::rebuildCellBorders(const MorphEngine& engine, const Scales& scales)
{
  if (cellsX < 1 || cellsY < 1 || nodeOwners.size() < static_cast<size_t>(cellsX + 1) * (cellsY + 1))
    return;
  const bool compactTail = engine.editState().model == 2 || engine.editState().model == 3;
  const double stepU = 1.5 * samplePitch / bounds.W();
  const double stepV = 1.5 * samplePitch / bounds.H();
  const int stride = cellsX + 1;

  struct Crossing
  {
    double u, v;
    bool horizontal;
  };

  for (int j = 0; j < cellsY; ++j)
  {
    for (int i = 0; i < cellsX; ++i)
    {
      const int tl = nodeOwners[static_cast<size_t>(j * stride + i)];
      const int tr = nodeOwners[static_cast<size_t>(j * stride + i + 1)];
      const int bl = nodeOwners[static_cast<size_t>((j + 1) * stride + i)];
      const int br = nodeOwners[static_cast<size_t>((j + 1) * stride + i + 1)];
      if (bl == br && br == tr && tr == tl)
        continue;

      const double uL = static_cast<double>(i) / cellsX;
      const double uR = static_cast<double>(i + 1) / cellsX;
      const double vB = 1.0 - static_cast<double>(j + 1) / cellsY;
      const double vT = 1.0 - static_cast<double>(j) / cellsY;
      // Corners counter-clockwise from the bottom left; edge e runs from corner e to corner e + 1.
      const double cu[4] = {uL, uR, uR, uL};
      const double cv[4] = {vB, vB, vT, vT};
      const int owner[4] = {bl, br, tr, tl};

      std::array<Crossing, 4> found{};
      int count = 0;
      for (int e = 0; e < 4; ++e)
      {
        const int s = e;
        const int f = (e + 1) & 3;
        if (owner[s] == owner[f])
          continue;
        // Bisect to where the owner changes, to 1/64 of the edge.
        double lo = 0.0;
        double hi = 1.0;
        for (int k = 0; k < 6; ++k)
        {
          const double mid = 0.5 * (lo + hi);
          const double u = cu[s] + (cu[f] - cu[s]) * mid;
          const double v = cv[s] + (cv[f] - cv[s]) * mid;
          if (static_cast<int>(engine.fieldSampleAt(u, v, scales).point) == owner[s])
            lo = mid;
          else
            hi = mid;
        }
        const double t = 0.5 * (lo + hi);
        const Crossing c{cu[s] + (cu[f] - cu[s]) * t, cv[s] + (cv[f] - cv[s]) * t, e == 0 || e == 2};
        if (compactTail)
        {
          // With compact tails a border is drawn only in a real valley between two points, or
          // where both sides are firmly owned.
          const double du = c.horizontal ? stepU : 0.0;
          const double dv = c.horizontal ? 0.0 : stepV;
          const double d0 = engine.dominanceAt(c.u, c.v, scales);
          const double d1 = engine.dominanceAt(c.u - du, c.v - dv, scales);
          const double d2 = engine.dominanceAt(c.u + du, c.v + dv, scales);
          if (!(std::max(d1, d2) - d0 > 0.2 || std::min({d0, d1, d2}) > 0.9))
            continue;
        }
        found[static_cast<size_t>(count++)] = c;
      }

      const auto add = [&](double u0, double v0, double u1, double v1) {
        cellBorderSegments.push_back(
          {static_cast<float>(u0), static_cast<float>(v0), static_cast<float>(u1), static_cast<float>(v1)});
      };
      if (count == 2)
        add(found[0].u, found[0].v, found[1].u, found[1].v);
      else if (count == 1)
        add(found[0].u, found[0].v, 0.5 * (uL + uR), 0.5 * (vB + vT));
      else if (count >= 3)
      {
        double mu = 0.0;
        double mv = 0.0;
        for (int k = 0; k < count; ++k)
        {
          mu += found[static_cast<size_t>(k)].u;
          mv += found[static_cast<size_t>(k)].v;
        }
        mu /= count;
        mv /= count;
        for (int k = 0; k < count; ++k)
          add(found[static_cast<size_t>(k)].u, found[static_cast<size_t>(k)].v, mu, mv);
      }
    }
  }
}

} // namespace zarvo::morph
