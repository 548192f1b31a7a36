// The preset manager's patch identity, list navigation and preset files.
#include "product/patch/preset_manager.h"

#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginThreadRole.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace zarvo {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kMaxIdentityFields = 256;

} // namespace

void PresetManager::setCCMapCallbacks(ChunkWriter write, ChunkReader read)
{
  mCCMapWrite = std::move(write);
  mCCMapRead = std::move(read);
}

void PresetManager::setWorkspaceCallbacks(ChunkWriter write, ChunkReader read)
{
  mWorkspaceWrite = std::move(write);
  mWorkspaceRead = std::move(read);
}

void PresetManager::setStripStateQueries(Query a, Query b)
{
  mStripStateQueryA = std::move(a);
  mStripStateQueryB = std::move(b);
}

PresetManager::PatchIdentity PresetManager::patchIdentity() const
{
  PatchIdentity identity = identityForListIndex(mCurrentIndex);
  identity.modified = mEditPending || mModified;
  return identity;
}

PresetManager::PatchIdentity PresetManager::identityForListIndex(int listIndex) const
{
  if (isFactoryIndex(listIndex))
    return {1, mPlugin.GetPresetName(mFactoryIndices[static_cast<size_t>(listIndex)]), listIndex, false};
  if (isUserIndex(listIndex))
    return {2, mUserPresets[static_cast<size_t>(listIndex - factoryCount())].path, -1, false};
  return {};
}

int PresetManager::resolveIdentity(const PatchIdentity& identity)
{
  if (identity.kind == 2)
  {
    std::error_code ec;
    if (identity.name.empty() || !fs::exists(fs::path(identity.name), ec))
      return -1;
    return factoryCount() + ensureInList(identity.name);
  }
  if (identity.kind == 1)
  {
    for (int i = 0; i < factoryCount(); ++i)
      if (identity.name == mPlugin.GetPresetName(mFactoryIndices[static_cast<size_t>(i)]))
        return i;
    return isFactoryIndex(identity.index) ? identity.index : -1;
  }
  return -1;
}

int PresetManager::ensureInList(const std::string& path)
{
  const std::string normal = fs::path(path).lexically_normal().string();
  const auto it = std::ranges::find(mUserPresets, normal, &UserPreset::path);
  if (it != mUserPresets.end())
    return static_cast<int>(it - mUserPresets.begin());
  const fs::path file(normal);
  const bool inUserFolder = nativeDir(file.parent_path().string()) == mUserPresetDir;
  mUserPresets.push_back({normal, file.stem().string(), inUserFolder ? "" : file.parent_path().filename().string()});
  return static_cast<int>(mUserPresets.size()) - 1;
}

std::string PresetManager::displayName(const PatchIdentity& identity) const
{
  if (identity.kind == 1)
    return identity.name;
  if (identity.kind != 2 || identity.name.empty())
    return {};
  const fs::path file = fs::path(identity.name).lexically_normal();
  if (nativeDir(file.parent_path().string()) == mUserPresetDir)
    return file.stem().string();
  return file.parent_path().filename().string() + "/" + file.stem().string();
}

bool PresetManager::putPatchIdentity(plugkit::IByteChunk& chunk, const PatchIdentity& identity)
{
  bool ok = chunk.Put(int32_t{3}) > 0;
  ok = chunk.Put(identity.kind) > 0 && ok;
  ok = chunk.Put(identity.index) > 0 && ok;
  ok = chunk.Put(int32_t{identity.modified ? 1 : 0}) > 0 && ok;
  ok = chunk.Put(static_cast<int32_t>(identity.name.size())) > 0 && ok;
  ok = chunk.PutBytes(identity.name.data(), static_cast<int>(identity.name.size())) > 0 && ok;
  return ok;
}

int PresetManager::getPatchIdentity(const plugkit::IByteChunk& chunk, int pos, PatchIdentity& out)
{
  const int start = pos;
  int32_t count = 0;
  pos = chunk.Get(count, pos);
  if (pos < 0 || count < 0 || count > kMaxIdentityFields)
    return start;

  int32_t kind = 0;
  int32_t index = -1;
  int32_t modified = 0;
  if (count >= 1)
    pos = chunk.Get(kind, pos);
  if (count >= 2 && pos >= 0)
    pos = chunk.Get(index, pos);
  if (count >= 3 && pos >= 0)
    pos = chunk.Get(modified, pos);
  if (pos < 0)
    return start;
  const int64_t skip = 4 * int64_t{std::max(0, count - 3)};
  if (skip > chunk.Size() - pos)
    return start;
  pos += static_cast<int>(skip);

  int32_t length = 0;
  pos = chunk.Get(length, pos);
  if (pos < 0)
    return start;
  std::string name;
  if (length > 0)
  {
    if (length > chunk.Size() - pos)
      return start;
    const char* bytes = reinterpret_cast<const char*>(chunk.GetData() + pos);
    name.assign(bytes, strnlen(bytes, static_cast<size_t>(length)));
    pos += length;
  }
  if (kind < 0 || kind > 2)
    return start;
  out = {kind, std::move(name), index, modified != 0};
  return pos;
}

void PresetManager::navigateTo(int listIndex)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mPresetApplyHook)
  {
    const PresetApply answer = mPresetApplyHook({0, listIndex, ""});
    if (answer == kDoNothing)
      return;
    if (answer == kTakenByMorph)
    {
      mCurrentIndex = listIndex;
      mModified = false;
      return;
    }
  }
  if (mNavigationGuard && !mNavigationGuard())
    return;
  if (listIndex == mCurrentIndex)
    return;
  // The step is recorded only once the load has worked, so a failed load leaves the history alone.
  UndoEntry before = entryOfCurrentPatch(false);
  if (!applyIdx(listIndex))
    return;
  pushUndoBounded(std::move(before));
  mRedoStack.clear();
}

bool PresetManager::applyIdx(int listIndex)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  ApplyingScope applying(*this);
  const int32_t previousIndex = mCurrentIndex;
  const bool previousModified = mModified;
  mCurrentIndex = listIndex;
  mModified = false;

  plugkit::IByteChunk ccMap;
  plugkit::IByteChunk workspace;
  writeCallbackChunks(ccMap, &workspace);

  if (isFactoryIndex(listIndex))
  {
    mPlugin.RestorePreset(mFactoryIndices[static_cast<size_t>(listIndex)]);
  }
  else if (isUserIndex(listIndex))
  {
    const size_t position = static_cast<size_t>(listIndex - factoryCount());
    plugkit::IByteChunk before;
    mPlugin.SerializeState(before);
    if (!mPlugin.LoadStateFromFXP(mUserPresets[position].path.c_str()))
    {
      // The bad file leaves the list; the patch that was loaded stays loaded and shown.
      undoFailedLoad(before);
      reportLoadFailure(mUserPresets[position].path);
      mUserPresets.erase(mUserPresets.begin() + static_cast<std::ptrdiff_t>(position));
      if (previousIndex == listIndex)
        mCurrentIndex = -1;
      else
        mCurrentIndex = previousIndex > listIndex ? previousIndex - 1 : previousIndex;
      if (mCurrentIndex >= listSize())
        mCurrentIndex = -1;
      mModified = previousModified;
      return false;
    }
  }
  else
  {
    captureBaseline();
    return true;
  }
  readCallbackChunks(ccMap, &workspace);
  captureBaseline();
  return true;
}

bool PresetManager::saveToFile(const std::string& chosenPath)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // Preset folders list only ".fxp" files: a name typed without it would vanish at the next scan.
  std::string path = chosenPath;
  if (!path.empty() && fs::path(path).extension() != ".fxp")
    path += ".fxp";
  if (path.empty() || !mPlugin.SavePresetAsFXP(path.c_str()))
  {
    if (mFileFailureReport)
      mFileFailureReport(plugkit::EFileResult::kWriteFailed);
    return false;
  }
  noteLastUsedDir(fs::path(path).parent_path().string());
  mCurrentIndex = factoryCount() + ensureInList(path);
  mModified = false;
  captureBaseline();
  return true;
}

bool PresetManager::loadFromFile(const std::string& path)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mPresetApplyHook)
  {
    const PresetApply answer = mPresetApplyHook({1, -1, path});
    if (answer == kTakenByMorph)
      return true;
    if (answer == kDoNothing)
      return false;
  }
  ApplyingScope applying(*this);
  UndoEntry before = entryOfCurrentPatch(false);
  plugkit::IByteChunk ccMap;
  writeCallbackChunks(ccMap, nullptr);

  if (path.empty() || !mPlugin.LoadStateFromFXP(path.c_str()))
  {
    undoFailedLoad(before.state);
    reportLoadFailure(path);
    return false;
  }
  pushUndoBounded(std::move(before));
  mRedoStack.clear();
  readCallbackChunks(ccMap, nullptr);
  noteLastUsedDir(fs::path(path).parent_path().string());
  mCurrentIndex = factoryCount() + ensureInList(path);
  mModified = false;
  captureBaseline();
  return true;
}

void PresetManager::reportLoadFailure(const std::string& path) const
{
  if (!mFileFailureReport)
    return;
  // A file that opens but is longer than nothing was read and refused: not a preset of ours (or a
  // damaged one). Anything else could not be read at all.
  std::string none;
  const bool opens = plugkit::ReadFileCapped(path, 0, none) != plugkit::EFileResult::kUnreadable;
  mFileFailureReport(opens ? plugkit::EFileResult::kNotOurs : plugkit::EFileResult::kUnreadable);
}

void PresetManager::setLoadedEntry(int listIndex, bool modified)
{
  mCurrentIndex = listIndex >= 0 && listIndex < listSize() ? listIndex : -1;
  mModified = mCurrentIndex >= 0 && modified;
}

void PresetManager::writeCallbackChunks(plugkit::IByteChunk& ccMap, plugkit::IByteChunk* workspace) const
{
  if (mCCMapWrite)
    mCCMapWrite(ccMap);
  if (workspace && mWorkspaceWrite)
    mWorkspaceWrite(*workspace);
}

void PresetManager::readCallbackChunks(const plugkit::IByteChunk& ccMap, const plugkit::IByteChunk* workspace) const
{
  if (mCCMapRead && ccMap.Size() > 0)
    mCCMapRead(ccMap);
  if (workspace && mWorkspaceRead && workspace->Size() > 0)
    mWorkspaceRead(*workspace);
}

void PresetManager::restorePluginState(const plugkit::IByteChunk& state)
{
  ApplyingScope applying(*this);
  mPlugin.UnserializeState(state, 0);
  mPlugin.OnRestoreState();
}

void PresetManager::undoFailedLoad(const plugkit::IByteChunk& before)
{
  plugkit::IByteChunk now;
  mPlugin.SerializeState(now);
  if (!now.IsEqual(before))
    restorePluginState(before);
}

} // namespace zarvo
