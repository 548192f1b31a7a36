#include "product/ui/vemlor_layout_format.h"

#include "product/ui/alt_control_ids.h"
#include "product/state/editor_state_codec.h"
#include "product/ui/default_user_tab.h"
#include "utils/user_tab/user_tab_layout.h"

namespace vemlor::ui {

// A layout read from text always fits the state chunk whole.
static_assert(zarvo::ui::UserTabLayout::kMaxSlots == zarvo::VemlorStateCodec::kMaxColumns &&
              zarvo::ui::UserTabLayout::kMaxSlotEntries == zarvo::VemlorStateCodec::kMaxColumnEntries);

std::string VemlorLayoutFormat::altNameFromId(int id) const { return std::string(ui::altNameFromId(id)); }

int VemlorLayoutFormat::altIdFromName(std::string_view name) const { return ui::altIdFromName(name); }

zarvo::UserTabColumns VemlorLayoutFormat::parseSlotLines(const std::vector<std::string>& lines,
                                                         const TokenToId& tokenToId) const
{
  return zarvo::ui::UserTabLayout::parseSlotLines(lines, tokenToId);
}

std::vector<std::string> VemlorLayoutFormat::serializeSlotIds(const zarvo::UserTabColumns& columns,
                                                              const IdToToken& idToToken) const
{
  return zarvo::ui::UserTabLayout::serializeSlotIds(columns, idToToken);
}

zarvo::UserTabColumns VemlorLayoutFormat::defaultUserTabSlots() const { return ui::defaultUserTabSlots(); }

} // namespace vemlor::ui
