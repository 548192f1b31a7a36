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
    UserTabPanel::Callbacks{[&plugin, building](const std::vector<UserTabPanel::Slot>& slots, bool editing) {
                              onUserTabChanged(plugin, slots, editing, *building);
                            },
                            [&plugin] { plugin.morphController().syncControls(); }},
    zarvo::kVemlorConfig.productName, zarvo::kVemlorVersionText.c_str(), "zarvo", nullptr, nullptr);
  panel->setLayoutTokenCodec(&EditorModel::layoutTokenFromId, &EditorModel::layoutIdFromToken);

  UserTabPanel::Appearance look = panel->appearance();
  look.plusGlyph = icon("\U000F0416");
  look.removeGlyph = icon("\U000F0157");
  look.widthGlyph = icon("\U000F0E5E");
  look.moveGlyph = icon("\U000F01BE");
  look.dragHint = "hold shift to move whole column";
  look.highlightColor = colMidLightGray;
  look.hasHighlight = true;
  look.addColumnWidth = 50.f;
  look.lockedGlyph = icon("\U000F090C");
  look.unlockedGlyph = icon("\U000F0135");
  look.saveGlyph = iconSave;
  look.loadGlyph = iconLoad;
  look.copyGlyph = iconCopy;
  look.pasteGlyph = iconPaste;
  look.undoGlyph = icon("\U000F054C");
  look.clearGlyph = icon("\U000F062A");
  look.lockTipLocked = "edit user layout";
  look.lockTipUnlocked = "exit edit mode";
  look.saveTip = "save layout to file\n\nwhich controls sit where \u2014 no sound";
  look.loadTip = "load layout from file\n\nrearranges this tab only \u2014 the sound stays";
  look.copyTip = "copy layout to clipboard";
  look.pasteTip = "paste layout from clipboard";
  look.clearTip = "clear the layout";
  look.undoTip = "undo";
  look.addControlTip = "add a control";
  look.addColumnTip = "add a column";
  look.cellTip = "drag to move,\nhold shift to move the whole column,\nclick X to remove";
  look.toolbarButtonSize = 18.f;
  look.showClipboardButtons = false;
  look.topBand = 20.f;
  look.bottomBand = 18.f;
  panel->setAppearance(look);
  pass.g.AttachControl(panel, kTagUserTab, kGroupTabUser);
  *building = false;
}

} // namespace vemlor::ui
