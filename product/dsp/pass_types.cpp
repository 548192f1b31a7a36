#include "product/dsp/pass_types.h"

#include <algorithm>
#include <cstddef>

namespace zarvo {

namespace {

stage_coeffs mix(const stage_coeffs& a, const stage_coeffs& b, double f)
{
  stage_coeffs r{};
  for (std::size_t i = 0; i < r.size(); ++i)
    r[i] = (1.0 - f) * a[i] + f * b[i];
  return r;
}

// NaN reads as lo.
double clampOrLow(double v, double lo, double hi) { return v > lo ? std::min(v, hi) : lo; }

int indexOf(FilterPassType type) { return std::clamp(static_cast<int>(type), 0, kNumPassTypes - 1); }

} // namespace

stage_coeffs shapeOf(FilterPassType type, double depth, double tilt)
{
  const int t = indexOf(type);
  const std::span<const stage_coeffs> rows = pt_depth_shapes[t];
  const std::size_t n = rows.size();
  depth = clampOrLow(depth, 0.0, 1.0);

  stage_coeffs base = rows.back();
  if (n > 1)
  {
    const double p = static_cast<double>(n - 1) * depth;
    const auto i = static_cast<std::size_t>(p);
    if (i + 1 < n)
      base = mix(rows[i], rows[i + 1], p - static_cast<double>(i));
  }

  const std::span<const stage_coeffs> tilts = pt_tilt_shapes[t];
  if (tilt == 0.0 || tilts.empty())
    return base;

  const double amount = std::min(depth * static_cast<double>(n - 1), 1.0);
  const std::array<stage_coeffs, 5> candidates = {mix(rows[0], tilts[0], amount), mix(rows[0], tilts[1], amount), base,
                                                  mix(rows[0], tilts[2], amount), mix(rows[0], tilts[3], amount)};
  const double p = (clampOrLow(tilt, -1.0, 1.0) + 1.0) * 0.5 * 4.0;
  const auto i = static_cast<std::size_t>(p);
  if (i + 1 >= candidates.size())
    return candidates.back();
  return mix(candidates[i], candidates[i + 1], p - static_cast<double>(i));
}

double feedbackOf(FilterPassType type)
{
  switch (type)
  {
  case FilterPassType::LP:
  case FilterPassType::BR:
  case FilterPassType::P: return 1.0;
  default: return 0.0;
  }
}

svf_coeffs preFilterMixOf(FilterPassType type)
{
  switch (type)
  {
  case FilterPassType::HP: return {0, 1, 0};
  case FilterPassType::BP: return {0, 0, 1};
  case FilterPassType::BR: return {1, 1, 0};
  case FilterPassType::P: return {1, -1, 0};
  default: return {1, 0, 0};
  }
}

} // namespace zarvo
