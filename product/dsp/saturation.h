// The saturation function over three tabulated curves, and the lookup tables behind it.
#pragma once

#include <array>
#include <cstddef>
#include <functional>

#include "product/dsp/lanes.h"

namespace zarvo {

// A lookup table of doubles.
class ILUT
{
public:
  using Generator = std::function<void(std::size_t size, double* first)>;

  virtual ~ILUT() = default;

  // Calls the generator once with the size and the first element; it fills the table.
  virtual void generate(const Generator& generator) = 0;
  virtual std::size_t size() const = 0;
  // Reads the table as one period of a waveform, p in periods, interpolating linearly.
  virtual double getByNormalizedPhase(double p) const = 0;
  // The first half period from the whole table, the second half the first negated.
  virtual double getByNormalizedPhaseMirrored(double p) const = 0;
  virtual const double& operator[](unsigned short i) const = 0;
  virtual double& operator[](unsigned short i) = 0;
  // Copies as many elements as both tables hold.
  virtual ILUT& operator=(const ILUT& other) = 0;
  virtual double* data() = 0;
  virtual double* begin() = 0;
  virtual double* end() = 0;
  virtual const double* cdata() const = 0;
  virtual const double* cbegin() const = 0;
  virtual const double* cend() const = 0;

protected:
  ILUT() = default;
  ILUT(const ILUT&) = default;
};

template <std::size_t N>
class LUT final : public ILUT
{
public:
  LUT() = default;
  LUT(const LUT&) = default;
  LUT& operator=(const LUT& other)
  {
    mValues = other.mValues;
    return *this;
  }

  void generate(const Generator& generator) override { generator(N, mValues.data()); }
  std::size_t size() const override { return N; }
  double getByNormalizedPhase(double p) const override;
  double getByNormalizedPhaseMirrored(double p) const override
  {
    return p < 0.5 ? getByNormalizedPhase(2.0 * p) : -getByNormalizedPhase(2.0 * (p - 0.5));
  }
  const double& operator[](unsigned short i) const override { return mValues[i]; }
  double& operator[](unsigned short i) override { return mValues[i]; }
  ILUT& operator=(const ILUT& other) override;
  double* data() override { return mValues.data(); }
  double* begin() override { return mValues.data(); }
  double* end() override { return mValues.data() + N; }
  const double* cdata() const override { return mValues.data(); }
  const double* cbegin() const override { return mValues.data(); }
  const double* cend() const override { return mValues.data() + N; }

private:
  std::array<double, N> mValues{};
};

// The three saturation curves: tanh, asinh, and tanh above zero with asinh below.
// Built before main; read-only afterwards, so any thread may read it.
class SaturationBank
{
public:
  static constexpr std::size_t kTableSize = 4096;
  static constexpr std::size_t kNumCurves = 3;

  static constexpr double kRange = 128.0;
  static constexpr double kScale = 2048.0 / kRange;

  // Per index i: T[i] and, for i >= 1, the quadratic through i-1, i, i+1 as T[i] + f c1 + f^2 c2,
  // kept together so one cache line serves a lookup.
  struct alignas(32) Quad
  {
    double value = 0.0;
    double c1 = 0.0;
    double c2 = 0.0;
  };

  struct Entry
  {
    LUT<kTableSize> table;
    double range = 1.0;   // largest input magnitude covered
    double scale = 2048.0; // table steps per unit of input
    std::array<Quad, kTableSize> quad{};
  };

  SaturationBank();

  // Curve b at x, with quadratic interpolation (linear in the first interval).
  double lookup(std::size_t b, double x) const { return lookupAt(b, mEntries[b].scale * x + 2048.0); }

  // Curve b at table position p = scale x + 2048 (every curve has scale kScale).
  [[gnu::always_inline]] double lookupAt(std::size_t b, double p) const
  {
    const Entry& e = mEntries[b];
    if (!(p > 0.0)) // NaN reads the low end rather than an undefined index
      return e.table[0];
    if (p >= 4095.0)
      return e.table[4095];
    const auto i = static_cast<unsigned short>(p);
    const double f = p - i;
    const Quad& q = e.quad[i];
    if (i == 0)
      return q.value + f * (e.table[1] - q.value);
    return q.value + f * q.c1 + f * f * q.c2;
  }

  const Entry& entry(std::size_t b) const { return mEntries[b]; }

private:
  std::array<Entry, kNumCurves> mEntries;
};

extern const SaturationBank gSatBank;

// A saturation type split into its one or two curves, for callers that apply it per sample.
struct SatCurves
{
  std::size_t first = 0;
  std::size_t second = 0;
  double frac = 0.0; // weight of the second curve; 0 or less reads the first alone

  // type truncated to n, curves n mod 3 and (n + 1) mod 3; non-finite types read curve 0.
  static SatCurves of(double type);
};

// saturate() at table position p = SaturationBank::kScale x + 2048.
[[gnu::always_inline]] inline double saturateAt(double p, const SatCurves& curves)
{
  const double v = gSatBank.lookupAt(curves.first, p);
  if (curves.frac <= 0.0)
    return v;
  return v + curves.frac * (gSatBank.lookupAt(curves.second, p) - v);
}

[[gnu::always_inline]] inline v2d saturateAt(v2d p, const SatCurves& curves)
{
  return v2d{saturateAt(p[0], curves), saturateAt(p[1], curves)};
}

template <typename T>
[[gnu::always_inline]] inline T saturate(T x, const SatCurves& curves)
{
  return saturateAt(SaturationBank::kScale * x + 2048.0, curves);
}

// The one saturation of the engine: type 0 tanh, 1 asinh, 2 asymmetric, 3 tanh again, and
// in between a cross-fade of the neighbouring curves. Pure; any thread.
inline double saturate(double x, double type) { return saturate(x, SatCurves::of(type)); }

extern template class LUT<SaturationBank::kTableSize>;

} // namespace zarvo
