#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "fake_state_host.h"
#include "product/params/params.h"

namespace state_test {
namespace {

using zarvo::kNumParams;

void putAt(std::vector<uint8_t>& bytes, int pos, const auto& value)
{
  std::memcpy(bytes.data() + pos, &value, sizeof value);
}

std::vector<double> paramValues(const FakeStateHost& host)
{
  std::vector<double> values;
  for (int i = 0; i < kNumParams; ++i)
    values.push_back(host.GetParam(i)->Value());
  return values;
}

TEST(StateChunk, RoundTripRestoresEverySectionAndWritesTheSameBytes)
{
  FakeStateHost saved;
  saved.fillDistinct(1);
  const plugkit::IByteChunk chunk = saved.fingerprint();

  FakeStateHost restored;
  restored.fillDistinct(2);
  ASSERT_EQ(restored.state.unserializeState(chunk, 0), chunk.Size());

  struct Check
  {
    const char* section;
    std::function<bool()> same;
  };
  const Check checks[] = {
    {"parameters", [&] { return paramValues(saved) == paramValues(restored); }},
    {"controller map", [&] { return saved.mapper.mappings() == restored.mapper.mappings(); }},
    {"modulation settings", [&] { return saved.ccMod.values() == restored.ccMod.values(); }},
    {"held flags",
     [&] {
       for (int p = 0; p < kNumParams; ++p)
         if (restored.ccMod.held(p) != (restored.ccMod.mode(p) == 0 && restored.mapper.getCCForParam(p) >= 0))
           return false;
       return restored.ccMod.held(zarvo::par_main_resonance) && !restored.ccMod.held(zarvo::par_main_cutoff_hz);
     }},
    {"editor state", [&] { return saved.editor == restored.editor; }},
    {"user tab", [&] { return saved.columns == restored.columns; }},
    {"morph points",
     [&] { return saved.morph.engine().editState().points == restored.morph.engine().editState().points; }},
    {"morph selection", [&] { return restored.morph.engine().selection() == 0b101u; }},
    {"point identities", [&] { return saved.morph.pointIdentity() == restored.morph.pointIdentity(); }},
    {"patch identity",
     [&] {
       return restored.manager->patchIdentity() == Identity{1, "Beta", 1, true};
     }},
    {"announced in index order",
     [&] {
       std::vector<int> all(kNumParams);
       for (int i = 0; i < kNumParams; ++i)
         all[static_cast<size_t>(i)] = i;
       return restored.announced == all && restored.controllerRestores == 1;
     }},
  };
  for (const Check& c : checks)
    EXPECT_TRUE(c.same()) << c.section;

  EXPECT_EQ(bytesOf(restored.fingerprint()), bytesOf(chunk));
}

TEST(StateChunk, RefusedChunksChangeNothing)
{
  FakeStateHost saved;
  saved.fillDistinct(1);
  const FakeStateHost::Layout at = saved.layout();
  const std::vector<uint8_t> good = bytesOf(saved.fingerprint());

  struct Case
  {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> corrupt;
    int startPos = 0;
  };
  const Case cases[] = {
    {"parameter count 1025", [&](auto& b) { putAt(b, at.paramCount, 1025.0); }},
    {"parameter count -1", [&](auto& b) { putAt(b, at.paramCount, -1.0); }},
    {"parameter count NaN", [&](auto& b) { putAt(b, at.paramCount, std::numeric_limits<double>::quiet_NaN()); }},
    {"parameter count infinite", [&](auto& b) { putAt(b, at.paramCount, std::numeric_limits<double>::infinity()); }},
    {"parameter count beyond the chunk", [&](auto& b) { putAt(b, at.paramCount, 1024.0); }},
    {"future major version", [&](auto& b) { putAt(b, 0, uint32_t{0x00020000}); }},
    {"modulation count -1", [&](auto& b) { putAt(b, at.ccMod, int32_t{-1}); }},
    {"modulation count beyond the chunk", [&](auto& b) { putAt(b, at.ccMod, int32_t{0x7FFFFFFF}); }},
    {"controller list count beyond the chunk", [&](auto& b) { putAt(b, at.map, uint64_t{1} << 40); }},
    {"editor value count beyond the chunk", [&](auto& b) { putAt(b, at.editor, uint32_t{0xFFFFFFF0}); }},
    {"morph point count 18", [&](auto& b) { putAt(b, at.morph + 8 + 17 * 8, int32_t{18}); }},
    {"identity field count beyond the chunk", [&](auto& b) { putAt(b, at.identity, int32_t{200}); }},
    {"negative start", [](auto&) {}, -1},
    {"start past the end", [&](auto& b) { b.resize(8); }, 8},
    {"empty", [](auto& b) { b.clear(); }},
  };

  for (const Case& c : cases)
  {
    std::vector<uint8_t> bytes = good;
    c.corrupt(bytes);
    FakeStateHost host;
    host.fillDistinct(2);
    const std::vector<uint8_t> before = bytesOf(host.fingerprint());

    EXPECT_LT(host.state.unserializeState(chunkOf(bytes), c.startPos), 0) << c.name;
    EXPECT_EQ(bytesOf(host.fingerprint()), before) << c.name;
    EXPECT_TRUE(host.announced.empty()) << c.name;
    EXPECT_EQ(host.controllerRestores, 0) << c.name;
  }
}

// A chunk may end after the editor state (no morph field) or after the morph field (no identity);
// cut anywhere else it is refused.
TEST(StateChunk, TruncatedChunksAreRefusedExceptAtTheOptionalSectionEnds)
{
  FakeStateHost saved;
  saved.fillDistinct(1);
  const FakeStateHost::Layout at = saved.layout();
  const std::vector<uint8_t> good = bytesOf(saved.fingerprint());
  ASSERT_EQ(static_cast<int>(good.size()), at.end);

  auto host = std::make_unique<FakeStateHost>();
  host->fillDistinct(2);
  std::vector<uint8_t> before = bytesOf(host->fingerprint());
  std::vector<int> accepted;
  for (int length = 0; length < at.end; ++length)
  {
    const std::vector<uint8_t> cut(good.begin(), good.begin() + length);
    const int result = host->state.unserializeState(chunkOf(cut), 0);
    if (result >= 0)
    {
      EXPECT_EQ(result, length);
      accepted.push_back(length);
      host = std::make_unique<FakeStateHost>();
      host->fillDistinct(2);
      before = bytesOf(host->fingerprint());
      continue;
    }
    ASSERT_EQ(bytesOf(host->fingerprint()), before) << "length " << length;
  }
  EXPECT_EQ(accepted, (std::vector<int>{at.morph, at.marker}));
}

TEST(StateChunk, ParameterEntriesAreFoundByStableId)
{
  FakeStateHost saved;
  saved.fillDistinct(1);
  const FakeStateHost::Layout at = saved.layout();
  const std::vector<uint8_t> good = bytesOf(saved.fingerprint());
  const std::vector<double> savedValues = paramValues(saved);

  struct Entry
  {
    uint32_t id;
    double value;
  };
  std::vector<Entry> stored;
  for (int i = 0; i < kNumParams; ++i)
    stored.push_back({zarvo::stableIdOf(i), savedValues[static_cast<size_t>(i)]});

  const plugkit::IParam& resonance = *saved.GetParam(zarvo::par_main_resonance);
  const double otherResonance = resonance.Constrain(savedValues[zarvo::par_main_resonance] / 2.0);
  std::vector<double> withOtherResonance = savedValues;
  withOtherResonance[zarvo::par_main_resonance] = otherResonance;

  struct Case
  {
    const char* name;
    std::vector<Entry> entries;
    std::vector<double> expected;
  };
  std::vector<Case> cases;
  cases.push_back({"reversed order", {stored.rbegin(), stored.rend()}, savedValues});
  {
    std::vector<Entry> shuffled;
    for (size_t i = 0; i < stored.size(); ++i)
      shuffled.push_back(stored[(i * 31) % stored.size()]);
    cases.push_back({"shuffled", shuffled, savedValues});
  }
  {
    std::vector<Entry> withUnknown;
    for (const Entry& e : stored)
    {
      withUnknown.push_back({0xDEADBEEF, 123.0});
      withUnknown.push_back(e);
    }
    cases.push_back({"unknown ids between", withUnknown, savedValues});
  }
  {
    std::vector<Entry> duplicated = stored;
    duplicated.push_back({zarvo::stableIdOf(zarvo::par_main_resonance), otherResonance});
    cases.push_back({"duplicate: the last wins", duplicated, withOtherResonance});
  }
  {
    std::vector<Entry> withNaN = stored;
    withNaN.push_back({zarvo::stableIdOf(zarvo::par_main_resonance), std::numeric_limits<double>::quiet_NaN()});
    cases.push_back({"non-finite entry skipped", withNaN, savedValues});
  }

  for (const Case& c : cases)
  {
    std::vector<uint8_t> bytes(good.begin(), good.begin() + at.paramCount);
    const double count = static_cast<double>(c.entries.size());
    bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&count), reinterpret_cast<const uint8_t*>(&count) + 8);
    for (const Entry& e : c.entries)
    {
      bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&e.id), reinterpret_cast<const uint8_t*>(&e.id) + 4);
      bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&e.value),
                   reinterpret_cast<const uint8_t*>(&e.value) + 8);
    }
    bytes.insert(bytes.end(), good.begin() + at.editor, good.end());

    FakeStateHost host;
    host.fillDistinct(2);
    EXPECT_EQ(host.state.unserializeState(chunkOf(bytes), 0), static_cast<int>(bytes.size())) << c.name;
    EXPECT_EQ(paramValues(host), c.expected) << c.name;
  }
}

TEST(StateChunk, NoParameterEntriesGiveTheDefaultsWithLegacyCompletions)
{
  FakeStateHost saved;
  saved.fillDistinct(1);
  const FakeStateHost::Layout at = saved.layout();
  const std::vector<uint8_t> good = bytesOf(saved.fingerprint());
  std::vector<uint8_t> bytes(good.begin(), good.begin() + at.params);
  putAt(bytes, at.paramCount, 0.0);
  bytes.insert(bytes.end(), good.begin() + at.editor, good.end());

  FakeStateHost host;
  host.fillDistinct(2);
  ASSERT_EQ(host.state.unserializeState(chunkOf(bytes), 0), static_cast<int>(bytes.size()));

  FakeStateHost fresh(false);
  for (int i = 0; i < kNumParams; ++i)
  {
    double expected = fresh.GetParam(i)->Value();
    if (i == zarvo::par_gain_on_dry)
      expected = 1.0;
    if (i == zarvo::par_main_pt_depth) // the default pass type LP with variation 0
      expected = 1.0;
    if (i == zarvo::par_main_pt_tilt)
      expected = 0.0;
    EXPECT_EQ(host.GetParam(i)->Value(), expected) << zarvo::paramName(i);
  }
}

TEST(StateChunk, IdentityMarkerAndRecord)
{
  FakeStateHost saved;
  saved.fillDistinct(1);
  const FakeStateHost::Layout at = saved.layout();
  const std::vector<uint8_t> good = bytesOf(saved.fingerprint());

  struct Case
  {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> edit;
    int expectedEnd;
    int expectedIndex; // the preset manager's current index afterwards
  };
  const Case cases[] = {
    {"marker 0 ends the chunk before trailing bytes", [&](auto& b) { putAt(b, at.marker, int32_t{0}); }, at.marker, -1},
    {"marker -5 likewise", [&](auto& b) { putAt(b, at.marker, int32_t{-5}); }, at.marker, -1},
    {"identity of an unknown kind is skipped", [&](auto& b) { putAt(b, at.identity + 4, int32_t{9}); }, at.identity,
     -1},
    {"identity naming no preset", [&](auto& b) { putAt(b, at.identity + 4, int32_t{0}); }, at.end, -1},
    {"identity read", [](auto&) {}, at.end, 1},
  };
  for (const Case& c : cases)
  {
    std::vector<uint8_t> bytes = good;
    c.edit(bytes);
    FakeStateHost host;
    host.manager->setLoadedEntry(0, false);
    EXPECT_EQ(host.state.unserializeState(chunkOf(bytes), 0), c.expectedEnd) << c.name;
    EXPECT_EQ(host.manager->currentIndex(), c.expectedIndex) << c.name;
  }
}

// Factory presets hold chunks stamped "Alpha", modified; loading "Beta" must stay "Beta", unmodified.
TEST(StateChunk, PresetManagerApplyingKeepsItsOwnIdentity)
{
  FakeStateHost host;
  ASSERT_TRUE(host.manager->applyIdx(1));
  EXPECT_EQ(host.manager->currentIndex(), 1);
  EXPECT_FALSE(host.manager->isModified());
}

TEST(StateChunk, ControllerPartOfUndoSnapshots)
{
  FakeStateHost saved;
  saved.fillDistinct(1);
  plugkit::IByteChunk part;
  saved.state.serializeControllerPart(part);

  FakeStateHost host;
  host.fillDistinct(2);
  ASSERT_TRUE(host.state.unserializeControllerPart(part));
  EXPECT_EQ(host.mapper.mappings(), saved.mapper.mappings());
  EXPECT_EQ(host.ccMod.values(), saved.ccMod.values());
  EXPECT_TRUE(host.ccMod.held(zarvo::par_main_resonance));
  EXPECT_EQ(host.controllerRestores, 1);

  host.fillDistinct(2);
  const zarvo::midi_cc::MappingTable mapBefore = host.mapper.mappings();
  const zarvo::CCModValues modBefore = host.ccMod.values();
  std::vector<uint8_t> cut = bytesOf(part);
  cut.pop_back();
  EXPECT_FALSE(host.state.unserializeControllerPart(chunkOf(cut)));
  EXPECT_EQ(host.mapper.mappings(), mapBefore);
  EXPECT_EQ(host.ccMod.values(), modBefore);
  EXPECT_EQ(host.controllerRestores, 1);
}

TEST(StateChunk, AfterHostRestoreTheEditorAndMorphFollowTheParameters)
{
  FakeStateHost host;
  host.fillDistinct(1);
  host.GetParam(zarvo::par_morph_active)->Set(1.0);
  host.GetParam(zarvo::par_morph_x)->Set(0.25);
  host.GetParam(zarvo::par_morph_y)->Set(0.75);
  host.morph.engine().edit({.focus = 2});

  host.state.onRestoreState();

  ASSERT_EQ(host.sentToEditor.size(), static_cast<size_t>(kNumParams));
  EXPECT_EQ(host.sentToEditor[zarvo::par_main_drive].second, host.GetParam(zarvo::par_main_drive)->GetNormalized());
  EXPECT_EQ(host.morph.engine().selection(), 0u);
  EXPECT_EQ(host.morph.engine().editState().focus, -1);
  EXPECT_TRUE(host.morph.movedSinceOn());
  EXPECT_TRUE(host.morph.morphOn());
  EXPECT_EQ(host.morph.morphX(), 0.25);
  EXPECT_EQ(host.morph.morphY(), 0.75);
  EXPECT_EQ(host.editorRedraws, 1);
}

} // namespace
} // namespace state_test
