// The break stage's eleven shaping functions and how a character value picks and blends them.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>

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

template <typename T>
T square(T x, double, const SatCurves&)
{
  return lanes::map(x, [](double v) { return v > 0.0 ? std::sqrt(v) : -std::sqrt(std::fabs(v)); });
}

template <typename T>
T bitCrush(T x, double p, const SatCurves&)
{
  const double levels = (1.0 - p) * 7.0 + 1.0;
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

template <typename T>
T wavefold2(T x, double p, const SatCurves&)
{
  return lanes::map(x, [p](double v) {
    return 0.5 * (std::sin(v) + std::cos(18.84955592153876 * p) * std::sin(-3.0 * v)
                  + std::cos(31.41592653589793 * p) * std::sin(5.0 * v)
                  + std::cos(43.982297150257104 * p) * std::sin(-7.0 * v)
                  + std::cos(69.11503837897544 * p) * std::sin(9.0 * v));
  });
}

template <typename T>
T transBird(T x, double p, const SatCurves&)
{
  return lanes::map(x, [p](double v) {
    return std::asinh(std::sin(v) + std::sin(3.0 * v * p) + std::sin(5.0 * v * p * p) + std::sin(7.0 * v * p * p * p));
  });
}

template <typename T>
T clicks(T x, double p, const SatCurves&)
{
  return lanes::map(x, [p](double v) {
    if (v > 1.0 - p && v < 0.1 * p + (1.0 - p + 0.01))
      return std::fmod((v + 0.5 * p + 0.05) * 4.0, 1.5);
    return v;
  });
}

template <typename T>
using Shape = T (*)(T x, double parameter, const SatCurves& saturation);

// The shape of the Break function f, or nullptr when f is none of them.
template <typename T>
Shape<T> of(BreakFunction f)
{
  static constexpr std::array<Shape<T>, kNumBreakChars> kShapes = {
    square<T>, bitCrush<T>, nSquare<T>, negFiveSat<T>, dblCubeSat<T>, sinCrest<T>,
    trigNoise<T>, wavefold<T>, wavefold2<T>, transBird<T>, clicks<T>,
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
