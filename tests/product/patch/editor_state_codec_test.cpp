#include "product/state/editor_state_codec.h"

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginParameter.h"
#include "product/params/param_init.h"
#include "product/params/params.h"
#include "product/patch/preset_manager.h"
#include "tests/product/patch/fake_plugin.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace zarvo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class CodecHost : public EditorStateHost
{
public:
  CodecHost()
  {
    for (int i = 0; i < kNumParams; ++i)
      initParam(params[static_cast<size_t>(i)], i);
  }

  plugkit::IParam* stateParam(int i) override
  {
    return i >= 0 && i < kNumParams ? &params[static_cast<size_t>(i)] : nullptr;
  }
  bool editorOpen() const override { return open; }
  EditorStateFields editorState() const override { return fields; }
  void applyEditorState(const EditorStateFields& f) override
  {
    fields = f;
    ++applied;
  }
  UserTabColumns userTabColumns() const override { return columns; }
  void setUserTabColumns(UserTabColumns c) override { columns = std::move(c); }
  PresetManager* presetManager() override { return pm; }

  double value(int index) const { return params[static_cast<size_t>(index)].Value(); }

  std::array<plugkit::IParam, kNumParams> params;
  bool open = false;
  EditorStateFields fields;
  UserTabColumns columns = {{999}}; // a layout that no reader produced
  int applied = 0;
  PresetManager* pm = nullptr;
};

using Column = std::vector<std::pair<uint32_t, uint32_t>>; // (kind, value)

// A section as a writer would lay it out; withColumns false ends it after the values.
plugkit::IByteChunk section(const std::vector<double>& values, const std::vector<Column>& columns,
                            bool withColumns = true)
{
  plugkit::IByteChunk c;
  c.Put(static_cast<uint32_t>(values.size()));
  for (double v : values)
    c.Put(v);
  if (!withColumns)
    return c;
  c.Put(static_cast<uint32_t>(columns.size()));
  for (const Column& col : columns)
  {
    c.Put(static_cast<uint32_t>(col.size()));
    for (auto [kind, value] : col)
    {
      c.Put(kind);
      c.Put(value);
    }
  }
  return c;
}

std::vector<double> defaultValues() { return {1.0, 0, 0, 0.42f, 6, 1.0f / 11.0f, 0, 0, 0, -1, 1, 0}; }

class EditorStateCodec : public ::testing::Test
{
protected:
  void SetUp() override
  {
    plugin.addPresetSlot("Alpha", 1.0);
    plugin.addPresetSlot("Beta", 2.0);
    pm = std::make_unique<PresetManager>(plugin, "Vemlor", "", 100);
    plugin.manager = pm.get();
  }

  test::FakePlugin plugin{test::FakePlugin::kOurId, 2};
  std::unique_ptr<PresetManager> pm;
};

TEST_F(EditorStateCodec, RoundTripsEveryValueAndTheLayout)
{
  CodecHost writer;
  writer.pm = pm.get();
  writer.fields = {1.75, 2, true, 0.3f, 9, 0.25f, true, false, true, false, 0.6f, false, 0b100, 2};
  writer.columns = {{par_main_cutoff_hz, par_main_pt_depth, 10004, -3}, {}, {par_main_pt_tilt, 0}};
  pm->setLoadedEntry(1, false);

  plugkit::IByteChunk chunk;
  chunk.Put(int32_t{-7}); // whatever precedes the section
  ASSERT_TRUE(VemlorStateCodec(writer).serializeUIState(chunk));

  CodecHost reader;
  reader.pm = pm.get();
  reader.fields.selection = 0b100;
  reader.fields.hoverHelp = true; // never taken from the chunk
  pm->setLoadedEntry(-1, false);
  EXPECT_EQ(VemlorStateCodec(reader).unserializeUIState(chunk, 4), chunk.Size());

  EditorStateFields expected = writer.fields;
  expected.hoverHelp = true;
  EXPECT_EQ(reader.fields, expected);
  EXPECT_EQ(reader.applied, 1);
  EXPECT_EQ(reader.columns, writer.columns);
  EXPECT_EQ(pm->currentIndex(), 1);

  // A modified patch, or one that is no factory preset, stores no preset index.
  pm->setLoadedEntry(1, true);
  plugkit::IByteChunk modified;
  VemlorStateCodec(writer).serializeUIState(modified);
  double stored = 0;
  modified.Get(stored, 4 + 9 * 8);
  EXPECT_EQ(stored, -1.0);
}

TEST_F(EditorStateCodec, ClampsStoredValuesIntoRange)
{
  enum Field
  {
    kScale,
    kTab,
    kUnlocked,
    kBrightness,
    kIso,
    kGrid,
    kStrip,
    kDrag,
    kPreset
  };
  const struct
  {
    const char* name;
    int slot; // position among the twelve values
    double stored;
    Field field;
    double expected;
  } cases[] = {
    {"scale 25", 0, 25, kScale, 1.0},
    {"scale 0", 0, 0, kScale, 1.0},
    {"scale 20", 0, 20, kScale, 20.0},
    {"scale NaN", 0, kNaN, kScale, 1.0},
    {"tab -1", 1, -1, kTab, 0},
    {"tab 17", 1, 17, kTab, 0},
    {"tab 16.9", 1, 16.9, kTab, 16},
    {"tab huge", 1, 1e300, kTab, 0},
    {"tab NaN", 1, kNaN, kTab, 0},
    {"unlocked 0.6", 2, 0.6, kUnlocked, 1},
    {"unlocked NaN", 2, kNaN, kUnlocked, 0},
    {"brightness 1.5", 3, 1.5, kBrightness, 1.0},
    {"brightness -0.2", 3, -0.2, kBrightness, 0.0},
    {"brightness NaN", 3, kNaN, kBrightness, 0.42f},
    {"iso 0.4", 4, 0.4, kIso, 0},
    {"iso 6.5", 4, 6.5, kIso, 7},
    {"iso 20", 4, 20, kIso, 14},
    {"iso -1e308", 4, -1e308, kIso, 0},
    {"iso NaN", 4, kNaN, kIso, 6},
    {"grid 0.01", 5, 0.01, kGrid, 0.02f},
    {"grid 5", 5, 5, kGrid, 1.0},
    {"grid infinite", 5, kInf, kGrid, 1.0f / 11.0f},
    {"strip 1", 8, 1, kStrip, 1},
    {"preset 1.4", 9, 1.4, kPreset, 1},
    {"preset 2 is past the factory list", 9, 2, kPreset, -1},
    {"preset NaN", 9, kNaN, kPreset, -1},
    {"drag 2", 11, 2, kDrag, 1.0},
    {"drag NaN", 11, kNaN, kDrag, 0.0},
  };
  for (const auto& c : cases)
  {
    std::vector<double> values = defaultValues();
    values[static_cast<size_t>(c.slot)] = c.stored;
    CodecHost host;
    host.pm = pm.get();
    pm->setLoadedEntry(0, true);
    VemlorStateCodec(host).unserializeUIState(section(values, {}), 0);
    const EditorStateFields& f = host.fields;
    const double got[] = {f.scale,
                          double(f.tab),
                          double(f.userTabUnlocked),
                          f.lineBrightness,
                          double(f.isoLevels),
                          f.gridStep,
                          double(f.stripCollapsed),
                          f.dragValue,
                          double(pm->currentIndex())};
    EXPECT_EQ(got[c.field], c.expected) << c.name;
    EXPECT_FALSE(pm->isModified()) << c.name;
  }
}

TEST_F(EditorStateCodec, MorphLocksDecideTheFocusAndSelection)
{
  const struct
  {
    const char* name;
    bool editing;
    bool soundLockBefore;
    bool positionLock;
    bool soundLock;
    uint32_t selection;
    int focus;
    uint32_t selectionAfter;
  } cases[] = {
    {"no locks: the single selected point", false, false, false, false, 0b1000, 3, 0b1000},
    {"two selected: no focus", false, false, false, false, 0b0110, -1, 0b0110},
    {"both locks clear the selection", false, false, true, true, 0b0010, -1, 0},
    {"sound lock alone keeps the selection", false, false, false, true, 0b0010, -1, 0b0010},
    {"editing mode keeps the focus", true, false, true, true, 0b0010, 1, 0b0010},
    {"earlier sound lock clears on position lock", false, true, true, false, 0b0010, -1, 0},
  };
  for (const auto& c : cases)
  {
    std::vector<double> values = defaultValues();
    values[6] = c.positionLock;
    values[7] = c.soundLock;
    CodecHost host;
    host.fields.editingMode = c.editing;
    host.fields.soundLock = c.soundLockBefore;
    host.fields.selection = c.selection;
    host.fields.focus = 7;
    VemlorStateCodec(host).unserializeUIState(section(values, {}), 0);
    EXPECT_EQ(host.fields.focus, c.focus) << c.name;
    EXPECT_EQ(host.fields.selection, c.selectionAfter) << c.name;
    EXPECT_EQ(host.fields.positionLock, c.positionLock) << c.name;
    EXPECT_EQ(host.fields.soundLock, c.soundLock) << c.name;
  }
}

TEST_F(EditorStateCodec, ReadsCountsAndLayoutWithinTheLimits)
{
  const uint32_t cutoff = stableIdOf(par_main_cutoff_hz);
  const uint32_t variation = stableIdOf(par_main_pt_variation);
  const Column full(32, {1u, 10004u});
  const UserTabColumns untouched = {{999}};
  std::vector<double> fourteen = defaultValues();
  fourteen.push_back(5.0);
  fourteen.push_back(6.0);

  plugkit::IByteChunk truncated = section(defaultValues(), {{{0u, cutoff}}, {{1u, 7u}, {1u, 8u}}});
  truncated.Resize(truncated.Size() - 4);
  plugkit::IByteChunk tooManyColumns = section(defaultValues(), std::vector<Column>(65));
  const int tooManyColumnsEnd = 4 + 12 * 8;

  const struct
  {
    const char* name;
    plugkit::IByteChunk chunk;
    UserTabColumns columns;
    int end; // -2: the whole chunk
  } cases[] = {
    {"count 0 then the layout", section({}, {{{0u, cutoff}}}), {{par_main_cutoff_hz}}, -2},
    {"count 14 steps over two values", section(fourteen, {{{1u, 5u}}}), {{5}}, -2},
    {"unknown ids dropped, variation becomes depth, spacers kept",
     section(defaultValues(), {{{0u, 12345u}, {0u, variation}, {1u, static_cast<uint32_t>(-4)}}, {}}),
     {{par_main_pt_depth, -4}, {}},
     -2},
    {"64 columns of 32", section(defaultValues(), std::vector<Column>(64, full)),
     UserTabColumns(64, std::vector<int>(32, 10004)), -2},
    {"65 columns: layout left alone", std::move(tooManyColumns), untouched, tooManyColumnsEnd},
    {"33 entries: the columns before stay",
     section(defaultValues(), {{{1u, 1u}}, Column(33, {1u, 2u}), {{1u, 3u}}}),
     {{1}},
     -1},
    {"truncated column dropped", std::move(truncated), {{par_main_cutoff_hz}}, 4 + 96 + 4 + 12 + 4 + 8},
    {"no column count", section(defaultValues(), {}, false), untouched, -2},
  };
  for (const auto& c : cases)
  {
    CodecHost host;
    const int end = VemlorStateCodec(host).unserializeUIState(c.chunk, 0);
    if (c.end != -1)
    {
      EXPECT_EQ(end, c.end == -2 ? c.chunk.Size() : c.end) << c.name;
    }
    EXPECT_EQ(host.columns, c.columns) << c.name;
    EXPECT_EQ(host.fields.isoLevels, 6) << c.name;
  }

  CodecHost host;
  plugkit::IByteChunk tiny;
  tiny.Put(uint16_t{12});
  EXPECT_EQ(VemlorStateCodec(host).unserializeUIState(tiny, 0), -1);
  EXPECT_EQ(VemlorStateCodec(host).unserializeUIState(tiny, -5), -5);
  EXPECT_EQ(host.applied, 0);
}

TEST_F(EditorStateCodec, WithTheEditorOpenOnlyThePresetIndexChanges)
{
  CodecHost host;
  host.open = true;
  host.pm = pm.get();
  const EditorStateFields before = host.fields;
  std::vector<double> values = {3.0, 2, 1, 0.1, 12, 0.5, 1, 1, 1, 1, 0, 0.9};
  VemlorStateCodec(host).unserializeUIState(section(values, {{{1u, 5u}}}), 0);
  EXPECT_EQ(host.fields, before);
  EXPECT_EQ(host.applied, 0);
  EXPECT_EQ(host.columns, (UserTabColumns{{999}}));
  EXPECT_EQ(pm->currentIndex(), 1);
}

plugkit::IByteChunk params(const std::vector<std::pair<int, double>>& entries)
{
  plugkit::IByteChunk c;
  for (auto [index, value] : entries)
  {
    c.Put(index < 0 ? 0xDEADBEEFu : stableIdOf(index));
    c.Put(value);
  }
  return c;
}

TEST(ParameterSection, DerivesDepthAndTiltForOlderPatches)
{
  const struct
  {
    int passType;
    double variation;
    double depth;
    double tilt;
  } cases[] = {
    {0, 0.25, 0.75, 0},  {1, 0.5, 0.5, 0},   {2, 0.3, 1, 0},      {3, 0.1, 0.75, 0},   {4, 0.1, 0.75, 0},
    {3, 0.4, 0.5, -0.5}, {4, 0.65, 0.5, -1}, {3, 0.75, 0.5, 0.5}, {4, 0.9, 0.5, 0.75}, {5, 0.3, 0.3, 0},
  };
  for (const auto& c : cases)
  {
    CodecHost host;
    const plugkit::IByteChunk chunk = params({{par_main_pass_type, c.passType}, {par_main_pt_variation, c.variation}});
    EXPECT_EQ(VemlorStateCodec(host).applyParamsFromChunk(chunk, 0, 2), chunk.Size());
    EXPECT_NEAR(host.value(par_main_pt_depth), c.depth, 1e-9) << c.passType << " " << c.variation;
    EXPECT_NEAR(host.value(par_main_pt_tilt), c.tilt, 1e-9) << c.passType << " " << c.variation;
  }
}

TEST(ParameterSection, ResetsSkipsAndCompletes)
{
  CodecHost host;
  for (auto& p : host.params)
    p.Set(p.GetMax());
  const plugkit::IByteChunk chunk = params({{par_main_cutoff_hz, 1000.0},
                                            {-1, 5.0},
                                            {par_main_resonance, kNaN},
                                            {par_main_pt_depth, 0.2},
                                            {par_main_cutoff_hz, 2000.0},
                                            {par_main_drive, 1e9},
                                            {par_dry_wet, 0.5}});
  const int end = VemlorStateCodec(host).applyParamsFromChunk(chunk, 0, 6);
  EXPECT_EQ(end, 6 * 12);
  EXPECT_EQ(host.value(par_main_cutoff_hz), 2000.0); // the last entry wins
  EXPECT_EQ(host.value(par_main_resonance), host.params[par_main_resonance].GetDefault());
  EXPECT_EQ(host.value(par_main_drive), host.params[par_main_drive].GetMax());
  EXPECT_EQ(host.value(par_dry_wet), host.params[par_dry_wet].GetDefault()); // past the count
  EXPECT_EQ(host.value(par_main_pt_depth), 0.2);
  EXPECT_EQ(host.value(par_gain_on_dry), 1.0);

  // A cut entry ends the section at the last whole one.
  plugkit::IByteChunk cut = params({{par_gain_on_dry, 0.3}, {par_main_gain, 0.1}});
  cut.Resize(cut.Size() - 1);
  EXPECT_EQ(VemlorStateCodec(host).applyParamsFromChunk(cut, 0, 2), 12);
  EXPECT_EQ(host.value(par_gain_on_dry), 0.3);
}

} // namespace
} // namespace zarvo
