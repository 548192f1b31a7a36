// The break stage's eleven shaping functions and how a character value picks and blends them.
#pragma once

#include <emmintrin.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <type_traits>

#include "product/dsp/lane_math.h"
#include "product/dsp/lanes.h"
#include "product/dsp/saturation.h"

namespace zarvo {

enum class BreakChar : int
{
  Square = 0,
  BitCrush,
  NSquare,
  NegFiveSat,
  DblCubeSat,
  SinCrest,
  TrigNoise,
  Wavefold,
  Wavefold2,
  TransBird,
  Clicks,
};

inline constexpr int kNumBreakChars = 11;

// x the signal, parameter the break parameter (0 to 1), saturationType the main filter's.
using BreakFunction = double (*)(double x, double parameter, double saturationType);

// Pure functions; any thread.
struct Break
{
  static double square(double x, double p, double s);
  static double bitCrush(double x, double p, double s);
  static double nSquare(double x, double p, double s);
  static double negFiveSat(double x, double p, double s);
  static double dblCubeSat(double x, double p, double s);
  static double sinCrest(double x, double p, double s);
  static double trigNoise(double x, double p, double s);
  static double wavefold(double x, double p, double s);
  static double wavefold2(double x, double p, double s);
  static double transBird(double x, double p, double s);
  static double clicks(double x, double p, double s);

  // Characters outside 0..10 are clamped into it.
  static BreakFunction getFunction(BreakChar c);
};

// The same functions for one channel (double) or a channel pair in lanes (v2d), with the
// saturation type already split into its curves: the main filter calls them inline, once for both
// channels. Each lane computes exactly what the function of Break computes.
namespace break_shapes {

inline constexpr double kPi = 3.141592653589793;

namespace detail {

// True when no lane of a comparison's mask is set.
template <typename Mask>
bool noLane(Mask mask)
{
  return _mm_movemask_pd((__m128d)mask) == 0;
}

} // namespace detail

// The root of |x|, negated unless x > 0 (so zeros come out as -0).
template <typename T>
T square(T x, double, const SatCurves&)
{
  if constexpr (std::is_same_v<T, v2d>)
  {
    // Both lanes without a branch: the sign bit is set wherever x > 0 does not hold.
    const __m128d sign = _mm_set1_pd(-0.0);
    const __m128d root = _mm_sqrt_pd(_mm_andnot_pd(sign, x));
    return _mm_xor_pd(root, _mm_andnot_pd(_mm_cmpgt_pd(x, _mm_setzero_pd()), sign));
  }
  else
  {
    const double root = std::sqrt(std::fabs(x));
    return x > 0.0 ? root : -root;
  }
}

template <typename T>
T bitCrush(T x, double p, const SatCurves&)
{
  const double levels = (1.0 - p) * 7.0 + 1.0;
  if constexpr (std::is_same_v<T, v2d>)
  {
    // Truncation in the vector unit where both lanes fit 32 bits; the sign copied back keeps -0.
    const v2d y = x * levels;
    const __m128d sign = _mm_set1_pd(-0.0);
    if (_mm_movemask_pd(_mm_cmplt_pd(_mm_andnot_pd(sign, y), _mm_set1_pd(2147483647.0))) == 3) [[likely]]
    {
      const __m128d truncated = _mm_cvtepi32_pd(_mm_cvttpd_epi32(y));
      return v2d(_mm_or_pd(truncated, _mm_and_pd(y, sign))) / levels;
    }
  }
  return lanes::map(x, [levels](double v) { return std::trunc(v * levels) / levels; });
}

template <typename T>
T nSquare(T x, double p, const SatCurves& s)
{
  return saturate(x * x, s) * (3.0 * p + 1.0);
}

template <typename T>
T negFiveSat(T x, double p, const SatCurves& s)
{
  const T x2 = x * x;
  return saturate(x - x2 * x2 * x * (3.0 * p + 1.0), s);
}

template <typename T>
T dblCubeSat(T x, double p, const SatCurves& s)
{
  return saturate(x * x * x * (3.0 * p + 1.0), s);
}

template <typename T>
T sinCrest(T x, double p, const SatCurves&)
{
  const double q = p * p;
  const double t = 0.9 - 0.4 * q * q;
  if constexpr (std::is_same_v<T, v2d>)
  {
    if (detail::noLane(x < -t))
      return x;
  }
  return lanes::map(x, [q, t](double v) {
    if (v < -t)
    {
      const double w = std::sin((31.0 * q + 1.0) * (v + t));
      return w * w * w;
    }
    return v;
  });
}

template <typename T>
T trigNoise(T x, double p, const SatCurves& s)
{
  const T sine = lanes::map(x, [](double v) { return std::sin(kPi * v * v * v); });
  return saturate(sine * (1.0 + 2.0 * p), s) + (1.0 - p) * x;
}

template <typename T>
T wavefold(T x, double p, const SatCurves&)
{
  return lanes::map(x, [p](double v) { return std::sin(v * (23.0 * p * p + 1.0)); });
}

// The weights of wavefold2's 3rd, 5th, 7th and 9th harmonics for the break parameter p; a caller
// that holds p still computes them once instead of per sample.
inline std::array<double, 4> wavefold2Weights(double p)
{
  return {std::cos(18.84955592153876 * p), std::cos(31.41592653589793 * p), std::cos(43.982297150257104 * p),
          std::cos(69.11503837897544 * p)};
}

// One sine per lane: sin nv for odd n follows from sin v by sin (n + 2)v = 2 cos 2v sin nv - sin (n - 2)v,
// with 2 cos 2v = 2 - 4 sin^2 v.
template <typename T>
T wavefold2With(T x, const std::array<double, 4>& w)
{
  const T s1 = lane_math::sin(x);
  const T square = s1 * s1;
  const T twoCos2 = 2.0 - 4.0 * square;
  const T s3 = s1 * (3.0 - 4.0 * square);
  const T s5 = twoCos2 * s3 - s1;
  const T s7 = twoCos2 * s5 - s3;
  const T s9 = twoCos2 * s7 - s5;
  return 0.5 * (s1 - w[0] * s3 + w[1] * s5 - w[2] * s7 + w[3] * s9);
}

template <typename T>
T wavefold2(T x, double p, const SatCurves&)
{
  return wavefold2With(x, wavefold2Weights(p));
}

template <typename T>
T transBird(T x, double p, const SatCurves&)
{
  const T x3 = 3.0 * x * p;
  const T x5 = 5.0 * x * p * p;
  const T x7 = 7.0 * x * p * p * p;
  if constexpr (std::is_same_v<T, v2d>)
  {
    // One range check for the four, then four independent sines the scheduler can overlap.
    if (lane_math::inRange(x, x3, x5, x7)) [[likely]]
      return lane_math::asinh(lane_math::sinInRange(x) + lane_math::sinInRange(x3) + lane_math::sinInRange(x5) +
                              lane_math::sinInRange(x7));
  }
  return lane_math::asinh(lane_math::sin(x) + lane_math::sin(x3) + lane_math::sin(x5) + lane_math::sin(x7));
}

template <typename T>
T clicks(T x, double p, const SatCurves&)
{
  if constexpr (std::is_same_v<T, v2d>)
  {
    if (detail::noLane((x > 1.0 - p) & (x < 0.1 * p + (1.0 - p + 0.01))))
      return x;
  }
  return lanes::map(x, [p](double v) {
    if (v > 1.0 - p && v < 0.1 * p + (1.0 - p + 0.01))
      return std::fmod((v + 0.5 * p + 0.05) * 4.0, 1.5);
    return v;
  });
}

template <typename T>
using Shape = T (*)(T x, double parameter, const SatCurves& saturation);

// The shape of character c (0..10) at x, inline; callers hold c constant over many samples.
template <typename T>
[[gnu::always_inline]] inline T apply(int c, T x, double p, const SatCurves& s)
{
  switch (c)
  {
  case 0: return square(x, p, s);
  case 1: return bitCrush(x, p, s);
  case 2: return nSquare(x, p, s);
  case 3: return negFiveSat(x, p, s);
  case 4: return dblCubeSat(x, p, s);
  case 5: return sinCrest(x, p, s);
  case 6: return trigNoise(x, p, s);
  case 7: return wavefold(x, p, s);
  case 8: return wavefold2(x, p, s);
  case 9: return transBird(x, p, s);
  default: return clicks(x, p, s);
  }
}

// The character (0..10) of the Break function f, or -1 when f is none of them.
int indexOf(BreakFunction f);

// The shape of the Break function f, or nullptr when f is none of them.
template <typename T>
Shape<T> of(BreakFunction f)
{
  static constexpr std::array<Shape<T>, kNumBreakChars> kShapes = {
    square<T>,    bitCrush<T>, nSquare<T>,   negFiveSat<T>, dblCubeSat<T>, sinCrest<T>,
    trigNoise<T>, wavefold<T>, wavefold2<T>, transBird<T>,  clicks<T>,
  };
  for (int c = 0; c < kNumBreakChars; ++c)
    if (Break::getFunction(static_cast<BreakChar>(c)) == f)
      return kShapes[static_cast<std::size_t>(c)];
  return nullptr;
}

} // namespace break_shapes

// The two functions a break character value v (0 to 10) selects and the blend between them.
struct BreakSelection
{
  BreakFunction f1 = Break::square;
  BreakFunction f2 = Break::square;
  double blend = 0.0;

  // Within 0.1 of an integer one function alone; otherwise the neighbours cross-fade from
  // floor(v) + 0.1 to floor(v) + 0.9. Values outside 0..10 (NaN too) are clamped into it.
  static BreakSelection of(double v);
};

} // namespace zarvo
