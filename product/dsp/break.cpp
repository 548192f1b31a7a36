#include "product/dsp/break.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "product/dsp/saturation.h"

namespace zarvo {

namespace {

constexpr double kPi = 3.141592653589793;

} // namespace

double Break::square(double x, double, double)
{
  return x > 0.0 ? std::sqrt(x) : -std::sqrt(std::fabs(x));
}

double Break::bitCrush(double x, double p, double)
{
  const double levels = (1.0 - p) * 7.0 + 1.0;
  return std::trunc(x * levels) / levels;
}

double Break::nSquare(double x, double p, double s) { return saturate(x * x, s) * (3.0 * p + 1.0); }

double Break::negFiveSat(double x, double p, double s)
{
  const double x2 = x * x;
  return saturate(x - x2 * x2 * x * (3.0 * p + 1.0), s);
}

double Break::dblCubeSat(double x, double p, double s) { return saturate(x * x * x * (3.0 * p + 1.0), s); }

double Break::sinCrest(double x, double p, double)
{
  const double q = p * p;
  const double t = 0.9 - 0.4 * q * q;
  if (x < -t)
  {
    const double v = std::sin((31.0 * q + 1.0) * (x + t));
    return v * v * v;
  }
  return x;
}

double Break::trigNoise(double x, double p, double s)
{
  return saturate(std::sin(kPi * x * x * x) * (1.0 + 2.0 * p), s) + (1.0 - p) * x;
}

double Break::wavefold(double x, double p, double) { return std::sin(x * (23.0 * p * p + 1.0)); }

double Break::wavefold2(double x, double p, double)
{
  return 0.5 * (std::sin(x) + std::cos(18.84955592153876 * p) * std::sin(-3.0 * x)
                + std::cos(31.41592653589793 * p) * std::sin(5.0 * x)
                + std::cos(43.982297150257104 * p) * std::sin(-7.0 * x)
                + std::cos(69.11503837897544 * p) * std::sin(9.0 * x));
}

double Break::transBird(double x, double p, double)
{
  return std::asinh(std::sin(x) + std::sin(3.0 * x * p) + std::sin(5.0 * x * p * p)
                    + std::sin(7.0 * x * p * p * p));
}

double Break::clicks(double x, double p, double)
{
  if (x > 1.0 - p && x < 0.1 * p + (1.0 - p + 0.01))
    return std::fmod((x + 0.5 * p + 0.05) * 4.0, 1.5);
  return x;
}

BreakFunction Break::getFunction(BreakChar c)
{
  static constexpr std::array<BreakFunction, kNumBreakChars> kFunctions = {
    square, bitCrush, nSquare, negFiveSat, dblCubeSat, sinCrest,
    trigNoise, wavefold, wavefold2, transBird, clicks,
  };
  return kFunctions[static_cast<std::size_t>(std::clamp(static_cast<int>(c), 0, kNumBreakChars - 1))];
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
