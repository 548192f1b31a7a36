// Reading a preset folder tree, and the process-wide store of what was read, so that every instance
// of a session shares one walk of a large library instead of walking it in its own constructor.
#pragma once

#include "product/patch/preset_manager.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

namespace zarvo {

// The list's order of user presets: by group (none first), then name, both as byte strings.
bool presetListOrder(const PresetManager::UserPreset& a, const PresetManager::UserPreset& b);

// One walk of a source folder.
struct PresetFolderScan
{
  // A folder that was read, as it was when it was read.
  struct FolderStamp
  {
    std::string path;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t mtimeSeconds = 0;
    int64_t mtimeNanoseconds = 0;
    bool operator==(const FolderStamp&) const = default;
  };

  std::vector<PresetManager::UserPreset> presets; // by group, then name
  // Folders and entries that could not be read (removed meanwhile, no descriptor left, a link that
  // leads nowhere, no permission): each is left out and the walk goes on.
  int skipped = 0;
  std::vector<FolderStamp> folders;
  // False when a folder changed so shortly before it was read that a later change could keep its
  // time stamp, or when a folder failed for want of descriptors or memory: such a walk is never
  // reused.
  bool reusable = false;
};

struct PresetFolderWalkOptions
{
  // Whether a file is one of the plug-in's presets; taken unchecked when empty.
  std::function<bool(const std::string&)> accept;
  // Called with each folder's path just before it is opened (a seam for tests).
  std::function<void(const std::string&)> beforeOpen;
};

// Walks the source folder breadth first, one folder open at a time, so the walk needs one
// descriptor whatever the depth. Links to files are followed; links to folders are not descended.
PresetFolderScan walkPresetFolder(const PresetManager::SourceFolder& source,
                                  const PresetFolderWalkOptions& options = {});

// Whether every folder of a walk is still as it was read (the same folder, not modified since).
bool presetFolderUnchanged(const PresetFolderScan& scan);

// Main thread (of whichever host thread creates instances); the lock only guards the store, never
// a walk, and is never taken on the audio thread.
class PresetLibraryCache
{
public:
  static PresetLibraryCache& instance();

  enum class Read
  {
    kReuse,  // the stored walk while its folders are unchanged
    kRefresh // always a fresh walk (the browser opening)
  };

  // `owner` is the plug-in id the ownership check compares against (unused without the check).
  std::shared_ptr<const PresetFolderScan> scan(const PresetManager::SourceFolder& source, int32_t owner,
                                               const std::function<bool(const std::string&)>& accept, Read read);

  // Walks done since the start of the process.
  int64_t walks() const;
  void clear();

private:
  using Key = std::tuple<std::string, std::string, bool, int32_t>;

  mutable std::mutex mLock;
  std::map<Key, std::shared_ptr<const PresetFolderScan>> mScans;
  int64_t mWalks = 0;
};

} // namespace zarvo
