#include "product/patch/preset_manager.h"

#include "tests/product/patch/fake_plugin.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace zarvo {
namespace {

namespace fs = std::filesystem;
using test::FakePlugin;
using Identity = PresetManager::PatchIdentity;

plugkit::IByteChunk record(std::initializer_list<int32_t> fields, std::string_view tail = {})
{
  plugkit::IByteChunk c;
  for (int32_t f : fields)
    c.Put(f);
  c.PutBytes(tail.data(), static_cast<int>(tail.size()));
  return c;
}

TEST(PatchIdentityRecord, WrittenRecordReadsBack)
{
  const Identity id{2, "/home/u/Presets/Bass/Deep.fxp", -1, true};
  plugkit::IByteChunk c;
  c.Put(int32_t{77}); // whatever precedes the record
  ASSERT_TRUE(PresetManager::putPatchIdentity(c, id));
  EXPECT_EQ(c.Size(), 4 + 20 + static_cast<int>(id.name.size()));
  Identity out;
  EXPECT_EQ(PresetManager::getPatchIdentity(c, 4, out), c.Size());
  EXPECT_EQ(out, id);
}

TEST(PatchIdentityRecord, MalformedRecordsReadNothing)
{
  const struct
  {
    const char* name;
    plugkit::IByteChunk chunk;
    bool accepted;
    Identity expected;
    int end;
  } cases[] = {
    {"count 0", record({0, 0}), true, {0, "", -1, false}, 8},
    {"count 1 reads only the kind", record({1, 1, 3}, "abc"), true, {1, "abc", -1, false}, 15},
    {"count 2 reads kind and index", record({2, 1, 4, 0}), true, {1, "", 4, false}, 16},
    {"count 5 skips two fields", record({5, 1, 2, 1, 9, 9, 2}, "ab"), true, {1, "ab", 2, true}, 30},
    {"zero byte ends the name", record({3, 1, 0, 0, 4}, std::string_view("ab\0d", 4)), true, {1, "ab", 0, false}, 24},
    {"negative length gives an empty name", record({3, 2, -1, 0, -5}), true, {2, "", -1, false}, 20},
    {"count 300", record({300, 1, 0, 0, 0}), false, {}, 0},
    {"negative count", record({-1, 1, 0, 0, 0}), false, {}, 0},
    {"negative kind", record({3, -1, 0, 0, 0}), false, {}, 0},
    {"kind 3", record({3, 3, 0, 0, 0}), false, {}, 0},
    {"length past the end", record({3, 1, 0, 0, 10}, "abc"), false, {}, 0},
    {"skipped fields past the end", record({200, 1, 0, 0}), false, {}, 0},
    {"no length", record({3, 1, 0, 0}), false, {}, 0},
    {"empty chunk", record({}), false, {}, 0},
  };
  for (const auto& c : cases)
  {
    Identity out{1, "untouched", 9, true};
    const int end = PresetManager::getPatchIdentity(c.chunk, 0, out);
    if (c.accepted)
    {
      EXPECT_EQ(end, c.end) << c.name;
      EXPECT_EQ(out, c.expected) << c.name;
    }
    else
    {
      EXPECT_EQ(end, 0) << c.name;
      EXPECT_EQ(out, (Identity{1, "untouched", 9, true})) << c.name;
    }
  }
  Identity out;
  EXPECT_EQ(PresetManager::getPatchIdentity(record({0, 0}), -4, out), -4);
}

class Navigation : public ::testing::Test
{
protected:
  void SetUp() override
  {
    plugin.addPresetSlot("Alpha", 1.0);
    plugin.addPresetSlot("Beta", 2.0);
    save(user / "A.fxp", 10.0);
    save(user / "B.fxp", 999.0);
    save(user / "C.fxp", 30.0);
    // B keeps a valid header but loses the end of its state: its load fails part-way.
    const std::string bytes = test::readBytes(user / "B.fxp");
    test::writeBytes(user / "B.fxp", bytes.substr(0, bytes.size() - 4));
    plugin.GetParam(0)->Set(0.0);

    pm = std::make_unique<PresetManager>(plugin, "Vemlor", user.string(), 100);
    plugin.manager = pm.get();
    plugin.installCallbacks();
  }

  void save(const fs::path& path, double sound)
  {
    fs::create_directories(path.parent_path());
    plugin.GetParam(0)->Set(sound);
    plugin.ccMap = 1;
    plugin.workspace = 2;
    ASSERT_TRUE(plugin.SavePresetAsFXP(path.c_str()));
    plugin.ccMap = 0;
    plugin.workspace = 0;
  }

  test::TempDir dir;
  fs::path user = dir / "Presets";
  FakePlugin plugin{FakePlugin::kOurId, 2};
  std::unique_ptr<PresetManager> pm;
  // List: 0 Alpha, 1 Beta, 2 A, 3 B, 4 C.
};

TEST_F(Navigation, SteppingToTheLoadedEntryDoesNothing)
{
  pm->navigateTo(0);
  ASSERT_EQ(plugin.sound(), 1.0);
  plugin.edit(5.0);
  const int restores = plugin.restores;
  pm->navigateTo(0);
  EXPECT_EQ(plugin.sound(), 5.0);
  EXPECT_EQ(plugin.restores, restores);
  EXPECT_EQ(pm->undoStack().size(), 1u);
  EXPECT_TRUE(pm->patchIdentity().modified);
}

TEST_F(Navigation, FailedLoadDropsTheEntryAndKeepsThePreviousPatch)
{
  pm->navigateTo(4);
  ASSERT_EQ(plugin.sound(), 30.0);
  plugin.edit(31.0); // an edit still pending
  const size_t undoDepth = pm->undoStack().size();
  const Identity shown = pm->patchIdentity();

  pm->navigateTo(3);

  EXPECT_EQ(plugin.sound(), 31.0);
  EXPECT_EQ(pm->listSize(), 4);
  EXPECT_EQ(pm->currentIndex(), 3); // C moved down into B's place
  EXPECT_EQ(pm->patchIdentity(), shown);
  EXPECT_EQ(pm->undoStack().size(), undoDepth);
  EXPECT_TRUE(pm->editPending());
  for (const auto& p : pm->userPresets())
    EXPECT_NE(p.name, "B");

  // The pending edit is still its own undo step.
  pm->undo();
  EXPECT_EQ(plugin.sound(), 30.0);
}

TEST_F(Navigation, ListLoadsKeepMapAndWorkspaceFileLoadsTakeTheWorkspace)
{
  plugin.ccMap = 7;
  plugin.workspace = 8;
  pm->navigateTo(2);
  EXPECT_EQ(plugin.sound(), 10.0);
  EXPECT_EQ(plugin.ccMap, 7);
  EXPECT_EQ(plugin.workspace, 8);

  ASSERT_TRUE(pm->loadFromFile((user / "C.fxp").string()));
  EXPECT_EQ(plugin.sound(), 30.0);
  EXPECT_EQ(plugin.ccMap, 7);
  EXPECT_EQ(plugin.workspace, 2);
  EXPECT_EQ(pm->currentIndex(), 4);
  EXPECT_EQ(pm->undoStack().size(), 2u);

  EXPECT_FALSE(pm->loadFromFile((user / "B.fxp").string()));
  EXPECT_FALSE(pm->loadFromFile((user / "absent.fxp").string()));
  EXPECT_EQ(plugin.sound(), 30.0);
  EXPECT_EQ(plugin.workspace, 2);
  EXPECT_EQ(pm->undoStack().size(), 2u);
  EXPECT_EQ(pm->currentIndex(), 4);
}

TEST_F(Navigation, SavedPresetFileStartsWithTheContainerMagicAndOurId)
{
  plugin.edit(42.0);
  const fs::path path = dir / "Elsewhere" / "Mine.fxp";
  fs::create_directories(path.parent_path());
  ASSERT_TRUE(pm->saveToFile(path.string()));

  const std::string bytes = test::readBytes(path);
  ASSERT_GE(bytes.size(), 20u);
  EXPECT_EQ(bytes.substr(0, 4), "CcnK");
  EXPECT_EQ(bytes.substr(16, 4), "Vmlr");
  EXPECT_TRUE(pm->isOurFXP(path.string()));
  EXPECT_EQ(pm->patchIdentity(), (Identity{2, path.string(), -1, false}));
  EXPECT_EQ(pm->displayName(pm->patchIdentity()), "Elsewhere/Mine");
  EXPECT_EQ(pm->lastUsedDir(), path.parent_path().string());
  EXPECT_FALSE(pm->saveToFile((dir / "no" / "such" / "x.fxp").string()));
}

TEST_F(Navigation, AFailedSaveOrLoadIsReportedAndChangesNothing)
{
  std::vector<plugkit::EFileResult> reports;
  pm->setFileFailureReport([&](plugkit::EFileResult r) { reports.push_back(r); });
  pm->navigateTo(pm->factoryCount()); // A.fxp
  plugin.edit(42.0);
  const Identity identity = pm->patchIdentity();
  const size_t undoDepth = pm->undoStack().size();

  // Root writes into read-only folders, so the failures are made of what no one can write or read.
  test::writeBytes(dir / "Presets-file", "a file where a folder should be");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0666), 0);
  fs::create_symlink(dir / "pipe", dir / "pipe-link.fxp");
  test::writeBytes(dir / "notes.fxp", "not a preset\n");
  using plugkit::EFileResult;
  struct Case
  {
    const char* name;
    bool save;
    fs::path path;
    EFileResult reported;
  };
  const Case cases[] = {
    {"save into a Presets that is a file", true, dir / "Presets-file" / "x.fxp", EFileResult::kWriteFailed},
    {"save through a link to a pipe", true, dir / "pipe-link.fxp", EFileResult::kWriteFailed},
    {"save into a missing folder", true, dir / "no" / "such" / "x.fxp", EFileResult::kWriteFailed},
    {"load a missing file", false, user / "absent.fxp", EFileResult::kUnreadable},
    {"load a pipe", false, dir / "pipe", EFileResult::kUnreadable},
    {"load a folder", false, user, EFileResult::kUnreadable},
    {"load under a file", false, dir / "Presets-file" / "x.fxp", EFileResult::kUnreadable},
    {"load a text file", false, dir / "notes.fxp", EFileResult::kNotOurs},
    {"load a damaged preset", false, user / "B.fxp", EFileResult::kNotOurs},
  };
  for (const Case& c : cases)
  {
    reports.clear();
    EXPECT_FALSE(c.save ? pm->saveToFile(c.path.string()) : pm->loadFromFile(c.path.string())) << c.name;
    EXPECT_EQ(reports, std::vector<EFileResult>{c.reported}) << c.name;
    EXPECT_EQ(plugin.sound(), 42.0) << c.name;
    EXPECT_EQ(pm->patchIdentity(), identity) << c.name;
    EXPECT_EQ(pm->undoStack().size(), undoDepth) << c.name;
  }
  EXPECT_EQ(test::readBytes(dir / "Presets-file"), "a file where a folder should be");
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
  EXPECT_FALSE(fs::exists(dir / "no"));

  // A list entry whose file went bad is dropped from the list and reported the same way.
  reports.clear();
  pm->navigateTo(pm->factoryCount() + 1); // B.fxp
  EXPECT_EQ(reports, std::vector<EFileResult>{EFileResult::kNotOurs});
}

TEST_F(Navigation, PresetSavedWithoutTheExtensionGetsItAndStaysListedAfterARescan)
{
  plugin.edit(42.0);
  for (const char* name : {"Warm", "Warm.pad", "Bright.fxp"})
  {
    const fs::path chosen = user / name;
    const fs::path written = chosen.extension() == ".fxp" ? chosen : fs::path(chosen.string() + ".fxp");
    ASSERT_TRUE(pm->saveToFile(chosen.string())) << name;
    EXPECT_TRUE(fs::exists(written)) << name;
    EXPECT_FALSE(written != chosen && fs::exists(chosen)) << name;
    EXPECT_EQ(pm->patchIdentity().name, written.string()) << name;
  }
  pm->refreshUserPresets();
  for (const char* file : {"Warm.fxp", "Warm.pad.fxp", "Bright.fxp"})
  {
    bool listed = false;
    for (int i = 0; i < pm->listSize(); ++i)
      listed = listed || pm->identityForListIndex(i).name == (user / file).string();
    EXPECT_TRUE(listed) << file;
  }
}

TEST_F(Navigation, PresetApplyHookCanTakeOrRefuseThePreset)
{
  PresetManager::PresetApply answer = PresetManager::kTakenByMorph;
  std::vector<PresetManager::PresetSource> offered;
  pm->setPresetApplyHook([&](const PresetManager::PresetSource& s) {
    offered.push_back(s);
    return answer;
  });

  pm->navigateTo(1);
  EXPECT_EQ(pm->currentIndex(), 1);
  EXPECT_EQ(plugin.sound(), 0.0); // the morph side loaded it, not the patch
  EXPECT_TRUE(pm->loadFromFile((user / "A.fxp").string()));
  EXPECT_EQ(plugin.sound(), 0.0);

  answer = PresetManager::kDoNothing;
  pm->navigateTo(0);
  EXPECT_FALSE(pm->loadFromFile((user / "A.fxp").string()));
  EXPECT_EQ(pm->currentIndex(), 1);
  EXPECT_TRUE(pm->undoStack().empty());
  ASSERT_EQ(offered.size(), 4u);
  EXPECT_EQ(offered[1].kind, 1);
  EXPECT_EQ(offered[1].path, (user / "A.fxp").string());
  EXPECT_EQ(offered[2].index, 0);

  answer = PresetManager::kApplyPreset;
  pm->setNavigationGuard([] { return false; });
  pm->navigateTo(0);
  EXPECT_EQ(pm->currentIndex(), 1);
}

TEST_F(Navigation, StoredIdentitiesResolveToListEntries)
{
  fs::create_directories(dir / "Other");
  fs::copy_file(user / "A.fxp", dir / "Other" / "Z.fxp");
  const struct
  {
    const char* name;
    Identity identity;
    int expected;
  } cases[] = {
    {"factory by name", {1, "Beta", 0, false}, 1},
    {"unknown name falls back to the index", {1, "Gone", 1, false}, 1},
    {"unknown name and index", {1, "Gone", 2, false}, -1},
    {"user file in the list", {2, (user / "C.fxp").string(), -1, false}, 4},
    {"user file that has gone", {2, (user / "Gone.fxp").string(), -1, false}, -1},
    {"file outside the list joins it", {2, (dir / "Other" / "Z.fxp").string(), -1, false}, 5},
    {"none", {0, "", -1, false}, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(pm->resolveIdentity(c.identity), c.expected) << c.name;
  EXPECT_EQ(pm->userPresets().back().group, "Other");

  EXPECT_EQ(pm->displayName({2, (user / "C.fxp").string(), -1, false}), "C");
  EXPECT_EQ(pm->displayName({2, (dir / "Other" / "Z.fxp").string(), -1, false}), "Other/Z");
  EXPECT_EQ(pm->displayName({1, "Beta", 1, false}), "Beta");
  EXPECT_EQ(pm->displayName({0, "x", -1, false}), "");
}

} // namespace
} // namespace zarvo
