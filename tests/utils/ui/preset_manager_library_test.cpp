// The preset manager as the strip and browser see it: list counts, browse entries, the edited flag
// and undo that stops at the protected entries.
#include <gtest/gtest.h>

#include "product/ui/preset_manager_library.h"
#include "tests/product/patch/fake_plugin.h"
#include "tests/support/temp_dir.h"

namespace vemlor::ui::test {
namespace {

TEST(PresetManagerLibrary, ReadsTheManagersListAndHistory)
{
  zarvo::test::FakePlugin plugin(zarvo::test::FakePlugin::kOurId, 2);
  plugin.addPresetSlot("BASS/Deep", 1.0);
  plugin.addPresetSlot("Init", 2.0);
  zarvo::test::TempDir dir;
  zarvo::PresetManager manager(plugin, "Vemlor", dir.path().string(), 8);
  plugin.manager = &manager;
  plugin.installCallbacks();
  PresetManagerLibrary library(manager);

  EXPECT_EQ(library.factoryCount(), 2);
  EXPECT_EQ(library.userCount(), 0);
  EXPECT_EQ(library.browseEntries(),
            (std::vector<zarvo::ui::PresetLibrary::BrowseEntry>{{0, "BASS", "Deep", true}, {1, "", "Init", true}}));
  EXPECT_FALSE(library.canUndo());
  EXPECT_FALSE(library.isEdited());

  library.navigateTo(0);
  EXPECT_EQ(library.currentIndex(), 0);
  EXPECT_EQ(library.currentGroup(), "BASS");
  EXPECT_EQ(library.currentName(), "Deep");
  EXPECT_TRUE(library.canUndo());

  plugin.edit(5.0);
  EXPECT_TRUE(library.isEdited());
  manager.setUndoFloor(static_cast<int>(manager.undoStack().size()));
  EXPECT_TRUE(library.canUndo()); // the pending edit can still be undone
  library.undo();
  EXPECT_FALSE(library.canUndo()); // only protected entries are left
  EXPECT_TRUE(library.canRedo());

  EXPECT_FALSE(library.navigationLocked());
  manager.setStripStateQueries([] { return true; }, [] { return false; });
  EXPECT_TRUE(library.navigationLocked());
  EXPECT_FALSE(library.fileLoadLocked());
}

} // namespace
} // namespace vemlor::ui::test
