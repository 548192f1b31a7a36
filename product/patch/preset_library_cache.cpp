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

// Failures that may be gone on the next try, unlike a folder removed or closed to us.
bool transient(int error) { return error == EMFILE || error == ENFILE || error == ENOMEM || error == EINTR; }

// Reads a folder's entries and closes it again before any of them is looked at, so the walk never
// holds more than this one descriptor. 0 when it was read to the end, else the error.
int readFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::vector<FolderStamp>& stamps)
{
  DIR* dir = ::opendir(folder.c_str());
  if (!dir)
    return errno != 0 ? errno : EIO;
  struct stat st = {};
  if (::fstat(::dirfd(dir), &st) == 0)
    stamps.push_back(stampOf(folder, st));
  int error = 0;
  for (;;)
  {
    errno = 0;
    const dirent* e = ::readdir(dir);
    if (!e)
    {
      error = errno;
      break;
    }
    const std::string_view name(e->d_name);
    if (name != "." && name != "..")
      entries.push_back({std::string(name), e->d_type});
  }
  ::closedir(dir);
  return error;
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
  bool transientFailure = false;
  while (!pending.empty())
  {
    const std::string relative = std::move(pending.front());
    pending.pop_front();
    const std::string folder = relative.empty() ? source.path : joinPath(source.path, relative);
    if (options.beforeOpen)
      options.beforeOpen(folder);
    entries.clear();
    if (const int error = readFolder(folder, entries, out.folders); error != 0)
    {
      ++out.skipped; // what was read of it before the error is still listed
      transientFailure = transientFailure || transient(error);
    }
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
  // A walk short of descriptors or memory is not kept for the next instance.
  out.reusable = !transientFailure && std::ranges::all_of(out.folders, [&](const FolderStamp& f) {
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
