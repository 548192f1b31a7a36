// Random lines as the user tab's section of a layout file: the columns read stay within the tab's
// limits, every id comes from a decimal word or a known token, a token maps to an id whose token maps
// back to it, and what is written reads back to the same columns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "product/patch/prefs_access.h"
#include "product/ui/vemlor_layout_format.h"
#include "utils/user_tab/user_tab_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const vemlor::ui::VemlorLayoutFormat format;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  while (!text.empty())
  {
    const size_t lf = text.find('\n');
    lines.emplace_back(text.substr(0, lf));
    text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
  }

  const auto tokenToId = [](std::string_view token) {
    const int id = zarvo::layoutIdFromToken(format, token);
    // A known token names an id whose token is that token again.
    if (id != -1 && zarvo::layoutIdFromToken(format, zarvo::layoutTokenFromId(format, id)) != id)
      std::abort();
    return id;
  };
  const auto idToToken = [](int id) { return zarvo::layoutTokenFromId(format, id); };

  zarvo::UserTabColumns columns = format.parseSlotLines(lines, tokenToId);
  if (columns.size() > zarvo::ui::UserTabLayout::kMaxSlots)
    std::abort();
  for (const std::vector<int>& column : columns)
    if (column.empty() || column.size() > zarvo::ui::UserTabLayout::kMaxSlotEntries)
      std::abort();

  if (format.parseSlotLines(format.serializeSlotIds(columns, idToToken), tokenToId) != columns)
    std::abort();

  zarvo::migrateUserSlots(columns);
  for (const std::vector<int>& column : columns)
    for (const int id : column)
      if (id == 17)
        std::abort();
  return 0;
}
