#include "utils/morph/morph_engine.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>

#include "IPlugin/IPluginThreadRole.h"

namespace zarvo::morph {

namespace {

constexpr double kMinScale = 0.02;
constexpr double kRescueSum = 0.001;
constexpr double kCircularFloor = 1e-6;

double squaredPadDistance(const MorphEngine::RTState& s, const MorphPoint& p, double x, double y)
{
  const double dx = (p.x - x) * s.aspect;
  const double dy = p.y - y;
  return dx * dx + dy * dy;
}

void normalise(Weights& w, double sum)
{
  if (sum > 0.0)
  {
    for (double& v : w)
      v /= sum;
  }
}

} // namespace

size_t dominantIndex(const Weights& w)
{
  size_t best = 0;
  double running = std::max(w[0], -1.0);
  for (size_t i = 1; i < w.size(); ++i)
  {
    if (w[i] > running)
    {
      best = i;
      running = w[i];
    }
  }
  return best;
}

MorphEngine::MorphEngine(const MorphParamRows& rows)
  : mRows(rows)
{
  mSnapshot.publish(mEditState);
}

void MorphEngine::edit(const Edit& e)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const auto take = [](auto& to, const auto& from) {
    if (from)
      to = *from;
  };
  take(mEditState, e.field);
  if (e.point && *e.point < kNumPoints)
  {
    MorphPoint& p = mEditState.points[*e.point];
    take(p, e.whole);
    take(p.x, e.x);
    take(p.y, e.y);
    take(p.active, e.active);
    take(p.values, e.values);
    if (e.row && *e.row < kNumMorphParams && e.value)
      p.values[*e.row] = *e.value;
    take(p.noteMask, e.noteMask);
  }
  take(mEditState.focus, e.focus);
  take(mEditState.model, e.model);
  take(mEditState.sigma, e.sigma);
  take(mEditState.shapeContrast, e.shapeContrast);
  take(mEditState.cutoffContrast, e.cutoffContrast);
  take(mEditState.aspect, e.aspect);
  take(mEditState.snapRadius, e.snapRadius);
  take(mEditState.centreSnapRadius, e.centreSnapRadius);
  take(mPointScale, e.pointScale);
  take(mEditing, e.editing);
  take(mPadOption, e.padOption);
  take(mMoving, e.moving);
  take(mSelection, e.selection);
}

bool MorphEngine::blendBlock(double x, double y)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  const bool newField = loadNewerAudioState();
  setPosition(x, y);
  const auto same = [](double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); };
  if (!newField && mBlockBlend.valid && same(x, mBlockBlend.x) && same(y, mBlockBlend.y))
    return false;
  Scales scales{};
  computeScales(mAudioState, scales);
  computeWeightsInto(mAudioState, x, y, mWeights, scales, true, 1.0);
  resolveInto(mAudioState, mWeights, mResolved);
  mBlockBlend.x = x;
  mBlockBlend.y = y;
  mBlockBlend.valid = true;
  return true;
}

void MorphEngine::blendWeights(const Weights& w)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  mWeights = w;
  resolveInto(mAudioState, mWeights, mResolved);
}

void MorphEngine::setBlockDerived(const MorphValues& plain, const std::array<double, 6>& mainShape,
                                  const std::array<double, 3>& preFilterA, const std::array<double, 3>& preFilterB)
{
  PLUGKIT_ASSERT_AUDIO_THREAD();
  mBlockBlend.plain = plain;
  mBlockBlend.mainShape = mainShape;
  mBlockBlend.preFilterA = preFilterA;
  mBlockBlend.preFilterB = preFilterB;
}

void MorphEngine::setPosition(double x, double y)
{
  mPosX.store(x, std::memory_order_relaxed);
  mPosY.store(y, std::memory_order_relaxed);
}

bool MorphEngine::computeScales(const RTState& s, Scales& scales) const
{
  const double k = s.neighborIndex[modelSlot(s.model)];
  bool anyActive = false;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    scales[i] = 1.0;
    const MorphPoint& p = s.points[i];
    if (!p.active)
      continue;
    anyActive = true;

    // The centre point is never anybody's neighbour.
    std::array<double, kNumPoints> d2{};
    size_t n = 0;
    for (size_t j = 1; j < kNumPoints; ++j)
    {
      if (j != i && s.points[j].active)
        d2[n++] = squaredPadDistance(s, s.points[j], p.x, p.y);
    }
    if (n == 0)
      continue;
    std::sort(d2.begin(), d2.begin() + static_cast<std::ptrdiff_t>(n));

    double scale = 0.0;
    if (k <= 1.0)
      scale = k * std::sqrt(d2[0]);
    else
    {
      const double a = k - 1.0;
      double lo = std::min(std::trunc(a), static_cast<double>(n - 1));
      if (!(lo >= 0.0))
        lo = 0.0;
      const double hi = std::min(lo + 1.0, static_cast<double>(n - 1));
      const double f = std::min(1.0, a - lo);
      const double dLo = std::sqrt(d2[static_cast<size_t>(lo)]);
      const double dHi = std::sqrt(d2[static_cast<size_t>(hi)]);
      scale = dLo + (dHi - dLo) * f;
    }
    scales[i] = std::max(scale, kMinScale);
  }
  return anyActive;
}

void MorphEngine::computeWeightsInto(const RTState& s, double x, double y, Weights& w, const Scales& scales,
                                     bool useFocus, double widthScale) const
{
  if (useFocus && static_cast<uint32_t>(s.focus) < kNumPoints)
  {
    w.fill(0.0);
    w[static_cast<size_t>(s.focus)] = 1.0;
    return;
  }
  unfocusedWeightsInto(s, x, y, w, scales, widthScale);
}

void MorphEngine::unfocusedWeightsInto(const RTState& s, double x, double y, Weights& w, const Scales& scales,
                                       double widthScale) const
{
  computeBlendInto(s, x, y, w, scales, widthScale);
  if (s.points[0].active && softSnap(s, 0, x, y, s.centreSnapRadius, w))
    return;

  size_t nearest = kNumPoints;
  double best = std::numeric_limits<double>::max();
  for (size_t i = 1; i < kNumPoints; ++i)
  {
    if (!s.points[i].active)
      continue;
    const double d2 = squaredPadDistance(s, s.points[i], x, y);
    if (d2 < best)
    {
      best = d2;
      nearest = i;
    }
  }
  if (nearest < kNumPoints)
    softSnap(s, nearest, x, y, s.snapRadius, w);
}

void MorphEngine::computeBlendInto(const RTState& s, double x, double y, Weights& w, const Scales& scales,
                                   double widthScale) const
{
  switch (s.model)
  {
  case 0: computeGaussianInto(s, x, y, w, false, scales, widthScale); break;
  case 1: computeGaussianInto(s, x, y, w, true, scales, widthScale); break;
  case 2:
  {
    const double v = (2.0 - s.sigma) / 1.98;
    const double width = v < 0.0 ? 2.0 : 2.0 + std::min(1.0, v) * -0.9 * 1.98;
    computeCompactTailInto(s, x, y, w, 0.0, scales, widthScale, width);
    break;
  }
  case 3: computeCompactTailInto(s, x, y, w, s.kernelTail, scales, widthScale, s.sigma); break;
  case 4: computeNaturalNeighborInto(s, x, y, w, widthScale); break;
  default: break;
  }
}

bool MorphEngine::softSnap(const RTState& s, size_t p, double x, double y, double radius, Weights& w) const
{
  if (!(radius > 0.0) || p >= kNumPoints)
    return false;
  const double band = s.snapFeather * radius;
  const double dist = std::sqrt(squaredPadDistance(s, s.points[p], x, y));
  if (dist > radius + band)
    return false;

  double t = (dist <= radius || band <= 0.0) ? 0.0 : (dist - radius) / band;
  if (t > 0.0 && s.snapCurve != 1.0)
    t = 1.0 - std::pow(1.0 - t, s.snapCurve);
  for (double& v : w)
    v *= t;
  w[p] += 1.0 - t;
  return true;
}

void MorphEngine::computeGaussianInto(const RTState& s, double x, double y, Weights& w, bool adaptive,
                                      const Scales& scales, double widthScale) const
{
  const double globalWidth = s.sigma * 0.6 * 0.3 * widthScale;
  Weights e{};
  double eMax = std::numeric_limits<double>::lowest();
  bool anyActive = false;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!s.points[i].active)
      continue;
    anyActive = true;
    const double width = adaptive ? scales[i] * s.sigma * 1.5 * 0.3 * widthScale : globalWidth;
    e[i] = -squaredPadDistance(s, s.points[i], x, y) / (width * width);
    eMax = std::max(eMax, e[i]);
  }

  w.fill(0.0);
  if (!anyActive)
    return;
  double sum = 0.0;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (s.points[i].active)
    {
      w[i] = std::exp(e[i] - eMax);
      sum += w[i];
    }
  }
  normalise(w, sum);
}

void MorphEngine::computeCompactTailInto(const RTState& s, double x, double y, Weights& w, double tail,
                                         const Scales& scales, double widthScale, double width) const
{
  double sum = 0.0;
  size_t nearest = kNumPoints;
  double nearestD2 = std::numeric_limits<double>::infinity();
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    w[i] = 0.0;
    if (!s.points[i].active)
      continue;
    const double d2 = squaredPadDistance(s, s.points[i], x, y);
    if (d2 < nearestD2)
    {
      nearestD2 = d2;
      nearest = i;
    }
    const double h = scales[i] * width * widthScale;
    const double q = d2 / (h * h);
    const double core = q < 1.0 ? (1.0 - q) * (1.0 - q) * (1.0 - q) : 0.0;
    w[i] = core + tail * std::pow(q + 1.0, s.tailPower * -0.5);
    sum += w[i];
  }

  // Far outside every kernel the field fades to the nearest point instead of to silence.
  if (nearest < kNumPoints && sum < kRescueSum)
  {
    const double r = sum / kRescueSum;
    const double b = 1.0 - (3.0 - 2.0 * r) * r * r;
    w[nearest] += b;
    sum += b;
  }
  normalise(w, sum);
}

void MorphEngine::computeNaturalNeighborInto(const RTState& s, double x, double y, Weights& w, double widthScale) const
{
  w.fill(0.0);
  std::array<size_t, kNumPoints> index{};
  std::array<double, kNumPoints> px{};
  std::array<double, kNumPoints> py{};
  size_t n = 0;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (s.points[i].active)
    {
      index[n] = i;
      px[n] = s.points[i].x * s.aspect;
      py[n] = s.points[i].y;
      ++n;
    }
  }
  if (n == 0)
    return;

  const double qx = x * s.aspect;
  const double qy = y;
  // Nearest listed point to (sx, sy): strict comparison, the first of equals wins.
  const auto nearestTo = [&](double sx, double sy, double& bestD2) {
    size_t best = 0;
    bestD2 = std::numeric_limits<double>::infinity();
    for (size_t k = 0; k < n; ++k)
    {
      const double dx = px[k] - sx;
      const double dy = py[k] - sy;
      const double d2 = dx * dx + dy * dy;
      if (d2 < bestD2 || k == 0)
      {
        bestD2 = d2;
        best = k;
      }
    }
    return best;
  };

  double firstD2 = std::numeric_limits<double>::infinity();
  double secondD2 = std::numeric_limits<double>::infinity();
  for (size_t k = 0; k < n; ++k)
  {
    const double dx = px[k] - qx;
    const double dy = py[k] - qy;
    const double d2 = dx * dx + dy * dy;
    if (d2 < firstD2)
    {
      secondD2 = firstD2;
      firstD2 = d2;
    }
    else if (d2 < secondD2)
      secondD2 = d2;
  }
  double nearestD2 = 0.0;
  const size_t nearest = nearestTo(qx, qy, nearestD2);
  const double base = n == 1 ? firstD2 : secondD2;
  const double radius = std::sqrt(base) * s.nnRadius;
  const int32_t samples = s.nnSamples;

  size_t counted = 0;
  if (radius > 1e-9 && samples > 0)
  {
    const double r2 = radius * radius;
    const auto offsetOf = [&](int32_t i) { return samples == 1 ? 0.0 : (2.0 * i / (samples - 1) - 1.0) * radius; };
    for (int32_t iy = 0; iy < samples; ++iy)
    {
      const double oy = offsetOf(iy);
      for (int32_t ix = 0; ix < samples; ++ix)
      {
        const double ox = offsetOf(ix);
        const double o2 = ox * ox + oy * oy;
        if (o2 > r2)
          continue;
        double d2 = 0.0;
        const size_t k = nearestTo(qx + ox, qy + oy, d2);
        // The sample lies nearer to the query position than to any point: the query takes it from k.
        if (d2 > o2)
        {
          w[index[k]] += 1.0;
          ++counted;
        }
      }
    }
  }
  if (counted > 0)
  {
    const double inv = 1.0 / static_cast<double>(counted);
    for (double& v : w)
      v *= inv;
  }
  else
    w[index[nearest]] = 1.0;

  const double v = (2.0 - s.sigma) / 1.98;
  const double c = v < 0.0 ? 0.0 : std::min(1.0, v);
  const double cw = c / widthScale;
  applyGamma(w, 1.0 + 7.0 * cw * cw);
}

void MorphEngine::applyGamma(Weights& w, double gamma)
{
  if (!(gamma > 1.0))
    return;
  const double m = *std::max_element(w.begin(), w.end());
  if (!(m > 0.0))
    return;
  double sum = 0.0;
  for (double& v : w)
  {
    v = v > 0.0 ? std::pow(v / m, gamma) : 0.0;
    sum += v;
  }
  normalise(w, sum);
}

double MorphEngine::contrastGamma(double contrast, uint32_t model)
{
  const double k = model == 4 ? 7.0 : 99.0;
  return 1.0 + contrast * contrast * k;
}

void MorphEngine::resolveInto(const RTState& s, const Weights& w, MorphValues& out) const
{
  Weights cutoff = w;
  applyGamma(cutoff, contrastGamma(s.cutoffContrast, s.model));
  const size_t dominantModel = dominantIndex(w);
  const size_t dominantCutoff = dominantIndex(cutoff);

  for (size_t r = 0; r < kNumMorphParams; ++r)
  {
    const MorphParamRow& row = mRows[r];
    const bool cutoffSet = row.weightSet == kWeightsCutoff;
    const Weights& W = cutoffSet ? cutoff : w;
    const size_t dominant = cutoffSet ? dominantCutoff : dominantModel;

    if (row.kind == kBlendWeightedSum)
    {
      double sum = 0.0;
      for (size_t i = 0; i < kNumPoints; ++i)
        sum += W[i] * s.points[i].values[r];
      out[r] = sum;
      continue;
    }
    if (row.kind == kBlendCircular)
    {
      constexpr double kTwoPi = 2.0 * std::numbers::pi;
      double sumCos = 0.0;
      double sumSin = 0.0;
      for (size_t i = 0; i < kNumPoints; ++i)
      {
        const double a = kTwoPi * s.points[i].values[r];
        sumCos += W[i] * std::cos(a);
        sumSin += W[i] * std::sin(a);
      }
      if (sumCos * sumCos + sumSin * sumSin >= kCircularFloor)
      {
        double a = std::atan2(sumSin, sumCos);
        if (a < 0.0)
          a += kTwoPi;
        out[r] = a / kTwoPi;
        continue;
      }
    }
    out[r] = s.points[dominant].values[r];
  }
}

MorphValues MorphEngine::resolvedAt(double x, double y) const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  Scales scales{};
  computeScales(mEditState, scales);
  Weights w{};
  computeWeightsInto(mEditState, x, y, w, scales, false, 1.0);
  MorphValues out{};
  resolveInto(mEditState, w, out);
  return out;
}

double MorphEngine::dominanceAt(double x, double y, const Scales& scales) const
{
  Weights w{};
  unfocusedWeightsInto(mEditState, x, y, w, scales, 1.0);
  return std::max(0.0, *std::max_element(w.begin(), w.end()));
}

double MorphEngine::dominanceForRidgesAt(double x, double y, const Scales& scales) const
{
  Weights w{};
  unfocusedWeightsInto(mEditState, x, y, w, scales, mEditState.model == 0 ? 1.0 : 2.5);
  return std::max(0.0, *std::max_element(w.begin(), w.end()));
}

MorphEngine::FieldSample MorphEngine::fieldSampleAt(double x, double y, const Scales& scales) const
{
  Weights w{};
  unfocusedWeightsInto(mEditState, x, y, w, scales, 1.0);
  const size_t point = dominantIndex(w);
  return {point, w[point]};
}

} // namespace zarvo::morph
