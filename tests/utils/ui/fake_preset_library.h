// A preset library in memory that records what the strip and browser asked of it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "utils/ui/PresetLibrary.h"

namespace zarvo::ui::test {

class FakePresetLibrary : public PresetLibrary
{
public:
  // Factory presets as "group/name" or "name", then user presets the same way.
  FakePresetLibrary(std::vector<std::string> factory = {}, std::vector<std::string> user = {})
    : factoryNames(std::move(factory))
    , userNames(std::move(user))
  {}

  int factoryCount() const override { return static_cast<int>(factoryNames.size()); }
  int userCount() const override { return static_cast<int>(userNames.size()); }
  int currentIndex() const override { return current; }
  std::string currentName() const override { return split(fullName(current)).second; }
  std::string currentGroup() const override { return split(fullName(current)).first; }
  bool isEdited() const override { return edited; }
  bool canUndo() const override { return undoable; }
  bool canRedo() const override { return redoable; }
  bool navigationLocked() const override { return navLocked; }
  bool fileLoadLocked() const override { return loadLocked; }
  std::string userPresetFolder() const override { return userFolder; }
  std::string lastUsedFolder() const override { return lastFolder; }
  std::vector<BrowseEntry> browseEntries() const override
  {
    std::vector<BrowseEntry> out;
    for (int i = 0; i < factoryCount() + userCount(); ++i)
    {
      const auto [group, name] = split(fullName(i));
      out.push_back({i, group, name, i < factoryCount()});
    }
    return out;
  }

  void navigateTo(int index) override
  {
    calls.push_back("navigateTo " + std::to_string(index));
    current = index;
  }
  void undo() override { calls.push_back("undo"); }
  void redo() override { calls.push_back("redo"); }
  void saveToFile(const std::string& path) override { calls.push_back("save " + path); }
  void loadFromFile(const std::string& path) override { calls.push_back("load " + path); }
  void addFolder(const std::string& folder) override { calls.push_back("addFolder " + folder); }
  void openFolder() override { calls.push_back("openFolder"); }
  void refreshUserPresets() override
  {
    calls.push_back("refresh");
    if (onRefresh)
      onRefresh();
  }

  std::string fullName(int index) const
  {
    if (index >= 0 && index < factoryCount())
      return factoryNames[static_cast<size_t>(index)];
    if (index >= factoryCount() && index < factoryCount() + userCount())
      return userNames[static_cast<size_t>(index - factoryCount())];
    return {};
  }
  // The group is everything before the last "/".
  static std::pair<std::string, std::string> split(const std::string& full)
  {
    const size_t slash = full.rfind('/');
    if (slash == std::string::npos)
      return {"", full};
    return {full.substr(0, slash), full.substr(slash + 1)};
  }

  std::vector<std::string> factoryNames;
  std::vector<std::string> userNames;
  int current = -1;
  bool edited = false;
  bool undoable = false;
  bool redoable = false;
  bool navLocked = false;
  bool loadLocked = false;
  std::string userFolder = "/tmp/presets";
  std::string lastFolder;
  std::function<void()> onRefresh;
  std::vector<std::string> calls;
};

} // namespace zarvo::ui::test
