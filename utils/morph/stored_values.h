// Checks for numbers read from chunks, files and the clipboard, and the legacy depth/tilt rule.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zarvo::morph {

// A finite value clamped to lo..hi; anything non-finite becomes the fallback.
inline double storedOr(double v, double lo, double hi, double fallback)
{
  return std::isfinite(v) ? std::clamp(v, lo, hi) : fallback;
}

// A value truncated towards zero within lo..hi (clamped before the conversion, so it is always
// defined); non-finite values give the fallback.
inline int64_t truncatedOr(double v, int64_t lo, int64_t hi, int64_t fallback)
{
  if (!std::isfinite(v))
    return fallback;
  return static_cast<int64_t>(std::trunc(std::clamp(v, static_cast<double>(lo), static_cast<double>(hi))));
}

// Rounded to the nearest integer (halves away from zero) within lo..hi; non-finite gives the fallback.
inline int64_t roundedOr(double v, int64_t lo, int64_t hi, int64_t fallback)
{
  if (!std::isfinite(v))
    return fallback;
  return static_cast<int64_t>(std::round(std::clamp(v, static_cast<double>(lo), static_cast<double>(hi))));
}

struct DepthTilt
{
  double depth;
  double tilt;
};

// Plain depth and tilt of a patch stored before depth and tilt existed, from its pass type and its
// plain variation.
inline DepthTilt legacyDepthTilt(int64_t passType, double variation)
{
  const double v = variation;
  if (passType < 2)
    return {1.0 - v, 0.0};
  if (passType == 3 || passType == 4)
  {
    const double x = 5.0 * v;
    if (x <= 1.0)
      return {passType == 3 ? 1.0 - 0.5 * x : 0.5 + 0.5 * x, 0.0};
    if (x <= 3.0)
      return {0.5, -0.5 * (x - 1.0)};
    if (x < 3.5)
      return {0.5, -1.0};
    if (x < 4.0)
      return {0.5, 0.5};
    return {0.5, 0.5 + 0.5 * (x - 4.0)};
  }
  if (passType == 5)
    return {v, 0.0};
  return {1.0, 0.0};
}

} // namespace zarvo::morph
