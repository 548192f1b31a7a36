// How the filters' outputs are mixed: the main filter's input and stages, a state-variable filter's
// three outputs.
#pragma once

#include <array>

namespace zarvo {

// Weights of the main filter's input and of its stages 1 to 4 in the output sum.
using stage_coeffs = std::array<double, 5>;
// Weights of a state-variable filter's low-pass, high-pass and band-pass outputs.
using svf_coeffs = std::array<double, 3>;

} // namespace zarvo
