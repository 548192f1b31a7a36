// What the plug-in's parts need of its editor: the clipboard, the file dialogs and messages to the user.
#pragma once

#include <functional>
#include <string>

#include "IPlugin/IPluginFiles.h"

namespace zarvo {

// One implementation per plug-in, handed to every part that copies, pastes, saves or loads. Main
// thread. With the editor closed the clipboard holds nothing and takes nothing, a prompt completes at
// once as cancelled and a report shows nothing.
class IEditorServices
{
public:
  enum class EFileAction
  {
    Open,
    Save
  };

  // What a file was meant to hold, so that a message about it names the right thing.
  enum class EFileContent
  {
    MorphField, // a morph rig, or a sound of a morph point or blend
    ControllerMap,
    Preset,     // a preset file loaded or saved as the patch
    Preferences // the preferences file, which could not be read and so is not replaced
  };

  // The chosen file's full path and its folder; an empty path when the dialog was cancelled. Runs
  // later, on the main thread (at once when no dialog could be shown).
  using FileCompletion = std::function<void(const std::string& path, const std::string& folder)>;

  virtual ~IEditorServices() = default;

  // False when the clipboard holds no text.
  virtual bool getClipboardText(std::string& text) = 0;
  // False when the clipboard did not take the text.
  virtual bool setClipboardText(const std::string& text) = 0;
  // Shows the open or save dialog starting in `folder` (empty: the plug-in's preset folder),
  // proposing `fileName`, filtered to files with the extension (without its dot); returns at once.
  virtual void promptForFile(const std::string& fileName, const std::string& folder, EFileAction action,
                             const std::string& extension, FileCompletion completion) = 0;
  // Tells the user what became of a file they chose; a success shows nothing.
  virtual void reportFileResult(plugkit::EFileResult result, EFileContent content) = 0;
};

} // namespace zarvo
