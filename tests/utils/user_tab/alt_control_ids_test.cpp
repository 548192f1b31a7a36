#include "product/ui/alt_control_ids.h"
#include "product/ui/default_user_tab.h"
#include "product/ui/vemlor_layout_format.h"

#include "product/params/params.h"
#include "utils/user_tab/user_tab_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vemlor::ui {
namespace {

TEST(AltControlIds, NamesConvertBothWaysExactly)
{
  std::set<int> ids;
  std::set<std::string_view> tokens;
  for (const AltName& row : kAltNames)
  {
    EXPECT_EQ(altNameFromId(row.id), row.token);
    EXPECT_EQ(altIdFromName(row.token), row.id);
    EXPECT_TRUE(row.token.starts_with("kAlt_")) << row.token;
    EXPECT_TRUE((row.id >= 10000 && row.id <= 10017) || (row.id >= 10100 && row.id <= 10108)) << row.id;
    ids.insert(row.id);
    tokens.insert(row.token);
  }
  EXPECT_EQ(ids.size(), kAltNames.size());
  EXPECT_EQ(tokens.size(), kAltNames.size());

  struct Case
  {
    const char* name;
    int id;
    std::string_view token;
  };
  const Case byId[] = {
    {"gap in the first range", 10002, ""},
    {"past the second range", 10109, ""},
    {"a parameter index", 14, ""},
    {"last caption", 10108, "kAlt_LabelDamping"},
  };
  for (const Case& c : byId)
    EXPECT_EQ(altNameFromId(c.id), c.token) << c.name;

  const Case byToken[] = {
    {"exact", 10101, "kAlt_LabelRes"},          {"without a control of its own", 10000, "kAlt_BreakXY"},
    {"lower case", -1, "kalt_labelres"},        {"trailing blank", -1, "kAlt_LabelRes "},
    {"a parameter name", -1, "par_main_drive"}, {"empty", -1, ""},
  };
  for (const Case& c : byToken)
    EXPECT_EQ(altIdFromName(c.token), c.id) << c.name;
}

TEST(DefaultUserTab, ElevenColumnsOfKnownControls)
{
  const std::vector<std::vector<int>> slots = defaultUserTabSlots();
  ASSERT_EQ(slots.size(), 11u);
  EXPECT_EQ(slots[2], (std::vector<int>{9, -1, 10108, 26, 25}));
  EXPECT_EQ(slots[3], (std::vector<int>{-8}));
  EXPECT_EQ(slots[9], (std::vector<int>{29}));
  for (const std::vector<int>& slot : slots)
    for (int id : slot)
      EXPECT_TRUE((id >= 0 && id < zarvo::kNumParams) || !altNameFromId(id).empty() ||
                  (id < 0 && id >= -static_cast<int>(zarvo::ui::UserTabLayout::kSpacerDefs.size())))
        << id;
  // Already in the canonical form the editor keeps.
  std::vector<std::vector<int>> normalized = slots;
  EXPECT_FALSE(zarvo::ui::UserTabLayout::normalizeSlots(normalized));
}

TEST(LayoutFormat, DefaultTabTravelsThroughLayoutTextByName)
{
  const VemlorLayoutFormat format;
  const auto toToken = [&format](int id) { return zarvo::layoutTokenFromId(format, id); };
  const auto toId = [&format](std::string_view token) { return zarvo::layoutIdFromToken(format, token); };
  const std::vector<std::string> lines = format.serializeSlotIds(format.defaultUserTabSlots(), toToken);
  EXPECT_EQ(lines[2], "slot par_preFlt_band_mode -1 kAlt_LabelDamping par_damping_thresh par_damping_release");
  EXPECT_EQ(format.parseSlotLines(lines, toId), format.defaultUserTabSlots());
}

} // namespace
} // namespace vemlor::ui
