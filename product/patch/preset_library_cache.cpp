// The preset folder walk and the process-wide store of walks.
#include "product/patch/preset_library_cache.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <deque>
#include <filesystem>
#include <string_view>
#include <tuple>
#include <utility>

namespace zarvo {

namespace fs = std::filesystem;

namespace {

// Time stamps of some file systems are this coarse (FAT keeps two seconds): a folder changed less
// than this before it was read may change again without a new time stamp.
constexpr int64_t kStampMarginSeconds = 2;

using FolderStamp = PresetFolderScan::FolderStamp;

FolderStamp stampOf(const std::string& path, const struct stat& st)
{
  return {path, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
          static_cast<int64_t>(st.st_mtim.tv_sec), static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

std::string joinPath(const std::string& folder, const std::string& name)
{
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

struct FolderEntry
{
  std::string name;
  unsigned char type = DT_UNKNOWN;
};

// Reads a folder's entries and closes it again before any of them is looked at, so the walk never
// holds more than this one descriptor. False when it could not be read to the end.
bool readFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::vector<FolderStamp>& stamps)
{
  DIR* dir = ::opendir(folder.c_str());
  if (!dir)
    return false;
  struct stat st = {};
  if (::fstat(::dirfd(dir), &st) == 0)
    stamps.push_back(stampOf(folder, st));
  bool complete = true;
  for (;;)
  {
    errno = 0;
    const dirent* e = ::readdir(dir);
    if (!e)
    {
      complete = errno == 0;
      break;
    }
    const std::string_view name(e->d_name);
    if (name != "." && name != "..")
      entries.push_back({std::string(name), e->d_type});
  }
  ::closedir(dir);
  return complete;
}

} // namespace

bool presetListOrder(const PresetManager::UserPreset& a, const PresetManager::UserPreset& b)
{
  // std::string compares bytes as unsigned values, and the empty group sorts first.
  return std::tie(a.group, a.name) < std::tie(b.group, b.name);
}

PresetFolderScan walkPresetFolder(const PresetManager::SourceFolder& source, const PresetFolderWalkOptions& options)
{
  PresetFolderScan out;
  timespec start{};
  ::clock_gettime(CLOCK_REALTIME, &start);

  std::deque<std::string> pending{std::string()}; // folders below the source, "/" between levels
  std::vector<FolderEntry> entries;
  while (!pending.empty())
  {
    const std::string relative = std::move(pending.front());
    pending.pop_front();
    const std::string folder = relative.empty() ? source.path : joinPath(source.path, relative);
    if (options.beforeOpen)
      options.beforeOpen(folder);
    entries.clear();
    if (!readFolder(folder, entries, out.folders))
      ++out.skipped; // what was read of it before the error is still listed
    std::string group = source.label;
    if (!relative.empty())
      group = source.label.empty() ? relative : source.label + "/" + relative;

    for (const FolderEntry& entry : entries)
    {
      const std::string path = joinPath(folder, entry.name);
      unsigned char type = entry.type;
      if (type == DT_UNKNOWN || type == DT_LNK)
      {
        struct stat st = {};
        if (::lstat(path.c_str(), &st) != 0)
        {
          ++out.skipped; // gone since the folder was read
          continue;
        }
        const bool link = S_ISLNK(st.st_mode);
        if (link && ::stat(path.c_str(), &st) != 0)
        {
          ++out.skipped; // a link that leads nowhere
          continue;
        }
        // A linked folder is not descended: it may lead back up the tree.
        type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) && !link ? DT_DIR : DT_UNKNOWN;
      }
      if (type == DT_DIR)
      {
        pending.push_back(relative.empty() ? entry.name : relative + "/" + entry.name);
        continue;
      }
      const fs::path name(entry.name);
      if (type != DT_REG || name.extension() != ".fxp")
        continue;
      if (options.accept && !options.accept(path))
        continue;
      out.presets.push_back({path, name.stem().string(), group});
    }
  }
  // The walk's order is the file system's; a fixed order keeps a batch stable.
  std::ranges::stable_sort(out.presets, presetListOrder);
  out.reusable = std::ranges::all_of(out.folders, [&](const FolderStamp& f) {
    return f.mtimeSeconds + kStampMarginSeconds <= static_cast<int64_t>(start.tv_sec);
  });
  return out;
}

bool presetFolderUnchanged(const PresetFolderScan& scan)
{
  return std::ranges::all_of(scan.folders, [](const FolderStamp& f) {
    struct stat st = {};
    return ::stat(f.path.c_str(), &st) == 0 && stampOf(f.path, st) == f;
  });
}

PresetLibraryCache& PresetLibraryCache::instance()
{
  static PresetLibraryCache cache;
  return cache;
}

std::shared_ptr<const PresetFolderScan> PresetLibraryCache::scan(const PresetManager::SourceFolder& source,
                                                                 int32_t owner,
                                                                 const std::function<bool(const std::string&)>& accept,
                                                                 Read read)
{
  const Key key{source.path, source.label, source.verifyOwnership, source.verifyOwnership ? owner : 0};
  if (read == Read::kReuse)
  {
    std::shared_ptr<const PresetFolderScan> stored;
    {
      const std::lock_guard lock(mLock);
      if (const auto it = mScans.find(key); it != mScans.end())
        stored = it->second;
    }
    if (stored && stored->reusable && presetFolderUnchanged(*stored))
      return stored;
  }
  PresetFolderWalkOptions options;
  if (source.verifyOwnership)
    options.accept = accept;
  auto fresh = std::make_shared<const PresetFolderScan>(walkPresetFolder(source, options));
  const std::lock_guard lock(mLock);
  mScans[key] = fresh;
  ++mWalks;
  return fresh;
}

int64_t PresetLibraryCache::walks() const
{
  const std::lock_guard lock(mLock);
  return mWalks;
}

void PresetLibraryCache::clear()
{
  const std::lock_guard lock(mLock);
  mScans.clear();
}

} // namespace zarvo
