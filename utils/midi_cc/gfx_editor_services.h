// The open editor's graphics context as the controller map's file and clipboard actions see it.
#pragma once

#include <string>
#include <utility>

#include "IGfx/IGfx.h"
#include "utils/midi_cc/editor_services.h"

namespace zarvo::midi_cc {

// Main thread; lives for one action, the dialogs answer through the completion.
class GfxEditorServices final : public IEditorServices
{
public:
  explicit GfxEditorServices(plugkit::gfx::IGfx& g)
    : mG(g)
  {}

  bool getClipboardText(std::string& text) override
  {
    TextString str;
    const bool ok = mG.GetTextFromClipboard(str);
    text = str.Get();
    return ok;
  }

  bool setClipboardText(const std::string& text) override { return mG.SetTextInClipboard(text.c_str()); }

  void promptForFile(const std::string& fileName, const std::string& folder, EFileAction action,
                     const std::string& extension, FileCompletion completion) override
  {
    TextString name(fileName.c_str());
    TextString path(folder.c_str());
    const auto kind = action == EFileAction::Save ? plugkit::gfx::EFileAction::Save : plugkit::gfx::EFileAction::Open;
    mG.PromptForFile(name, path, kind, extension.c_str(),
                     [completion = std::move(completion)](const TextString& file, const TextString& dir) {
                       if (completion)
                         completion(file.Get(), dir.Get());
                     });
  }

private:
  plugkit::gfx::IGfx& mG;
};

} // namespace zarvo::midi_cc
