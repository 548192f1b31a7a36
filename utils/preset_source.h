// A preset about to be applied: a browse-list entry or a file.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo {

struct PresetSource
{
  int32_t kind = 0; // 0 a list entry, 1 a file
  int32_t index = -1;
  std::string path;
};

} // namespace zarvo
