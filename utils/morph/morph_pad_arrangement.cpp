// Keeping the pad's points apart: pushes in pixel space, in single precision, without allocation.
#include <algorithm>
#include <cmath>

#include "utils/morph/morph_pad_control.h"

namespace zarvo::morph {

namespace {

constexpr int kFirstUser = 1;
constexpr int kLastUser = static_cast<int>(kNumPoints) - 1;
constexpr int kPasses = 8;
// Dense layouts can still overlap after the eight passes; further passes run only then.
constexpr int kMaxExtraPasses = 120;

bool has(MorphPadControl::Mask m, int i) { return (m >> i) & 1u; }

} // namespace

float MorphPadControl::footprint(int i) const
{
  return (engine.editState().points[static_cast<size_t>(i)].active ? 18.f : 9.f) * ps();
}

void MorphPadControl::clampToInset(int i, float& px, float& py) const
{
  const IRECT& r = GetRECT();
  const float m = margin(i);
  px = px < r.L + m ? r.L + m : std::min(px, r.R - m);
  py = py < r.T + m ? r.T + m : std::min(py, r.B - m);
}

void MorphPadControl::clampedPixel(int i, float& px, float& py, bool preDrag) const
{
  const IRECT& r = GetRECT();
  const size_t k = static_cast<size_t>(i);
  const double x = preDrag ? preDragX[k] : engine.editState().points[k].x;
  const double y = preDrag ? preDragY[k] : engine.editState().points[k].y;
  px = r.L + static_cast<float>(x) * r.W();
  py = r.B - static_cast<float>(y) * r.H();
  clampToInset(i, px, py);
}

void MorphPadControl::writeBack(int i, float px, float py)
{
  const IRECT& r = GetRECT();
  if (r.W() <= 0.f || r.H() <= 0.f)
    return;
  engine.edit({.point = static_cast<size_t>(i),
               .x = static_cast<double>((px - r.L) / r.W()),
               .y = static_cast<double>(1.f - (py - r.T) / r.H())});
}

void MorphPadControl::pushApart(float& px, float& py, int a, float qx, float qy, int b, float d, bool golden) const
{
  const float vx = px - qx;
  const float vy = py - qy;
  const float dist = std::sqrt(vx * vx + vy * vy);
  if (dist >= d)
    return;
  float dx = 1.f;
  float dy = 0.f;
  if (dist < 0.0001f)
  {
    if (golden)
    {
      const float theta = 2.3999631f * static_cast<float>(17 * std::min(a, b) + std::max(a, b));
      const float s = b > a ? 1.f : -1.f;
      dx = s * std::cos(theta);
      dy = s * std::sin(theta);
    }
  }
  else
  {
    dx = vx / dist;
    dy = vy / dist;
  }
  px = qx + dx * d;
  py = qy + dy * d;
}

float MorphPadControl::overlapAt(int i, float px, float py, Mask set) const
{
  float worst = 0.f;
  for (int j = kFirstUser; j <= kLastUser; ++j)
  {
    if (j == i || !has(set, j))
      continue;
    float qx = 0.f;
    float qy = 0.f;
    clampedPixel(j, qx, qy);
    const float dist = std::sqrt((px - qx) * (px - qx) + (py - qy) * (py - qy));
    worst = std::max(worst, required(i, j) - dist);
  }
  return worst;
}

void MorphPadControl::edgeRelease(int i, float& px, float& py, Mask set) const
{
  clampToInset(i, px, py);
  const float overlap = overlapAt(i, px, py, set);
  if (overlap <= 1.f)
    return;
  const IRECT& r = GetRECT();
  const float m = margin(i);
  if (px <= r.L + m + 1.f)
    px += overlap;
  else if (px >= r.R - m - 1.f)
    px -= overlap;
  if (py <= r.T + m + 1.f)
    py += overlap;
  else if (py >= r.B - m - 1.f)
    py -= overlap;
  clampToInset(i, px, py);
}

MorphPadControl::Mask MorphPadControl::obstacleMask(Mask movers) const
{
  constexpr Mask userBits = ((1u << kNumPoints) - 1u) & ~1u;
  return userBits & ~movers;
}

bool MorphPadControl::moversBounds(Mask mask, float& minX, float& minY, float& maxX, float& maxY) const
{
  bool any = false;
  for (int i = 0; i <= kLastUser; ++i)
  {
    if (!has(mask, i))
      continue;
    float px = 0.f;
    float py = 0.f;
    clampedPixel(i, px, py);
    if (!any)
    {
      minX = maxX = px;
      minY = maxY = py;
      any = true;
    }
    minX = std::min(minX, px);
    maxX = std::max(maxX, px);
    minY = std::min(minY, py);
    maxY = std::max(maxY, py);
  }
  return any;
}

bool MorphPadControl::anyOverlap() const
{
  for (int i = kFirstUser; i <= kLastUser; ++i)
  {
    float px = 0.f;
    float py = 0.f;
    clampedPixel(i, px, py);
    if (overlapAt(i, px, py, ((1u << kNumPoints) - 1u) & ~((2u << i) - 1u)) > 1.f)
      return true;
  }
  return false;
}

void MorphPadControl::relaxAllPoints(Mask first)
{
  std::array<int, kNumPoints> order{};
  for (int i = 0; i <= kLastUser; ++i)
    order[static_cast<size_t>(i)] = i;
  auto key = [this, first](int i) {
    if (has(first, i))
      return 0;
    return engine.editState().points[static_cast<size_t>(i)].active ? 2 : 1;
  };
  std::stable_sort(order.begin(), order.end(), [&key](int a, int b) { return key(a) < key(b); });

  constexpr Mask users = ((1u << kNumPoints) - 1u) & ~1u;
  for (int pass = 0; pass < kPasses + kMaxExtraPasses; ++pass)
  {
    if (pass >= kPasses && !anyOverlap())
      break;
    for (int i : order)
    {
      if (i == 0)
        continue;
      float px = 0.f;
      float py = 0.f;
      clampedPixel(i, px, py);
      for (int j = kFirstUser; j <= kLastUser; ++j)
      {
        if (j == i)
          continue;
        float qx = 0.f;
        float qy = 0.f;
        clampedPixel(j, qx, qy);
        pushApart(px, py, i, qx, qy, j, required(i, j), true);
      }
      edgeRelease(i, px, py, users);
      writeBack(i, px, py);
    }
  }
}

void MorphPadControl::separateMovers(Mask movers, int anchor)
{
  Mask moved = movers & ~1u;
  if (anchor >= kFirstUser)
    moved &= ~(1u << anchor);
  const Mask others = movers & ~1u;
  for (int pass = 0; pass < kPasses; ++pass)
  {
    for (int i = kFirstUser; i <= kLastUser; ++i)
    {
      if (!has(moved, i))
        continue;
      float px = 0.f;
      float py = 0.f;
      clampedPixel(i, px, py);
      for (int j = kFirstUser; j <= kLastUser; ++j)
      {
        if (j == i || j == anchor || !has(others, j))
          continue;
        float qx = 0.f;
        float qy = 0.f;
        clampedPixel(j, qx, qy);
        pushApart(px, py, i, qx, qy, j, required(i, j), true);
      }
      if (anchor >= kFirstUser)
      {
        float qx = 0.f;
        float qy = 0.f;
        clampedPixel(anchor, qx, qy);
        pushApart(px, py, i, qx, qy, anchor, required(i, anchor), false);
      }
      edgeRelease(i, px, py, others);
      writeBack(i, px, py);
    }
  }
}

void MorphPadControl::pushMoversAside(float& px, float& py, Mask movers, int anchor, int self) const
{
  for (int j = kFirstUser; j <= kLastUser; ++j)
  {
    if (j == anchor || !has(movers, j))
      continue;
    float qx = 0.f;
    float qy = 0.f;
    clampedPixel(j, qx, qy);
    pushApart(px, py, self, qx, qy, j, required(j, self), false);
  }
  if (anchor >= kFirstUser)
  {
    float qx = 0.f;
    float qy = 0.f;
    clampedPixel(anchor, qx, qy);
    pushApart(px, py, self, qx, qy, anchor, required(anchor, self), false);
  }
}

void MorphPadControl::shoveNeighboursAside(Mask movers, int anchor)
{
  const Mask obstacles = obstacleMask(movers);
  for (int k = kFirstUser; k <= kLastUser; ++k)
  {
    if (!has(obstacles, k))
      continue;
    engine.edit(
      {.point = static_cast<size_t>(k), .x = preDragX[static_cast<size_t>(k)], .y = preDragY[static_cast<size_t>(k)]});
  }
  const Mask overlapSet = (movers & ~1u) | obstacles;
  for (int pass = 0; pass < kPasses; ++pass)
  {
    for (int k = kFirstUser; k <= kLastUser; ++k)
    {
      if (!has(obstacles, k))
        continue;
      float px = 0.f;
      float py = 0.f;
      clampedPixel(k, px, py);
      for (int j = kFirstUser; j <= kLastUser; ++j)
      {
        if (j == k || !has(obstacles, j))
          continue;
        float qx = 0.f;
        float qy = 0.f;
        clampedPixel(j, qx, qy);
        pushApart(px, py, k, qx, qy, j, required(k, j), true);
      }
      pushMoversAside(px, py, movers, anchor, k);
      edgeRelease(k, px, py, overlapSet);
      writeBack(k, px, py);
    }
  }
}

void MorphPadControl::settleMovers(Mask movers, int anchor, const std::array<float, kNumPoints>& prevX,
                                   const std::array<float, kNumPoints>& prevY)
{
  const Mask obstacles = obstacleMask(movers);
  bool reverted = false;
  for (int i = kFirstUser; i <= kLastUser; ++i)
  {
    if (!has(movers, i))
      continue;
    float px = 0.f;
    float py = 0.f;
    clampedPixel(i, px, py);
    if (overlapAt(i, px, py, obstacles) <= 1.f)
      continue;
    for (int it = 0; it < 4; ++it)
    {
      for (int j = kFirstUser; j <= kLastUser; ++j)
      {
        if (!has(obstacles, j))
          continue;
        float qx = 0.f;
        float qy = 0.f;
        clampedPixel(j, qx, qy);
        pushApart(px, py, i, qx, qy, j, required(i, j), true);
      }
      clampToInset(i, px, py);
      if (overlapAt(i, px, py, obstacles) > 1.f)
        edgeRelease(i, px, py, obstacles);
    }
    const float residual = overlapAt(i, px, py, obstacles);
    const size_t k = static_cast<size_t>(i);
    if (residual <= 1.f || residual <= overlapAt(i, prevX[k], prevY[k], obstacles))
    {
      writeBack(i, px, py);
    }
    else
    {
      writeBack(i, prevX[k], prevY[k]);
      reverted = true;
    }
  }
  if (reverted)
    shoveNeighboursAside(movers, anchor);
}

void MorphPadControl::beginSpread()
{
  constexpr Mask userBits = ((1u << kNumPoints) - 1u);
  spreadGroup = engine.selection() & userBits;
  float minX = 0.f;
  float minY = 0.f;
  float maxX = 0.f;
  float maxY = 0.f;
  if (moversBounds(spreadGroup, minX, minY, maxX, maxY))
    spreadCentre = {(minX + maxX) / 2.f, (minY + maxY) / 2.f};
  // The slider's place at the start is the group's present size (factor 1); a drag scales relative
  // to it. A start at 0 would make every later step an unbounded factor.
  spreadValue = std::clamp(std::isfinite(spreadValue) ? spreadValue : 1.f, 0.01f, 1.f);
  spreadAtStart = spreadValue;
  capturePreDragPositions();
}

void MorphPadControl::scaleSpreadGroup(float factor)
{
  std::array<float, kNumPoints> prevX{};
  std::array<float, kNumPoints> prevY{};
  for (int i = 0; i <= kLastUser; ++i)
    if (has(spreadGroup, i))
      clampedPixel(i, prevX[static_cast<size_t>(i)], prevY[static_cast<size_t>(i)]);

  const float s = std::max(0.01f, std::isfinite(factor) ? factor : 1.f);
  if (s != 1.f)
    openPointsEdit();

  int count = 0;
  for (int i = 0; i <= kLastUser; ++i)
  {
    if (!has(spreadGroup, i))
      continue;
    ++count;
    float px = 0.f;
    float py = 0.f;
    clampedPixel(i, px, py, true);
    px = spreadCentre[0] + (px - spreadCentre[0]) * s;
    py = spreadCentre[1] + (py - spreadCentre[1]) * s;
    clampToInset(i, px, py);
    writeBack(i, px, py);
  }
  if (count >= 2)
    separateMovers(spreadGroup, -1);
  shoveNeighboursAside(spreadGroup, -1);
  settleMovers(spreadGroup, -1, prevX, prevY);

  spreadAppliedValue = spreadValue;
  spreadAppliedGroup = spreadGroup;
  spreadFill = 0.f;
  float minX = 0.f;
  float minY = 0.f;
  float maxX = 0.f;
  float maxY = 0.f;
  if (moversBounds(spreadGroup, minX, minY, maxX, maxY))
  {
    const IRECT& r = GetRECT();
    // A pad no larger than a point counts as filled by any spread.
    auto ratio = [](float extent, float room) { return room > 0.f ? extent / room : 1.f; };
    const float fill = std::max(ratio(maxX - minX, r.W() - 36.f * ps()), ratio(maxY - minY, r.H() - 36.f * ps()));
    spreadFill = std::clamp(fill, 0.f, 1.f);
  }
}

} // namespace zarvo::morph
