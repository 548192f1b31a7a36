// The morph page's side of the plug-in: the pad's edit affordance, the field's appearance and its
// preferences.
#include "product/Vemlor.h"

#include <fmt/format.h>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "product/editor/editor_model.h"
#include "product/editor/layout.h"
#include "product/editor/morph_page.h"
#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
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
  if (!editorModel().morphFieldPrefsChanged)
    return;
  // A slider drag reports every step: write once it has ended. A closed editor drags nothing, so
  // settings changed just before closing are still written.
  if (const plugkit::gfx::IGfx* g = GetUI(); g && g->ControlIsCaptured())
    return;
  editorModel().morphFieldPrefsChanged = false;
  const zarvo::morph::MorphZarvoAdapter::Appearance& a = mMorph->appearance();
  zarvo::SettingsStore& store = prefs();
  store.put(zarvo::prefkey::kMorphFieldLineBrightness, fmt::format("{:.6f}", a.lineBrightness));
  store.put(zarvo::prefkey::kIsoLevels, fmt::format("{}", a.isoLevels));
  store.put(zarvo::prefkey::kGridStep, fmt::format("{:.6f}", a.gridStep));
  store.save();
  tellIfPreferencesHeld();
}

void Vemlor::writePreference(std::string_view key, std::string value)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  zarvo::writePref(prefs(), key, std::move(value));
  tellIfPreferencesHeld();
}

void Vemlor::tellIfPreferencesHeld()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (GetUI() && prefs().takeHeldNotice())
    mEditorServices.reportFileResult(plugkit::EFileResult::kWriteFailed,
                                     zarvo::IEditorServices::EFileContent::Preferences);
}
