// The user tab: the panel of columns the user composes, over its own copy of the registry.
#include <memory>
#include <string>
#include <vector>

#include "IGfx/IGfx.h"
#include "product/editor/layout.h"
#include "product/VemlorConfig.h"
#include "product/ui/theme.h"
#include "product/ui/user_tab_edit_mode.h"
#include "utils/ui/WrapKnobControl.h"
#include "utils/user_tab/user_tab_panel.h"

namespace vemlor::ui {

using namespace plugkit::gfx;
using zarvo::ui::GlyphLabel;
using zarvo::ui::UserTabPanel;

namespace {

GlyphLabel icon(const char* utf8) { return GlyphLabel::glyph(utf8, kIconFont); }

// The panel reports new slots and the edit mode. The plug-in keeps the slots; entering or leaving
// edit mode folds or restores the preset strip, and leaving it saves the default layout. A layout
// replaced outside edit mode (a file dropped on the tab, a paste, a clear) is saved at once; what the
// panel corrects while it is being made is not.
void onUserTabChanged(EditorModel& plugin, const std::vector<UserTabPanel::Slot>& slots, bool editing, bool building)
{
  EditorUIState& ui = plugin.editorUI();
  const bool replaced = !building && !editing && !ui.userTabEditing && slots != plugin.userTabColumns();
  plugin.setUserTabColumns(slots);
  UserTabEditState state{ui.userTabEditing, ui.presetStripCollapsed, ui.presetStripCollapsedBeforeEdit};
  applyUserTabEditMode(plugin.GetUI(), state, editing, ui.currentTab,
                       [&plugin] { plugin.saveDefaultUserLayout(plugin.userTabColumns()); });
  ui.userTabEditing = state.editMode;
  ui.presetStripCollapsed = state.stripCollapsed;
  ui.presetStripCollapsedBeforeEdit = state.collapsedBeforeEdit;
  if (replaced)
    plugin.saveDefaultUserLayout(slots);
}

} // namespace

void attachUserTab(LayoutPass& pass)
{
  EditorModel& plugin = pass.model;
  // Named-position knobs fit into their cells; every other control is placed as the registry makes it.
  zarvo::ui::ControlRegistry registry = pass.registry;
  for (zarvo::ui::ControlRegistry::Entry& entry : registry.entries)
    entry.desc.factory = zarvo::ui::WrapKnobControl::fitted(std::move(entry.desc.factory));

  IVStyle style = pass.styles.style1;
  style.colorSpec.SetColor(EVColor::FR, COLOR_TRANSPARENT);
  auto building = std::make_shared<bool>(true);
  auto* panel = new UserTabPanel(
    pass.content, std::move(registry), plugin.userTabColumns(), plugin.editorUI().userTabEditing, style, accentColor,
    [&plugin, building](const std::vector<UserTabPanel::Slot>& slots, bool editing) {
      onUserTabChanged(plugin, slots, editing, *building);
    },
    zarvo::kVemlorConfig.productName, zarvo::kVemlorVersionText.c_str(), "zarvo", nullptr, nullptr);
  panel->setLayoutTokenCodec(&EditorModel::layoutTokenFromId, &EditorModel::layoutIdFromToken);

  panel->plusGlyph = icon("\U000F0416");
  panel->removeGlyph = icon("\U000F0157");
  panel->widthGlyph = icon("\U000F0E5E");
  panel->moveGlyph = icon("\U000F01BE");
  panel->dragHint = "hold shift to move whole column";
  panel->afterRebuild = [&plugin] { plugin.morphController().syncControls(); };
  panel->highlightColor = colMidLightGray;
  panel->hasHighlight = true;
  panel->addColumnWidth = 50.f;
  panel->lockedGlyph = icon("\U000F090C");
  panel->unlockedGlyph = icon("\U000F0135");
  panel->saveGlyph = iconSave;
  panel->loadGlyph = iconLoad;
  panel->copyGlyph = iconCopy;
  panel->pasteGlyph = iconPaste;
  panel->undoGlyph = icon("\U000F054C");
  panel->clearGlyph = icon("\U000F062A");
  panel->lockTipLocked = "edit user layout";
  panel->lockTipUnlocked = "exit edit mode";
  panel->saveTip = "save layout to file\n\nwhich controls sit where \u2014 no sound";
  panel->loadTip = "load layout from file\n\nrearranges this tab only \u2014 the sound stays";
  panel->copyTip = "copy layout to clipboard";
  panel->pasteTip = "paste layout from clipboard";
  panel->clearTip = "clear the layout";
  panel->undoTip = "undo";
  panel->addControlTip = "add a control";
  panel->addColumnTip = "add a column";
  panel->cellTip = "drag to move,\nhold shift to move the whole column,\nclick X to remove";
  panel->toolbarButtonSize = 18.f;
  panel->showClipboardButtons = false;
  panel->topBand = 20.f;
  panel->bottomBand = 18.f;
  pass.g.AttachControl(panel, kTagUserTab, kGroupTabUser);
  *building = false;
}

} // namespace vemlor::ui
