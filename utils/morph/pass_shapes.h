// The filter shapes of the pass types, as the plug-in's filters define them; the plug-in hands them
// to the morph controller, which blends them.
#pragma once

#include "utils/filter_mixes.h"

namespace zarvo::morph {

// Pass types of the main filter.
inline constexpr int kMainPassTypes = 6;

struct PassShapes
{
  // The main filter's stage mix for a pass type at a depth and a tilt (each clamped into range).
  stage_coeffs (*mainShape)(int passType, double depth, double tilt) = nullptr;
  // How much of the resonance feedback's low band the main filter removes for a pass type.
  double (*mainFeedback)(int passType) = nullptr;
  // Pass types the pre-filters offer, by type index 0..preFilterTypes-1, and each one's output weights.
  int preFilterTypes = 0;
  svf_coeffs (*preFilterMix)(int typeIndex) = nullptr;
};

} // namespace zarvo::morph
