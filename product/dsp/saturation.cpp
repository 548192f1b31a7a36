#include "product/dsp/saturation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zarvo {

template <std::size_t N>
double LUT<N>::getByNormalizedPhase(double p) const
{
  double q = std::fmod(p * static_cast<double>(N), static_cast<double>(N));
  if (!std::isfinite(q))
    q = 0.0;
  if (q < 0.0)
    q += static_cast<double>(N);
  const auto floorQ = std::floor(q);
  const std::size_t i = static_cast<std::size_t>(floorQ) % N;
  const double f = q - floorQ;
  return f * mValues[(i + 1) % N] + (1.0 - f) * mValues[i];
}

template <std::size_t N>
ILUT& LUT<N>::operator=(const ILUT& other)
{
  if (&other != this)
    std::copy_n(other.cdata(), std::min(other.size(), N), mValues.data());
  return *this;
}

template class LUT<SaturationBank::kTableSize>;

SaturationBank::SaturationBank()
{
  using Curve = double (*)(double);
  const Curve curves[kNumCurves] = {
    [](double x) { return std::tanh(x); },
    [](double x) { return std::asinh(x); },
    [](double x) { return x > 0.0 ? std::tanh(x) : std::asinh(x); },
  };
  for (std::size_t b = 0; b < kNumCurves; ++b)
  {
    Entry& e = mEntries[b];
    e.range = kRange;
    e.scale = kScale;
    const Curve curve = curves[b];
    e.table.generate([curve](std::size_t size, double* first) {
      for (std::size_t i = 0; i < size; ++i)
        first[i] = curve((static_cast<double>(i) - 2048.0) * 0.0625);
    });
    Pieces& q = e.pieces;
    for (std::size_t i = 0; i < kTableSize; ++i)
      q.value[i] = e.table[static_cast<unsigned short>(i)];
    q.c1[0] = q.value[1] - q.value[0];
    for (std::size_t i = 1; i + 1 < kTableSize; ++i)
    {
      const double prev = q.value[i - 1], here = q.value[i], next = q.value[i + 1];
      q.c1[i] = (next - prev) / 2.0;
      q.c2[i] = (next - 2.0 * here + prev) / 2.0;
    }
  }
}

double SaturationBank::lookup(std::size_t b, double x) const
{
  SatCurves curve;
  curve.first = &mEntries[b].pieces;
  return saturateAt(mEntries[b].scale * x + 2048.0, curve);
}

const SaturationBank gSatBank;

SatCurves SatCurves::ofAnyType(double type)
{
  // Beyond the 32-bit range the type carries no meaning; read it as curve 0.
  if (!(type > -2147483648.0 && type < 2147483648.0))
    return {};
  const auto n = static_cast<std::int64_t>(type);
  const auto curve = [](std::int64_t v) { return &gSatBank.entry(static_cast<std::size_t>(((v % 3) + 3) % 3)).pieces; };
  return {curve(n), curve(n + 1), type - static_cast<double>(n)};
}

} // namespace zarvo
