// The preset manager's dirty tracking, undo and redo over whole state chunks.
#include "product/patch/preset_manager.h"

#include "IPlugin/IPluginBase.h"
#include "IPlugin/IPluginThreadRole.h"

#include <algorithm>

namespace zarvo {

void PresetManager::captureBaseline()
{
  mEditPending = false;
  mBaseline.Clear();
  mPlugin.SerializeState(mBaseline);
}

void PresetManager::onParamChanged(plugkit::EParamSource source)
{
  // Automation, preset recall and values pushed to the editor are not edits.
  if (source != plugkit::EParamSource::kUI)
    return;
  mEditPending = true;
  if (!mApplying)
    mRedoStack.clear();
}

PresetManager::UndoEntry PresetManager::entryOfCurrentPatch(bool ccStep) const
{
  UndoEntry entry;
  mPlugin.SerializeState(entry.state);
  if (mEditPending)
    entry.baseline = mBaseline;
  entry.index = mCurrentIndex;
  entry.pending = mEditPending;
  entry.modified = mModified;
  entry.ccStep = ccStep;
  return entry;
}

void PresetManager::commitDirtyEdit()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mEditPending)
    return;
  UndoEntry entry;
  entry.state = mBaseline; // the state from before the edit
  entry.index = mCurrentIndex;
  entry.modified = mModified;
  pushUndoBounded(std::move(entry));
  mRedoStack.clear();
  if (mCurrentIndex != -1)
    mModified = true;
  captureBaseline();
}

void PresetManager::pushUndo()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  pushUndoBounded(entryOfCurrentPatch(false));
  mRedoStack.clear();
}

void PresetManager::recordCCUndoStep()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  pushUndoBounded(entryOfCurrentPatch(true));
  mRedoStack.clear();
}

void PresetManager::pushUndoBounded(UndoEntry entry)
{
  if (static_cast<int>(mUndoStack.size()) >= mUndoDepth && mUndoFloor > 0)
    --mUndoFloor;
  pushBounded(mUndoStack, std::move(entry));
}

void PresetManager::pushBounded(std::deque<UndoEntry>& stack, UndoEntry entry)
{
  while (!stack.empty() && static_cast<int>(stack.size()) >= mUndoDepth)
    stack.pop_back();
  stack.push_front(std::move(entry));
}

void PresetManager::commitFromState(const plugkit::IByteChunk& before, int depth)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  trimUndoTo(depth);
  if (before.Size() > 0)
  {
    UndoEntry entry;
    entry.state = before;
    entry.index = mCurrentIndex;
    pushUndoBounded(std::move(entry));
  }
  mRedoStack.clear();
  mCurrentIndex = -1;
  mModified = false;
  captureBaseline();
}

void PresetManager::trimUndoTo(int depth)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const size_t keep = static_cast<size_t>(std::max(depth, 0));
  while (mUndoStack.size() > keep)
    mUndoStack.pop_front();
}

void PresetManager::undo()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  ApplyingScope applying(*this);
  plugkit::IByteChunk ccMap;
  plugkit::IByteChunk workspace;
  writeCallbackChunks(ccMap, &workspace);

  if (mEditPending)
  {
    // The first undo reverts the edit not yet committed; the undo stack stays as it is.
    UndoEntry redoEntry = entryOfCurrentPatch(false);
    pushBounded(mRedoStack, std::move(redoEntry));
    const plugkit::IByteChunk baseline = mBaseline;
    restorePluginState(baseline);
    readCallbackChunks(ccMap, &workspace);
    captureBaseline();
    return;
  }

  if (static_cast<int>(mUndoStack.size()) <= mUndoFloor)
    return;
  UndoEntry entry = std::move(mUndoStack.front());
  mUndoStack.pop_front();
  UndoEntry redoEntry = entryOfCurrentPatch(entry.ccStep);
  pushBounded(mRedoStack, std::move(redoEntry));
  restoreEntry(entry, ccMap, workspace);
}

void PresetManager::redo()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mRedoStack.empty())
    return;
  ApplyingScope applying(*this);
  plugkit::IByteChunk ccMap;
  plugkit::IByteChunk workspace;
  writeCallbackChunks(ccMap, &workspace);

  UndoEntry entry = std::move(mRedoStack.front());
  mRedoStack.pop_front();
  pushUndoBounded(entryOfCurrentPatch(entry.ccStep));
  restoreEntry(entry, ccMap, workspace);
}

void PresetManager::restoreEntry(const UndoEntry& entry, const plugkit::IByteChunk& ccMap,
                                 const plugkit::IByteChunk& workspace)
{
  restorePluginState(entry.state);
  // The user's controller map survives a step, unless the step was a change of the map itself.
  if (!entry.ccStep && mCCMapRead && ccMap.Size() > 0)
    mCCMapRead(ccMap);
  if (mWorkspaceRead && workspace.Size() > 0)
    mWorkspaceRead(workspace);
  mCurrentIndex = entry.index < 0 ? -1 : std::min(entry.index, listSize() - 1);
  mModified = entry.modified;
  if (entry.pending)
  {
    mEditPending = true;
    mBaseline = entry.baseline;
  }
  else
  {
    captureBaseline();
  }
}

void PresetManager::onHostStateRestored()
{
  // The manager's own loads pass through the plug-in's restore notification too.
  if (mApplying)
    return;
  mUndoStack.clear();
  mRedoStack.clear();
  mUndoFloor = 0;
  captureBaseline();
}

} // namespace zarvo
