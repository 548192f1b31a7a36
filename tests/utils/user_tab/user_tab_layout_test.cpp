#include "utils/user_tab/user_tab_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace zarvo::ui {
namespace {

using Slot = UserTabLayout::Slot;
using Slots = std::vector<Slot>;
using Lines = std::vector<std::string>;

TEST(UserTabLayout, NormalizeKeepsTheFirstWidthModifierAtTheFront)
{
  struct Case
  {
    const char* name;
    Slot slot;
    Slot expected;
  };
  const Case cases[] = {
    {"later modifiers dropped", {-9, 4, -5, 7}, {-9, 4, 7}},
    {"modifier moved to the front", {4, -7, 6}, {-7, 4, 6}},
    {"both at once", {4, -1, -8, 6, -4}, {-8, 4, -1, 6}},
    {"three modifiers", {5, -7, -1, -4, 6, -9}, {-7, 5, -1, 6}},
    {"spacers are no modifiers", {4, -1}, {4, -1}},
    {"unknown ids stay", {-20, 99999, -6}, {-6, -20, 99999}},
    {"empty", {}, {}},
  };
  for (const Case& c : cases)
  {
    Slots slots = {c.slot};
    EXPECT_EQ(UserTabLayout::normalizeSlots(slots), c.slot != c.expected) << c.name;
    EXPECT_EQ(slots, Slots{c.expected}) << c.name;
  }
}

TEST(UserTabLayout, SlotQueries)
{
  EXPECT_EQ(UserTabLayout::widthModIndex({4, -1, -6, -9}), 2);
  EXPECT_EQ(UserTabLayout::widthModIndex({4, -1, -3}), -1);
  EXPECT_FLOAT_EQ(UserTabLayout::slotWidthWeight({4, -6, -9}), 0.66f);
  EXPECT_FLOAT_EQ(UserTabLayout::slotWidthWeight({-3}), 1.0f);
  EXPECT_TRUE(UserTabLayout::slotHasWidthMod({-4}));
  EXPECT_FALSE(UserTabLayout::slotHasWidthMod({-10, 0}));
}

TEST(UserTabLayout, SerializesIdsAsTokensElseNumbers)
{
  EXPECT_EQ(UserTabLayout::serializeSlotIds({{0, -8}, {}}, nullptr), (Lines{"slot 0 -8", "slot"}));
  const auto token = [](int id) { return id == 14 ? std::string("par_main_drive") : std::string(); };
  EXPECT_EQ(UserTabLayout::serializeSlotIds({{14, 10002, -1}}, token), (Lines{"slot par_main_drive 10002 -1"}));
}

TEST(UserTabLayout, ParsesSlotLines)
{
  const auto tokenToId = [](std::string_view t) { return t == "par_main_drive" ? 14 : t == "big" ? 99999999 : -1; };
  struct Case
  {
    const char* name;
    Lines lines;
    Slots expected;
  };
  const Case cases[] = {
    {"numbers, names and unknown names", {"slot 12 -3 foo par_main_drive"}, {{12, -3, 14}}},
    {"blanks between words", {"  slot   1    2 "}, {{1, 2}}},
    {"other first words and empty slots", {"slots 1", "slot", "slot foo", "# slot 1", "", "Slot 2"}, {}},
    {"a plus sign or a number past 32 bits is a name",
     {"slot +5 4294967296 big -2147483648"},
     {{99999999, -2147483648}}},
    {"every line a slot, in order", {"slot 1", "x", "slot 2 2"}, {{1}, {2, 2}}},
    {"a number past 32 bits that no name matches", {"slot 99999999999"}, {}},
    {"tabs and a carriage return are blanks", {"slot\t1\t\t-2", "\tslot par_main_drive\r", "slot\r"}, {{1, -2}, {14}}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UserTabLayout::parseSlotLines(c.lines, tokenToId), c.expected) << c.name;
  EXPECT_EQ(UserTabLayout::parseSlotLines({"slot 3 par_main_drive 4"}, nullptr), (Slots{{3, 4}}));
}

TEST(UserTabLayout, ParsingKeepsTheLayoutWithinWhatAStateHolds)
{
  Lines lines(UserTabLayout::kMaxSlots + 5, "slot");
  for (std::string& line : lines)
    for (size_t i = 0; i < UserTabLayout::kMaxSlotEntries + 3; ++i)
      line += " " + std::to_string(i);
  const Slots slots = UserTabLayout::parseSlotLines(lines, nullptr);
  ASSERT_EQ(slots.size(), UserTabLayout::kMaxSlots);
  for (const Slot& slot : slots)
  {
    ASSERT_EQ(slot.size(), UserTabLayout::kMaxSlotEntries);
    EXPECT_EQ(slot.back(), static_cast<int>(UserTabLayout::kMaxSlotEntries) - 1);
  }
}

TEST(UserTabLayout, TextReadsBackAsTheSameSlotsButEmptyOnes)
{
  const auto idToToken = [](int id) { return id == 29 ? std::string("par_dry_wet") : std::string(); };
  const auto tokenToId = [](std::string_view t) { return t == "par_dry_wet" ? 29 : -1; };
  const Slots slots = {{-9, 29, -1}, {}, {10108, 29, 29}};
  EXPECT_EQ(UserTabLayout::parseSlotLines(UserTabLayout::serializeSlotIds(slots, idToToken), tokenToId),
            (Slots{{-9, 29, -1}, {10108, 29, 29}}));
}

TEST(UserTabLayout, AnyLayoutWithoutEmptySlotsSurvivesItsText)
{
  // Names for some ids, numbers for the rest (spacers, modifiers and ids without a name).
  const auto idToToken = [](int id) { return id >= 0 && id % 3 == 0 ? "name_" + std::to_string(id) : std::string(); };
  const auto tokenToId = [](std::string_view t) {
    return t.starts_with("name_") ? std::stoi(std::string(t.substr(5))) : -1;
  };
  std::mt19937 random(20);
  std::uniform_int_distribution<int> pick(-12, 10120);
  for (int round = 0; round < 200; ++round)
  {
    Slots slots(1 + random() % UserTabLayout::kMaxSlots);
    for (Slot& slot : slots)
    {
      slot.resize(1 + random() % UserTabLayout::kMaxSlotEntries);
      for (int& id : slot)
        id = pick(random);
    }
    const Lines lines = UserTabLayout::serializeSlotIds(slots, idToToken);
    ASSERT_EQ(UserTabLayout::parseSlotLines(lines, tokenToId), slots) << "round " << round;
  }
}

} // namespace
} // namespace zarvo::ui
