// Controller map files ("ccmap.zarvo") and the controller map's clipboard text.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "IPlugin/IPluginThreadRole.h"
#include "utils/midi_cc/editor_services.h"
#include "utils/midi_cc/mapper_serializer.h"
#include "utils/zarvo_file.h"

namespace zarvo::midi_cc {

// Saves, loads, copies and pastes the mediator's map as a sectioned text file: the "midi-cc"
// section plus whatever sections the owner adds through its hooks. The clipboard text is the file
// text. Lives as long as the plug-in; main thread.
template <class Mediator>
class CCFileOrchestrator
{
public:
  using FolderFunc = std::function<std::string()>;
  using ActionFunc = std::function<void()>;
  using WriteSectionsFunc = std::function<void(zarvo::ZarvoFile&)>;
  using ReadSectionsFunc = std::function<void(const zarvo::ZarvoFile&)>;
  using FileResultFunc = std::function<void(plugkit::EFileResult)>;

  static constexpr const char* kFileExtension = "zarvo";

  // dialogFolder gives the folder the dialogs start in; onApplied runs after a file or text
  // replaced the map.
  CCFileOrchestrator(Mediator& mediator, std::string pluginName, std::string pluginVersion, FolderFunc dialogFolder,
                     ActionFunc onApplied, std::string defaultFileName)
    : mMediator(&mediator)
    , mPluginName(std::move(pluginName))
    , mPluginVersion(std::move(pluginVersion))
    , mDialogFolder(std::move(dialogFolder))
    , mOnApplied(std::move(onApplied))
    , mDefaultFileName(std::move(defaultFileName))
  {
  }

  void setExtraSectionIO(WriteSectionsFunc writer, ReadSectionsFunc reader)
  {
    mWriteExtraSections = std::move(writer);
    mReadExtraSections = std::move(reader);
  }

  // Runs before an applied file replaces the map (the owner records an undo step).
  void setBeforeChange(ActionFunc beforeChange) { mBeforeChange = std::move(beforeChange); }
  // Receives what became of the file chosen in a dialog, for the editor to show.
  void setFileResultReport(FileResultFunc report) { mReportFileResult = std::move(report); }

  // The save button's action: the save dialog, then the file is written to the chosen name.
  void promptSave(IEditorServices& services)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    services.promptForFile(mDefaultFileName, folder(), IEditorServices::EFileAction::Save, kFileExtension,
                           [this](const std::string& path, const std::string&) {
                             if (!path.empty())
                               report(_save(path));
                           });
  }

  // The load button's action: the open dialog, then the chosen file is applied.
  void promptLoad(IEditorServices& services)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    services.promptForFile({}, folder(), IEditorServices::EFileAction::Open, kFileExtension,
                           [this](const std::string& path, const std::string&) {
                             if (!path.empty())
                               report(_load(path));
                           });
  }

  zarvo::ZarvoFile _buildFile() const
  {
    zarvo::ZarvoFile file(mPluginName, mPluginVersion);
    MapperZarvoAdapter::writeSection(mMediator->mapper().mappings(), file);
    if (mWriteExtraSections)
      mWriteExtraSections(file);
    return file;
  }

  // kOk, or kWriteFailed with any previous file left as it was.
  plugkit::EFileResult _save(const std::string& path) const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    return _buildFile().toFile(path);
  }

  // kNotOurs for a file without a controller map; then nothing changes.
  plugkit::EFileResult _load(const std::string& path)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    const zarvo::ZarvoFile::Loaded loaded = zarvo::ZarvoFile::fromFile(path);
    if (!loaded.file)
      return loaded.result;
    return _applyFile(*loaded.file) ? plugkit::EFileResult::kOk : plugkit::EFileResult::kNotOurs;
  }

  void _copy(IEditorServices& services) const
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    services.setClipboardText(_buildFile().toString());
  }

  void _paste(IEditorServices& services)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    std::string text;
    if (!services.getClipboardText(text) || text.empty())
      return;
    if (std::optional<zarvo::ZarvoFile> file = zarvo::ZarvoFile::fromText(text))
      _applyFile(*file);
  }

  // Whether the clipboard holds a controller map; false without an editor.
  bool clipboardHasCC(IEditorServices* services) const
  {
    std::string text;
    if (!services || !services->getClipboardText(text) || text.empty())
      return false;
    const std::optional<zarvo::ZarvoFile> file = zarvo::ZarvoFile::fromText(text);
    return file && file->hasSection(MapperZarvoAdapter::kSectionName);
  }

  // Replaces the map with the file's "midi-cc" section; a file without one changes nothing (false).
  // The learn state stays.
  bool _applyFile(const zarvo::ZarvoFile& file)
  {
    PLUGKIT_ASSERT_MAIN_THREAD();
    if (!file.hasSection(MapperZarvoAdapter::kSectionName))
      return false;
    MappingTable mappings = MapperZarvoAdapter::fromLines(file.section(MapperZarvoAdapter::kSectionName));
    if (mBeforeChange)
      mBeforeChange();
    mMediator->mapper().replaceMappings(std::move(mappings));
    mMediator->refreshUI();
    if (mReadExtraSections)
      mReadExtraSections(file);
    if (mOnApplied)
      mOnApplied();
    return true;
  }

private:
  std::string folder() const { return mDialogFolder ? mDialogFolder() : std::string(); }
  void report(plugkit::EFileResult result) const
  {
    if (mReportFileResult)
      mReportFileResult(result);
  }

  Mediator* mMediator;
  std::string mPluginName;
  std::string mPluginVersion;
  FolderFunc mDialogFolder;
  ActionFunc mOnApplied;
  WriteSectionsFunc mWriteExtraSections;
  ReadSectionsFunc mReadExtraSections;
  ActionFunc mBeforeChange;
  FileResultFunc mReportFileResult;
  std::string mDefaultFileName;
};

} // namespace zarvo::midi_cc
