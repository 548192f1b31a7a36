// Sine of both lanes of a channel pair at once, within about an ulp of the C library's.
#pragma once

#include <emmintrin.h>

#include <cmath>

#include "product/dsp/lanes.h"

namespace zarvo::lane_sine {

using v2u = unsigned long long __attribute__((vector_size(16)));

// Beyond this the quadrant count needs more bits than the reduction keeps exact; such lanes (and
// infinities and NaN) go to the library.
inline constexpr double kMaxArgument = 1.0e5;

// True when every lane of x lies within +-kMaxArgument (false for NaN).
inline bool inRange(v2d x)
{
  return _mm_movemask_pd(_mm_cmple_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), x), _mm_set1_pd(kMaxArgument))) == 3;
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

  const v2d r2 = r * r;
  v2d sinPoly = both(2.8114572543455206e-15);
  sinPoly = sinPoly * r2 - 7.647163731819816e-13;
  sinPoly = sinPoly * r2 + 1.6059043836821613e-10;
  sinPoly = sinPoly * r2 - 2.505210838544172e-08;
  sinPoly = sinPoly * r2 + 2.7557319223985893e-06;
  sinPoly = sinPoly * r2 - 0.0001984126984126984;
  sinPoly = sinPoly * r2 + 0.008333333333333333;
  sinPoly = sinPoly * r2 - 0.16666666666666666;
  const v2d sinR = r + (r * r2 * sinPoly + rTail * (1.0 - 0.5 * r2));

  v2d cosPoly = both(4.779477332387385e-14);
  cosPoly = cosPoly * r2 - 1.1470745597729725e-11;
  cosPoly = cosPoly * r2 + 2.08767569878681e-09;
  cosPoly = cosPoly * r2 - 2.755731922398589e-07;
  cosPoly = cosPoly * r2 + 2.48015873015873e-05;
  cosPoly = cosPoly * r2 - 0.001388888888888889;
  cosPoly = cosPoly * r2 + 0.041666666666666664;
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
  return lanes::map(x, [](double v) { return std::sin(v); });
}

// One channel through the same arithmetic, so a lane and a lone channel agree bit for bit.
inline double sin(double x) { return sin(both(x))[0]; }

} // namespace zarvo::lane_sine
