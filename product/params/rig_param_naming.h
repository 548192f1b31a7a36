// How the plug-in's parameters are named in the morph field's rig texts.
#pragma once

#include "product/params/params.h"
#include "utils/morph/morph_zarvo_adapter.h"

namespace zarvo {

inline constexpr morph::MorphZarvoAdapter::ParamNaming kRigParamNaming{&paramName, &paramIndexFromName, par_main_pt_depth,
                                                                        par_main_pt_variation};

} // namespace zarvo
