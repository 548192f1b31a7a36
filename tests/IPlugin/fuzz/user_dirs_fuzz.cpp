// Random bytes as a user-dirs.dirs file: a folder read from it is absolute, holds no NUL and has no
// trailing "/" (but for the root itself), whatever the key and the home folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "IPlugin/IPluginPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1)
    return 0;
  // The first byte picks the key and the home folder, so that both ways of naming a folder are met.
  constexpr std::string_view kKeys[] = {"XDG_DESKTOP_DIR", "XDG_MUSIC_DIR", "X"};
  constexpr std::string_view kHomes[] = {"/home/u", "", "/"};
  const std::string_view key = kKeys[data[0] % 3];
  const std::string_view home = kHomes[(data[0] / 3) % 3];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::string dir = plugkit::UserDirFromText(text, key, home);
  if (dir.empty())
    return 0;
  if (dir.front() != '/' || dir.find('\0') != std::string::npos || (dir.size() > 1 && dir.back() == '/'))
    std::abort();
  return 0;
}
