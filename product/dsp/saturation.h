// The saturation function over three tabulated curves, and the lookup tables behind it.
#pragma once

#include <emmintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
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

  // The quadratic pieces of one curve: at table position p in [i, i + 1), with f = p - i,
  // value[i] + f c1[i] + f^2 c2[i] is the parabola through T[i-1], T[i], T[i+1]. Piece 0 is the
  // straight line to T[1] (c2 = 0) and piece 4095 the end value alone, so positions clamped to
  // 0 or 4095 read the table's ends exactly. Three planes, so that one index addresses all.
  struct Pieces
  {
    std::array<double, kTableSize> value{};
    std::array<double, kTableSize> c1{};
    std::array<double, kTableSize> c2{};
  };

  struct Entry
  {
    LUT<kTableSize> table;
    double range = 1.0;    // largest input magnitude covered
    double scale = 2048.0; // table steps per unit of input
    Pieces pieces;
  };

  SaturationBank();

  // Curve b at x, with quadratic interpolation (linear in the first interval).
  double lookup(std::size_t b, double x) const;

  const Entry& entry(std::size_t b) const { return mEntries[b]; }

private:
  std::array<Entry, kNumCurves> mEntries;
};

extern const SaturationBank gSatBank;

// A saturation type split into its one or two curves, for callers that apply it per sample.
struct SatCurves
{
  const SaturationBank::Pieces* first = &gSatBank.entry(0).pieces;
  const SaturationBank::Pieces* second = &gSatBank.entry(1).pieces;
  double frac = 0.0; // weight of the second curve; 0 or less reads the first alone

  // type truncated to n, curves n mod 3 and (n + 1) mod 3; non-finite types read curve 0.
  static SatCurves of(double type)
  {
    if (type >= 0.0 && type < 3.0) [[likely]] // the parameter's range, without divisions
    {
      const auto n = static_cast<std::size_t>(type);
      return {&gSatBank.entry(n).pieces, &gSatBank.entry(n == 2 ? 0 : n + 1).pieces, type - static_cast<double>(n)};
    }
    return ofAnyType(type);
  }

private:
  [[gnu::pure]] static SatCurves ofAnyType(double type);
};

namespace detail {

inline constexpr double kLastPosition = SaturationBank::kTableSize - 1;

// Positions at or beyond the table's ends read the end entries; NaN reads the low end.
inline double clampPosition(double p) { return p >= kLastPosition ? kLastPosition : p > 0.0 ? p : 0.0; }

[[gnu::always_inline]] inline double piece(const SaturationBank::Pieces& c, std::size_t i, double f)
{
  return c.value[i] + f * c.c1[i] + f * f * c.c2[i];
}

[[gnu::always_inline]] inline v2d piece(const SaturationBank::Pieces& c, std::size_t i0, std::size_t i1, v2d f)
{
  const v2d value{c.value[i0], c.value[i1]}, c1{c.c1[i0], c.c1[i1]}, c2{c.c2[i0], c.c2[i1]};
  return value + f * c1 + f * f * c2;
}

} // namespace detail

// saturate() at table position p = SaturationBank::kScale x + 2048. The position is truncated in
// the vector unit: back to a double there, it takes half as long as a round trip through an
// integer register, and the index leaves for the table lookups meanwhile.
[[gnu::always_inline]] inline double saturateAt(double p, const SatCurves& curves)
{
  if (!(p > 0.0 && p < detail::kLastPosition)) [[unlikely]]
    p = detail::clampPosition(p);
  const __m128d x = _mm_set_sd(p);
  const __m128i truncated = _mm_cvttpd_epi32(x);
  const double f = _mm_cvtsd_f64(_mm_sub_sd(x, _mm_cvtepi32_pd(truncated)));
  const auto i = static_cast<std::size_t>(_mm_cvtsi128_si32(truncated));
  const double v = detail::piece(*curves.first, i, f);
  if (curves.frac <= 0.0)
    return v;
  return v + curves.frac * (detail::piece(*curves.second, i, f) - v);
}

// Both lanes share one conversion; their two indices leave the vector unit in one move.
[[gnu::always_inline]] inline v2d saturateAt(v2d p, const SatCurves& curves)
{
  const __m128d inside =
    _mm_and_pd(_mm_cmpgt_pd(p, _mm_setzero_pd()), _mm_cmplt_pd(p, _mm_set1_pd(detail::kLastPosition)));
  if (_mm_movemask_pd(inside) != 3) [[unlikely]]
    p = lanes::map(p, detail::clampPosition);
  const __m128i truncated = _mm_cvttpd_epi32(p);
  const v2d f = p - _mm_cvtepi32_pd(truncated);
  const auto indices = static_cast<std::uint64_t>(_mm_cvtsi128_si64(truncated));
  const std::size_t i0 = static_cast<std::uint32_t>(indices), i1 = indices >> 32;
  const v2d v = detail::piece(*curves.first, i0, i1, f);
  if (curves.frac <= 0.0)
    return v;
  return v + curves.frac * (detail::piece(*curves.second, i0, i1, f) - v);
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
