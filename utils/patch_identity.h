// Which patch a sound came from: a factory preset, a user preset file or none, and whether it has
// been changed since.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo {

struct PatchIdentity
{
  int32_t kind = 0;   // 0 none, 1 factory preset, 2 user preset file
  std::string name;   // factory preset name, or the file's full path
  int32_t index = -1; // list index for a factory preset
  bool modified = false;
  bool operator==(const PatchIdentity&) const = default;
};

} // namespace zarvo
