#include "product/patch/preset_manager.h"

#include "tests/product/patch/fake_plugin.h"

#include <gtest/gtest.h>

#include <memory>

namespace zarvo {
namespace {

using plugkit::EParamSource;
using test::FakePlugin;

double soundIn(const plugkit::IByteChunk& state)
{
  double v = -1.0;
  state.Get(v, 0);
  return v;
}

class History : public ::testing::Test
{
protected:
  void SetUp() override
  {
    plugin.addPresetSlot("Init", 0.25);
    make(100);
  }

  void make(int depth)
  {
    pm = std::make_unique<PresetManager>(plugin, "Vemlor", "", depth);
    plugin.manager = pm.get();
    plugin.installCallbacks();
  }

  void commitEdit(double sound)
  {
    plugin.edit(sound);
    pm->commitDirtyEdit();
  }

  FakePlugin plugin{FakePlugin::kOurId, 1};
  std::unique_ptr<PresetManager> pm;
};

TEST_F(History, BoundedStackKeepsTheNewest)
{
  for (int i = 0; i < 101; ++i)
  {
    plugin.GetParam(0)->Set(i);
    pm->pushUndo();
  }
  ASSERT_EQ(pm->undoStack().size(), 100u);
  EXPECT_EQ(soundIn(pm->undoStack().front().state), 100.0);
  EXPECT_EQ(soundIn(pm->undoStack().back().state), 1.0);
}

TEST_F(History, UndoWithAPendingEditRevertsOnlyThatEdit)
{
  commitEdit(1.0);
  commitEdit(2.0);
  plugin.edit(3.0);
  ASSERT_EQ(pm->undoStack().size(), 2u);

  pm->undo();
  EXPECT_EQ(plugin.sound(), 2.0);
  EXPECT_EQ(pm->undoStack().size(), 2u);
  EXPECT_FALSE(pm->editPending());
  pm->undo();
  EXPECT_EQ(plugin.sound(), 1.0);

  pm->redo();
  EXPECT_EQ(plugin.sound(), 2.0);
  pm->redo();
  EXPECT_EQ(plugin.sound(), 3.0);
  EXPECT_TRUE(pm->editPending()); // it comes back as the uncommitted edit it was
  pm->undo();
  EXPECT_EQ(plugin.sound(), 2.0);
}

TEST_F(History, UndoStopsAtTheFloor)
{
  commitEdit(1.0);
  commitEdit(2.0);
  pm->setUndoFloor(static_cast<int>(pm->undoStack().size())); // e.g. the morph field switched on
  commitEdit(3.0);
  pm->undo();
  EXPECT_EQ(plugin.sound(), 2.0);
  pm->undo();
  EXPECT_EQ(plugin.sound(), 2.0);
  EXPECT_EQ(pm->undoStack().size(), 2u);

  // Entries dropped off the far end take the floor down with them.
  make(2);
  commitEdit(4.0);
  commitEdit(5.0);
  pm->setUndoFloor(2);
  commitEdit(6.0);
  EXPECT_EQ(pm->undoFloor(), 1);
  pm->undo();
  EXPECT_EQ(plugin.sound(), 5.0);
  pm->undo();
  EXPECT_EQ(plugin.sound(), 5.0);
}

TEST_F(History, OnlyEditorChangesMarkEditsOrClearRedo)
{
  const struct
  {
    const char* name;
    EParamSource source;
    bool marks;
  } cases[] = {
    {"host automation", EParamSource::kHost, false},
    {"preset recall", EParamSource::kPresetRecall, false},
    {"reset", EParamSource::kReset, false},
    {"pushed to the editor", EParamSource::kDelegate, false},
    {"editor", EParamSource::kUI, true},
  };
  for (const auto& c : cases)
  {
    make(100);
    commitEdit(1.0);
    pm->undo();
    ASSERT_EQ(pm->redoStack().size(), 1u);
    pm->onParamChanged(c.source);
    EXPECT_EQ(pm->editPending(), c.marks) << c.name;
    EXPECT_EQ(pm->redoStack().size(), c.marks ? 0u : 1u) << c.name;
    EXPECT_EQ(pm->patchIdentity().modified, c.marks) << c.name;
  }
}

TEST_F(History, CommittedEditsMarkTheEntryAndHostRestoresForgetHistory)
{
  pm->navigateTo(0);
  EXPECT_FALSE(pm->patchIdentity().modified);
  commitEdit(7.0);
  EXPECT_TRUE(pm->isModified());
  pm->undo();
  EXPECT_FALSE(pm->patchIdentity().modified);
  EXPECT_EQ(pm->currentIndex(), 0);

  plugin.OnRestoreState(); // the host loaded a project
  EXPECT_TRUE(pm->undoStack().empty());
  EXPECT_TRUE(pm->redoStack().empty());
}

TEST_F(History, StepsKeepTheControllerMapUnlessTheyChangedIt)
{
  plugin.ccMap = 1;
  plugin.GetParam(0)->Set(0.5);
  pm->captureBaseline();
  pm->navigateTo(0);
  plugin.ccMap = 5; // learned after the load
  pm->undo();
  EXPECT_EQ(plugin.sound(), 0.5);
  EXPECT_EQ(plugin.ccMap, 5);

  pm->recordCCUndoStep();
  plugin.ccMap = 9;
  pm->undo();
  EXPECT_EQ(plugin.ccMap, 5);
  pm->redo();
  EXPECT_EQ(plugin.ccMap, 9);
}

TEST_F(History, CommitFromStateTrimsToTheDepthAndLeavesTheList)
{
  pm->navigateTo(0);
  const int depth = static_cast<int>(pm->undoStack().size());
  plugkit::IByteChunk before;
  plugin.SerializeState(before);
  commitEdit(1.0); // steps of an operation in progress
  commitEdit(2.0);
  pm->commitFromState(before, depth);
  ASSERT_EQ(pm->undoStack().size(), static_cast<size_t>(depth) + 1);
  EXPECT_EQ(pm->currentIndex(), -1);
  pm->undo();
  EXPECT_EQ(plugin.sound(), soundIn(before));
}

} // namespace
} // namespace zarvo
