#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginParameter.h"
#include "product/state/cc_mod_settings.h"
#include "product/params/param_init.h"
#include "utils/zarvo_file.h"

namespace {

using zarvo::CCModSettings;
using zarvo::CCModValues;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const double kCutoffOctaves = std::log2(20000.0); // the cutoffs span 1 Hz to 20 kHz

// The product's real parameters, a controller map reduced to "has a controller", and note following.
class ModHost : public zarvo::CCModHost
{
public:
  ModHost()
  {
    for (int i = 0; i < zarvo::kNumParams; ++i)
      zarvo::initParam(params[static_cast<size_t>(i)], i);
  }
  const plugkit::IParam* ccModParam(int index) const override { return &params.at(static_cast<size_t>(index)); }
  bool hasController(int index) const override { return controlled.at(static_cast<size_t>(index)); }
  bool cutoffFollowsNotes(int index) const override { return notesOn.at(static_cast<size_t>(index)); }

  std::array<plugkit::IParam, zarvo::kNumParams> params;
  std::array<bool, zarvo::kNumParams> controlled{};
  std::array<bool, zarvo::kNumParams> notesOn{};
};

int slotOf(zarvo::EParams p) { return zarvo::mod::indexOf(p); }

plugkit::IByteChunk sectionWith(uint32_t id, uint8_t mode, uint8_t multiply, double depth, uint8_t bipolar)
{
  plugkit::IByteChunk chunk;
  chunk.Put(int32_t{1});
  chunk.Put(id);
  chunk.Put(mode);
  chunk.Put(multiply);
  chunk.Put(depth);
  chunk.Put(bipolar);
  return chunk;
}

zarvo::ZarvoFile fileWith(std::vector<std::string> lines)
{
  zarvo::ZarvoFile file("Vemlor", "1.3.0");
  file.setSection(CCModSettings::kSectionName, std::move(lines));
  return file;
}

TEST(CCModSettings, StoredDepthsAreClampedByBothReaders)
{
  struct Case
  {
    const char* name;
    zarvo::EParams param;
    double stored;
    const char* text; // the same depth as the text section writes it
    double expected;
  };
  const Case cases[] = {
    {"NaN reads as 0", zarvo::par_main_resonance, kNaN, "nan", 0.0},
    {"infinity reads as 0", zarvo::par_main_resonance, kInf, "inf", 0.0},
    {"-infinity on a cutoff reads as 0", zarvo::par_main_cutoff_hz, -kInf, "-inf", 0.0},
    {"1.7 clamps to 1", zarvo::par_main_resonance, 1.7, "1.7", 1.0},
    {"-3 clamps to -1", zarvo::par_main_drive, -3.0, "-3", -1.0},
    {"0.4 stays", zarvo::par_main_drive, 0.4, "0.4", 0.4},
    {"20 octaves clamp to the cutoff's range", zarvo::par_main_cutoff_hz, 20.0, "20", kCutoffOctaves},
    {"-20 octaves likewise", zarvo::par_preFlt_A_hz, -20.0, "-20", -kCutoffOctaves},
    {"3.5 octaves stay", zarvo::par_preFlt_B_hz, 3.5, "3.5", 3.5},
  };

  for (const Case& c : cases)
  {
    ModHost host;
    const int slot = slotOf(c.param);

    CCModSettings fromChunk(host);
    const plugkit::IByteChunk chunk = sectionWith(zarvo::stableIdOf(c.param), 1, 0, c.stored, 0);
    ASSERT_EQ(fromChunk.unserializeCCMod(chunk, 0), chunk.Size()) << c.name;
    EXPECT_DOUBLE_EQ(fromChunk.depth(slot), c.expected) << c.name << " (chunk)";

    CCModSettings fromText(host);
    fromText.readCCModConfig(fileWith({std::string(zarvo::paramName(c.param)) + " 1 0 " + c.text + " 0"}));
    EXPECT_DOUBLE_EQ(fromText.depth(slot), c.expected) << c.name << " (text)";
  }
}

TEST(CCModSettings, DepthMessageIsStoredPerRowKind)
{
  struct Case
  {
    const char* name;
    zarvo::EParams param;
    double current; // plain value
    double depth;   // as the editor sends it
    double expected;
  };
  const Case cases[] = {
    {"a quarter of the range above 1 kHz, in octaves", zarvo::par_preFlt_A_hz, 1000.0, 0.25, 2.4484622127073297},
    {"beyond the top is the top", zarvo::par_main_cutoff_hz, 20000.0, 0.5, 0.0},
    {"down to the bottom", zarvo::par_main_cutoff_hz, 20000.0, -1.0, -kCutoffOctaves},
    {"resonance 1.7 clamps to 1", zarvo::par_main_resonance, 0.5, 1.7, 1.0},
    {"resonance -0.3 stays", zarvo::par_main_resonance, 0.5, -0.3, -0.3},
    {"NaN stores 0", zarvo::par_main_drive, 0.5, kNaN, 0.0},
  };

  for (const Case& c : cases)
  {
    ModHost host;
    host.params[c.param].Set(c.current);
    CCModSettings settings(host);
    settings.toggleCCBipolar(c.param);
    settings.setCCModDepth(c.param, c.depth);
    EXPECT_NEAR(settings.depth(slotOf(c.param)), c.expected, 1e-9) << c.name;
    EXPECT_FALSE(settings.bipolar(slotOf(c.param))) << c.name;
  }
}

TEST(CCModSettings, ChunkSectionHoldsOnlySlotsThatDifferFromTheDefaults)
{
  ModHost host;
  const auto bytes = [](const plugkit::IByteChunk& c) {
    return std::vector<uint8_t>(c.GetData(), c.GetData() + c.Size());
  };

  CCModSettings settings(host);
  plugkit::IByteChunk defaults;
  settings.serializeCCMod(defaults);
  EXPECT_EQ(bytes(defaults), (std::vector<uint8_t>{0, 0, 0, 0}));

  CCModValues negativeZero;
  negativeZero.depth[3] = -0.0;
  settings.assign(negativeZero);
  plugkit::IByteChunk stillEmpty;
  settings.serializeCCMod(stillEmpty);
  EXPECT_EQ(bytes(stillEmpty), bytes(defaults));

  CCModValues one;
  one.mode[zarvo::par_main_resonance] = 1;
  one.multiply[slotOf(zarvo::par_main_resonance)] = 1;
  one.depth[slotOf(zarvo::par_main_resonance)] = 0.5;
  one.bipolar[slotOf(zarvo::par_main_resonance)] = true;
  settings.assign(one);
  plugkit::IByteChunk record;
  settings.serializeCCMod(record);
  EXPECT_EQ(bytes(record), bytes(sectionWith(zarvo::stableIdOf(zarvo::par_main_resonance), 1, 1, 0.5, 1)));

  CCModSettings restored(host);
  ASSERT_EQ(restored.unserializeCCMod(record, 0), record.Size());
  EXPECT_EQ(restored.values(), one);
}

TEST(CCModSettings, ChunkReaderSkipsWhatItDoesNotKnowAndFailsWithoutChange)
{
  ModHost host;
  CCModValues before;
  before.depth[5] = 0.75;
  before.mode[zarvo::par_dry_wet] = 1;

  struct Case
  {
    const char* name;
    plugkit::IByteChunk chunk;
    int expectedEnd;
    CCModValues expected;
  };
  CCModValues resonanceOnly;
  resonanceOnly.depth[slotOf(zarvo::par_main_resonance)] = 0.5;
  plugkit::IByteChunk truncated = sectionWith(zarvo::stableIdOf(zarvo::par_main_resonance), 0, 0, 0.5, 0);
  truncated.Resize(truncated.Size() - 1);
  plugkit::IByteChunk negative;
  negative.Put(int32_t{-1});

  const Case cases[] = {
    {"unknown id", sectionWith(0xDEADBEEF, 1, 1, 0.5, 1), 19, CCModValues{}},
    {"parameter without a slot", sectionWith(zarvo::stableIdOf(zarvo::par_main_pt_tilt), 1, 1, 0.5, 1), 19,
     CCModValues{}},
    {"known slot", sectionWith(zarvo::stableIdOf(zarvo::par_main_resonance), 0, 0, 0.5, 0), 19, resonanceOnly},
    {"record cut short", truncated, -1, before},
    {"negative count", negative, -1, before},
  };
  for (const Case& c : cases)
  {
    CCModSettings settings(host);
    settings.assign(before);
    EXPECT_EQ(settings.unserializeCCMod(c.chunk, 0), c.expectedEnd) << c.name;
    EXPECT_EQ(settings.values(), c.expected) << c.name;
  }
}

TEST(CCModSettings, SkipFindsTheSectionEnd)
{
  const auto withCount = [](int32_t count, int recordBytes) {
    plugkit::IByteChunk c;
    c.Put(count);
    c.Resize(c.Size() + recordBytes);
    return c;
  };
  struct Case
  {
    const char* name;
    plugkit::IByteChunk chunk;
    int pos;
    int expected;
  };
  const Case cases[] = {
    {"negative position", withCount(0, 0), -1, -1},
    {"no count", plugkit::IByteChunk{}, 0, -1},
    {"negative count", withCount(-1, 30), 0, -1},
    {"zero count", withCount(0, 0), 0, 4},
    {"two whole records", withCount(2, 30), 0, 34},
    {"records cut short", withCount(2, 29), 0, -1},
    {"count that would overflow", withCount(0x7FFFFFFF, 30), 0, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CCModSettings::skipCCMod(c.chunk, c.pos), c.expected) << c.name;
}

TEST(CCModSettings, TextSection)
{
  ModHost host;
  CCModSettings settings(host);
  zarvo::ZarvoFile file("Vemlor", "1.3.0");
  settings.writeCCModConfig(file);
  const std::vector<std::string>& lines = file.section(CCModSettings::kSectionName);
  ASSERT_EQ(lines.size(), 27u);
  EXPECT_EQ(lines[0], "par_main_cutoff_hz 0 0 0 0");

  CCModValues v;
  v.mode[zarvo::par_main_resonance] = 1;
  v.depth[slotOf(zarvo::par_main_resonance)] = 0.000015;
  v.multiply[slotOf(zarvo::par_main_drive)] = 1;
  v.depth[slotOf(zarvo::par_main_drive)] = 0.25;
  v.bipolar[slotOf(zarvo::par_main_drive)] = true;
  settings.assign(v);
  settings.writeCCModConfig(file);
  EXPECT_EQ(lines[1], "par_main_resonance 1 0 1.5e-05 0");
  EXPECT_EQ(lines[4], "par_main_drive 0 1 0.25 1");

  CCModSettings restored(host);
  restored.readCCModConfig(file);
  EXPECT_EQ(restored.values(), v);
}

TEST(CCModSettings, TextLinesThatDoNotParse)
{
  struct Case
  {
    const char* name;
    std::string line;
    uint32_t mode; // of par_main_resonance
    double depth;  // of its slot
  };
  const Case cases[] = {
    {"whole line", "par_main_resonance 1 0 0.5 0", 1, 0.5},
    {"last three missing still sets the mode", "par_main_resonance 1", 1, 0.0},
    {"last three unreadable still sets the mode", "par_main_resonance 7 x y z", 1, 0.0},
    {"mode unreadable", "par_main_resonance x 0 0.5 0", 0, 0.0},
    {"name differs in case", "PAR_MAIN_RESONANCE 1 0 0.5 0", 0, 0.0},
  };
  for (const Case& c : cases)
  {
    ModHost host;
    CCModSettings settings(host);
    settings.readCCModConfig(fileWith({c.line, "par_main_pt_tilt 1 1 0.5 1", "no_such_param 1 1 0.5 1"}));
    EXPECT_EQ(settings.mode(zarvo::par_main_resonance), c.mode) << c.name;
    EXPECT_EQ(settings.depth(slotOf(zarvo::par_main_resonance)), c.depth) << c.name;
    EXPECT_EQ(settings.mode(zarvo::par_main_pt_tilt), 0u) << c.name;
  }
}

TEST(CCModSettings, ModesFallBackAndHeldFollows)
{
  struct Case
  {
    const char* name;
    zarvo::EParams param;
    bool controlled;
    bool followsNotes;
    uint32_t mode;
    bool held;
  };
  const Case cases[] = {
    {"cutoff following notes modulates", zarvo::par_main_cutoff_hz, true, true, 1, false},
    {"cutoff not following notes, controlled, is held", zarvo::par_preFlt_B_hz, true, false, 0, true},
    {"other parameter ignores note following", zarvo::par_main_drive, true, true, 0, true},
    {"without a controller nothing is held", zarvo::par_main_drive, false, false, 0, false},
  };
  for (const Case& c : cases)
  {
    ModHost host;
    host.controlled[c.param] = c.controlled;
    host.notesOn[c.param] = c.followsNotes;
    CCModSettings settings(host);
    CCModValues v;
    v.mode[c.param] = 1 - c.mode;
    v.depth[slotOf(c.param)] = 0.5;
    v.multiply[slotOf(c.param)] = 1;
    v.bipolar[slotOf(c.param)] = true;
    settings.assign(v);

    EXPECT_EQ(settings.resetCCModSettings(c.param), slotOf(c.param)) << c.name;
    EXPECT_EQ(settings.mode(c.param), c.mode) << c.name;
    EXPECT_EQ(settings.held(c.param), c.held) << c.name;
    EXPECT_EQ(settings.values().depth, CCModValues{}.depth) << c.name;
    EXPECT_EQ(settings.values().bipolar, CCModValues{}.bipolar) << c.name;
  }

  // The text reader does not apply the lock: a cutoff following notes stays absolute until re-derived.
  ModHost host;
  host.notesOn[zarvo::par_main_cutoff_hz] = true;
  host.controlled[zarvo::par_main_cutoff_hz] = true;
  CCModSettings settings(host);
  settings.readCCModConfig(fileWith({"par_main_cutoff_hz 0 0 0 0"}));
  EXPECT_EQ(settings.mode(zarvo::par_main_cutoff_hz), 0u);
  EXPECT_TRUE(settings.held(zarvo::par_main_cutoff_hz));
}

TEST(CCModSettings, SlotOperations)
{
  ModHost host;
  CCModSettings settings(host);
  const int slot = slotOf(zarvo::par_main_drive);
  settings.setCCModDepth(zarvo::par_main_drive, 0.5);

  EXPECT_EQ(settings.invertCCDepth(zarvo::par_main_drive), slot);
  EXPECT_EQ(settings.depth(slot), -0.5);
  EXPECT_EQ(settings.toggleCCBipolar(zarvo::par_main_drive), slot);
  EXPECT_EQ(settings.invertCCDepth(zarvo::par_main_drive), slot); // a bipolar slot keeps its sign
  EXPECT_EQ(settings.depth(slot), -0.5);

  const CCModValues before = settings.values();
  for (int op = 0; op < 3; ++op)
  {
    const int result = op == 0   ? settings.invertCCDepth(zarvo::par_main_pt_tilt)
                       : op == 1 ? settings.toggleCCBipolar(zarvo::par_main_pt_tilt)
                                 : settings.resetCCModSettings(zarvo::par_main_pt_tilt);
    EXPECT_EQ(result, -1);
  }
  EXPECT_EQ(settings.values(), before);
}

// The audio thread reads the settings again only when the count moved: every kind of change moves it.
TEST(CCModSettings, EveryChangeMovesTheCountOfChanges)
{
  ModHost host;
  host.controlled[zarvo::par_main_drive] = true;
  CCModSettings settings(host);
  const std::pair<const char*, std::function<void()>> changes[] = {
    {"mode", [&] { settings.setMode(zarvo::par_main_drive, 1); }},
    {"held", [&] { settings.setHeld(zarvo::par_main_drive, true); }},
    {"depth", [&] { settings.setCCModDepth(zarvo::par_main_drive, 0.25); }},
    {"inverted depth", [&] { settings.invertCCDepth(zarvo::par_main_drive); }},
    {"bipolar", [&] { settings.toggleCCBipolar(zarvo::par_main_drive); }},
    {"reset slot", [&] { settings.resetCCModSettings(zarvo::par_main_drive); }},
    {"mode fallback", [&] { settings.rederiveMode(zarvo::par_main_drive); }},
    {"held from modes", [&] { settings.rederiveHeld(); }},
    {"whole assignment", [&] { settings.assign(CCModValues{}); }},
    {"text section", [&] { settings.readCCModConfig(zarvo::ZarvoFile("Vemlor", "1")); }},
  };
  for (const auto& [name, change] : changes)
  {
    SCOPED_TRACE(name);
    const uint64_t before = settings.changes();
    change();
    EXPECT_GT(settings.changes(), before);
  }
  // Reading changes nothing.
  const uint64_t before = settings.changes();
  (void)settings.values();
  (void)settings.held(zarvo::par_main_drive);
  EXPECT_EQ(settings.changes(), before);
}

} // namespace
