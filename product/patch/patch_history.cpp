// Undo and patch identity: the preset manager's, once it exists.
#include "product/patch/patch_history.h"

#include "IPlugin/IPluginBase.h"
#include "product/patch/preset_manager.h"

namespace zarvo {

bool PresetPatchHistory::putPatchIdentity(plugkit::IByteChunk& chunk, const morph::PatchIdentity& identity) const
{
  return PresetManager::putPatchIdentity(chunk, identity);
}

int PresetPatchHistory::getPatchIdentity(const plugkit::IByteChunk& chunk, int pos, morph::PatchIdentity& out) const
{
  return PresetManager::getPatchIdentity(chunk, pos, out);
}

void PresetPatchHistory::pushUndo() { mManager->pushUndo(); }

void PresetPatchHistory::captureBaseline() { mManager->captureBaseline(); }

void PresetPatchHistory::setCurrentListIndex(int listIndex) { mManager->setLoadedEntry(listIndex, false); }

morph::PatchIdentity PresetPatchHistory::currentIdentity() const
{
  return mManager ? mManager->patchIdentity() : morph::PatchIdentity{};
}

morph::PatchIdentity PresetPatchHistory::identityForListIndex(int listIndex) const
{
  return mManager ? mManager->identityForListIndex(listIndex) : morph::PatchIdentity{};
}

int PresetPatchHistory::undoDepth() const { return mManager ? static_cast<int>(mManager->undoStack().size()) : 0; }

void PresetPatchHistory::setMorphSessionMark(int depth) { mManager->setUndoFloor(depth); }

void PresetPatchHistory::commitFromState(const plugkit::IByteChunk& before, int depth)
{
  mManager->commitFromState(before, depth);
}

void PresetPatchHistory::trimUndoTo(int depth) { mManager->trimUndoTo(depth); }

void PresetPatchHistory::selectIdentity(const morph::PatchIdentity& identity)
{
  const int entry = mManager->resolveIdentity(identity);
  mManager->setLoadedEntry(entry, identity.modified);
}

bool PresetPatchHistory::presetListEntry(int listIndex, std::string& path, plugkit::IByteChunk& chunk) const
{
  if (!mManager)
    return false;
  const int factorySlot = mManager->factorySlot(listIndex);
  if (factorySlot >= 0)
  {
    const plugkit::IPreset* preset = mPresets.GetPreset(factorySlot);
    if (!preset || !preset->mInitialized)
      return false;
    path.clear();
    chunk.Clear();
    chunk.PutChunk(preset->mChunk);
    return true;
  }
  const int user = listIndex - mManager->factoryCount();
  const auto& users = mManager->userPresets();
  if (user < 0 || user >= static_cast<int>(users.size()))
    return false;
  path = users[static_cast<size_t>(user)].path;
  return true;
}

} // namespace zarvo
