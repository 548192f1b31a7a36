// The preset manager's folders, scanning, list order, names and browse entries.
#include "product/patch/preset_manager.h"
#include "product/patch/preset_library_cache.h"

#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginSpawn.h"
#include "IPlugin/IPluginThreadRole.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace zarvo {

namespace fs = std::filesystem;

namespace {

uint32_t readBigEndian32(std::FILE* f)
{
  unsigned char b[4] = {};
  if (std::fread(b, 1, 4, f) != 4)
    return 0; // a short file reads as zero
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | uint32_t{b[3]};
}

} // namespace

PresetManager::PresetManager(plugkit::IPluginBase& plugin, std::string productName, std::string_view userPresetFolder,
                             int undoDepth)
  : mPlugin(plugin)
  , mProductName(std::move(productName))
  , mUserPresetDir(nativeDir(userPresetFolder))
  , mFolderOpener([](const std::string& folder) { plugkit::SpawnWithoutShell("xdg-open", folder); })
  , mUndoDepth(std::max(undoDepth, 1))
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  for (int slot = 0; slot < mPlugin.NPresets(); ++slot)
    if (std::string_view(mPlugin.GetPresetName(slot)) != kEmptySlotName)
      mFactoryIndices.push_back(slot);
  mSources.push_back({mUserPresetDir, "", false});
  scanSource(mSources.front());
  sortUserPresets();
  captureBaseline();
}

PresetManager::~PresetManager() = default;

std::string PresetManager::nativeDir(std::string_view path)
{
  if (path.empty())
    return {};
  std::string out = fs::path(path).lexically_normal().make_preferred().string();
  while (out.size() > 1 && out.back() == fs::path::preferred_separator)
    out.pop_back();
  return out;
}

std::pair<std::string, std::string> PresetManager::parseName(std::string_view text)
{
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos)
    return {std::string(), std::string(text)};
  return {std::string(text.substr(0, slash)), std::string(text.substr(slash + 1))};
}

int PresetManager::scanSource(const SourceFolder& source) { return scanSource(source, false); }

int PresetManager::scanSource(const SourceFolder& source, bool fresh)
{
  std::error_code ec;
  if (source.path.empty() || !fs::is_directory(fs::path(source.path), ec))
    return 0;

  // Instances of one process share the walk: a large library is read once, not by every instance.
  const std::shared_ptr<const PresetFolderScan> scan = PresetLibraryCache::instance().scan(
    source, mPlugin.GetUniqueID(), [this](const std::string& path) { return isOurFXP(path); },
    fresh ? PresetLibraryCache::Read::kRefresh : PresetLibraryCache::Read::kReuse);
  mScanSkipped += scan->skipped;

  const size_t before = mUserPresets.size();
  if (before == 0)
  {
    mUserPresets = scan->presets;
    return static_cast<int>(mUserPresets.size());
  }
  // Reserved first: the set views the listed paths, which must not move while it is used.
  mUserPresets.reserve(before + scan->presets.size());
  std::unordered_set<std::string_view> listed;
  for (const UserPreset& p : mUserPresets)
    listed.insert(p.path);
  for (const UserPreset& p : scan->presets)
    if (!listed.contains(p.path))
      mUserPresets.push_back(p);
  return static_cast<int>(mUserPresets.size() - before);
}

bool PresetManager::isOurFXP(const std::string& path) const
{
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f)
    return false;
  const uint32_t magic = readBigEndian32(f);
  unsigned char skipped[12];
  const bool headerComplete = std::fread(skipped, 1, sizeof skipped, f) == sizeof skipped;
  const uint32_t pluginId = headerComplete ? readBigEndian32(f) : 0;
  std::fclose(f);
  return magic == static_cast<uint32_t>(kPresetFileMagic) && pluginId == static_cast<uint32_t>(mPlugin.GetUniqueID());
}

void PresetManager::sortUserPresets()
{
  // A list read from one folder is already in order; the check spares a large library the sort.
  if (!std::ranges::is_sorted(mUserPresets, presetListOrder))
    std::ranges::stable_sort(mUserPresets, presetListOrder);
}

void PresetManager::refreshUserPresets()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  std::string loadedPath;
  const bool userLoaded = isUserIndex(mCurrentIndex);
  if (userLoaded)
    loadedPath = mUserPresets[static_cast<size_t>(mCurrentIndex - factoryCount())].path;

  mUserPresets.clear();
  mScanSkipped = 0;
  for (const SourceFolder& source : mSources)
    scanSource(source, true);
  sortUserPresets();

  if (userLoaded)
  {
    const auto it = std::ranges::find(mUserPresets, loadedPath, &UserPreset::path);
    mCurrentIndex = it == mUserPresets.end() ? -1 : factoryCount() + static_cast<int>(it - mUserPresets.begin());
  }
}

std::vector<PresetManager::BrowseEntry> PresetManager::browseEntries() const
{
  std::vector<BrowseEntry> entries;
  entries.reserve(static_cast<size_t>(listSize()));
  for (int i = 0; i < factoryCount(); ++i)
  {
    const std::string_view full = mPlugin.GetPresetName(mFactoryIndices[static_cast<size_t>(i)]);
    const size_t slash = full.rfind('/');
    if (slash == std::string_view::npos)
      entries.push_back({i, "", std::string(full), true});
    else
      entries.push_back({i, std::string(full.substr(0, slash)), std::string(full.substr(slash + 1)), true});
  }
  for (size_t u = 0; u < mUserPresets.size(); ++u)
    entries.push_back({factoryCount() + static_cast<int>(u), mUserPresets[u].group, mUserPresets[u].name, false});
  return entries;
}

int PresetManager::addFolder(std::string_view folder)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const std::string path = nativeDir(folder);
  std::error_code ec;
  if (path.empty() || !fs::is_directory(path, ec))
    return 0;
  noteLastUsedDir(folder);
  if (std::ranges::none_of(mSources, [&](const SourceFolder& s) { return s.path == path; }))
    mSources.push_back({path, fs::path(path).filename().string(), true});
  return scanSource({path, fs::path(path).filename().string(), true});
}

void PresetManager::openFolder() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const std::string& folder = mLastUsedDir.empty() ? mUserPresetDir : mLastUsedDir;
  if (folder.empty())
    return;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (mFolderOpener)
    mFolderOpener(folder);
}

std::string PresetManager::currentName() const
{
  if (isFactoryIndex(mCurrentIndex))
    return parseName(mPlugin.GetPresetName(mFactoryIndices[static_cast<size_t>(mCurrentIndex)])).second;
  if (isUserIndex(mCurrentIndex))
    return mUserPresets[static_cast<size_t>(mCurrentIndex - factoryCount())].name;
  return {};
}

std::string PresetManager::currentGroup() const
{
  if (isFactoryIndex(mCurrentIndex))
    return parseName(mPlugin.GetPresetName(mFactoryIndices[static_cast<size_t>(mCurrentIndex)])).first;
  if (isUserIndex(mCurrentIndex))
    return mUserPresets[static_cast<size_t>(mCurrentIndex - factoryCount())].group;
  return {};
}

void PresetManager::noteLastUsedDir(std::string_view folder)
{
  const std::string dir = nativeDir(folder);
  if (dir == mLastUsedDir)
    return;
  mLastUsedDir = dir;
  if (mLastUsedDirChanged)
    mLastUsedDirChanged(mLastUsedDir);
}

void PresetManager::restoreLastUsedDir(std::string_view folder)
{
  std::error_code ec;
  if (!folder.empty() && fs::exists(fs::path(folder), ec))
    mLastUsedDir = nativeDir(folder);
}

} // namespace zarvo
