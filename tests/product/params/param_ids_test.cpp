// Internal names, stable ids and the lookups between names, ids and indices.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "product/params/params.h"

namespace zarvo {
namespace {

TEST(StableIds, FnvSpotChecks)
{
  struct Case
  {
    const char* name;
    std::string text;
    uint32_t expected;
  };
  const Case cases[] = {
    {"empty text is the offset basis", "", 0x811C9DC5u},
    {"abc", "abc", 0x1A47E90Bu},
    {"pre-filter A frequency", "par_preFlt_A_hz", 0x57FE48E3u},
    {"main cutoff", "par_main_cutoff_hz", 0xD5BA803Fu},
    {"morph y", "par_morph_y", 0x35BEC4A5u},
    {"last index", "par_main_pt_tilt", 0x55330081u},
    {"note block member", "par_preB_midi_cc_channel", 0x8DE5B497u},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fnv1a32(c.text), c.expected);
    const int index = paramIndexFromName(c.text);
    if (index >= 0)
    {
      EXPECT_EQ(stableIdOf(index), c.expected);
    }
  }
  EXPECT_EQ(kStableParamIds[par_preFlt_A_hz], 0x57FE48E3u);
  EXPECT_EQ(kStableParamIds[par_main_cutoff_hz], 0xD5BA803Fu);
}

// Every index has one name, every name its hash as id, and both lookups find their way back.
TEST(StableIds, EveryParameterRoundTrips)
{
  std::set<uint32_t> ids;
  std::set<std::string> names;
  for (int index = 0; index < kNumParams; ++index)
  {
    SCOPED_TRACE(index);
    const std::string_view name = paramName(index);
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(name.starts_with("par_"));
    EXPECT_EQ(paramIndexFromName(name), index);
    EXPECT_EQ(kStableParamIds[static_cast<size_t>(index)], fnv1a32(name));
    EXPECT_EQ(paramIndexFromStableId(stableIdOf(index)), index);
    ids.insert(stableIdOf(index));
    names.emplace(name);
  }
  EXPECT_EQ(ids.size(), static_cast<size_t>(kNumParams));
  EXPECT_EQ(names.size(), static_cast<size_t>(kNumParams));
  EXPECT_TRUE(std::is_sorted(kStableIdSorted.begin(), kStableIdSorted.end(),
                             [](const StableIdEntry& a, const StableIdEntry& b) { return a.id < b.id; }));
  for (const ParamNameRow& row : kParamNames)
    EXPECT_EQ(static_cast<size_t>(row.length), std::string_view(row.name).size()) << row.name;
}

TEST(StableIds, EnumeratorsMatchInternalNames)
{
  struct Case
  {
    EParams param;
    const char* name;
  };
  const Case cases[] = {
    {par_preFlt_A_hz, "par_preFlt_A_hz"},
    {par_main_cutoff_hz, "par_main_cutoff_hz"},
    {par_oversampling, "par_oversampling"},
    {par_main_midi_note_on, "par_main_midi_note_on"},
    {par_preA_midi_cc_channel, "par_preA_midi_cc_channel"},
    {par_preB_glide_ms, "par_preB_glide_ms"},
    {par_morph_active, "par_morph_active"},
    {par_morph_y, "par_morph_y"},
    {par_preFlt_B_ub_on, "par_preFlt_B_ub_on"},
    {par_preB_cutoff_note_anchored, "par_preB_cutoff_note_anchored"},
    {par_main_pt_tilt, "par_main_pt_tilt"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(paramName(c.param), c.name);
}

TEST(StableIds, UnknownIdsAndNamesAreNotFound)
{
  const uint32_t largest = kStableIdSorted.back().id;
  const uint32_t smallest = kStableIdSorted.front().id;
  struct IdCase
  {
    const char* name;
    uint32_t id;
  };
  const IdCase ids[] = {
    {"zero", 0u},
    {"hash of another text", fnv1a32("abc")},
    {"just below the smallest", smallest - 1},
    {"just above the largest", largest + 1},
    {"maximum", 0xFFFFFFFFu},
    {"between two ids", kStableIdSorted[10].id + 1},
  };
  for (const IdCase& c : ids)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(paramIndexFromStableId(c.id), -1);
  }

  struct NameCase
  {
    const char* name;
    std::string text;
  };
  const NameCase names[] = {
    {"empty", ""},
    {"other case", "PAR_MAIN_CUTOFF_HZ"},
    {"prefix of a name", "par_main_cutoff"},
    {"name with a trailing blank", "par_main_cutoff_hz "},
    {"host name", "main hz"},
  };
  for (const NameCase& c : names)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(paramIndexFromName(c.text), -1);
  }

  for (int index : {-1, static_cast<int>(kNumParams), 1000})
  {
    EXPECT_TRUE(paramName(index).empty()) << index;
    EXPECT_EQ(stableIdOf(index), 0u) << index;
  }
}

} // namespace
} // namespace zarvo
