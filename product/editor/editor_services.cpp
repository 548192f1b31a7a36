// The editor services: the open editor's clipboard, file dialogs, and file messages in the bubble
// over the morph pad or under the preset strip.
#include "product/editor/editor_services.h"

#include <filesystem>

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/editor/layout.h"
#include "product/patch/preset_manager.h"
#include "product/ui/tooltip_bubble_control.h"
#include "utils/morph/morph_pad_control.h"

namespace {

zarvo::morph::MorphPadControl* openMorphPad(plugkit::gfx::IGfx* g)
{
  return g ? dynamic_cast<zarvo::morph::MorphPadControl*>(g->GetControlWithTag(vemlor::ui::kTagMorphPad)) : nullptr;
}

// Long enough to read two short lines.
constexpr double kFileMessageHoldMs = 4000.0;
// Where the message starts: inside the pad's left edge below its row of buttons, or at the same
// place of the editor without the pad.
constexpr float kFileMessageLeft = 16.f;
constexpr float kFileMessageTop = 40.f;
constexpr float kFileMessageBelowStrip = 16.f;

using EFileContent = zarvo::IEditorServices::EFileContent;

// What the user reads when a preset file failed; null for a success.
const char* presetFailureText(plugkit::EFileResult result)
{
  switch (result)
  {
  case plugkit::EFileResult::kUnreadable: return "the preset could not be read.\nnothing was changed.";
  case plugkit::EFileResult::kNotOurs: return "not a preset of this plug-in, or damaged.\nnothing was changed.";
  case plugkit::EFileResult::kWriteFailed: return "the preset could not be saved.\nnothing was written.";
  case plugkit::EFileResult::kOk: break;
  }
  return nullptr;
}

// What the user reads when a file failed; null for a success.
const char* fileFailureText(plugkit::EFileResult result, EFileContent content)
{
  if (content == EFileContent::Preset)
    return presetFailureText(result);
  if (content == EFileContent::Preferences)
    return result == plugkit::EFileResult::kOk
             ? nullptr
             : "preferences.ini could not be read, so it is not replaced.\nsettings last until the host quits.";
  switch (result)
  {
  case plugkit::EFileResult::kUnreadable: return "the file could not be read.\nnothing was changed.";
  case plugkit::EFileResult::kNotOurs:
    return content == EFileContent::ControllerMap ? "not a cc map of this plug-in.\nnothing was changed."
                                                  : "not a morph rig or sound of this plug-in.\nnothing was changed.";
  case plugkit::EFileResult::kWriteFailed: return "the file could not be written.";
  case plugkit::EFileResult::kOk: break;
  }
  return nullptr;
}

} // namespace

namespace vemlor::ui {

bool EditorServices::getClipboardText(std::string& text)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = mDelegate.GetUI();
  TextString str;
  if (!g || !g->GetTextFromClipboard(str))
    return false;
  text = str.Get();
  return true;
}

bool EditorServices::setClipboardText(const std::string& text)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = mDelegate.GetUI();
  return g && g->SetTextInClipboard(text.c_str());
}

void EditorServices::promptForFile(const std::string& fileName, const std::string& folder, EFileAction action,
                                   const std::string& extension, FileCompletion completion)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = mDelegate.GetUI();
  if (!g)
  {
    if (completion)
      completion(std::string(), std::string());
    return;
  }
  const bool save = action == EFileAction::Save;
  std::string start = folder;
  if (start.empty() && mPresetManager)
    start = mPresetManager->lastUsedDir().empty() ? mPresetManager->userPresetDir() : mPresetManager->lastUsedDir();
  // A save dialog starting in a folder that does not exist yet would start somewhere else.
  std::error_code ec;
  if (save && !start.empty())
    std::filesystem::create_directories(start, ec);
  TextString name(fileName.c_str());
  TextString path(start.c_str());
  g->PromptForFile(name, path, save ? plugkit::gfx::EFileAction::Save : plugkit::gfx::EFileAction::Open,
                   extension.c_str(),
                   [completion = std::move(completion)](const TextString& file, const TextString& dir) {
                     if (completion)
                       completion(std::string(file.Get()), std::string(dir.Get()));
                   });
}

void EditorServices::reportFileResult(plugkit::EFileResult result, EFileContent content)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  const char* text = fileFailureText(result, content);
  plugkit::gfx::IGfx* g = mDelegate.GetUI();
  if (!text || !g)
    return;
  auto* bubble = dynamic_cast<vemlor::ui::TooltipBubbleControl*>(g->GetBubbleControl(0));
  if (!bubble)
    return;
  // A preset's message sits under the preset strip, where the file was chosen; the others over the pad.
  plugkit::gfx::IControl* strip =
    content == EFileContent::Preset ? g->GetControlWithTag(vemlor::ui::kTagPresetStrip) : nullptr;
  plugkit::gfx::IControl* anchor = strip ? strip : openMorphPad(g);
  const plugkit::gfx::IRECT area =
    anchor ? anchor->GetRECT()
           : plugkit::gfx::IRECT(0.f, 0.f, static_cast<float>(g->Width()), static_cast<float>(g->Height()));
  // The bubble is centred on its anchor's height: an anchor as high as the message keeps it inside.
  plugkit::gfx::IRECT size;
  bubble->MeasureText(text, size);
  const float x = area.L + kFileMessageLeft;
  const float y = strip ? area.B + kFileMessageBelowStrip : area.T + kFileMessageTop;
  bubble->showTooltip(anchor, plugkit::gfx::IRECT(x, y, x, y + size.H()), text);
  mFileMessageUntilMs = mClock() + kFileMessageHoldMs;
}

} // namespace vemlor::ui
