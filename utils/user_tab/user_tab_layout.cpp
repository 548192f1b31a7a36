#include "utils/user_tab/user_tab_layout.h"

#include <algorithm>
#include <optional>

#include "IPlugin/TextScan.h"

namespace zarvo::ui {

namespace {

// An optional "-" and digits only, fitting 32 bits; anything else is a name.
std::optional<int> decimalId(std::string_view word)
{
  int32_t id = 0;
  if (!plugkit::ReadNumber(word, id, {.blanks = "", .plus = false, .whole = true}))
    return std::nullopt;
  return id;
}

// Tabs count as blanks, and a carriage return of a line written elsewhere is no part of a word.
constexpr std::string_view kBlanks = " \t\r";

// The next blank-separated word of rest, consumed from it; empty when none is left.
std::string_view nextWord(std::string_view& rest)
{
  const size_t start = rest.find_first_not_of(kBlanks);
  rest.remove_prefix(start == std::string_view::npos ? rest.size() : start);
  const std::string_view word = rest.substr(0, rest.find_first_of(kBlanks));
  rest.remove_prefix(word.size());
  return word;
}

} // namespace

bool UserTabLayout::isWidthMod(int id)
{
  return id <= -1 && id >= -static_cast<int>(kSpacerDefs.size()) &&
         kSpacerDefs[static_cast<size_t>(-id - 1)].isWidthMod;
}

bool UserTabLayout::slotHasWidthMod(const Slot& slot) { return widthModIndex(slot) >= 0; }

int UserTabLayout::widthModIndex(const Slot& slot)
{
  const auto it = std::ranges::find_if(slot, isWidthMod);
  return it == slot.end() ? -1 : static_cast<int>(it - slot.begin());
}

float UserTabLayout::slotWidthWeight(const Slot& slot)
{
  const int index = widthModIndex(slot);
  return index < 0 ? 1.0f : kSpacerDefs[static_cast<size_t>(-slot[static_cast<size_t>(index)] - 1)].fraction;
}

bool UserTabLayout::normalizeSlots(std::vector<Slot>& slots)
{
  bool changed = false;
  for (Slot& slot : slots)
  {
    const int first = widthModIndex(slot);
    if (first < 0)
      continue;
    const auto later = std::remove_if(slot.begin() + first + 1, slot.end(), isWidthMod);
    changed = changed || later != slot.end();
    slot.erase(later, slot.end());
    if (first > 0)
    {
      std::rotate(slot.begin(), slot.begin() + first, slot.begin() + first + 1);
      changed = true;
    }
  }
  return changed;
}

std::vector<std::string> UserTabLayout::serializeSlotIds(const std::vector<Slot>& slots, const IdToToken& idToToken)
{
  std::vector<std::string> lines;
  lines.reserve(slots.size());
  for (const Slot& slot : slots)
  {
    std::string line = "slot";
    for (const int id : slot)
    {
      std::string token = idToToken ? idToToken(id) : std::string();
      line.append(" ").append(token.empty() ? std::to_string(id) : token);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<UserTabLayout::Slot> UserTabLayout::parseSlotLines(const std::vector<std::string>& lines,
                                                               const TokenToId& tokenToId)
{
  std::vector<Slot> slots;
  for (const std::string& line : lines)
  {
    if (slots.size() == kMaxSlots)
      break;
    std::string_view rest = line;
    if (nextWord(rest) != "slot")
      continue;
    Slot slot;
    for (std::string_view word = nextWord(rest); !word.empty() && slot.size() < kMaxSlotEntries; word = nextWord(rest))
    {
      if (const std::optional<int> id = decimalId(word))
        slot.push_back(*id);
      else if (tokenToId)
      {
        if (const int id = tokenToId(word); id != -1)
          slot.push_back(id);
      }
    }
    if (!slot.empty())
      slots.push_back(std::move(slot));
  }
  return slots;
}

} // namespace zarvo::ui
