// What must hold of the morph field after any read, however hostile its input.
#pragma once

#include <cmath>
#include <cstdlib>

#include "product/params/morph_param_table.h"
#include "utils/morph/morph_controller.h"

namespace morph_fuzz {

inline bool within(double v, double lo, double hi) { return std::isfinite(v) && v >= lo && v <= hi; }

// Aborts (a finding) when the controller holds anything out of range.
inline void checkFieldInRange(const zarvo::morph::MorphController& ctrl)
{
  using namespace zarvo::morph;
  const MorphEngine::RTState& s = ctrl.engine().editState();
  bool ok = within(s.sigma, 0.02, 2.0) && within(ctrl.engine().pointScale(), 1.0, 2.0) &&
            within(s.shapeContrast, 0.0, 1.0) && within(s.cutoffContrast, 0.0, 1.0) && s.model <= 4 &&
            within(s.kernelTail, 0.0, 1.0) && within(s.tailPower, 0.5, 6.0) && s.nnSamples >= 5 && s.nnSamples <= 21 &&
            within(s.nnRadius, 1.0, 4.0) && (ctrl.engine().selection() & ~kPointBits) == 0 && s.focus >= -1 &&
            s.focus < static_cast<int32_t>(kNumPoints);
  for (double k : s.neighborIndex)
    ok = ok && within(k, 0.5, 17.0);
  for (const MorphPoint& p : s.points)
  {
    ok = ok && within(p.x, 0.0, 1.0) && within(p.y, 0.0, 1.0) && (p.noteMask & ~kNoteMaskBits) == 0;
    for (double v : p.values)
      ok = ok && within(v, 0.0, 1.0);
  }
  if (!ok)
    std::abort();
}

} // namespace morph_fuzz
