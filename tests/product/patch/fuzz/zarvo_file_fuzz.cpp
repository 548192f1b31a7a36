// Feeds arbitrary bytes to the sectioned text parser; a parsed file must survive a write and re-read.
#include "utils/zarvo_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0)
    return 0;
  // The first byte chooses whether the header is given, so most inputs reach the line rules.
  const bool withHeader = (data[0] & 1) != 0;
  std::string text = withHeader ? "# zarvo v1\n" : "";
  text.append(reinterpret_cast<const char*>(data + 1), size - 1);

  const auto file = zarvo::ZarvoFile::fromText(text);
  if (withHeader && !file)
    std::abort();
  if (!file)
    return 0;
  const auto again = zarvo::ZarvoFile::fromText(file->toString());
  if (!again || again->sections().size() != file->sections().size())
    std::abort(); // what the writer produced must read back
  for (size_t i = 0; i < file->sections().size(); ++i)
    if (again->sections()[i].name != file->sections()[i].name ||
        again->sections()[i].lines != file->sections()[i].lines)
      std::abort();
  return 0;
}
