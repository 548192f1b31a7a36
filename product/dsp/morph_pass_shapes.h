// The filters' pass-type shapes as the morph controller blends them.
#pragma once

#include <cstddef>

#include "product/dsp/pass_types.h"
#include "utils/morph/pass_shapes.h"

namespace zarvo {

static_assert(morph::kMainPassTypes == kNumPassTypes);

inline constexpr morph::PassShapes kMorphPassShapes{
  [](int passType, double depth, double tilt) { return shapeOf(static_cast<FilterPassType>(passType), depth, tilt); },
  [](int passType) { return feedbackOf(static_cast<FilterPassType>(passType)); },
  static_cast<int>(kPreFltPassTypes.size()),
  [](int typeIndex) { return preFilterMixOf(kPreFltPassTypes[static_cast<size_t>(typeIndex)]); }};

} // namespace zarvo
