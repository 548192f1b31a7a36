// The preset manager as the preset strip and browser use it: the list, the loaded entry, undo and
// redo, preset files and folders. The product hands in an adapter over its manager.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarvo::ui {

// Main thread only.
class PresetLibrary
{
public:
  struct BrowseEntry
  {
    int32_t index = -1; // position in the preset list
    std::string group;  // "/" between folder levels; may be empty
    std::string name;
    bool factory = false;
    bool operator==(const BrowseEntry&) const = default;
  };

  virtual ~PresetLibrary() = default;

  // The list: factory presets first (indices 0 .. factoryCount - 1), then the user presets.
  virtual int factoryCount() const = 0;
  virtual int userCount() const = 0;
  // -1 when the patch is no entry of the list.
  virtual int currentIndex() const = 0;
  virtual std::string currentName() const = 0;
  virtual std::string currentGroup() const = 0;
  // An edit not yet committed, or a patch that differs from the loaded preset.
  virtual bool isEdited() const = 0;
  virtual bool canUndo() const = 0;
  virtual bool canRedo() const = 0;
  // While true the strip dims stepping and the name, and ignores clicks on the name.
  virtual bool navigationLocked() const = 0;
  // While true the strip dims its load button.
  virtual bool fileLoadLocked() const = 0;
  virtual std::string userPresetFolder() const = 0;
  // Empty until a file or folder was used.
  virtual std::string lastUsedFolder() const = 0;
  // Factory entries first, then the user presets, in list order.
  virtual std::vector<BrowseEntry> browseEntries() const = 0;

  virtual void navigateTo(int index) = 0;
  virtual void undo() = 0;
  virtual void redo() = 0;
  virtual void saveToFile(const std::string& path) = 0;
  virtual void loadFromFile(const std::string& path) = 0;
  virtual void addFolder(const std::string& folder) = 0;
  virtual void openFolder() = 0;
  virtual void refreshUserPresets() = 0;
};

} // namespace zarvo::ui
