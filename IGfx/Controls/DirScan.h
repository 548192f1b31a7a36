// A small folder iterator for the directory-browse controls: entry names, full paths, and whether an
// entry is a folder, a linked folder, or a link back to the folder being scanned or an ancestor.
#pragma once

#include <dirent.h>

#include <string>

#include "IPlugin/TextString.h"

namespace plugkit::gfx {

// Main thread only.
class DirScan
{
public:
  enum EDirKind
  {
    kNotDir = 0,
    kDir = 1,
    kLinkedDir = 2,
    // A link to the scanned folder itself or one of its ancestors: descending it would never end.
    kLinkToAncestor = 4
  };

  DirScan() = default;
  ~DirScan();
  DirScan(const DirScan&) = delete;
  DirScan& operator=(const DirScan&) = delete;

  // Opens path (one trailing separator dropped) and reads its first entry; 0 when there is one.
  // Paths shorter than two characters fail.
  int First(const char* path);
  // 0 when there is another entry, non-zero at the end.
  int Next();
  const char* GetCurrentFN() const { return mName.c_str(); }
  // Folder path, "/", name.
  void GetCurrentFullFN(TextString& out) const;
  // An EDirKind.
  int GetCurrentIsDirectory() const;

private:
  void Close();

  DIR* mDir = nullptr;
  std::string mPath;
  std::string mName;
  unsigned char mType = 0;
};

} // namespace plugkit::gfx
