// Sine and inverse hyperbolic sine of both lanes of a channel pair at once, within about an ulp of
// the C library's.
#pragma once

#include <emmintrin.h>

#include <cmath>

#include "product/dsp/lanes.h"

namespace zarvo::lane_math {

using v2u = unsigned long long __attribute__((vector_size(16)));

// Beyond this the quadrant count needs more bits than the reduction keeps exact; such lanes (and
// infinities and NaN) go to the library.
inline constexpr double kMaxArgument = 1.0e5;

// True when every lane of x lies within +-kMaxArgument (false for NaN).
inline bool inRange(v2d x)
{
  return _mm_movemask_pd(_mm_cmple_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), x), _mm_set1_pd(kMaxArgument))) == 3;
}

// True when every lane of the four lies within +-kMaxArgument.
inline bool inRange(v2d a, v2d b, v2d c, v2d d)
{
  const __m128d sign = _mm_set1_pd(-0.0), limit = _mm_set1_pd(kMaxArgument);
  const auto within = [&](v2d x) { return _mm_cmple_pd(_mm_andnot_pd(sign, x), limit); };
  return _mm_movemask_pd(_mm_and_pd(_mm_and_pd(within(a), within(b)), _mm_and_pd(within(c), within(d)))) == 3;
}

// sin x for lanes within +-kMaxArgument. x = k pi/2 + r with |r| <= pi/4: pi/2 in three parts, the
// first two short enough (33 bits) that k times them is exact, r kept with its rounding tail; then
// sin r or cos r by their series (errors below 2^-60 on that interval), picked and signed by k mod 4.
[[gnu::always_inline]] inline v2d sinInRange(v2d x)
{
  constexpr double kTwoOverPi = 0.6366197723675814;
  constexpr double kHalfPi1 = 1.5707963267341256;
  constexpr double kHalfPi2 = 6.077100506303966e-11;
  constexpr double kHalfPi3 = 2.0222662487959506e-21;
  // Adding 1.5 * 2^52 rounds to an integer, which then sits in the low bits of the mantissa.
  constexpr double kRound = 6755399441055744.0;

  const v2d shifted = x * kTwoOverPi + kRound;
  const v2u quadrant = (v2u)shifted;
  const v2d k = shifted - kRound;

  const v2d r1 = x - k * kHalfPi1; // exact
  const v2d w2 = k * kHalfPi2;     // exact
  const v2d t = r1 - w2;
  // The tail negated, so that t - tail keeps the sign of a zero.
  const v2d tailNeg = k * kHalfPi3 - ((r1 - t) - w2);
  const v2d r = t - tailNeg;
  const v2d rTail = (t - r) - tailNeg;

  // The series in r^2 by Estrin's scheme: a short chain for a filter that waits on the result.
  const v2d r2 = r * r;
  const v2d r4 = r2 * r2;
  const v2d r8 = r4 * r4;
  const v2d sinPoly =
    ((r2 * 0.008333333333333333 - 0.16666666666666666) + r4 * (r2 * 2.7557319223985893e-06 - 0.0001984126984126984)) +
    r8 * ((r2 * 1.6059043836821613e-10 - 2.505210838544172e-08) +
          r4 * (r2 * 2.8114572543455206e-15 - 7.647163731819816e-13));
  const v2d sinR = r + (r * r2 * sinPoly + rTail * (1.0 - 0.5 * r2));

  const v2d cosPoly =
    ((r2 * -0.001388888888888889 + 0.041666666666666664) + r4 * (r2 * -2.755731922398589e-07 + 2.48015873015873e-05)) +
    r8 * ((r2 * -1.1470745597729725e-11 + 2.08767569878681e-09) + r4 * 4.779477332387385e-14);
  const v2d half = 0.5 * r2;
  const v2d oneMinusHalf = 1.0 - half;
  // The rounding of 1 - r^2/2 carried into the small terms.
  const v2d cosR = oneMinusHalf + (((1.0 - oneMinusHalf) - half) + (r2 * r2 * cosPoly - r * rTail));

  const v2d picked = (quadrant & 1) != 0 ? cosR : sinR;
  const v2d result = (v2d)((v2u)picked ^ ((quadrant & 2) << 62));
  // The library gives a zero back as it came, sign included.
  return x == 0.0 ? x : result;
}

// sin x of each lane; lanes out of range take the library's sine.
[[gnu::always_inline]] inline v2d sin(v2d x)
{
  if (inRange(x)) [[likely]]
    return sinInRange(x);
  return lanes::map(x, [](double v) { return std::fabs(v) <= kMaxArgument ? sinInRange(both(v))[0] : std::sin(v); });
}

// One channel through the same arithmetic, so a lane and a lone channel agree bit for bit.
inline double sin(double x) { return sin(both(x))[0]; }

// Beyond this asinh goes to the library (the break only asks for sums of four sines).
inline constexpr double kMaxAsinhArgument = 16.0;

// asinh y = log1p(|y| + y^2 / (1 + sqrt(1 + y^2))), signed as y. log1p(u) = log m + c / m with
// m = 1 + u rounded and c its rounding; log m = e ln 2 + log f for f in [sqrt 1/2, sqrt 2), and
// log f = 2 atanh s with s = (f - 1) / (f + 1), |s| <= 0.172, by its series.
[[gnu::always_inline]] inline v2d asinhInRange(v2d y)
{
  constexpr double kLn2High = 0.6931471806019545; // 32 bits: times a small exponent is exact
  constexpr double kLn2Low = -4.2009150726810846e-11;
  const v2d signBit = both(-0.0);
  const v2d a = (v2d)((v2u)y & ~(v2u)signBit);
  const v2d square = a * a;
  const v2d u = a + square / (1.0 + v2d(_mm_sqrt_pd(1.0 + square)));
  const v2d m = 1.0 + u;
  const v2d c = u - (m - 1.0);

  const v2u bits = (v2u)m;
  const v2u exponentBits = bits >> 52;
  v2d f = (v2d)((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
  // The exponent, unbiased, through the mantissa of 2^52.
  v2d e = (v2d)(exponentBits | 0x4330000000000000ull) - (4503599627370496.0 + 1023.0);
  const auto high = f > 1.4142135623730951;
  f = high ? f * 0.5 : f;
  e = high ? e + 1.0 : e;

  const v2d s = (f - 1.0) / (f + 1.0);
  const v2d s2 = s * s;
  const v2d s4 = s2 * s2;
  const v2d s8 = s4 * s4;
  const v2d series =
    ((s2 * 0.4 + 0.6666666666666666) + s4 * (s2 * 0.2222222222222222 + 0.2857142857142857)) +
    s8 * (((s2 * 0.15384615384615385 + 0.18181818181818182) + s4 * (s2 * 0.11764705882352941 + 0.13333333333333333)) +
          s8 * (s2 * 0.09523809523809523 + 0.10526315789473684));
  const v2d twoS = s + s;
  const v2d logM = e * kLn2High + (twoS + (twoS * s2 * series * 0.5 + (e * kLn2Low + c / m)));
  return (v2d)((v2u)logM | ((v2u)y & (v2u)signBit));
}

// asinh y of each lane; lanes beyond +-kMaxAsinhArgument (and NaN) take the library's.
[[gnu::always_inline]] inline v2d asinh(v2d y)
{
  if (_mm_movemask_pd(_mm_cmple_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), y), _mm_set1_pd(kMaxAsinhArgument))) == 3)
    [[likely]]
    return asinhInRange(y);
  return lanes::map(
    y, [](double v) { return std::fabs(v) <= kMaxAsinhArgument ? asinhInRange(both(v))[0] : std::asinh(v); });
}

inline double asinh(double y) { return asinh(both(y))[0]; }

} // namespace zarvo::lane_math
