// The in-editor popup menu: an IPopupMenu drawn as a stack of rounded panels, one per open menu
// level, for platforms without a native menu. The chosen item goes back through the context's
// popup completion exactly as a platform menu's result does. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "IGfx/ISpecialControls.h"
#include "IGfx/IPopupMenu.h"

namespace plugkit::gfx {

class IPopupMenuControl : public IPopupMenuControlBase
{
public:
  enum EPopupState
  {
    kCollapsed = 0,
    kExpanding,
    kExpanded,
    kCollapsing,
    kConfirming,
    kSubMenuAppearing,
    kClosing
  };

  // One visible menu level.
  class MenuPanel
  {
  public:
    MenuPanel(IPopupMenuControl& control, IPopupMenu& menu, float x, float y, int parentIdx);
    ~MenuPanel();
    MenuPanel(const MenuPanel&) = delete;
    MenuPanel& operator=(const MenuPanel&) = delete;

    // The first cell holding (x, y) whose item is not disabled (arrow cells always count), or null.
    IRECT* HitTestCells(float x, float y) const;
    int CellIndex(const IRECT* cell) const;
    int NCells() const { return static_cast<int>(mCells.size()); }
    // Whether cell i shows a scroll arrow rather than an item.
    bool IsUpArrowCell(int i) const;
    bool IsDownArrowCell(int i) const;

    IPopupMenu& mMenu;
    std::vector<std::unique_ptr<IRECT>> mCells;
    IRECT mRECT;
    IRECT mTargetRECT;
    int mMaxVisibleCells = 0;
    bool mShouldDraw = true;
    IBlend mBlend{EBlend::Default, 0.f};
    IRECT mSingleCellBounds;
    IRECT* mHighlightedCell = nullptr;
    IRECT* mClickedCell = nullptr;
    int mParentIdx = -1;
    bool mScroller = false;
    int mScrollItemOffset = 0;
  };

  IPopupMenuControl(int paramIdx = -1, const IText& text = DEFAULT_TEXT, const IRECT& collapsedBounds = IRECT(),
                    const IRECT& expandedBounds = IRECT());
  ~IPopupMenuControl() override;

  //---IPopupMenuControlBase
  bool GetExpanded() const override
  {
    return mState == kExpanding || mState == kExpanded || mState == kSubMenuAppearing;
  }
  bool IsOpenOrClosing() const override { return mState != kCollapsed; }
  // Ignored unless collapsed; an empty menu completes at once with no choice.
  void CreatePopupMenu(IPopupMenu& menu, const IRECT& anchorArea) override;

  //---IControl
  void Draw(IGfx& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  // Scrolls a panel too long for the editor one item per wheel step (up shows earlier items).
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;
  // Up and down move through the choosable items, right and left open and close a submenu,
  // Return chooses, Escape closes with no choice. Every key is taken while the menu shows.
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnEndAnimation() override;

  void Expand(const IRECT& anchorArea);
  void CollapseEverything();
  void CalculateMenuPanels(float x, float y);
  void GetPanelDimensions(IPopupMenu& menu, float& width, float& height) const;
  IRECT GetLargestCellRectForMenu(IPopupMenu& menu, float x, float y) const;

  //---Settings
  void SetMaxBounds(const IRECT& bounds) { mMaxBounds = bounds; }
  const IRECT& GetMaxBounds() const { return mMaxBounds; }
  void SetCallout(bool callout) { mCallOut = callout; }
  void SetMaxColumnItems(int n) { mMaxColumnItems = n; }
  void SetScrollIfTooBig(bool scroll) { mScrollIfTooBig = scroll; }

  //---State, for the context and tests
  EPopupState GetState() const { return mState; }
  int NPanels() const { return static_cast<int>(mMenuPanels.size()); }
  const MenuPanel* GetPanel(int idx) const;
  const MenuPanel* GetActivePanel() const { return mActiveMenuPanel; }
  const IRECT* GetHoveredCell() const { return mMouseCellBounds; }
  int GetCalloutDirection() const { return mCalloutArrowDir; }

protected:
  virtual void DrawCalloutArrow(IGfx& g, const IRECT& bounds, const IBlend* blend);
  virtual void DrawSubMenuCalloutArrow(IGfx& g, const IRECT& bounds, const IBlend* blend);
  virtual void DrawPanelBackground(IGfx& g, MenuPanel& panel);
  virtual void DrawPanelShadow(IGfx& g, MenuPanel& panel);
  virtual void DrawCellBackground(IGfx& g, const IRECT& bounds, const IPopupMenu::Item* item, bool sel,
                                  const IBlend* blend);
  virtual void DrawCellText(IGfx& g, const IRECT& bounds, const IPopupMenu::Item* item, bool sel, const IBlend* blend);
  virtual void DrawTick(IGfx& g, const IRECT& bounds, const IPopupMenu::Item* item, bool sel, const IBlend* blend);
  virtual void DrawSubMenuArrow(IGfx& g, const IRECT& bounds, const IPopupMenu::Item* item, bool sel,
                                const IBlend* blend);
  virtual void DrawUpArrow(IGfx& g, const IRECT& bounds, bool sel, const IBlend* blend);
  virtual void DrawDownArrow(IGfx& g, const IRECT& bounds, bool sel, const IBlend* blend);
  virtual void DrawSeparator(IGfx& g, const IRECT& bounds, const IBlend* blend);

private:
  friend class MenuPanel;

  void Animate(double progress);
  // The shown panel under (x, y) takes the hover; null hover when there is none.
  void FindHoveredCell(float x, float y);
  int PanelIndex(const MenuPanel* panel) const;
  // Scrolls the active scrolling panel one item when the hovered cell is one of its arrows; true when
  // it was an arrow cell.
  bool ScrollByArrow(bool step);
  // Keyboard: the next choosable item of the active panel from the hovered one in direction dir.
  void MoveKeyboardHover(int dir);
  void HoverItem(MenuPanel& panel, int itemIdx);
  void UpdateBoundsToPanels();

  std::vector<std::unique_ptr<MenuPanel>> mMenuPanels;
  MenuPanel* mActiveMenuPanel = nullptr;
  MenuPanel* mAppearingMenuPanel = nullptr;
  EPopupState mState = kCollapsed;
  IRECT* mMouseCellBounds = nullptr;
  IPopupMenu* mMenu = nullptr;
  int mMaxColumnItems = 0;
  bool mScrollIfTooBig = true;
  bool mCallOut = false;
  bool mMenuHasSubmenu = false;
  bool mPreferBelow = true;
  bool mSubMenuOpensRight = true;
  bool mSubmenuOpened = false;
  float mCellGap = 2.f;
  float mSeparatorSize = 2.f;
  float mRoundness = 5.f;
  float mDropShadowSize = 10.f;
  float mOpacity = 0.95f;
  float mMenuShift = 0.f;
  float mTextXPad = 5.f;
  float mTickWidth = 10.f;
  float mArrowWidth = 8.f;
  float mPadding = 5.f;
  float mCalloutSpace = 8.f;
  IRECT mAnchorArea;
  int mCalloutArrowDir = 1;
  IRECT mCalloutArrowBounds;
  IRECT mSubMenuCalloutArrowBounds;
  IRECT mMaxBounds;
  IColor mPanelBackgroundColor = COLOR_WHITE;
  IColor mItemMouseoverColor = COLOR_BLUE;
  IColor mTextMouseoverColor = COLOR_WHITE;
  IColor mItemColor = COLOR_BLACK;
  IColor mDisabledItemColor = COLOR_GRAY;
  IColor mSeparatorColor = COLOR_MID_GRAY;
  IRECT mSpecifiedCollapsedBounds;
  IRECT mSpecifiedExpandedBounds;
};

} // namespace plugkit::gfx
