// What the controller map's file and clipboard actions need of the open editor.
#pragma once

#include <functional>
#include <string>

namespace zarvo::midi_cc {

// The clipboard and the platform's file dialogs; the graphics context implements it. Main thread.
class IEditorServices
{
public:
  enum class EFileAction
  {
    Open,
    Save
  };

  // The chosen file's full path and its folder; an empty path when the dialog was cancelled.
  // Runs later, on the main thread.
  using FileCompletion = std::function<void(const std::string& path, const std::string& folder)>;

  virtual ~IEditorServices() = default;

  // False when the clipboard holds no text.
  virtual bool getClipboardText(std::string& text) = 0;
  virtual bool setClipboardText(const std::string& text) = 0;
  // Shows the open or save dialog starting in `folder`, proposing `fileName`, filtered to files
  // with the extension (without its dot); returns at once.
  virtual void promptForFile(const std::string& fileName, const std::string& folder, EFileAction action,
                             const std::string& extension, FileCompletion completion) = 0;
};

} // namespace zarvo::midi_cc
