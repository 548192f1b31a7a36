// Applies the product's parameter table to the framework's parameter objects.
#pragma once

#include <array>
#include <functional>

#include "IPlugin/IPluginParameter.h"
#include "product/params/mod_params.h"
#include "product/params/params.h"

namespace zarvo {

// Gives the parameter of this index its host name, kind, range, default, shape, value texts and
// flags. An index outside 0..78 leaves the parameter untouched. Main thread, during construction.
void initParam(plugkit::IParam& param, int index);

// Per modulation slot: whether its parameter's shape is not linear, so modulation works on the
// normalised value. getParam(i) is the initialised parameter of index i. Main thread.
std::array<bool, mod::kNumModSlots> modShapedFlags(const std::function<const plugkit::IParam&(int)>& getParam);

} // namespace zarvo
