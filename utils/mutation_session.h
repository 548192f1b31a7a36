// Patches as parameter values, and the patch a series of mutations starts from.
#pragma once

#include <functional>
#include <unordered_map>
#include <vector>

namespace zarvo {

// Parameter index -> plain value (in the parameter's own unit, not normalised).
using ParamValueMap = std::unordered_map<int, double>;

// A parameter's current plain value.
using ParamGetter = std::function<double(int)>;

// The patch a series of mutations starts from, and every result applied since.
struct MutationSession
{
  ParamValueMap base;
  std::vector<ParamValueMap> history;
};

} // namespace zarvo
