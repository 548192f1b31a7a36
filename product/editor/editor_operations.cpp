// The editor's construction, size, tabs and scale as the plug-in runs them.
#include "product/Vemlor.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include <fmt/format.h>

#include "IGfx/IGfx.h"
#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/TextScan.h"
#include "product/VemlorEditorModel.h"
#include "product/editor/layout.h"
#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
#include "utils/ui/PresetStripControl.h"
#include "utils/user_tab/user_tab_panel.h"

namespace {

constexpr int kNumTabs = 3;
constexpr int kUserTab = 2;
constexpr int kFrequenciesTab = 1;
// Larger draw scales than this are taken for a damaged preference.
constexpr double kMaxStoredScale = 20.0;

} // namespace

void Vemlor::initializeLayout()
{
  SetLayoutFunc([this](plugkit::gfx::IGfx* g) {
    if (g)
      vemlor::ui::layoutEditor(*mEditorModel, *g);
  });
}

float Vemlor::takeEditorScale()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  double scale = 0.0;
  mScaleFromStateAtOpen = editorUI().uiScalePending;
  if (editorUI().uiScalePending)
    scale = editorUI().uiScale;
  else
  {
    // The leading number as the C library reads it in its own locale, whatever the host's locale.
    const std::string text = prefs().getString(zarvo::prefkey::kUiScale, "1");
    std::string_view rest = text;
    plugkit::ReadNumber(rest, scale, {.blanks = plugkit::kStreamBlanks, .finite = false});
  }
  if (!(scale > 0.0 && scale <= kMaxStoredScale))
    scale = 1.0;
  // Within what the editor's size limits allow.
  scale = std::clamp(scale, double(plugkit::gfx::IGfx::kDefaultMinScale), double(plugkit::gfx::IGfx::kDefaultMaxScale));
  editorUI().uiScalePending = false;
  editorUI().uiScale = static_cast<float>(scale);
  return editorUI().uiScale;
}

void Vemlor::sendParamValuesToEditor()
{
  for (int i = 0; i < NParams(); ++i)
  {
    const plugkit::IParam* p = GetParam(i);
    const double normalized = std::clamp(p->ToNormalized(p->Constrain(p->Value())), 0.0, 1.0);
    SendParameterValueFromDelegate(i, normalized, true);
  }
}

void Vemlor::OnUIOpen()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = GetUI();
  if (!g)
    return;
  // Reopening restores the size the editor had when it closed; a scale restored from state since wins.
  if (std::exchange(mScaleFromStateAtOpen, false) && g->GetDrawScale() != editorUI().uiScale)
    g->Resize(vemlor::ui::kEditorWidth, g->Height(), editorUI().uiScale, true);
  editorUI().uiScale = g->GetDrawScale();
  sendParamValuesToEditor();
  rebuildMorphLayout();
  mHostInfoView.showAgainOnNextUpdate();
  raiseLayoutUpdate();
}

void Vemlor::rebuildMorphLayout()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = GetUI();
  if (!g)
    return;
  const bool active = mMorph && mMorph->morphOn();
  const int height = currentUIHeight();
  if (g->Height() == height && editorUI().layoutMorphActive == active)
    return;
  g->Resize(vemlor::ui::kEditorWidth, height, g->GetDrawScale(), true);
  LayoutUI(g);
  sendParamValuesToEditor();
  g->SetAllControlsDirty();
}

bool Vemlor::tryUpdateLayout()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  // A turn-off waiting for its bake is committed even while the editor is closed.
  mMorph->commitTurningOffIfPending();
  rebuildMorphLayout();
  const bool scaled = setPendingUIScale();
  return updateHostInfoView() && scaled;
}

bool Vemlor::setPendingUIScale()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (!editorUI().uiScalePending)
    return true;
  plugkit::gfx::IGfx* g = GetUI();
  if (!g)
    return false;
  g->Resize(vemlor::ui::kEditorWidth, currentUIHeight(), editorUI().uiScale, false);
  editorUI().uiScalePending = false;
  return true;
}

void Vemlor::applyPresetStripToggleLock()
{
  plugkit::gfx::IGfx* g = GetUI();
  if (!g)
    return;
  auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(g->GetControlWithTag(vemlor::ui::kTagPresetStrip));
  if (!strip)
    return;
  strip->collapsible = !(editorUI().currentTab == kUserTab && editorUI().userTabEditing);
  strip->SetDirty(false);
}

void Vemlor::persistUIScalePrefIfSettled()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = GetUI();
  // A corner drag reports every step; the preference is written once it has ended.
  if (!editorUI().uiScalePrefDirty || !g || g->GetResizingInProcess())
    return;
  editorUI().uiScalePrefDirty = false;
  writePreference(zarvo::prefkey::kUiScale, fmt::format("{:.6f}", g->GetDrawScale()));
}

void Vemlor::switchTab(int index)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  plugkit::gfx::IGfx* g = GetUI();
  if (!g)
    return;
  if (editorUI().currentTab == kUserTab && index != kUserTab)
  {
    auto* panel = dynamic_cast<zarvo::ui::UserTabPanel*>(g->GetControlWithTag(vemlor::ui::kTagUserTab));
    // Leaving edit mode reports to the panel's change handler, which restores the strip.
    if (panel && panel->unlocked())
      panel->setUnlocked(false);
  }
  editorUI().currentTab = index;

  const char* tabGroups[kNumTabs] = {vemlor::ui::kGroupTabAll, vemlor::ui::kGroupTabFreqs, vemlor::ui::kGroupTabUser};
  for (int i = 0; i < kNumTabs; ++i)
    g->ForControlInGroup(tabGroups[i], [show = i == index](plugkit::gfx::IControl* c) { c->Hide(!show); });
  refreshMainPTShapeUI();
  refreshPreFltPTShapeUI();
  g->ForControlInGroup(vemlor::ui::kGroupRandMut,
                       [hide = index == kFrequenciesTab](plugkit::gfx::IControl* c) { c->Hide(hide); });
  g->ForControlInGroup(vemlor::ui::kGroupPreset, [](plugkit::gfx::IControl* c) { c->Hide(false); });
  if (editorUI().presetStripCollapsed)
    for (int tag : vemlor::ui::kPresetRowTags)
      if (plugkit::gfx::IControl* c = g->GetControlWithTag(tag))
        c->Hide(true);
  applyPresetStripToggleLock();
  g->SetAllControlsDirty();
}

void Vemlor::redrawMorphPad()
{
  if (plugkit::gfx::IGfx* g = GetUI())
    if (plugkit::gfx::IControl* pad = g->GetControlWithTag(vemlor::ui::kTagMorphPad))
      pad->SetDirty(false);
}
