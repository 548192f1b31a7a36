// The user tab's layout model: columns of control ids, spacer and width-modifier ids, the canonical
// form of a column and the "slot" lines that carry a layout in files and on the clipboard.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::ui {

// Pure functions over layouts; they hold no state and may run on any thread (in practice the main
// thread: the editor and the plug-in's default layout file).
class UserTabLayout
{
public:
  // One column, top to bottom: control ids (0 and above), spacers (-1 to -3) and width modifiers
  // (-4 to -9).
  using Slot = std::vector<int>;
  using IdToToken = std::function<std::string(int id)>;
  // -1 for a token it does not know.
  using TokenToId = std::function<int(std::string_view token)>;

  struct SpacerDef
  {
    int32_t id;
    float fraction;     // a spacer's share of the column's height, a modifier's of a column's width
    int32_t isWidthMod; // 0 or 1
    const char* label;
  };
  // The row of id n is row -n - 1.
  static constexpr std::array<SpacerDef, 9> kSpacerDefs = {{
    {-1, 0.125f, 0, "horizontal  1/8"},
    {-2, 0.25f, 0, "horizontal  1/4"},
    {-3, 0.5f, 0, "horizontal  1/2"},
    {-4, 1.0f, 1, "vertical  1"},
    {-5, 0.75f, 1, "vertical  3/4"},
    {-6, 0.66f, 1, "vertical  2/3"},
    {-7, 0.5f, 1, "vertical  1/2"},
    {-8, 0.25f, 1, "vertical  1/4"},
    {-9, 0.125f, 1, "vertical  1/8"},
  }};

  // The most a layout holds, as the state chunk keeps it; parsing drops what lies beyond.
  static constexpr size_t kMaxSlots = 64;
  static constexpr size_t kMaxSlotEntries = 32;

  static bool isWidthMod(int id);
  static bool slotHasWidthMod(const Slot& slot);
  // The index of the first width modifier, -1 when there is none.
  static int widthModIndex(const Slot& slot);
  // The first width modifier's fraction, 1 without one.
  static float slotWidthWeight(const Slot& slot);

  // Keeps each slot's first width modifier only, moved to the front; true when anything changed.
  static bool normalizeSlots(std::vector<Slot>& slots);

  // One line per slot, empty slots included: "slot" and each id's token (the id in decimal when
  // idToToken is empty or gives no text), separated by single blanks.
  static std::vector<std::string> serializeSlotIds(const std::vector<Slot>& slots, const IdToToken& idToToken);
  // A slot per "slot" line that yields an id (words apart by blanks or tabs): decimal words are ids
  // as they are, other words go through tokenToId (dropped at -1 or without it). Other lines are
  // skipped; at most kMaxSlots slots of kMaxSlotEntries ids.
  static std::vector<Slot> parseSlotLines(const std::vector<std::string>& lines, const TokenToId& tokenToId);
};

} // namespace zarvo::ui
