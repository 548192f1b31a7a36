// The state chunk through the host: every section restored and written back as it came, what it
// sets in motion, and chunks that must be refused without changing anything.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include <gtest/gtest.h>

#include "tests/plugin_it/support.h"

namespace vemlor::plugin_it {
namespace {

using namespace zarvo;
using Steinberg::Vst::ParamID;

constexpr ParamID kControllerParam = 65538; // + controller number, channel 1

std::vector<uint8_t> withBypassWord(std::vector<uint8_t> chunk)
{
  chunk.insert(chunk.end(), 4, 0);
  return chunk;
}

TEST(PluginState, ARestoredChunkComesBackByteForByteAndTakesEffect)
{
  Instance source;
  ASSERT_TRUE(source) << source.session.error;
  const Chunk rich = richChunk(source.chunk().chunk);
  const std::vector<uint8_t> written = withBypassWord(writeChunk(rich));

  Instance target;
  ASSERT_TRUE(target) << target.session.error;
  ASSERT_TRUE(target.setState(written));
  const std::vector<uint8_t> saved = target.state();
  EXPECT_EQ(saved, written) << "every section is written back as it was read";
  if (saved != written)
  {
    if (const auto parsed = parseChunk(saved))
    {
      const Chunk& back = parsed->chunk;
      EXPECT_EQ(back.ccMap, rich.ccMap);
      EXPECT_EQ(back.ccMod, rich.ccMod);
      EXPECT_EQ(back.params, rich.params);
      EXPECT_EQ(back.editorValues, rich.editorValues);
      EXPECT_EQ(back.layout, rich.layout);
      EXPECT_EQ(back.morph.fields, rich.morph.fields);
      EXPECT_EQ(back.morph.points, rich.morph.points);
      EXPECT_EQ(back.morph.identities, rich.morph.identities);
      EXPECT_EQ(back.identity, rich.identity);
    }
  }

  // The host's parameter objects follow the restored values.
  const auto host = target.hostValues();
  for (int i = 0; i < kNumParams; ++i)
    EXPECT_NEAR(host[static_cast<size_t>(i)], paramTable().normalized(i, rich.param(i)), 1e-12) << paramName(i);

  // The restored oversampling factor (4x) reaches the host as latency at the next idle tick.
  target.session.host.pump(20);
  EXPECT_EQ(target.plugin().processor()->getLatencySamples(), 7u);

  // The restored controller map and modes act on incoming controllers: CC 7 sets the mix within
  // its range, CC 1 only modulates the resonance, CC 74 on channel 1 sets pre-filter A but not the
  // main cutoff, which listens on channel 3.
  ASSERT_TRUE(target.restart());
  target.plugin().addParameterChange(kControllerParam + 7, 0, 1.0);
  target.plugin().addParameterChange(kControllerParam + 1, 0, 1.0);
  target.plugin().addParameterChange(kControllerParam + 74, 0, 1.0);
  ASSERT_EQ(target.plugin().process(kBlockSize).result, Steinberg::kResultOk);
  target.session.host.pump(20);
  const Chunk after = target.chunk().chunk;
  EXPECT_DOUBLE_EQ(after.param(par_dry_wet), 0.5);
  EXPECT_EQ(after.param(par_main_resonance), rich.param(par_main_resonance));
  EXPECT_EQ(after.param(par_preFlt_A_hz), 20000.0);
  EXPECT_EQ(after.param(par_main_cutoff_hz), rich.param(par_main_cutoff_hz));

  // Get, set, get in a third instance.
  Instance third;
  ASSERT_TRUE(third) << third.session.error;
  ASSERT_TRUE(third.setState(saved));
  EXPECT_EQ(third.state(), saved);
}

struct EquivalentCase
{
  const char* name;
  void (*edit)(Chunk& chunk);
};

TEST(PluginState, ParameterEntriesInAnyFormRestoreTheSamePatch)
{
  const EquivalentCase cases[] = {
    {"entries in reverse order", [](Chunk& c) { std::reverse(c.params.begin(), c.params.end()); }},
    {"entries rotated", [](Chunk& c) { std::rotate(c.params.begin(), c.params.begin() + 40, c.params.end()); }},
    {"an unknown stable id among them",
     [](Chunk& c) {
       c.params.insert(c.params.begin() + 5, {0x12345678u, 3.0});
       c.paramCount = 80.0;
     }},
    {"a duplicate entry before the one that wins",
     [](Chunk& c) {
       c.params.insert(c.params.begin(), {stableIdOf(par_main_gain), 12.0});
       c.paramCount = 80.0;
     }},
    {"a count with a fraction", [](Chunk& c) { c.paramCount = 79.75; }},
  };
  Instance source;
  ASSERT_TRUE(source) << source.session.error;
  const Chunk rich = richChunk(source.chunk().chunk);
  const std::vector<uint8_t> canonical = withBypassWord(writeChunk(rich));

  for (const EquivalentCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    Chunk variant = rich;
    c.edit(variant);
    Instance target;
    ASSERT_TRUE(target) << target.session.error;
    ASSERT_TRUE(target.setChunk(variant));
    EXPECT_EQ(target.state(), canonical);
  }
}

struct RefusedCase
{
  const char* name;
  void (*corrupt)(std::vector<uint8_t>& bytes, const SectionEnds& ends);
};

void setCount(std::vector<uint8_t>& bytes, const SectionEnds& ends, double count)
{
  std::memcpy(bytes.data() + ends.ccMod, &count, sizeof count);
}

void setI32(std::vector<uint8_t>& bytes, size_t at, int32_t value)
{
  std::memcpy(bytes.data() + at, &value, sizeof value);
}

void setVersion(std::vector<uint8_t>& bytes, uint32_t version) { std::memcpy(bytes.data(), &version, sizeof version); }

// The instance holds the rich patch; a chunk of another patch, corrupted, must leave it as it was.
TEST(PluginState, ACorruptChunkIsRefusedAndChangesNothing)
{
  const RefusedCase cases[] = {
    {"parameter count 1025", [](std::vector<uint8_t>& b, const SectionEnds& e) { setCount(b, e, 1025.0); }},
    {"parameter count -1", [](std::vector<uint8_t>& b, const SectionEnds& e) { setCount(b, e, -1.0); }},
    {"parameter count not a number",
     [](std::vector<uint8_t>& b, const SectionEnds& e) { setCount(b, e, std::numeric_limits<double>::quiet_NaN()); }},
    {"parameter count infinite",
     [](std::vector<uint8_t>& b, const SectionEnds& e) { setCount(b, e, std::numeric_limits<double>::infinity()); }},
    {"major version 2", [](std::vector<uint8_t>& b, const SectionEnds&) { setVersion(b, 0x00020000); }},
    {"a controller entry count beyond the chunk",
     [](std::vector<uint8_t>& b, const SectionEnds& e) {
       const uint64_t entries = 1u << 20;
       std::memcpy(b.data() + e.version, &entries, sizeof entries);
     }},
    {"a modulation record count beyond the chunk",
     [](std::vector<uint8_t>& b, const SectionEnds& e) { setI32(b, e.ccMap, 0x7FFFFFFF); }},
    {"morph field count 257", [](std::vector<uint8_t>& b, const SectionEnds& e) { setI32(b, e.editor + 4, 257); }},
    {"morph point count 18", [](std::vector<uint8_t>& b, const SectionEnds& e) { setI32(b, e.morphFields, 18); }},
    {"morph point header count 257",
     [](std::vector<uint8_t>& b, const SectionEnds& e) { setI32(b, e.morphFields + 4, 257); }},
    {"morph point value count 4097",
     [](std::vector<uint8_t>& b, const SectionEnds& e) { setI32(b, e.morphFields + 4 + 4 + 4 * 8, 4097); }},
  };
  Instance other;
  ASSERT_TRUE(other) << other.session.error;
  const ParsedChunk fresh = other.chunk();

  Instance target;
  ASSERT_TRUE(target) << target.session.error;
  ASSERT_TRUE(target.setChunk(richChunk(fresh.chunk)));
  const std::vector<uint8_t> before = target.state();
  const auto hostBefore = target.hostValues();

  for (const RefusedCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = writeChunk(fresh.chunk);
    c.corrupt(bytes, fresh.ends);
    EXPECT_FALSE(target.setState(withBypassWord(bytes)));
    EXPECT_EQ(target.state(), before);
    EXPECT_EQ(target.hostValues(), hostBefore);
  }
}

struct IdentityCase
{
  const char* name;
  Identity stored;
  Identity restored;
};

// A restored patch identity names the list entry it stands for now: factory presets by name
// first, then by index; user presets by a path that still exists.
TEST(PluginState, AStoredPatchIdentityIsFoundAgain)
{
  const std::string userPreset = std::string(std::getenv("XDG_DATA_HOME")) + "/elsewhere/mine.fxp";
  std::filesystem::create_directories(std::filesystem::path(userPreset).parent_path());
  std::ofstream(userPreset) << "a preset file";
  const IdentityCase cases[] = {
    {"factory preset by name", {1, 1, 1, "SLAG"}, {1, 1, 1, "SLAG"}},
    {"factory preset by name, stored at another index", {1, 40, 0, "SLAG"}, {1, 1, 0, "SLAG"}},
    {"unknown name, index of a factory preset", {1, 7, 0, "NO SUCH PRESET"}, {1, 7, 0, "LEMON"}},
    {"unknown name, index beyond the factory presets", {1, 500, 1, "NO SUCH PRESET"}, {0, -1, 0, ""}},
    {"user preset file that exists", {2, -1, 1, userPreset}, {2, -1, 1, userPreset}},
    {"user preset file that is gone", {2, -1, 1, "/nonexistent/folder/gone.fxp"}, {0, -1, 0, ""}},
    {"no patch", {0, -1, 0, ""}, {0, -1, 0, ""}},
  };
  Instance source;
  ASSERT_TRUE(source) << source.session.error;
  const Chunk rich = richChunk(source.chunk().chunk);

  for (const IdentityCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    Chunk chunk = rich;
    chunk.identity = c.stored;
    Instance target;
    ASSERT_TRUE(target) << target.session.error;
    ASSERT_TRUE(target.setChunk(chunk));
    EXPECT_EQ(target.chunk().chunk.identity, c.restored);
  }
}

struct SafeValueCase
{
  const char* name;
  void (*edit)(Chunk& chunk);
  void (*check)(const Chunk& restored);
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The depth of a parameter's modulation record; NaN when the chunk has no record for it.
double modDepth(const Chunk& chunk, int param)
{
  for (const CCModRecord& r : chunk.ccMod)
    if (r.stableId == stableIdOf(param))
      return r.depth;
  return kNaN;
}

// Stored numbers that are not numbers, or lie outside their range, reach nothing as they are.
TEST(PluginState, StoredValuesOutsideTheirRangeAreReadAsSafeValues)
{
  const SafeValueCase cases[] = {
    {"a parameter value that is not a number keeps the default", [](Chunk& c) { c.param(par_main_gain) = kNaN; },
     [](const Chunk& r) { EXPECT_EQ(r.param(par_main_gain), 0.0); }},
    {"an infinite parameter value keeps the default", [](Chunk& c) { c.param(par_preFlt_B_hz) = kInfinity; },
     [](const Chunk& r) { EXPECT_EQ(r.param(par_preFlt_B_hz), 1.0); }},
    {"a parameter value beyond its range is clamped", [](Chunk& c) { c.param(par_main_gain) = 99.0; },
     [](const Chunk& r) { EXPECT_EQ(r.param(par_main_gain), 24.0); }},
    {"a morph point off the pad is brought onto it",
     [](Chunk& c) {
       c.morph.points.at(2).x = 1.5;
       c.morph.points.at(2).y = -0.25;
     },
     [](const Chunk& r) {
       EXPECT_EQ(r.morph.points.at(2).x, 1.0);
       EXPECT_EQ(r.morph.points.at(2).y, 0.0);
     }},
    {"a morph point position that is not a number is centred", [](Chunk& c) { c.morph.points.at(3).x = kNaN; },
     [](const Chunk& r) { EXPECT_EQ(r.morph.points.at(3).x, 0.5); }},
    {"morph point values beyond 0..1 are clamped, non-numbers take the default",
     [](Chunk& c) {
       c.pointValue(4, par_dry_wet) = 2.0;
       c.pointValue(4, par_main_gain) = kNaN;
       c.pointValue(4, par_main_drive) = -kInfinity;
     },
     [](const Chunk& r) {
       EXPECT_EQ(r.pointValue(4, par_dry_wet), 1.0);
       EXPECT_EQ(r.pointValue(4, par_main_gain), paramTable().normalized(par_main_gain, 0.0));
       EXPECT_EQ(r.pointValue(4, par_main_drive), paramTable().normalized(par_main_drive, 0.0));
     }},
    {"a note mask keeps only the cutoff bits", [](Chunk& c) { c.morph.points.at(5).noteMask = 4294967295.0; },
     [](const Chunk& r) { EXPECT_EQ(r.morph.points.at(5).noteMask, double((1 << 1) | (1 << 11) | (1 << 13))); }},
    {"a modulation depth that is not a number is zero",
     [](Chunk& c) {
       c.ccMod = {{stableIdOf(par_main_resonance), 1, 0, kNaN, 0}};
     },
     [](const Chunk& r) { EXPECT_EQ(modDepth(r, par_main_resonance), 0.0); }},
    {"modulation depths beyond their range are clamped",
     [](Chunk& c) {
       c.ccMod = {{stableIdOf(par_main_cutoff_hz), 1, 0, 100.0, 0}, {stableIdOf(par_main_resonance), 1, 0, -5.0, 0}};
     },
     [](const Chunk& r) {
       EXPECT_DOUBLE_EQ(modDepth(r, par_main_cutoff_hz), std::log2(20000.0));
       EXPECT_EQ(modDepth(r, par_main_resonance), -1.0);
     }},
  };
  Instance source;
  ASSERT_TRUE(source) << source.session.error;
  const Chunk base = source.chunk().chunk;

  for (const SafeValueCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    Chunk edited = base;
    c.edit(edited);
    Instance target;
    ASSERT_TRUE(target) << target.session.error;
    ASSERT_TRUE(target.setChunk(edited));
    c.check(target.chunk().chunk);
  }
}

struct TruncationCase
{
  const char* name;
  size_t SectionEnds::*from; // null: the chunk's start
  size_t fromOffset;
  size_t SectionEnds::*to;
  size_t stride;
};

// A chunk cut short inside a section is refused. Only where a section ends and the rest is
// optional (no morph section, no identity) may a chunk end.
TEST(PluginState, AChunkCutInsideASectionIsRefusedAndChangesNothing)
{
  const TruncationCase cases[] = {
    {"inside the version, controller sections or parameters", nullptr, 0, &SectionEnds::params, 1},
    {"inside the editor state", &SectionEnds::params, 0, &SectionEnds::editor, 1},
    {"inside the morph section", &SectionEnds::editor, 1, &SectionEnds::morph, 11},
    {"inside the patch identity", &SectionEnds::morph, 1, &SectionEnds::identity, 1},
  };
  Instance other;
  ASSERT_TRUE(other) << other.session.error;
  const ParsedChunk fresh = other.chunk();
  const std::vector<uint8_t> candidate = writeChunk(richChunk(fresh.chunk));
  const SectionEnds ends = parseChunk(candidate)->ends;

  Instance target;
  ASSERT_TRUE(target) << target.session.error;
  ASSERT_TRUE(target.setChunk(fresh.chunk));
  const std::vector<uint8_t> before = target.state();

  for (const TruncationCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    const size_t from = (c.from ? ends.*c.from : 0) + c.fromOffset;
    const size_t to = ends.*c.to;
    ASSERT_LT(from, to);
    std::vector<size_t> lengths;
    for (size_t length = from; length < to; length += c.stride)
      lengths.push_back(length);
    lengths.push_back(to - 1);
    for (size_t length : lengths)
    {
      const std::vector<uint8_t> cut(candidate.begin(), candidate.begin() + static_cast<long>(length));
      const bool refused = !target.setState(cut);
      const bool unchanged = target.state() == before;
      EXPECT_TRUE(refused && unchanged) << "cut at byte " << length << (refused ? "" : ": accepted")
                                        << (unchanged ? "" : ": changed the state");
      if (!unchanged)
      {
        ASSERT_TRUE(target.setState(before)); // the next cut starts from the same state
      }
    }
  }
}

struct OptionalTailCase
{
  const char* name;
  size_t SectionEnds::*end;
  bool morphRestored;
};

TEST(PluginState, AChunkEndingWhereTheRestIsOptionalIsAccepted)
{
  const OptionalTailCase cases[] = {
    {"ends after the editor state", &SectionEnds::editor, false},
    {"ends after the morph section", &SectionEnds::morph, true},
  };
  Instance other;
  ASSERT_TRUE(other) << other.session.error;
  const Chunk rich = richChunk(other.chunk().chunk);
  const std::vector<uint8_t> candidate = writeChunk(rich);
  const SectionEnds ends = parseChunk(candidate)->ends;

  for (const OptionalTailCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    Instance target;
    ASSERT_TRUE(target) << target.session.error;
    const Chunk before = target.chunk().chunk;
    ASSERT_TRUE(
      target.setState(std::vector<uint8_t>(candidate.begin(), candidate.begin() + static_cast<long>(ends.*c.end))));
    const Chunk after = target.chunk().chunk;
    EXPECT_EQ(after.params, rich.params);
    EXPECT_EQ(after.ccMap, rich.ccMap);
    EXPECT_EQ(after.ccMod, rich.ccMod);
    EXPECT_EQ(after.layout, rich.layout);
    EXPECT_EQ(after.morph.points, c.morphRestored ? rich.morph.points : before.morph.points);
  }
}

} // namespace
} // namespace vemlor::plugin_it
