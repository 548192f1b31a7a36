// Random bytes as a dropped uri-list: every path read is absolute and holds no NUL.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "IGfx/Platforms/X11/UriList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string_view list(reinterpret_cast<const char*>(data), size);
  for (const std::string& path : plugkit::gfx::ParseUriList(list))
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string::npos)
      __builtin_trap();
  return 0;
}
