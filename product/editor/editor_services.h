// The editor services the plug-in hands its parts: the open editor's clipboard, file dialogs and the
// bubble that tells a file's failure.
#pragma once

#include <functional>
#include <string>

#include "utils/editor_services.h"

namespace plugkit::gfx {
class IGEditorDelegate;
} // namespace plugkit::gfx

namespace zarvo {
class PresetManager;
} // namespace zarvo

namespace vemlor::ui {

// Main thread. With the editor closed the clipboard holds nothing and takes nothing, a prompt
// completes at once as cancelled and a report shows nothing.
class EditorServices final : public zarvo::IEditorServices
{
public:
  // Milliseconds of a steady clock.
  using Clock = std::function<double()>;

  // The delegate owns the open editor; the clock times how long a file message holds the bubble.
  EditorServices(const plugkit::gfx::IGEditorDelegate& delegate, const Clock& clock)
    : mDelegate(delegate)
    , mClock(clock)
  {}
  // An empty folder is the preset manager's last-used folder, else its preset folder.
  void attach(const zarvo::PresetManager& manager) { mPresetManager = &manager; }

  bool getClipboardText(std::string& text) override;
  bool setClipboardText(const std::string& text) override;
  void promptForFile(const std::string& fileName, const std::string& folder, EFileAction action,
                     const std::string& extension, FileCompletion completion) override;
  // A file that could not be loaded or saved is told in the open editor's bubble, over the morph pad
  // when it is shown (a preset's under the preset strip); a success shows nothing.
  void reportFileResult(plugkit::EFileResult result, EFileContent content) override;

  // The bubble still holds a file message, so hover help waits.
  bool holdsFileMessage() const { return mClock() < mFileMessageUntilMs; }

private:
  const plugkit::gfx::IGEditorDelegate& mDelegate;
  const Clock& mClock;
  const zarvo::PresetManager* mPresetManager = nullptr;
  // Until this time the bubble holds a file message.
  double mFileMessageUntilMs = 0.0;
};

} // namespace vemlor::ui
