// Reading preset folders: what cannot be read is left out and counted while the rest is listed, the
// walk's descriptors stay bounded at any depth, and instances share one walk of an unchanged library.
#include "product/patch/preset_library_cache.h"
#include "product/patch/preset_manager.h"

#include "tests/product/patch/fake_plugin.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zarvo {
namespace {

namespace fs = std::filesystem;
using test::FakePlugin;

std::vector<std::string> groupsAndNames(const std::vector<PresetManager::UserPreset>& presets)
{
  std::vector<std::string> out;
  for (const PresetManager::UserPreset& p : presets)
    out.push_back(p.group + "|" + p.name);
  return out;
}

// The lowest descriptor number a new open would get.
int lowestFreeDescriptor()
{
  const int fd = ::dup(0);
  ::close(fd);
  return fd;
}

// Restores the descriptor limit the test lowered.
class DescriptorLimit
{
public:
  DescriptorLimit() { ::getrlimit(RLIMIT_NOFILE, &mSaved); }
  ~DescriptorLimit() { restore(); }
  DescriptorLimit(const DescriptorLimit&) = delete;
  DescriptorLimit& operator=(const DescriptorLimit&) = delete;

  // No descriptor beyond `spare` more than are open now can be opened.
  void lowerTo(int spare)
  {
    rlimit low = mSaved;
    low.rlim_cur = static_cast<rlim_t>(lowestFreeDescriptor() + spare);
    ::setrlimit(RLIMIT_NOFILE, &low);
  }
  void restore() { ::setrlimit(RLIMIT_NOFILE, &mSaved); }

private:
  rlimit mSaved{};
};

// Folders changed an hour ago: a library the user built earlier, not one being written now.
void ageFolders(const fs::path& root)
{
  const auto earlier = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root))
    if (e.is_directory())
      fs::last_write_time(e.path(), earlier);
  fs::last_write_time(root, earlier);
}

struct FailureCase
{
  const char* what;
  // Acts on each folder just before the walk opens it.
  std::function<void(const fs::path& failing, const std::string& opening, DescriptorLimit&)> beforeOpen;
  bool failingListed; // whether the preset in the failing folder is still listed
  bool reusable;      // whether the next instance may take the walk as it is
};

class PresetScanFailure : public ::testing::TestWithParam<FailureCase>
{};

TEST_P(PresetScanFailure, IsSkippedAndCountedWhileTheRestIsListed)
{
  test::TempDir dir;
  const fs::path root = dir / "Presets";
  for (const char* group : {"A", "B", "C"})
    test::writeBytes(root / group / (std::string(group) + ".fxp"), "CcnK");
  test::writeBytes(root / "Top.fxp", "CcnK");
  fs::create_directory_symlink(dir / "nowhere", root / "Gone");
  ageFolders(root);

  DescriptorLimit limit;
  PresetFolderWalkOptions options;
  options.beforeOpen = [&](const std::string& folder) { GetParam().beforeOpen(root / "B", folder, limit); };
  const PresetFolderScan scan = walkPresetFolder({root.string(), "", false}, options);
  limit.restore();

  std::vector<std::string> expected = {"|Top", "A|A", "B|B", "C|C"};
  if (!GetParam().failingListed)
    std::erase(expected, "B|B");
  EXPECT_EQ(groupsAndNames(scan.presets), expected);
  // The link that leads nowhere, and the failing folder when there is one.
  EXPECT_EQ(scan.skipped, GetParam().failingListed ? 1 : 2);
  EXPECT_EQ(scan.reusable, GetParam().reusable);
}

INSTANTIATE_TEST_SUITE_P(
  Kinds, PresetScanFailure,
  ::testing::Values(FailureCase{"NothingElseFails", [](const fs::path&, const std::string&, DescriptorLimit&) {}, true,
                                true},
                    FailureCase{"FolderRemovedMidWalk",
                                [](const fs::path& failing, const std::string& opening, DescriptorLimit&) {
                                  if (opening == failing.string())
                                    fs::remove_all(failing);
                                },
                                false, true},
                    FailureCase{"NoDescriptorLeft",
                                [](const fs::path& failing, const std::string& opening, DescriptorLimit& limit) {
                                  if (opening == failing.string())
                                    limit.lowerTo(0);
                                  else
                                    limit.restore();
                                },
                                false, false}),
  [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.what); });

TEST(PresetScan, ManagerListsTheRestAndKeepsTheCountOfWhatItSkipped)
{
  test::TempDir dir;
  const fs::path user = dir / "Presets";
  test::writeBytes(user / "Init.fxp", "CcnK");
  test::writeBytes(user / "Bass" / "Sub.fxp", "CcnK");
  fs::create_symlink(dir / "missing.fxp", user / "Lost.fxp");
  FakePlugin plugin;
  PresetManager pm(plugin, "Vemlor", user.string(), 100);
  EXPECT_EQ(groupsAndNames(pm.userPresets()), (std::vector<std::string>{"|Init", "Bass|Sub"}));
  EXPECT_EQ(pm.scanSkipped(), 1);

  fs::remove(user / "Lost.fxp");
  pm.refreshUserPresets();
  EXPECT_EQ(pm.scanSkipped(), 0);
  EXPECT_EQ(pm.listSize(), 2);
}

// 1,100 nested folders with our presets at the middle and the bottom, walked with four spare
// descriptors; a walk holding one descriptor per level ran out a thousand levels short.
TEST(PresetScan, DeepTreeIsWalkedWithFewDescriptors)
{
  constexpr int kDepth = 1100;
  test::TempDir dir;
  const fs::path root = dir / "Deep";
  FakePlugin plugin;
  fs::path folder = root;
  std::vector<fs::path> levels;
  fs::create_directory(root);
  for (int level = 0; level < kDepth; ++level)
  {
    folder /= "d";
    levels.push_back(folder);
    fs::create_directory(folder);
  }
  ASSERT_TRUE(plugin.SavePresetAsFXP((levels[kDepth / 2] / "Middle.fxp").c_str()));
  ASSERT_TRUE(plugin.SavePresetAsFXP((folder / "Bottom.fxp").c_str()));

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0)
  {
    DescriptorLimit limit;
    limit.lowerTo(4);
    PresetManager pm(plugin, "Vemlor", "", 100);
    const int added = pm.addFolder(root.string()); // our files only: each one is opened to check
    ::_exit(added == 2 && pm.scanSkipped() == 0 ? 0 : 10 + std::min(added, 9) + 20 * std::min(pm.scanSkipped(), 9));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10 + presets found + 20 x skipped";

  // Removed bottom up: removing it recursively would itself need a descriptor per level.
  fs::remove(levels[kDepth / 2] / "Middle.fxp");
  fs::remove(folder / "Bottom.fxp");
  for (auto it = levels.rbegin(); it != levels.rend(); ++it)
    ::rmdir(it->c_str());
}

class SharedLibrary : public ::testing::Test
{
protected:
  void SetUp() override
  {
    test::writeBytes(user / "Init.fxp", "CcnK");
    test::writeBytes(user / "Bass" / "Sub.fxp", "CcnK");
    test::writeBytes(user / "Lead" / "Saw.fxp", "CcnK");
    ageFolders(user);
  }

  int64_t walks() const { return PresetLibraryCache::instance().walks(); }

  test::TempDir dir;
  fs::path user = dir / "Presets";
  FakePlugin plugin;
};

TEST_F(SharedLibrary, InstancesShareOneWalkUntilAFolderChanges)
{
  const int64_t before = walks();
  PresetManager first(plugin, "Vemlor", user.string(), 100);
  PresetManager second(plugin, "Vemlor", user.string(), 100);
  EXPECT_EQ(walks(), before + 1);
  EXPECT_EQ(second.userPresets(), first.userPresets());
  EXPECT_EQ(second.listSize(), 3);

  // A preset saved into a group folder changes that folder: the next instance reads the library.
  test::writeBytes(user / "Bass" / "Deep.fxp", "CcnK");
  PresetManager third(plugin, "Vemlor", user.string(), 100);
  EXPECT_EQ(walks(), before + 2);
  EXPECT_EQ(groupsAndNames(third.userPresets()),
            (std::vector<std::string>{"|Init", "Bass|Deep", "Bass|Sub", "Lead|Saw"}));

  // A group folder removed changes the folder above it.
  ageFolders(user);
  PresetManager fourth(plugin, "Vemlor", user.string(), 100);
  const int64_t settled = walks();
  fs::remove_all(user / "Lead");
  PresetManager fifth(plugin, "Vemlor", user.string(), 100);
  EXPECT_EQ(walks(), settled + 1);
  EXPECT_EQ(groupsAndNames(fifth.userPresets()), (std::vector<std::string>{"|Init", "Bass|Deep", "Bass|Sub"}));
}

TEST_F(SharedLibrary, BrowserOpeningReadsTheFoldersAgain)
{
  PresetManager pm(plugin, "Vemlor", user.string(), 100);
  const int64_t before = walks();
  pm.refreshUserPresets();
  EXPECT_EQ(walks(), before + 1);
}

TEST_F(SharedLibrary, FolderChangedJustBeforeTheWalkIsReadAgain)
{
  // Written now: a change in the same tick of a coarse clock would keep the folder's time stamp.
  test::writeBytes(user / "Fresh.fxp", "CcnK");
  PresetManager first(plugin, "Vemlor", user.string(), 100);
  const int64_t before = walks();
  PresetManager second(plugin, "Vemlor", user.string(), 100);
  EXPECT_EQ(walks(), before + 1);
  EXPECT_EQ(second.listSize(), 4);
}

} // namespace
} // namespace zarvo
