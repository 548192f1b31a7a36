#include "IGfx/Controls/IDirBrowseControlBase.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "IGfx/Controls/DirScan.h"

namespace plugkit::gfx {

IDirBrowseControlBase::IDirBrowseControlBase(const IRECT& bounds, const char* extension, bool showFileExtensions,
                                             bool scanRecursively, bool showEmptySubmenus)
  : IContainerBase(bounds)
  , mScanRecursively(scanRecursively)
  , mShowFileExtensions(showFileExtensions)
  , mShowEmptySubmenus(showEmptySubmenus)
  , mExtension(extension ? extension : "")
{}

void IDirBrowseControlBase::AddPath(const char* path, const char* label)
{
  mPaths.emplace_back(path ? path : "");
  mPathLabels.emplace_back(label ? label : "");
}

void IDirBrowseControlBase::ClearPathList()
{
  mPaths.clear();
  mPathLabels.clear();
  mFiles.clear();
  mItems.clear();
}

void IDirBrowseControlBase::SetupMenu()
{
  mFiles.clear();
  mItems.clear();
  mMainMenu.Clear();
  mSelectedItemIdx = -1;

  if (mPaths.size() == 1)
    ScanDirectory(mPaths[0].Get(), mMainMenu);
  else if (mPaths.size() > 1)
  {
    for (size_t i = 0; i < mPaths.size(); ++i)
    {
      auto* submenu = new IPopupMenu();
      mMainMenu.AddItem(mPathLabels[i].Get(), static_cast<int>(i), submenu);
      ScanDirectory(mPaths[i].Get(), *submenu);
    }
    // A folder that could not be read, or held nothing that matched.
    if (!mShowEmptySubmenus)
      mMainMenu.RemoveEmptySubmenus();
  }
  CollectItems(mMainMenu);
}

namespace {

std::string Canonical(const char* path)
{
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::canonical(path, ec);
  return ec ? std::string() : p.string();
}

} // namespace

void IDirBrowseControlBase::ScanDirectory(const char* path, IPopupMenu& menu)
{
  const std::string ext = mExtension.Get();
  mScanStack.push_back(Canonical(path));
  DirScan scan;
  for (int more = scan.First(path); more == 0; more = scan.Next())
  {
    const std::string name = scan.GetCurrentFN();
    if (name.empty() || name[0] == '.')
      continue;
    TextString full;
    scan.GetCurrentFullFN(full);
    const int isDir = scan.GetCurrentIsDirectory();
    if (isDir != DirScan::kNotDir)
    {
      // A link back to this folder or an ancestor would never end.
      const bool loops = isDir == DirScan::kLinkToAncestor ||
                         std::find(mScanStack.begin(), mScanStack.end(), Canonical(full.Get())) != mScanStack.end();
      if (mScanRecursively && !loops)
      {
        auto* submenu = new IPopupMenu();
        menu.AddItem(name.c_str(), IPopupMenu::kSorted, submenu);
        ScanDirectory(full.Get(), *submenu);
      }
      // A folder is never a file, whatever its name.
      continue;
    }
    if (ext.empty())
      continue;
    // "name.ext": the extension ends the name and follows a dot that is not the first character.
    const size_t pos = name.rfind(ext);
    if (pos == std::string::npos || pos < 2 || pos + ext.size() != name.size() || name[pos - 1] != '.')
      continue;
    const std::string text = mShowFileExtensions ? name : name.substr(0, pos - 1);
    menu.AddItem(new IPopupMenu::Item(text.c_str(), IPopupMenu::Item::kNoFlags, static_cast<int>(mFiles.size())),
                 IPopupMenu::kSorted);
    mFiles.push_back(full);
  }
  if (!mShowEmptySubmenus)
    menu.RemoveEmptySubmenus();
  mScanStack.pop_back();
}

void IDirBrowseControlBase::CollectItems(IPopupMenu& menu)
{
  for (int i = 0; i < menu.NItems(); ++i)
  {
    IPopupMenu::Item* item = menu.GetItem(i);
    if (IPopupMenu* submenu = item->GetSubmenu())
      CollectItems(*submenu);
    else
      mItems.push_back(item);
  }
}

void IDirBrowseControlBase::SetSelectedFile(const char* path)
{
  mSelectedItemIdx = -1;
  if (!path)
    return;
  for (size_t i = 0; i < mItems.size(); ++i)
  {
    const int tag = mItems[i]->GetTag();
    if (tag >= 0 && tag < static_cast<int>(mFiles.size()) &&
        std::strcmp(mFiles[static_cast<size_t>(tag)].Get(), path) == 0)
    {
      mSelectedItemIdx = static_cast<int>(i);
      return;
    }
  }
}

void IDirBrowseControlBase::GetSelectedFile(TextString& path) const
{
  path.Set("");
  if (mSelectedItemIdx < 0 || mSelectedItemIdx >= NItems())
    return;
  const int tag = mItems[static_cast<size_t>(mSelectedItemIdx)]->GetTag();
  if (tag >= 0 && tag < static_cast<int>(mFiles.size()))
    path.Set(mFiles[static_cast<size_t>(tag)].Get());
}

void IDirBrowseControlBase::CheckSelectedItem()
{
  if (mSelectedItemIdx >= 0 && mSelectedItemIdx < NItems())
    mMainMenu.CheckItemAlone(mItems[static_cast<size_t>(mSelectedItemIdx)]);
}

} // namespace plugkit::gfx
