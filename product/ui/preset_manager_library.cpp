#include "product/ui/preset_manager_library.h"

namespace vemlor::ui {

// Undo past the protected entries is refused, so they do not count.
bool PresetManagerLibrary::canUndo() const
{
  return mManager.editPending() || static_cast<int>(mManager.undoStack().size()) > mManager.undoFloor();
}

std::vector<zarvo::ui::PresetLibrary::BrowseEntry> PresetManagerLibrary::browseEntries() const
{
  std::vector<BrowseEntry> out;
  for (const zarvo::PresetManager::BrowseEntry& e : mManager.browseEntries())
    out.push_back(BrowseEntry{e.listIndex, e.group, e.name, e.factory});
  return out;
}

} // namespace vemlor::ui
