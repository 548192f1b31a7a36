// The plug-in's preset manager as the shared preset strip and browser see it.
#pragma once

#include "product/patch/preset_manager.h"
#include "utils/ui/PresetLibrary.h"

namespace vemlor::ui {

// Main thread only. Holds the manager by reference; lives as long as the plug-in.
class PresetManagerLibrary final : public zarvo::ui::PresetLibrary
{
public:
  explicit PresetManagerLibrary(zarvo::PresetManager& manager)
    : mManager(manager)
  {}

  int factoryCount() const override { return mManager.factoryCount(); }
  int userCount() const override { return mManager.listSize() - mManager.factoryCount(); }
  int currentIndex() const override { return mManager.currentIndex(); }
  std::string currentName() const override { return mManager.currentName(); }
  std::string currentGroup() const override { return mManager.currentGroup(); }
  bool isEdited() const override { return mManager.editPending() || mManager.isModified(); }
  bool canUndo() const override;
  bool canRedo() const override { return !mManager.redoStack().empty(); }
  bool navigationLocked() const override { return mManager.stripStateQueryA(); }
  bool fileLoadLocked() const override { return mManager.stripStateQueryB(); }
  std::string userPresetFolder() const override { return mManager.userPresetDir(); }
  std::string lastUsedFolder() const override { return mManager.lastUsedDir(); }
  std::vector<BrowseEntry> browseEntries() const override;

  void navigateTo(int index) override { mManager.navigateTo(index); }
  void undo() override { mManager.undo(); }
  void redo() override { mManager.redo(); }
  void saveToFile(const std::string& path) override { mManager.saveToFile(path); }
  void loadFromFile(const std::string& path) override { mManager.loadFromFile(path); }
  void addFolder(const std::string& folder) override { mManager.addFolder(folder); }
  void openFolder() override { mManager.openFolder(); }
  void refreshUserPresets() override { mManager.refreshUserPresets(); }

private:
  zarvo::PresetManager& mManager;
};

} // namespace vemlor::ui
