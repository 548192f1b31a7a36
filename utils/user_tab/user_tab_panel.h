// The user tab: columns of catalogue controls that the user composes in an edit mode by picking,
// dragging and removing, with undo, and exchanges as layout text through files and the clipboard.
#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "IGfx/IContainerBase.h"
#include "IGfx/IPopupMenu.h"
#include "IGfx/IVStyle.h"
#include "utils/ui/GlyphLabel.h"
#include "utils/user_tab/user_tab_control_source.h"
#include "utils/user_tab/user_tab_layout.h"
#include "utils/user_tab/user_tab_registry_source.h"

namespace zarvo::ui {

// What the editor sets once, before attaching; read at every rebuild. The tips are the tooltips of
// the toolbar buttons, the "+" buttons and the cells.
struct UserTabAppearance
{
  GlyphLabel lockedGlyph, unlockedGlyph, plusGlyph, removeGlyph, moveGlyph, saveGlyph, loadGlyph, copyGlyph, pasteGlyph,
    clearGlyph, undoGlyph, widthGlyph;
  float glyphScale = 0.f;
  std::string dragHint;
  std::string lockTipLocked, lockTipUnlocked, saveTip, loadTip, copyTip, pasteTip, clearTip, undoTip, addControlTip,
    addColumnTip, cellTip;
  float toolbarButtonSize = 40.f;
  bool showClipboardButtons = true;
  float topBand = 0.f;
  float bottomBand = 0.f;
  float addColumnWidth = 20.f;
  plugkit::gfx::IColor highlightColor{255, 0, 0, 0};
  bool hasHighlight = false;
};

struct UserTabCallbacks
{
  // The slots and the mode after every change; the plug-in keeps them.
  std::function<void(const std::vector<UserTabLayout::Slot>& slots, bool unlocked)> onChanged;
  std::function<void()> afterRebuild;
};

// Main thread only. Every change of the layout or the mode ends in rebuild(), which makes all children
// again; the plug-in keeps slots and mode through the on-changed callback. Appearance and callbacks are
// private bases so that the implementation names their fields directly.
class UserTabPanel : public plugkit::gfx::IContainerBase, private UserTabAppearance, private UserTabCallbacks
{
public:
  using Appearance = UserTabAppearance;
  using Callbacks = UserTabCallbacks;
  using IRECT = plugkit::gfx::IRECT;
  using Slot = UserTabLayout::Slot;
  using SpacerDef = UserTabLayout::SpacerDef;
  using IdToToken = UserTabLayout::IdToToken;
  using TokenToId = UserTabLayout::TokenToId;
  static constexpr const auto& kSpacerDefs = UserTabLayout::kSpacerDefs;
  // Column heights may exceed 1 by this much before a column counts as full.
  static constexpr float kFullTolerance = 1.0001f;

  class CellOverlay;
  class DragIndicator;
  class BorderOverlay;
  class PaddingControl;

  // What a drop would move: a cell into a column, the whole column (started on the column or with
  // shift held) to a gap between columns, or a cell into a new column at either end.
  enum class DropKind
  {
    cell,
    column,
    newColumn
  };

  // The drag of a cell or a column (see the drag members below).
  struct DragState
  {
    bool active = false;
    DropKind drop = DropKind::cell;
    bool wholeColumn = false;
    int fromColumn = -1;
    int fromIndex = -1;
    IRECT startRect;
    int targetColumn = -1;
    int targetPosition = -1;
    bool valid = false;
  };

  // What the drag indicator shows: an outline and a 2-pixel line at the drop position.
  struct DropMark
  {
    IRECT outline;
    float x1 = 0.f, y1 = 0.f, x2 = 0.f, y2 = 0.f;
  };

  // The registry is the panel's own copy; the panel adds its spacer and width-modifier controls to it.
  // Ids the catalogue lacks are dropped from the slots, emptied slots removed, the rest normalised and
  // kept within UserTabLayout's limits; any such change is reported through onChanged at once.
  // fontA and fontB, when given, replace the font of the move glyph and of the "+" and width buttons.
  UserTabPanel(const IRECT& bounds, std::unique_ptr<UserTabControlSource> registry, std::vector<Slot> slots,
               bool unlocked, const plugkit::gfx::IVStyle& style, const plugkit::gfx::IColor& accentColor,
               Callbacks callbacks, std::string pluginName, std::string pluginVersion, std::string fileExtension,
               const char* fontA, const char* fontB);
  // The same over a registry value (entries {id, desc {factory, size, label}} and a root group tree).
  template <class Registry>
  requires(!std::is_convertible_v<Registry, std::unique_ptr<UserTabControlSource>>)
    UserTabPanel(const IRECT& bounds, Registry registry, std::vector<Slot> slots, bool unlocked,
                 const plugkit::gfx::IVStyle& style, const plugkit::gfx::IColor& accentColor, Callbacks callbacks,
                 std::string pluginName, std::string pluginVersion, std::string fileExtension, const char* fontA,
                 const char* fontB)
    : UserTabPanel(bounds, std::make_unique<RegistryControlSource<Registry>>(std::move(registry)), std::move(slots),
                   unlocked, style, accentColor, std::move(callbacks), std::move(pluginName), std::move(pluginVersion),
                   std::move(fileExtension), fontA, fontB)
  {}
  ~UserTabPanel() override;

  //---Framework notifications
  void OnAttached() override;
  // Only the tab's own rectangle answers (not the edit-mode bands), so that files dropped there load.
  bool IsHit(float x, float y) const override;
  bool IsDirty() override;
  void OnDrop(const char* path) override;
  void OnPopupMenuSelection(plugkit::gfx::IPopupMenu* menu, int valIdx) override;

  //---Mode and rebuilding
  const std::vector<Slot>& slots() const { return mSlots; }
  const std::vector<std::vector<Slot>>& history() const { return mHistory; }
  bool unlocked() const { return mUnlocked; }
  // Entering edit mode forgets the undo history.
  void setUnlocked(bool unlocked);
  void toggleLock() { setUnlocked(!mUnlocked); }
  void notifyChanged();
  void rebuild();
  void clearChildren();

  //---Slot queries
  bool slotHasWidthMod(const Slot& slot) const { return UserTabLayout::slotHasWidthMod(slot); }
  int widthModIndex(const Slot& slot) const { return UserTabLayout::widthModIndex(slot); }
  float slotWidthWeight(const Slot& slot) const { return UserTabLayout::slotWidthWeight(slot); }
  // Holds an id of 0 or above that the registry knows.
  bool slotHasRealControl(const Slot& slot) const;
  // The sum of the entries' height shares, 1 for each id the registry lacks.
  float slotHeightSum(const Slot& slot) const;
  bool hasControl(int id) const;
  // 1 for an id the registry lacks.
  float controlSize(int id) const;

  //---Layout text
  bool normalizeSlots() { return UserTabLayout::normalizeSlots(mSlots); }
  static std::vector<std::string> serializeSlotIds(const std::vector<Slot>& slots, const IdToToken& idToToken)
  {
    return UserTabLayout::serializeSlotIds(slots, idToToken);
  }
  static std::vector<Slot> parseSlotLines(const std::vector<std::string>& lines, const TokenToId& tokenToId)
  {
    return UserTabLayout::parseSlotLines(lines, tokenToId);
  }
  std::vector<std::string> serializeSlots() const { return serializeSlotIds(mSlots, idToToken); }
  std::string serializeLayout() const;
  // Replaces the layout (one undo step) with the slots the lines of a "user-tab" section give.
  bool applySection(const std::vector<std::string>& lines);
  // False, changing nothing, for a text that is no layout file or has no "user-tab" section.
  bool applySlots(std::string_view text);
  bool saveLayout(const std::string& path) const;
  bool loadLayout(const std::string& path);
  bool copyToClipboard() const;
  bool pasteFromClipboard();
  void setLayoutTokenCodec(IdToToken toToken, TokenToId toId);

  //---Edits: each takes one undo step, reports and rebuilds
  void addSlot(int id);
  void addToSlot(int column, int id);
  void removeEntry(int column, int index);
  void resetColumnWidth(int column);
  void clearSlots();
  void undo();
  void pushHistory() { mHistory.push_back(mSlots); }
  // Move primitives for drag and drop: no undo step, report or rebuild of their own. Targets name gaps
  // in the order before the move; cell positions count the cells of cellRects().
  void moveColumnTo(int from, int to);
  void moveEntryWithinSlot(int column, int from, int toCell);
  void moveEntryAcross(int fromColumn, int from, int toColumn, int toCell);
  void moveEntryToNewColumn(int fromColumn, int from, int newColumnIndex);

  //---Picker
  // Opens the menu of the catalogue for a column, or for a new column (-1), over rect.
  void showParamPicker(int column, const IRECT& rect);
  void buildPickerMenu(plugkit::gfx::IPopupMenu& menu, int column, const std::vector<int>& excluded) const;
  plugkit::gfx::IPopupMenu& pickerMenu() { return mMenu; }
  int pickerColumn() const { return mPickerColumn; }

  //---Drag and drop
  void beginCellDrag(int column, int index, const IRECT& rect, bool wholeColumn);
  void updateCellDrag(float x, float y, const plugkit::gfx::IMouseMod& mods);
  void endCellDrag(float x, float y, const plugkit::gfx::IMouseMod& mods);
  // The first column whose rectangle spans x (edges included), -1 when none does.
  int columnAtX(float x) const;
  const DragState& dragState() const { return mDrag; }
  // The outline and line the indicator draws for a valid drag; false without one.
  bool dropMark(DropMark& mark) const;
  void setHovered(CellOverlay* overlay, const IRECT& rect);
  void clearHovered(const CellOverlay* overlay);
  const CellOverlay* hoveredOverlay() const { return mHoveredOverlay; }
  const IRECT& hoveredRect() const { return mHoveredRect; }

  //---Geometry of the last rebuild
  const std::vector<IRECT>& columnRects() const { return mColumnRects; }
  const std::vector<std::vector<std::pair<int, IRECT>>>& cellRects() const { return mCellRects; }
  const std::vector<IRECT>& widthModRects() const { return mWidthModRects; }
  // Where the drag hint of the given width goes in band: centred, or, when the width buttons below the
  // columns are in the way, in the free stretch of the band nearest the centre that holds it.
  IRECT dragHintRect(const IRECT& band, float textWidth) const;

  //---Buttons; each returns a new control that rebuild attaches
  plugkit::gfx::IControl* makeButton(const IRECT& rect, const GlyphLabel& glyph, const char* text,
                                     const plugkit::gfx::IVStyle& style, std::function<void()> action, bool toolbar);
  plugkit::gfx::IControl* makeLockBtn(const IRECT& rect);
  plugkit::gfx::IControl* makePlusBtn(const IRECT& rect, int column);
  plugkit::gfx::IControl* makeWidthModBtn(const IRECT& rect, int column);
  plugkit::gfx::IControl* makeSaveBtn(const IRECT& rect);
  plugkit::gfx::IControl* makeLoadBtn(const IRECT& rect);
  plugkit::gfx::IControl* makeCopyBtn(const IRECT& rect);
  plugkit::gfx::IControl* makePasteBtn(const IRECT& rect);
  plugkit::gfx::IControl* makeClearBtn(const IRECT& rect);
  plugkit::gfx::IControl* makeUndoBtn(const IRECT& rect);
  plugkit::gfx::IControl* makeCellOverlay(const IRECT& rect, int column, int index, bool wholeColumn);
  // "3/4 width. click to remove" for a width modifier, empty for any other id.
  static std::string colWidthTip(int id);

  const plugkit::gfx::IVStyle& style() const { return mStyle; }
  const plugkit::gfx::IVStyle& largeStyle() const { return mLargeStyle; }
  const plugkit::gfx::IVStyle& buttonStyle() const { return mButtonStyle; }
  const plugkit::gfx::IVStyle& glyphStyle() const { return mGlyphStyle; }
  const plugkit::gfx::IColor& accentColor() const { return mAccentColor; }
  // The colour of hovered glyphs: highlightColor when set, else the accent colour.
  plugkit::gfx::IColor glyphHighlight() const { return hasHighlight ? highlightColor : mAccentColor; }
  const IRECT& baseRect() const { return mBaseRect; }

  const Appearance& appearance() const { return *this; }
  // Read at the next rebuild; attaching rebuilds.
  void setAppearance(const Appearance& look) { static_cast<Appearance&>(*this) = look; }

private:
  friend struct UserTabPanelTestProbe;

  IdToToken idToToken;
  TokenToId tokenToId;

  bool fitsColumn(const Slot& slot, float size) const;
  // The slots as a layout would hold them: known ids only, no empty slot, canonical, within the limits.
  void sanitize(std::vector<Slot>& slots) const;
  void changed();
  void attachChild(plugkit::gfx::IControl* control);
  void releaseDying();
  void promptFile(bool save);
  bool columnClosed(const Slot& slot) const;

  std::unique_ptr<UserTabControlSource> mRegistry;
  std::vector<Slot> mSlots;
  std::vector<std::vector<Slot>> mHistory;
  bool mUnlocked;
  plugkit::gfx::IVStyle mStyle, mLargeStyle, mButtonStyle, mGlyphStyle;
  plugkit::gfx::IColor mAccentColor;
  std::string mPluginName, mPluginVersion, mFileExtension;
  IRECT mBaseRect;

  DragState mDrag;
  CellOverlay* mHoveredOverlay = nullptr;
  IRECT mHoveredRect;
  std::vector<IRECT> mColumnRects;
  std::vector<std::vector<std::pair<int, IRECT>>> mCellRects;
  std::vector<IRECT> mWidthModRects;
  int mPickerColumn = -1;
  plugkit::gfx::IPopupMenu mMenu;
  // Children removed by a rebuild stay alive until the next frame check: a rebuild may run inside one
  // of their own event handlers.
  std::vector<plugkit::gfx::IControl*> mDying;
  // A file dialog may answer after the editor closed: its completion checks this first.
  std::shared_ptr<int> mLifeToken = std::make_shared<int>(0);
};

} // namespace zarvo::ui
