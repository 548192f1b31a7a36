#include "product/patch/factory_presets.h"

#include "tests/product/patch/test_plugin.h"
#include "tests/support/users_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>
#include <string>

namespace zarvo {
namespace {

using test::Instance;
using test::TestPlugin;

struct SlotRow
{
  const char* name;
  bool starter;
};

constexpr SlotRow kSlots[] = {
  {"CLEAN VOSK", false},
  {"SLAG", true},
  {"ARK", false},
  {"SERENDIPITY", true},
  {"CLAWS", false},
  {"STEEL", false},
  {"HANDPAN", true},
  {"LEMON", false},
  {"SUNSET", false},
  {"TRANSISTOR TEARS", true},
  {"TRIPOLAR", false},
  {"RUBBER", false},
  {"LOOSE", false},
  {"MORDA", true},
  {"DRIFT", false},
  {"ASHEN", true},
  {"FAT BEES", false},
  {"RUST", true},
  {"SODA", false},
  {"GUILLOTINE", true},
  {"ACID SPIT", true},
  {"ROSIN", false},
  {"SPRING", true},
  {"FUR", true},
  {"CHUBAKA", false},
  {"BOX", true},
  {"PATINA ANTHROPICA", true},
  {"ELECTROLYTE os4x", false},
  {"IMP", true},
  {"INTERFERENCE", false},
  {"BELL", false},
  {"MEMBRANE", false},
  {"EDGE", false},
  {"TIN", true},
  {"CRUNCHY", false},
  {"TRY ME", true},
  {"CAT", true},
  {"PAPER", false},
  {"CHEW", true},
  {"SNOW", true},
  {"BARREL", false},
  {"LAUNCH", false},
  {"CARDBOARD os1x", false},
  {"DESERT BEACON os1x", true},
  {"LIPS", true},
  {"TAPE", false},
  {"BEADS", true},
  {"VYNIL", false},
  {"CRAYON", false},
  {"ZIPPER", false},
  {"ANTCORE", false},
  {"BIRDS", true},
  {"COINS", true},
  {"SINGAPORE os4x", false},
  {"ERROR", false},
  {"TRANSMISSION os4x", false},
  {"PIPETTE os4x", false},
  {"SLUDGE", false},
  {"MATCHES", true},
  {"SEA GLASS os1x", true},
  {"CRUST", true},
  {"WARM", true},
  {"STICKY TAPE", true},
  {"RAINY", true},
  {"ANGER MANAGEMENT", false},
  {"TABLA", true},
  {"PILLOW", false},
  {"TOYS", true},
  {"BROKEN TV", true},
  {"FOIL", true},
  {"CELLOPHANE", true},
  {"SONGLINE", true},
  {"FLEX", false},
};

// The plain value a slot's state holds for a parameter (the state is the values in index order).
double slotValue(const plugkit::IPluginBase& plugin, int slot, int param)
{
  double v = std::nan("");
  plugin.GetPreset(slot)->mChunk.Get(v, param * 8);
  return v;
}

TEST(FactoryPresets, SlotsInOrderWithTheirStarters)
{
  Instance instance;
  ASSERT_EQ(instance.presets.presetCount(), 73);
  ASSERT_EQ(std::size(kSlots), 73u);
  std::vector<int32_t> expectedStarters;
  for (int slot = 0; slot < 73; ++slot)
  {
    EXPECT_STREQ(instance.plugin.GetPresetName(slot), kSlots[slot].name) << "slot " << slot;
    if (kSlots[slot].starter)
      expectedStarters.push_back(slot);
  }
  EXPECT_EQ(expectedStarters.size(), 36u);
  EXPECT_EQ(instance.presets.starterIndices(), expectedStarters);
  ASSERT_EQ(instance.presets.starterParams().size(), 36u);
  // The browse list numbers the factory presets by slot.
  EXPECT_EQ(instance.manager->factoryCount(), 73);
}

TEST(FactoryPresets, GivenPresetsHoldTheirValues)
{
  struct Row
  {
    const char* what;
    int slot;
    int param;
    double value;
  };
  const Row rows[] = {
    {"CLEAN VOSK cutoff", 0, par_main_cutoff_hz, 20000.0},
    {"CLEAN VOSK gain", 0, par_main_gain, 8.0},
    {"CLEAN VOSK break character", 0, par_break_character, 1.0},
    {"SLAG cutoff", 1, par_main_cutoff_hz, 741.573207},
    {"SLAG pass type", 1, par_main_pass_type, 5.0},
    {"SLAG pre A resonance", 1, par_preFlt_A_res, 0.995045},
    {"SLAG band mode", 1, par_preFlt_band_mode, 0.581466},
    {"SLAG pre A cent shift", 1, par_preA_note_cent_shift, -26.0},
    {"SLAG damping release", 1, par_damping_release, 1500.0},
    {"SLAG saturation", 1, par_main_saturation_type, 0.0},
    {"CRAYON drive", 48, par_main_drive, 0.506904},
    {"CRAYON pre B frequency", 48, par_preFlt_B_hz, 3.843367},
    {"CRAYON band mode", 48, par_preFlt_band_mode, -0.17758},
    {"CRAYON gain", 48, par_main_gain, -2.0},
    {"CRAYON keeps the default cutoff", 48, par_main_cutoff_hz, 20000.0},
    {"CRAYON keeps the default resonance", 48, par_main_resonance, 0.5},
  };
  Instance instance;
  for (const Row& row : rows)
    EXPECT_EQ(slotValue(instance.plugin, row.slot, row.param), row.value) << row.what;

  // SLAG is the first starter; its record is its own list.
  const ParamValueMap& slag = instance.presets.starterParams().front();
  EXPECT_EQ(instance.presets.starterIndices().front(), 1);
  EXPECT_EQ(slag.size(), 19u);
  EXPECT_EQ(slag.at(par_break_character), 5.253444);
}

TEST(FactoryPresets, MakeChunkPresetRoundsClampsAndSkips)
{
  struct Row
  {
    const char* what;
    uint32_t param;
    double value;
    double stored;
  };
  const Row rows[] = {
    {"half step up rounds away from zero", par_main_detune, 2.5, 3.0},
    {"half step down rounds away from zero", par_main_detune, -2.5, -3.0},
    {"stepped list value", par_main_pass_type, 3.4, 3.0},
    {"above the range", par_main_cutoff_hz, 30000.0, 20000.0},
    {"below the range", par_main_resonance, -0.5, 0.0},
    {"a continuous value is kept", par_main_resonance, 0.123456, 0.123456},
  };
  for (const Row& row : rows)
  {
    TestPlugin plugin;
    const PresetParamValue values[] = {{row.param, row.value}, {kNumParams, 5.0}};
    EXPECT_TRUE(makeChunkPreset(plugin, "test", values));
    EXPECT_STREQ(plugin.GetPresetName(0), "test");
    EXPECT_EQ(slotValue(plugin, 0, static_cast<int>(row.param)), row.stored) << row.what;
    EXPECT_EQ(plugin.GetPreset(0)->mChunk.Size(), kNumParams * 8) << row.what;
  }
}

TEST(FactoryPresets, EveryParameterIsBackAtItsDefault)
{
  Instance instance;
  for (int i = 0; i < kNumParams; ++i)
  {
    const plugkit::IParam* p = instance.plugin.GetParam(i);
    EXPECT_EQ(p->Value(), p->Constrain(p->GetDefault())) << paramName(i);
  }
}

// Each preset's list is in range as written, so what is stored is what was designed.
class EveryFactoryPreset : public ::testing::TestWithParam<int>
{};

TEST_P(EveryFactoryPreset, ListIsWellFormed)
{
  const FactoryPresetDef& def = factoryPresetDefs()[static_cast<size_t>(GetParam())];
  TestPlugin plugin;
  EXPECT_GE(def.values.size(), 10u);
  EXPECT_LE(def.values.size(), 27u);
  std::set<uint32_t> seen;
  for (const PresetParamValue& entry : def.values)
  {
    ASSERT_LT(entry.index, static_cast<uint32_t>(kNumParams));
    const plugkit::IParam* p = plugin.GetParam(static_cast<int>(entry.index));
    const std::string what = std::string(def.name) + " " + std::string(paramName(static_cast<int>(entry.index)));
    EXPECT_NE(entry.index, static_cast<uint32_t>(par_oversampling)) << what;
    EXPECT_TRUE(seen.insert(entry.index).second) << what << " listed twice";
    EXPECT_TRUE(std::isfinite(entry.value)) << what;
    EXPECT_EQ(p->Constrain(entry.value), entry.value) << what << " is off its range or step";
  }
}

INSTANTIATE_TEST_SUITE_P(FactoryPresets, EveryFactoryPreset, ::testing::Range(0, kNumFactoryPresets),
                         [](const ::testing::TestParamInfo<int>& info) {
                           std::string name = factoryPresetDefs()[static_cast<size_t>(info.param)].name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           return name;
                         });

TEST(StarterChoice, ANewInstanceStartsOnAStarter)
{
  const vemlor::test::UsersRun usersRun; // the random choice itself, not the tests' fixed seed
  std::set<int> chosen;
  for (int draw = 0; draw < 20; ++draw)
  {
    Instance instance;
    instance.presets.applyRandomStarterPreset(instance.manager.get());
    const int index = instance.manager->currentIndex();
    const auto& starters = instance.presets.starterIndices();
    const auto it = std::find(starters.begin(), starters.end(), index);
    ASSERT_NE(it, starters.end()) << "list index " << index;
    chosen.insert(index);

    // The patch is the starter's list applied to the defaults, reachable by one undo step.
    const ParamValueMap& params = instance.presets.starterParams()[static_cast<size_t>(it - starters.begin())];
    for (int i = 0; i < kNumParams; ++i)
    {
      const plugkit::IParam* p = instance.plugin.GetParam(i);
      const auto entry = params.find(i);
      EXPECT_EQ(p->Value(), p->Constrain(entry == params.end() ? p->GetDefault() : entry->second)) << paramName(i);
    }
    EXPECT_EQ(instance.manager->undoStack().size(), 1u);
    EXPECT_FALSE(instance.manager->isModified());
  }
  EXPECT_GE(chosen.size(), 2u);
}

TEST(StarterChoice, NothingWithoutAManager)
{
  Instance instance;
  const std::vector<double> before = instance.plugin.values();
  instance.presets.applyRandomStarterPreset(nullptr);
  EXPECT_EQ(instance.plugin.values(), before);
}

} // namespace
} // namespace zarvo
