// The product's user-tab layout format: its alternative control names, slot lines and default tab.
#pragma once

#include "product/patch/prefs_access.h"

namespace vemlor::ui {

// Stateless; main thread.
class VemlorLayoutFormat final : public zarvo::UserLayoutFormat
{
public:
  std::string altNameFromId(int id) const override;
  int altIdFromName(std::string_view name) const override;
  zarvo::UserTabColumns parseSlotLines(const std::vector<std::string>& lines,
                                       const TokenToId& tokenToId) const override;
  std::vector<std::string> serializeSlotIds(const zarvo::UserTabColumns& columns,
                                            const IdToToken& idToToken) const override;
  zarvo::UserTabColumns defaultUserTabSlots() const override;
};

} // namespace vemlor::ui
