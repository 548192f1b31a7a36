// How the plug-in's parameters are named in the morph field's rig texts.
#pragma once

#include "product/params/morph_param_table.h"
#include "product/params/params.h"
#include "utils/morph/morph_zarvo_adapter.h"

namespace zarvo {

inline constexpr morph::MorphZarvoAdapter::ParamNaming kRigParamNaming{&morph::kMorphParamTable, &paramName,
                                                                       &paramIndexFromName};

} // namespace zarvo
