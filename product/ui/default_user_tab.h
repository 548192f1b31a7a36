// The user tab a user sees before composing one.
#pragma once

#include <vector>

namespace vemlor::ui {

// Any thread. Eleven columns of control ids, left to right: the pre-filter cutoffs and resonances,
// band mode with damping, the main cutoff, resonance, drive, break and mix, with narrow empty columns
// between groups.
std::vector<std::vector<int>> defaultUserTabSlots();

} // namespace vemlor::ui
