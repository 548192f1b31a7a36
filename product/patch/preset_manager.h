// The preset manager: the browse list of factory presets and preset files, the loaded patch's
// identity, loading and saving preset files, dirty tracking, undo and redo.
#pragma once

#include "IPlugin/IByteChunk.h"
#include "IPlugin/IPluginEditorDelegate.h"
#include "IPlugin/IPluginFiles.h"
#include "utils/param_edits.h"
#include "utils/patch_identity.h"
#include "utils/preset_source.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plugkit {
class IPluginBase;
} // namespace plugkit

namespace zarvo {

// Calls no other subsystem directly: the plug-in installs callbacks, and undo works on whole state
// chunks. Everything runs on the main thread.
class PresetManager
{
public:
  struct UserPreset
  {
    std::string path;
    std::string name;  // the file name without its extension
    std::string group; // folders below the scanned folder, "/" between levels; may be empty
    bool operator==(const UserPreset&) const = default;
  };

  struct SourceFolder
  {
    std::string path;
    std::string label; // group prefix of its files; empty for the user preset folder
    bool verifyOwnership = false;
  };

  struct BrowseEntry
  {
    int32_t listIndex = -1;
    std::string group;
    std::string name;
    bool factory = false;
    bool operator==(const BrowseEntry&) const = default;
  };

  using PatchIdentity = zarvo::PatchIdentity;

  // What the preset-apply hook is offered.
  using PresetSource = zarvo::PresetSource;

  enum PresetApply : int32_t
  {
    kApplyPreset = 0,
    kTakenByMorph = 1,
    kDoNothing = 2
  };

  struct UndoEntry
  {
    plugkit::IByteChunk state;
    plugkit::IByteChunk baseline; // only when an edit was pending
    int32_t index = -1;
    bool pending = false;
    bool modified = false;
    bool ccStep = false;
  };

  using ChunkWriter = std::function<void(plugkit::IByteChunk&)>;
  using ChunkReader = std::function<void(const plugkit::IByteChunk&)>;
  using PresetApplyHook = std::function<PresetApply(const PresetSource&)>;
  using Query = std::function<bool()>;
  using FolderCallback = std::function<void(const std::string&)>;
  // Told why a preset file the user chose or stepped to could not be loaded or saved.
  using FileFailureReport = std::function<void(plugkit::EFileResult)>;

  static constexpr const char* kEmptySlotName = "empty";
  static constexpr int32_t kPresetFileMagic = 0x43636E4B; // "CcnK"

  PresetManager(plugkit::IPluginBase& plugin, std::string productName, std::string_view userPresetFolder,
                int undoDepth);
  ~PresetManager();
  PresetManager(const PresetManager&) = delete;
  PresetManager& operator=(const PresetManager&) = delete;

  // ---- folders and the list

  // The path in native form without a trailing separator; empty stays empty.
  static std::string nativeDir(std::string_view path);
  // Group before the first "/", name after it; no "/" gives an empty group.
  static std::pair<std::string, std::string> parseName(std::string_view text);

  // Adds the folder's presets, read once per process and shared while its folders are unchanged.
  int scanSource(const SourceFolder& source);
  bool isOurFXP(const std::string& path) const;
  // Reads every source folder afresh (the browser opening).
  void refreshUserPresets();
  // Folders and entries the last scan could not read and left out (since construction or the
  // last refresh).
  int scanSkipped() const { return mScanSkipped; }
  std::vector<BrowseEntry> browseEntries() const;
  // Number of presets added; 0 for a missing folder.
  int addFolder(std::string_view folder);
  // Shows the last used (else the user) preset folder in the file browser, creating it first.
  void openFolder() const;
  std::string currentName() const;
  std::string currentGroup() const;
  void noteLastUsedDir(std::string_view folder);
  // The stored last folder at start-up: taken when not empty and it exists.
  void restoreLastUsedDir(std::string_view folder);
  void setLastUsedDirChanged(FolderCallback callback) { mLastUsedDirChanged = std::move(callback); }
  // Replaces how a folder is shown; the default starts "xdg-open" without a shell.
  void setFolderOpener(FolderCallback opener) { mFolderOpener = std::move(opener); }

  const std::string& productName() const { return mProductName; }
  const std::string& userPresetDir() const { return mUserPresetDir; }
  const std::string& lastUsedDir() const { return mLastUsedDir; }
  const std::vector<UserPreset>& userPresets() const { return mUserPresets; }
  const std::vector<SourceFolder>& sources() const { return mSources; }
  int factoryCount() const { return static_cast<int>(mFactoryIndices.size()); }
  int listSize() const { return factoryCount() + static_cast<int>(mUserPresets.size()); }
  int currentIndex() const { return mCurrentIndex; }
  // The preset slot behind a factory entry of the list, or -1.
  int factorySlot(int listIndex) const
  {
    return isFactoryIndex(listIndex) ? mFactoryIndices[static_cast<size_t>(listIndex)] : -1;
  }

  // ---- identity, navigation and preset files

  void setCCMapCallbacks(ChunkWriter write, ChunkReader read);
  void setWorkspaceCallbacks(ChunkWriter write, ChunkReader read);
  void setPresetApplyHook(PresetApplyHook hook) { mPresetApplyHook = std::move(hook); }
  // Called after a failed load (kUnreadable, kNotOurs) or save (kWriteFailed) of a preset file.
  void setFileFailureReport(FileFailureReport report) { mFileFailureReport = std::move(report); }
  // When set and false, navigateTo does nothing.
  void setNavigationGuard(Query guard) { mNavigationGuard = std::move(guard); }
  void setStripStateQueries(Query a, Query b);
  bool stripStateQueryA() const { return mStripStateQueryA && mStripStateQueryA(); }
  bool stripStateQueryB() const { return mStripStateQueryB && mStripStateQueryB(); }

  PatchIdentity patchIdentity() const;
  PatchIdentity identityForListIndex(int listIndex) const;
  // The list index a stored identity names now, or -1; a user file joins the list if needed.
  int resolveIdentity(const PatchIdentity& identity);
  // Position in userPresets of the file, appended (unsorted) when missing.
  int ensureInList(const std::string& path);
  std::string displayName(const PatchIdentity& identity) const;
  static bool putPatchIdentity(plugkit::IByteChunk& chunk, const PatchIdentity& identity);
  // The position after the record, or pos itself when no valid record was read (out unchanged).
  static int getPatchIdentity(const plugkit::IByteChunk& chunk, int pos, PatchIdentity& out);

  void navigateTo(int listIndex);
  // Loads a list entry without asking anyone and without an undo entry; false when a preset file
  // failed to load (the entry is dropped, the previous patch stays loaded and the failure is reported).
  bool applyIdx(int listIndex);
  // False, with the failure reported, when the file could not be written or read; nothing changes then.
  bool saveToFile(const std::string& path);
  bool loadFromFile(const std::string& path);

  // Every load, undo and redo is one change of the plug-in's parameters through this path.
  void setParamEdits(ParamEdits* edits) { mParamEdits = edits; }

  // Sets the loaded entry after a state restore; -1 for none.
  void setLoadedEntry(int listIndex, bool modified);
  bool isApplying() const { return mApplying; }

  // ---- dirty tracking, undo and redo

  void captureBaseline();
  void onParamChanged(plugkit::EParamSource source);
  void commitDirtyEdit();
  void pushUndo();
  void pushUndoBounded(UndoEntry entry);
  void pushBounded(std::deque<UndoEntry>& stack, UndoEntry entry);
  void recordCCUndoStep();
  // Commits a change that began when the undo stack held `depth` entries, from the state before it.
  void commitFromState(const plugkit::IByteChunk& before, int depth);
  // Drops the newest undo entries until at most `depth` remain; commits nothing.
  void trimUndoTo(int depth);
  void undo();
  void redo();
  void onHostStateRestored();

  bool editPending() const { return mEditPending; }
  bool isModified() const { return mModified; }
  int undoDepth() const { return mUndoDepth; }
  int undoFloor() const { return mUndoFloor; }
  void setUndoFloor(int floor) { mUndoFloor = floor < 0 ? 0 : floor; }
  const std::deque<UndoEntry>& undoStack() const { return mUndoStack; }
  const std::deque<UndoEntry>& redoStack() const { return mRedoStack; }
  const plugkit::IByteChunk& baseline() const { return mBaseline; }

private:
  // Marks the manager as loading a state itself for the life of the scope, one parameter change.
  class ApplyingScope
  {
  public:
    explicit ApplyingScope(PresetManager& manager)
      : mManager(manager)
      , mWasApplying(manager.mApplying)
      , mChange(manager.mParamEdits, plugkit::EParamSource::kPresetRecall)
    {
      manager.mApplying = true;
    }
    ~ApplyingScope() { mManager.mApplying = mWasApplying; }
    ApplyingScope(const ApplyingScope&) = delete;
    ApplyingScope& operator=(const ApplyingScope&) = delete;

  private:
    PresetManager& mManager;
    bool mWasApplying;
    ParamEdits::Scope mChange;
  };

  bool isFactoryIndex(int listIndex) const { return listIndex >= 0 && listIndex < factoryCount(); }
  bool isUserIndex(int listIndex) const { return listIndex >= factoryCount() && listIndex < listSize(); }
  void sortUserPresets();
  int scanSource(const SourceFolder& source, bool fresh);
  UndoEntry entryOfCurrentPatch(bool ccStep) const;
  void writeCallbackChunks(plugkit::IByteChunk& ccMap, plugkit::IByteChunk* workspace) const;
  void readCallbackChunks(const plugkit::IByteChunk& ccMap, const plugkit::IByteChunk* workspace) const;
  void restoreEntry(const UndoEntry& entry, const plugkit::IByteChunk& ccMap, const plugkit::IByteChunk& workspace);
  // Puts the plug-in back into a state it had, as the manager's own load.
  void restorePluginState(const plugkit::IByteChunk& state);
  // After a failed file load: the plug-in gets the state it had before, if the load changed it.
  void undoFailedLoad(const plugkit::IByteChunk& before);
  void reportLoadFailure(const std::string& path) const;

  plugkit::IPluginBase& mPlugin;
  std::string mProductName;
  std::string mUserPresetDir;
  std::string mLastUsedDir;
  std::vector<int32_t> mFactoryIndices;
  std::vector<UserPreset> mUserPresets;
  std::vector<SourceFolder> mSources;
  int mScanSkipped = 0;
  int32_t mCurrentIndex = -1;
  FolderCallback mLastUsedDirChanged;
  FolderCallback mFolderOpener;

  ChunkWriter mCCMapWrite;
  ChunkReader mCCMapRead;
  ChunkWriter mWorkspaceWrite;
  ChunkReader mWorkspaceRead;
  PresetApplyHook mPresetApplyHook;
  FileFailureReport mFileFailureReport;
  ParamEdits* mParamEdits = nullptr;
  Query mNavigationGuard;
  Query mStripStateQueryA;
  Query mStripStateQueryB;
  bool mApplying = false;

  std::deque<UndoEntry> mUndoStack; // newest at the front
  std::deque<UndoEntry> mRedoStack;
  int mUndoDepth = 1;
  int mUndoFloor = 0;
  plugkit::IByteChunk mBaseline;
  bool mEditPending = false;
  bool mModified = false;
};

} // namespace zarvo
