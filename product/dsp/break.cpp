#include "product/dsp/break.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zarvo {

double Break::square(double x, double p, double s) { return break_shapes::square(x, p, SatCurves::of(s)); }
double Break::bitCrush(double x, double p, double s) { return break_shapes::bitCrush(x, p, SatCurves::of(s)); }
double Break::nSquare(double x, double p, double s) { return break_shapes::nSquare(x, p, SatCurves::of(s)); }
double Break::negFiveSat(double x, double p, double s) { return break_shapes::negFiveSat(x, p, SatCurves::of(s)); }
double Break::dblCubeSat(double x, double p, double s) { return break_shapes::dblCubeSat(x, p, SatCurves::of(s)); }
double Break::sinCrest(double x, double p, double s) { return break_shapes::sinCrest(x, p, SatCurves::of(s)); }
double Break::trigNoise(double x, double p, double s) { return break_shapes::trigNoise(x, p, SatCurves::of(s)); }
double Break::wavefold(double x, double p, double s) { return break_shapes::wavefold(x, p, SatCurves::of(s)); }
double Break::wavefold2(double x, double p, double s) { return break_shapes::wavefold2(x, p, SatCurves::of(s)); }
double Break::transBird(double x, double p, double s) { return break_shapes::transBird(x, p, SatCurves::of(s)); }
double Break::clicks(double x, double p, double s) { return break_shapes::clicks(x, p, SatCurves::of(s)); }

BreakFunction Break::getFunction(BreakChar c)
{
  static constexpr std::array<BreakFunction, kNumBreakChars> kFunctions = {
    square, bitCrush, nSquare, negFiveSat, dblCubeSat, sinCrest, trigNoise, wavefold, wavefold2, transBird, clicks,
  };
  return kFunctions[static_cast<std::size_t>(std::clamp(static_cast<int>(c), 0, kNumBreakChars - 1))];
}

int break_shapes::indexOf(BreakFunction f)
{
  for (int c = 0; c < kNumBreakChars; ++c)
    if (Break::getFunction(static_cast<BreakChar>(c)) == f)
      return c;
  return -1;
}

BreakSelection BreakSelection::of(double v)
{
  v = v > 0.0 ? std::min(v, static_cast<double>(kNumBreakChars - 1)) : 0.0;
  const double n = std::round(v);
  const auto charAt = [](double w) { return Break::getFunction(static_cast<BreakChar>(static_cast<int>(w))); };
  // Within 0.1 of an integer, with room for the rounding of values such as 3.9.
  if (std::fabs(v - n) <= 0.1 + 1e-12)
    return {charAt(n), charAt(n), 0.0};
  const double lo = std::floor(v);
  return {charAt(lo), charAt(std::ceil(v)), (v - lo - 0.1) / 0.8};
}

} // namespace zarvo
