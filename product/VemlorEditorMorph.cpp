// The morph page's side of the plug-in: the pad's edit affordance, the field's appearance and its
// preferences, and the preset library the strip and browser read.
#include "product/Vemlor.h"

#include <filesystem>

#include <fmt/format.h>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/VemlorUI.h"
#include "product/VemlorUIMorphPage.h"
#include "product/patch/settings_store.h"
#include "product/ui/preset_manager_library.h"
#include "utils/morph/morph_pad_control.h"

namespace {

zarvo::morph::MorphPadControl* openMorphPad(plugkit::gfx::IGfx* g)
{
  return g ? dynamic_cast<zarvo::morph::MorphPadControl*>(g->GetControlWithTag(vemlor::ui::kTagMorphPad)) : nullptr;
}

} // namespace

void Vemlor::pulseEditAffordance()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (zarvo::morph::MorphPadControl* pad = openMorphPad(GetUI()))
    pad->pulseEditAffordance();
}

void Vemlor::applyMorphAppearance(float lineBrightness, int isoLevels, float gridStep)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  zarvo::morph::MorphPadControl* pad = openMorphPad(GetUI());
  if (!pad)
    return;
  vemlor::ui::applyPadAppearance(*pad, lineBrightness, isoLevels, gridStep);
  pad->SetDirty(false);
}

void Vemlor::persistMorphFieldPrefsIfChanged()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!morphFieldPrefsChanged)
    return;
  // A slider drag reports every step: write once it has ended. A closed editor drags nothing, so
  // settings changed just before closing are still written.
  if (const plugkit::gfx::IGfx* g = GetUI(); g && g->ControlIsCaptured())
    return;
  morphFieldPrefsChanged = false;
  const zarvo::morph::MorphZarvoAdapter::Appearance& a = mMorph->appearance();
  zarvo::SettingsStore& store = prefs();
  store.put(zarvo::prefkey::kMorphFieldLineBrightness, fmt::format("{:.6f}", a.lineBrightness));
  store.put(zarvo::prefkey::kIsoLevels, fmt::format("{}", a.isoLevels));
  store.put(zarvo::prefkey::kGridStep, fmt::format("{:.6f}", a.gridStep));
  store.save();
}

std::optional<std::string> Vemlor::clipboardText() const
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = GetUI();
  TextString text;
  if (!g || !g->GetTextFromClipboard(text))
    return std::nullopt;
  return std::string(text.Get());
}

void Vemlor::setClipboardText(const std::string& text)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (plugkit::gfx::IGfx* g = GetUI())
    g->SetTextInClipboard(text.c_str());
}

void Vemlor::chooseFile(bool save, const std::string& proposedName, const std::string& extension, FileChosen done)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = GetUI();
  if (!g)
  {
    if (done)
      done(std::string());
    return;
  }
  std::string folder;
  if (mPresetManager)
    folder = mPresetManager->lastUsedDir().empty() ? mPresetManager->userPresetDir() : mPresetManager->lastUsedDir();
  // A save dialog starting in a folder that does not exist yet would start somewhere else.
  std::error_code ec;
  if (save && !folder.empty())
    std::filesystem::create_directories(folder, ec);
  TextString fileName(proposedName.c_str());
  TextString path(folder.c_str());
  g->PromptForFile(fileName, path, save ? plugkit::gfx::EFileAction::Save : plugkit::gfx::EFileAction::Open,
                   extension.c_str(), [done = std::move(done)](const TextString& file, const TextString&) {
                     if (done)
                       done(std::string(file.Get()));
                   });
}
