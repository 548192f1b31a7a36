#include "product/patch/preset_manager.h"

#include "IPlugin/IPluginSpawn.h"
#include "tests/product/patch/fake_plugin.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zarvo {
namespace {

namespace fs = std::filesystem;
using test::FakePlugin;
using Entry = PresetManager::BrowseEntry;

void savePreset(FakePlugin& plugin, const fs::path& path, double sound = 0.0)
{
  fs::create_directories(path.parent_path());
  plugin.GetParam(0)->Set(sound);
  ASSERT_TRUE(plugin.SavePresetAsFXP(path.c_str())) << path;
}

std::vector<std::string> groupsAndNames(const PresetManager& pm)
{
  std::vector<std::string> out;
  for (const Entry& e : pm.browseEntries())
    if (!e.factory)
      out.push_back(e.group + "|" + e.name);
  return out;
}

class PresetList : public ::testing::Test
{
protected:
  void SetUp() override
  {
    FakePlugin foreign(plugkit::MakeFourCC("Othr"));
    savePreset(ours, user / "Init.fxp");
    savePreset(ours, user / "Loud.FXP");
    savePreset(ours, user / "Bass" / "Dark" / "Sub.fxp");
    savePreset(ours, user / "Bass" / "Round.fxp");
    savePreset(ours, user / "a" / "low.fxp");
    savePreset(ours, user / "B" / "x.fxp");
    savePreset(foreign, user / "Foreign.fxp"); // the user's own folder is not checked
    test::writeBytes(user / "notes.txt", "not a preset");
    savePreset(ours, lib / "Top.fxp");
    savePreset(ours, lib / "Bass" / "Warm.fxp");
    savePreset(ours, lib / "Up.FXP");
    savePreset(foreign, lib / "Foreign.fxp");
    test::writeBytes(lib / "Short.fxp", "Ccn");

    ours.addPresetSlot("Alpha", 1.0);
    ours.addPresetSlot("empty", 2.0); // an unused slot in the middle
    ours.addPresetSlot("Grp/Beta", 3.0);
  }

  test::TempDir dir;
  fs::path user = dir / "Presets";
  fs::path lib = dir / "Lib";
  FakePlugin ours{FakePlugin::kOurId, 4};
};

TEST_F(PresetList, FolderTreeGivesExpectedListAndOrder)
{
  PresetManager pm(ours, "Vemlor", user.string() + "/", 100);
  std::vector<std::string> noted;
  pm.setLastUsedDirChanged([&](const std::string& d) { noted.push_back(d); });

  EXPECT_EQ(pm.userPresetDir(), user.string());
  ASSERT_EQ(pm.factoryCount(), 2);
  const std::vector<Entry> factory = {{0, "", "Alpha", true}, {1, "Grp", "Beta", true}};
  const std::vector<Entry> initial = pm.browseEntries();
  EXPECT_EQ(std::vector<Entry>(initial.begin(), initial.begin() + 2), factory);
  EXPECT_EQ(groupsAndNames(pm),
            (std::vector<std::string>{"|Foreign", "|Init", "B|x", "Bass|Round", "Bass/Dark|Sub", "a|low"}));

  // An added folder lists only our files, labelled with its name, after the sorted list.
  EXPECT_EQ(pm.addFolder(lib.string()), 2);
  EXPECT_EQ(pm.addFolder(lib.string() + "/"), 0);       // the same folder again: one source, nothing new
  EXPECT_EQ(pm.addFolder((user / "Bass").string()), 0); // files already listed through the user folder
  EXPECT_EQ(pm.addFolder((dir / "missing").string()), 0);
  EXPECT_EQ(pm.sources().size(), 3u);
  EXPECT_EQ(noted, (std::vector<std::string>{lib.string(), (user / "Bass").string()}));
  EXPECT_EQ(groupsAndNames(pm), (std::vector<std::string>{"|Foreign", "|Init", "B|x", "Bass|Round", "Bass/Dark|Sub",
                                                          "a|low", "Lib|Top", "Lib/Bass|Warm"}));
  const std::vector<Entry> entries = pm.browseEntries();
  EXPECT_EQ(entries[9], (Entry{9, "Lib/Bass", "Warm", false}));
  EXPECT_EQ(pm.userPresets()[7].path, (lib / "Bass" / "Warm.fxp").string());

  pm.refreshUserPresets();
  EXPECT_EQ(groupsAndNames(pm), (std::vector<std::string>{"|Foreign", "|Init", "B|x", "Bass|Round", "Bass/Dark|Sub",
                                                          "Lib|Top", "Lib/Bass|Warm", "a|low"}));
}

TEST_F(PresetList, RefreshFollowsTheLoadedFile)
{
  PresetManager pm(ours, "Vemlor", user.string(), 100);
  const int low = 2 + 5; // "a|low"
  ASSERT_EQ(pm.identityForListIndex(low).name, (user / "a" / "low.fxp").string());
  pm.applyIdx(low);
  EXPECT_EQ(pm.currentName(), "low");
  EXPECT_EQ(pm.currentGroup(), "a");

  fs::remove(user / "Init.fxp");
  pm.refreshUserPresets();
  EXPECT_EQ(pm.currentIndex(), low - 1);

  fs::remove(user / "a" / "low.fxp");
  pm.refreshUserPresets();
  EXPECT_EQ(pm.currentIndex(), -1);
  EXPECT_EQ(pm.currentName(), "");

  pm.applyIdx(1);
  EXPECT_EQ(pm.currentName(), "Beta");
  EXPECT_EQ(pm.currentGroup(), "Grp");
}

TEST(PresetFolder, OpenCreatesTheFolderAndPassesItAsOneArgument)
{
  test::TempDir dir;
  FakePlugin plugin;
  const fs::path user = dir / "share" / "Vemlor" / "Presets";
  PresetManager pm(plugin, "Vemlor", user.string(), 100);
  std::vector<std::string> opened;
  pm.setFolderOpener([&](const std::string& folder) { opened.push_back(folder); });

  pm.openFolder();
  EXPECT_TRUE(fs::is_directory(user));
  const fs::path odd = dir / "it's \"$(touch pwned)\" `x`; y";
  pm.restoreLastUsedDir(odd.string()); // does not exist yet: ignored
  pm.openFolder();
  fs::create_directories(odd);
  pm.restoreLastUsedDir(odd.string());
  pm.openFolder();
  EXPECT_EQ(opened, (std::vector<std::string>{user.string(), user.string(), odd.string()}));
}

TEST(PresetFolder, ProgramsStartWithoutAShell)
{
  test::TempDir dir;
  const fs::path odd = dir / "a \"$(touch injected)\"; touch injected2 `id`";
  const int pid = plugkit::SpawnWithoutShell("touch", odd.string());
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(fs::exists(odd)); // the whole text was one file name
  EXPECT_FALSE(fs::exists("injected"));
  EXPECT_FALSE(fs::exists(dir / "injected2"));
  EXPECT_EQ(plugkit::SpawnWithoutShell("/nonexistent/program", "x"), -1);
}

TEST(PresetNames, ParseNameSplitsAtTheFirstSlash)
{
  const struct
  {
    const char* text;
    const char* group;
    const char* name;
  } cases[] = {
    {"Plain", "", "Plain"}, {"Bass/Deep", "Bass", "Deep"}, {"A/B/C", "A", "B/C"}, {"/x", "", "x"}, {"", "", ""}};
  for (const auto& c : cases)
    EXPECT_EQ(PresetManager::parseName(c.text), std::make_pair(std::string(c.group), std::string(c.name))) << c.text;
}

} // namespace
} // namespace zarvo
