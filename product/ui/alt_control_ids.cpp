#include "product/ui/alt_control_ids.h"

#include <algorithm>

namespace vemlor::ui {

std::string_view altNameFromId(int id)
{
  const auto row = std::ranges::find(kAltNames, id, &AltName::id);
  return row == kAltNames.end() ? std::string_view() : row->token;
}

int altIdFromName(std::string_view token)
{
  const auto row = std::ranges::find(kAltNames, token, &AltName::token);
  return row == kAltNames.end() ? -1 : row->id;
}

} // namespace vemlor::ui
