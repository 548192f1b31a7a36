#include "product/dsp/shape_match.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace zarvo {

namespace shape_match {

namespace {

double levelDb(std::complex<double> h)
{
  const double magnitude = std::abs(h);
  if (magnitude == 0.0)
    return kFloorDb;
  return std::max(20.0 * std::log10(magnitude), kFloorDb);
}

// sqrt of the mean of squared level differences over the grid at two settings.
template <typename LevelDiff>
double rmsOverGrid(const std::array<double, 2>& settings, LevelDiff diff)
{
  double sum = 0.0;
  for (double setting : settings)
    for (int n = 0; n < kGridPoints; ++n)
    {
      const double d = diff(setting, gridFrequency(n));
      sum += d * d;
    }
  return std::sqrt(sum / (2.0 * kGridPoints));
}

} // namespace

double gridFrequency(int n) { return 20.0 * std::pow(1000.0, n / static_cast<double>(kGridPoints - 1)); }

double ladderDb(const stage_coeffs& c, double k, double frequency)
{
  const std::complex<double> p = 1.0 / std::complex<double>(1.0, frequency / 1000.0);
  const std::complex<double> p2 = p * p;
  const std::complex<double> p4 = p2 * p2;
  const std::complex<double> numerator = c[0] + c[1] * p + c[2] * p2 + c[3] * p2 * p + c[4] * p4;
  return levelDb(numerator / (1.0 + k * p4));
}

double svfDb(const svf_coeffs& c, double q, double frequency)
{
  const double w = frequency / 1000.0;
  const std::complex<double> numerator(c[0] - c[1] * w * w, c[2] * w);
  const std::complex<double> denominator(1.0 - w * w, w / q);
  return levelDb(numerator / denominator);
}

double rmsDb(const std::array<double, 2>& qs, const svf_coeffs& a, const svf_coeffs& b)
{
  return rmsOverGrid(qs, [&](double q, double f) { return svfDb(a, q, f) - svfDb(b, q, f); });
}

} // namespace shape_match

double shapeDistanceDb(const svf_coeffs& a, const svf_coeffs& b)
{
  return shape_match::rmsDb(shape_match::kSvfQs, a, b);
}

int nearestPassType(const stage_coeffs& target,
                    const std::array<std::optional<stage_coeffs>, kNumPassTypes>& candidates)
{
  using shape_match::ladderDb;
  int best = -1;
  double bestDistance = std::numeric_limits<double>::max();
  for (int i = 0; i < kNumPassTypes; ++i)
  {
    if (!candidates[i])
      continue;
    const stage_coeffs& c = *candidates[i];
    const double d = shape_match::rmsOverGrid(
      {0.0, 3.0}, [&](double k, double f) { return ladderDb(target, k, f) - ladderDb(c, k, f); });
    if (best < 0)
    {
      best = i;
      bestDistance = d < bestDistance ? d : bestDistance;
    }
    else if (d < bestDistance)
    {
      best = i;
      bestDistance = d;
    }
  }
  return best < 0 ? 0 : best;
}

} // namespace zarvo
