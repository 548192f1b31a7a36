// A morph field whose points all differ: each point at its own spot, with its own activity, note
// mask and row values, so a reader or writer that mixes up points, rows or flags shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "utils/morph/morph_engine.h"

namespace vemlor_test {

// Point i of kNumPoints, with j = i + offset:
//   x = x0 + xStep * j                      y = y0 + yStep * ((i * yStride) % kNumPoints)
//   active unless j % activePeriod == activePeriod - 1 (and point 0 inactive when firstInactive)
//   row r = ((i * pointStride + r * rowStride + valueOffset) % valueModulus) / valueDivisor
//   note mask, when given: mainAndPreB on odd points, preA on even ones.
struct DistinctFieldRecipe
{
  double x0 = 0.05;
  double xStep = 0.05;
  size_t offset = 0;
  double y0 = 0.9;
  double yStep = -0.045;
  size_t yStride = 1;
  size_t activePeriod = 3;
  bool firstInactive = false;
  size_t pointStride = 61;
  size_t rowStride = 7;
  size_t valueOffset = 0;
  size_t valueModulus = 997;
  double valueDivisor = 997.0;
  struct NoteMasks
  {
    uint32_t odd = (1u << 1) | (1u << 13);
    uint32_t even = 1u << 11;
  };
  std::optional<NoteMasks> noteMasks = NoteMasks{};
};

inline void fillDistinctField(zarvo::morph::MorphEngine::RTState& s, const DistinctFieldRecipe& recipe = {})
{
  using namespace zarvo::morph;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    const size_t j = i + recipe.offset;
    MorphPoint& p = s.points[i];
    p.x = recipe.x0 + recipe.xStep * static_cast<double>(j);
    p.y = recipe.y0 + recipe.yStep * static_cast<double>((i * recipe.yStride) % kNumPoints);
    p.active = j % recipe.activePeriod != recipe.activePeriod - 1;
    if (recipe.noteMasks)
      p.noteMask = i % 2 ? recipe.noteMasks->odd : recipe.noteMasks->even;
    for (size_t r = 0; r < kNumMorphParams; ++r)
      p.values[r] = static_cast<double>((i * recipe.pointStride + r * recipe.rowStride + recipe.valueOffset) %
                                        recipe.valueModulus) /
                    recipe.valueDivisor;
  }
  if (recipe.firstInactive)
    s.points[0].active = false;
}

} // namespace vemlor_test
