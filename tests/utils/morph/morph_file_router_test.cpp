// Sounds between morph points and preset files: reading chunks without applying them, legacy
// completion, the preset-file container, and the pad's save and load actions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "fake_morph_host.h"
#include "tests/support/field_edit.h"
#include "product/params/morph_param_table.h"

namespace {

using namespace morph_test;
using plugkit::IByteChunk;

struct Rig
{
  Rig()
  {
    host.controller = &ctrl;
    host.withPresetManager = true;
  }
  const MorphPoint& point(size_t i) { return ctrl.engine().editState().points[i]; }
  double value(size_t i, int param) { return point(i).values[static_cast<size_t>(rowOf(param))]; }
  void setValue(size_t i, int param, double normalized)
  {
    ctrl.engine().edit({.point = i, .row = static_cast<size_t>(rowOf(param)), .value = normalized});
  }
  MorphFileRouter& router() { return ctrl.fileRouter(); }
  // Morphing with these points selected: where presets load into points.
  void selectPoints(uint32_t mask)
  {
    ctrl.mirrorMorphSwitch(true);
    ctrl.engine().edit({.selection = mask});
  }

  FakeMorphHost host;
  MorphController ctrl{host, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes};
};

std::string tempPath(const char* name) { return testing::TempDir() + name; }

bool writeFile(const std::string& path, const IByteChunk& data)
{
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f)
    return false;
  const bool ok =
    std::fwrite(data.GetData(), 1, static_cast<size_t>(data.Size()), f) == static_cast<size_t>(data.Size());
  return std::fclose(f) == 0 && ok;
}

TEST(MorphFileRouter, APointSavedToAFileLoadsIntoAnotherPoint)
{
  Rig r;
  vemlor_test::editField(r.ctrl.engine(), [](auto& f) { fillDistinctField(f); });
  r.host.param(zarvo::par_morph_active).Set(1.0);
  r.host.param(zarvo::par_main_drive).Set(0.123);
  const std::string path = tempPath("morph_point3.fxp");

  ASSERT_TRUE(r.router().writeMorphValuesFXP(r.point(3).values, path));
  ASSERT_EQ(r.host.savedParams.size(), static_cast<size_t>(zarvo::kNumParams));
  EXPECT_EQ(r.host.savedParams[zarvo::par_morph_active], 0.0) << "the file loads as a plain sound";
  EXPECT_EQ(r.host.savedParams[zarvo::par_main_drive],
            r.ctrl.plainOf(zarvo::par_main_drive, r.value(3, zarvo::par_main_drive)));
  EXPECT_EQ(r.host.param(zarvo::par_main_drive).Value(), 0.123) << "parameters are put back";
  EXPECT_EQ(r.host.param(zarvo::par_morph_active).Value(), 1.0);

  r.selectPoints(1u << 5);
  ASSERT_TRUE(r.router().loadPresetIntoPoints({1, -1, path}));
  for (size_t row = 0; row < kNumMorphParams; ++row)
  {
    const int param = kMorphParams[row].param;
    const double expected = r.ctrl.normalizedOf(param, r.ctrl.plainOf(param, r.point(3).values[row]));
    EXPECT_NEAR(r.point(5).values[row], expected, 1e-9) << "row " << row;
  }
  EXPECT_EQ(r.ctrl.pointIdentity()[5], (PatchIdentity{2, path, -1, false}));
  EXPECT_EQ(r.host.calls, (std::vector<std::string>{"pushUndo", "listIndex -1", "captureBaseline"}));
  std::remove(path.c_str());
}

TEST(MorphFileRouter, FilesThatAreNotOursChangeNothing)
{
  const IByteChunk state = stateChunkOf({{zarvo::par_main_drive, 0.5}});
  struct Case
  {
    const char* name;
    IByteChunk file;
  };
  std::vector<Case> cases;
  cases.push_back({"another plug-in's preset", presetFileOf(state, plugkit::MakeFourCC("Othr"))});
  cases.push_back({"too short for the header", presetFileOf(state)});
  cases.back().file.Resize(50);
  cases.push_back({"a marker with no chunk after it", presetFileOf(state)});
  cases.back().file.Resize(66);
  cases.push_back({"not a program file", presetFileOf(state)});
  cases.back().file.GetData()[0] = 'X';

  for (const Case& c : cases)
  {
    Rig r;
    r.selectPoints(1u << 2);
    const std::string path = tempPath("morph_foreign.fxp");
    ASSERT_TRUE(writeFile(path, c.file));
    const MorphPoint before = r.point(2);
    EXPECT_FALSE(r.router().loadPresetIntoPoints({1, -1, path})) << c.name;
    EXPECT_EQ(r.point(2), before) << c.name;
    EXPECT_TRUE(r.host.calls.empty()) << c.name;
    std::remove(path.c_str());
  }
  Rig r;
  r.selectPoints(1u << 2);
  EXPECT_FALSE(r.router().loadPresetIntoPoints({1, -1, tempPath("morph_missing.fxp")}));
}

TEST(MorphFileRouter, ChunkValuesAndLegacyCompletion)
{
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case
  {
    const char* name;
    std::vector<std::pair<int, double>> stored;
    int param;         // checked afterwards
    double plain;      // its expected plain value; NaN: keeps the start value
    uint32_t noteMask; // expected, from a start of all three bits
  };
  const Case cases[] = {
    {"a stored value, stepped and clamped", {{zarvo::par_main_pass_type, 3.4}}, zarvo::par_main_pass_type, 3.0, 0},
    {"no depth, pass type P: the variation",
     {{zarvo::par_main_pass_type, 5}, {zarvo::par_main_pt_variation, 0.3}},
     zarvo::par_main_pt_depth,
     0.3,
     0},
    {"no depth, band-pass at 0.64: tilt -1",
     {{zarvo::par_main_pass_type, 3}, {zarvo::par_main_pt_variation, 0.64}},
     zarvo::par_main_pt_tilt,
     -1.0,
     0},
    {"no depth and no pass type: the default pass type", {}, zarvo::par_main_pt_depth, 1.0, 0},
    {"a stored depth stays", {{zarvo::par_main_pt_depth, 0.25}}, zarvo::par_main_pt_depth, 0.25, 0},
    {"no gain on dry: full", {}, zarvo::par_gain_on_dry, 1.0, 0},
    {"a row not named keeps its start", {}, zarvo::par_main_drive, kNaN, 0},
    {"a non-finite value is skipped", {{zarvo::par_main_drive, kNaN}}, zarvo::par_main_drive, kNaN, 0},
    {"anchoring switches set their bits",
     {{zarvo::par_preB_cutoff_note_anchored, 1.0}},
     zarvo::par_main_drive,
     kNaN,
     1u << kRowPreBCutoff},
    {"unknown ids are skipped", {{999, 0.5}}, zarvo::par_main_drive, kNaN, 0},
  };
  for (const Case& c : cases)
  {
    Rig r;
    MorphValues values{};
    values.fill(0.5);
    uint32_t noteMask = kNoteMaskBits | (1u << 4);
    std::vector<std::pair<uint32_t, double>> entries;
    for (const auto& [param, v] : c.stored)
      entries.push_back({param < zarvo::kNumParams ? zarvo::stableIdOf(param) : 0xDEADBEEFu, v});
    const IByteChunk chunk = stateChunkOfIds(entries);

    ASSERT_TRUE(r.router().readChunkMorphParams(chunk, 0, values, noteMask)) << c.name;
    const double got = values[static_cast<size_t>(rowOf(c.param))];
    if (std::isnan(c.plain))
      EXPECT_EQ(got, 0.5) << c.name;
    else
      EXPECT_NEAR(r.ctrl.plainOf(c.param, got), c.plain, 1e-9) << c.name;
    EXPECT_EQ(noteMask, c.noteMask | (1u << 4)) << c.name << ": other bits stay";
  }
}

TEST(MorphFileRouter, BrokenChunksFail)
{
  struct Case
  {
    const char* name;
    IByteChunk chunk;
    int pos;
  };
  std::vector<Case> cases;
  cases.push_back({"negative position", stateChunkOf({}), -1});
  cases.push_back({"no version word", IByteChunk(), 0});
  // A chunk up to its controller map, then what the case adds.
  const auto mapOnly = [] {
    IByteChunk c = stateChunkOf({});
    c.Resize(c.Size() - 4 - 8);
    return c;
  };
  {
    IByteChunk c = mapOnly();
    c.Put(int32_t{-1});
    cases.push_back({"negative modulation count", std::move(c), 0});
  }
  {
    IByteChunk c = mapOnly();
    c.Put(int32_t{1000});
    cases.push_back({"modulation records past the end", std::move(c), 0});
  }
  {
    IByteChunk c = mapOnly();
    c.Put(int32_t{0});
    c.Put(4097.0);
    cases.push_back({"more than 4096 parameters", std::move(c), 0});
  }
  {
    IByteChunk c = stateChunkOf({});
    c.Resize(c.Size() - 8);
    cases.push_back({"no parameter count", std::move(c), 0});
  }
  for (const Case& c : cases)
  {
    Rig r;
    MorphValues values{};
    uint32_t noteMask = 0;
    EXPECT_FALSE(r.router().readChunkMorphParams(c.chunk, c.pos, values, noteMask)) << c.name;
  }

  // Entries cut short at the end are simply the last ones.
  Rig r;
  IByteChunk c = stateChunkOf({{zarvo::par_main_drive, 0.25}, {zarvo::par_main_resonance, 0.75}});
  c.Resize(c.Size() - 3);
  MorphValues values{};
  uint32_t noteMask = 0;
  EXPECT_TRUE(r.router().readChunkMorphParams(c, 0, values, noteMask));
  EXPECT_NEAR(r.ctrl.plainOf(zarvo::par_main_drive, values[static_cast<size_t>(rowOf(zarvo::par_main_drive))]), 0.25,
              1e-12);
}

TEST(MorphFileRouter, PresetsFromTheListLoadIntoTheSelectedPoints)
{
  const std::string userPath = tempPath("morph_user.fxp");
  ASSERT_TRUE(writeFile(userPath, presetFileOf(stateChunkOf({{zarvo::par_main_drive, 0.7}}))));

  struct Case
  {
    const char* name;
    int listIndex;
    bool loads;
    double drive;
  };
  const Case cases[] = {
    {"a factory preset's chunk", 3, true, 0.4},
    {"a user preset's file", 40, true, 0.7},
    {"an index that names nothing", 99, false, 0.0},
  };
  for (const Case& c : cases)
  {
    Rig r;
    r.host.listEntries[3] = {"", stateChunkOf({{zarvo::par_main_drive, 0.4}})};
    r.host.listEntries[40] = {userPath, IByteChunk()};
    r.host.editorIsOpen = true;
    r.setValue(2, zarvo::par_main_resonance, 0.31);
    r.setValue(3, zarvo::par_main_resonance, 0.99);
    r.selectPoints(0b1100);
    EXPECT_EQ(r.router().loadPresetIntoPoints({0, c.listIndex, ""}), c.loads) << c.name;
    if (!c.loads)
    {
      EXPECT_TRUE(r.host.calls.empty()) << c.name;
      continue;
    }
    for (size_t i : {size_t{2}, size_t{3}})
    {
      EXPECT_NEAR(r.ctrl.plainOf(zarvo::par_main_drive, r.value(i, zarvo::par_main_drive)), c.drive, 1e-12) << c.name;
      EXPECT_EQ(r.value(i, zarvo::par_main_resonance), 0.31) << c.name << ": the lowest selected point's value";
      EXPECT_EQ(r.ctrl.pointIdentity()[i].name, "Preset " + std::to_string(c.listIndex)) << c.name;
    }
    EXPECT_EQ(r.host.calls.back(), "dirty") << c.name;
  }
  std::remove(userPath.c_str());
}

TEST(MorphFileRouter, PresetsLoadIntoPointsOnlyInContext)
{
  struct Case
  {
    const char* name;
    bool morphOn;
    uint32_t selection;
    bool moving;
    bool manager;
  };
  const Case cases[] = {
    {"morph off", false, 0b10, false, true},
    {"nothing selected", true, 0, false, true},
    {"points being moved", true, 0b10, true, true},
    {"no preset manager", true, 0b10, false, false},
  };
  for (const Case& c : cases)
  {
    Rig r;
    r.host.listEntries[3] = {"", stateChunkOf({{zarvo::par_main_drive, 0.4}})};
    r.ctrl.mirrorMorphSwitch(c.morphOn);
    r.ctrl.engine().edit({.selection = c.selection});
    r.ctrl.engine().edit({.moving = c.moving});
    r.host.withPresetManager = c.manager;
    EXPECT_FALSE(r.router().loadPresetIntoPoints({0, 3, ""})) << c.name;
    EXPECT_EQ(r.value(1, zarvo::par_main_drive), 0.0) << c.name;
  }
}

TEST(MorphFileRouter, PadActions)
{
  Rig r;
  r.router().promptSaveBlendToFile();
  r.router().promptSavePointToFile(3);
  r.router().promptLoadPointsFromFile(0b10);
  EXPECT_TRUE(r.host.dialogs.empty()) << "the editor is closed";

  r.host.editorIsOpen = true;
  r.router().promptLoadPointsFromFile(0);
  r.router().promptSavePointToFile(17);
  EXPECT_TRUE(r.host.dialogs.empty());

  // The blend is taken when the file is chosen; the point's sound when the dialog opens.
  r.ctrl.engine().edit({.point = 4, .active = true});
  r.setValue(4, zarvo::par_main_drive, 0.6);
  const std::string blendPath = tempPath("morph_blend.fxp");
  r.router().promptSaveBlendToFile();
  r.host.choose(blendPath);
  EXPECT_NEAR(r.host.savedParams[zarvo::par_main_drive], 0.6, 1e-12);
  EXPECT_EQ(r.host.savedParams[zarvo::par_morph_active], 0.0);

  const std::string pointPath = tempPath("morph_point.fxp");
  r.router().promptSavePointToFile(4);
  r.setValue(4, zarvo::par_main_drive, 0.1);
  r.host.choose(pointPath);
  EXPECT_NEAR(r.host.savedParams[zarvo::par_main_drive], 0.6, 1e-12);

  r.host.calls.clear();
  r.router().promptLoadPointsFromFile(0b1000000);
  r.host.choose("");
  EXPECT_TRUE(r.host.calls.empty()) << "cancelled";
  r.router().promptLoadPointsFromFile(0b1000000);
  r.host.choose(pointPath);
  EXPECT_NEAR(r.ctrl.plainOf(zarvo::par_main_drive, r.value(6, zarvo::par_main_drive)), 0.6, 1e-12);
  EXPECT_EQ(r.ctrl.pointIdentity()[6], (PatchIdentity{2, pointPath, -1, false}));
  EXPECT_EQ(r.host.dialogs, (std::vector<std::string>{"save  .fxp", "save  .fxp", "open  .fxp", "open  .fxp"}));
  using plugkit::EFileResult;
  EXPECT_EQ(r.host.fileResults, (std::vector<EFileResult>{EFileResult::kOk, EFileResult::kOk, EFileResult::kOk}));

  // Another file chosen by mistake, or one gone since: the points keep their sounds and the editor hears why.
  r.router().promptLoadPointsFromFile(0b1000000);
  r.host.choose(blendPath + ".missing");
  {
    std::FILE* f = std::fopen(blendPath.c_str(), "wb");
    std::fputs("# zarvo v1\n", f);
    std::fclose(f);
  }
  r.router().promptLoadPointsFromFile(0b1000000);
  r.host.choose(blendPath);
  EXPECT_NEAR(r.ctrl.plainOf(zarvo::par_main_drive, r.value(6, zarvo::par_main_drive)), 0.6, 1e-12);
  EXPECT_EQ(r.host.fileResults, (std::vector<EFileResult>{EFileResult::kOk, EFileResult::kOk, EFileResult::kOk,
                                                          EFileResult::kUnreadable, EFileResult::kNotOurs}));
  EXPECT_EQ(r.host.fileContents, std::vector<EFileContent>(5, EFileContent::MorphField));
  std::remove(blendPath.c_str());
  std::remove(pointPath.c_str());
}

TEST(MorphFileRouter, APointSavedFromThePadCarriesItsOwnNoteAnchoring)
{
  struct Case
  {
    const char* name;
    uint32_t pointMask;
    std::array<double, kNoteAnchors.size()> instanceSwitches; // in kNoteAnchors order
  };
  const Case cases[] = {
    {"the point anchors pre-filter A only, the instance the other two", 1u << kNoteAnchors[1].row, {1.0, 0.0, 1.0}},
    {"the point anchors nothing, the instance everything", 0u, {1.0, 1.0, 1.0}},
    {"the point anchors all three, the instance nothing",
     (1u << kNoteAnchors[0].row) | (1u << kNoteAnchors[1].row) | (1u << kNoteAnchors[2].row),
     {0.0, 0.0, 0.0}},
  };
  const std::string path = tempPath("morph_point_anchoring.fxp");
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Rig r;
    r.host.editorIsOpen = true;
    for (size_t k = 0; k < kNoteAnchors.size(); ++k)
      r.host.param(kNoteAnchors[k].switchParam).Set(c.instanceSwitches[k]);
    r.ctrl.engine().edit({.point = 4, .noteMask = c.pointMask});
    r.router().promptSavePointToFile(4);
    r.host.choose(path);
    for (size_t k = 0; k < kNoteAnchors.size(); ++k)
    {
      const int anchor = kNoteAnchors[k].switchParam;
      EXPECT_EQ(r.host.savedParams.at(static_cast<size_t>(anchor)),
                (c.pointMask >> kNoteAnchors[k].row) & 1u ? 1.0 : 0.0);
      EXPECT_EQ(r.host.param(anchor).Value(), c.instanceSwitches[k]) << "the instance's switches are put back";
    }

    // Loaded into another point, the anchoring comes along.
    r.ctrl.engine().edit({.point = 6, .noteMask = ~c.pointMask & kNoteMaskBits});
    r.router().promptLoadPointsFromFile(1u << 6);
    r.host.choose(path);
    EXPECT_EQ(r.point(6).noteMask, c.pointMask);
  }
  std::remove(path.c_str());
}

} // namespace
