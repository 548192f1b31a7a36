// The morph page's side of the plug-in: the pad's edit affordance, the field's appearance and its
// preferences, and the preset library the strip and browser read.
#include "product/Vemlor.h"

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
  const zarvo::morph::MorphZarvoAdapter::Appearance& a = mMorph->appearance;
  zarvo::SettingsStore& store = prefs();
  store.put(zarvo::prefkey::kMorphFieldLineBrightness, fmt::format("{:.6f}", a.lineBrightness));
  store.put(zarvo::prefkey::kIsoLevels, fmt::format("{}", a.isoLevels));
  store.put(zarvo::prefkey::kGridStep, fmt::format("{:.6f}", a.gridStep));
  store.save();
}

zarvo::ui::PresetLibrary* Vemlor::presetLibrary()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!mPresetLibrary && mPresetManager)
    mPresetLibrary = std::make_unique<vemlor::ui::PresetManagerLibrary>(*mPresetManager);
  return mPresetLibrary.get();
}
