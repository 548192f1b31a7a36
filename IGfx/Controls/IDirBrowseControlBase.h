// The base of controls that offer the matching files of one or more folders as a menu: the menu tree
// mirrors the folders, entries sorted by name, and each file entry's tag indexes its full path.
#pragma once

#include <string>
#include <vector>

#include "IGfx/IContainerBase.h"
#include "IGfx/IPopupMenu.h"

namespace plugkit::gfx {

// Main thread only. Derived controls show the menu and draw themselves.
class IDirBrowseControlBase : public IContainerBase
{
public:
  // extension: without the dot, e.g. "fxp".
  IDirBrowseControlBase(const IRECT& bounds, const char* extension, bool showFileExtensions = true,
                        bool scanRecursively = true, bool showEmptySubmenus = false);

  // The label names the folder's submenu when there are several folders.
  void AddPath(const char* path, const char* label);
  void ClearPathList();
  // Scans every folder again and rebuilds the menu; nothing is selected afterwards.
  void SetupMenu();
  // Number of files listed.
  int NItems() const { return static_cast<int>(mItems.size()); }
  // Selects the entry of the file with exactly this path, or nothing.
  void SetSelectedFile(const char* path);
  // The selected file's full path, or empty.
  void GetSelectedFile(TextString& path) const;
  // Checks the selected entry alone in the menu.
  void CheckSelectedItem();
  int GetSelectedItemIdx() const { return mSelectedItemIdx; }
  IPopupMenu& GetMainMenu() { return mMainMenu; }

protected:
  void ScanDirectory(const char* path, IPopupMenu& menu);
  // Every file entry, depth first in menu order.
  void CollectItems(IPopupMenu& menu);

  bool mScanRecursively;
  bool mShowFileExtensions;
  bool mShowEmptySubmenus;
  int mSelectedItemIdx = -1;
  IPopupMenu mMainMenu;
  std::vector<TextString> mPaths;
  std::vector<TextString> mPathLabels;
  std::vector<TextString> mFiles;
  std::vector<IPopupMenu::Item*> mItems; // not owned: the menu tree owns them
  TextString mExtension;

private:
  // Resolved paths of the folders being scanned, outermost first: a link chain leading back into
  // one of them is not followed.
  std::vector<std::string> mScanStack;
};

} // namespace plugkit::gfx
