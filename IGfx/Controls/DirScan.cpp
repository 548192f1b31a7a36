#include "IGfx/Controls/DirScan.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace plugkit::gfx {

namespace {

// True when ancestor is path itself or a leading part of it that ends at a separator; letter case is
// ignored.
bool IsSameOrAncestor(const std::string& ancestor, const std::string& path)
{
  std::string a = ancestor;
  while (a.size() > 1 && a.back() == '/')
    a.pop_back();
  if (a.size() > path.size() || strncasecmp(a.c_str(), path.c_str(), a.size()) != 0)
    return false;
  return path.size() == a.size() || path[a.size()] == '/' || a == "/";
}

std::string Resolved(const std::string& path)
{
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

} // namespace

DirScan::~DirScan() { Close(); }

void DirScan::Close()
{
  if (mDir)
    closedir(mDir);
  mDir = nullptr;
  mName.clear();
  mType = 0;
}

int DirScan::First(const char* path)
{
  Close();
  if (!path || std::strlen(path) < 2)
    return -1;
  mPath = path;
  if (mPath.back() == '/' || mPath.back() == '\\')
    mPath.pop_back();
  mDir = opendir(mPath.c_str());
  if (!mDir)
    return -1;
  return Next();
}

int DirScan::Next()
{
  if (!mDir)
    return -1;
  const dirent* entry = readdir(mDir);
  if (!entry)
  {
    mName.clear();
    mType = 0;
    return 1;
  }
  mName = entry->d_name;
  mType = entry->d_type;
  return 0;
}

void DirScan::GetCurrentFullFN(TextString& out) const
{
  out.Set(mPath.c_str());
  out.Append("/");
  out.Append(mName.c_str());
}

int DirScan::GetCurrentIsDirectory() const
{
  if (mName.empty())
    return kNotDir;
  const std::string full = mPath + "/" + mName;
  struct stat st = {};
  switch (mType)
  {
  case DT_DIR: return kDir;
  case DT_UNKNOWN: return stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kDir : kNotDir;
  case DT_LNK:
  {
    if (stat(full.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      return kNotDir;
    const std::string target = Resolved(full);
    if (target.empty())
      return kNotDir;
    // The scanned path as given holds the chain of links followed to get here; its resolved form
    // catches a link to an ancestor of a folder that was itself reached through a link.
    const std::string resolvedPath = Resolved(mPath);
    if (IsSameOrAncestor(target, mPath) || (!resolvedPath.empty() && IsSameOrAncestor(target, resolvedPath)))
      return kLinkToAncestor;
    return kLinkedDir;
  }
  default: return kNotDir;
  }
}

} // namespace plugkit::gfx
