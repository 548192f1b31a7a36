#include "IGfx/Controls/IPopupMenuControl.h"

#include <algorithm>
#include <cmath>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

namespace {

// v kept between lo and hi; lo wins when the range is empty (a panel larger than the bounds stays
// anchored at the top left).
float Keep(float v, float lo, float hi) { return std::max(lo, std::min(v, hi)); }

constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

bool Choosable(const IPopupMenu::Item* item)
{
  return item && item->GetEnabled() && !item->GetIsSeparator() && !item->GetIsTitle();
}

} // namespace

//------------------------------------------------------------------------------------------------
// Panels

IPopupMenuControl::MenuPanel::MenuPanel(IPopupMenuControl& control, IPopupMenu& menu, float x, float y, int parentIdx)
  : mMenu(menu)
  , mParentIdx(parentIdx)
{
  const float P = control.mPadding;
  const float G = control.mCellGap;
  const IRECT& M = control.mMaxBounds;
  mSingleCellBounds = control.GetLargestCellRectForMenu(menu, x, y);
  const float H = mSingleCellBounds.H();
  const float W = mSingleCellBounds.W();
  const int n = menu.NItems();

  float cx = x + P;
  float cy = y + P;
  bool scrollMode = false;
  for (int j = 0; j < n; ++j)
  {
    const IPopupMenu::Item* item = menu.GetItem(j);
    const float h = item->GetIsSeparator() ? control.mSeparatorSize : H;
    const bool newColumn =
      (control.mMaxColumnItems > 0 && j >= 2 && j % control.mMaxColumnItems == 0) || (cy + h + P > M.B);
    if (newColumn)
    {
      if (control.mScrollIfTooBig)
      {
        scrollMode = true;
        break;
      }
      cx += W + G;
      cy = y + P;
    }
    mCells.push_back(std::make_unique<IRECT>(cx, cy, cx + W, cy + h));
    cy = mCells.back()->B + G;
  }

  if (scrollMode)
  {
    const float s = control.mDropShadowSize;
    const int fit = static_cast<int>(std::floor((M.B - P - (M.T + P + s)) / (H + G)));
    mCells.clear();
    if (n < fit)
    {
      cy = y + P - static_cast<float>(n - 1) * H;
      for (int j = 0; j < n; ++j)
      {
        const float h = menu.GetItem(j)->GetIsSeparator() ? control.mSeparatorSize : H;
        mCells.push_back(std::make_unique<IRECT>(cx, cy, cx + W, cy + h));
        cy = mCells.back()->B + G;
      }
    }
    else
    {
      mScroller = true;
      mMaxVisibleCells = std::max(fit, 0);
      cy = M.T + P + s;
      for (int j = 0; j < mMaxVisibleCells; ++j)
      {
        mCells.push_back(std::make_unique<IRECT>(cx, cy, cx + W, cy + H));
        cy = mCells.back()->B + G;
      }
    }
  }

  IRECT span;
  for (const auto& cell : mCells)
    span = span.Union(*cell);
  if (control.mSpecifiedExpandedBounds.W() != 0.f)
    span = control.mSpecifiedExpandedBounds;
  mTargetRECT = span.GetPadded(P);
  mRECT = span.GetPadded(P + control.mDropShadowSize);
}

IPopupMenuControl::MenuPanel::~MenuPanel() = default;

bool IPopupMenuControl::MenuPanel::IsUpArrowCell(int i) const
{
  return mScroller && mMenu.NItems() > NCells() && i == 0 && mScrollItemOffset > 0;
}

bool IPopupMenuControl::MenuPanel::IsDownArrowCell(int i) const
{
  return mScroller && mMenu.NItems() > NCells() && i == NCells() - 1 && mScrollItemOffset < mMenu.NItems() - NCells();
}

IRECT* IPopupMenuControl::MenuPanel::HitTestCells(float x, float y) const
{
  for (int i = 0; i < NCells(); ++i)
  {
    IRECT* cell = mCells[static_cast<size_t>(i)].get();
    if (!cell->Contains(x, y))
      continue;
    if (IsUpArrowCell(i) || IsDownArrowCell(i))
      return cell;
    const IPopupMenu::Item* item = mMenu.GetItem(mScrollItemOffset + i);
    if (item && item->GetEnabled())
      return cell;
  }
  return nullptr;
}

int IPopupMenuControl::MenuPanel::CellIndex(const IRECT* cell) const
{
  for (int i = 0; i < NCells(); ++i)
  {
    if (mCells[static_cast<size_t>(i)].get() == cell)
      return i;
  }
  return -1;
}

//------------------------------------------------------------------------------------------------
// The control

IPopupMenuControl::IPopupMenuControl(int paramIdx, const IText& text, const IRECT& collapsedBounds,
                                     const IRECT& expandedBounds)
  : IPopupMenuControlBase(collapsedBounds, paramIdx)
  , mSpecifiedCollapsedBounds(collapsedBounds)
  , mSpecifiedExpandedBounds(expandedBounds)
{
  mText = text;
  SetActionFunction([this](IControl*) {
    SetAnimation([this](IControl* c) { Animate(c->GetAnimationProgress()); },
                 mState == kSubMenuAppearing ? 200. : 100.);
  });
  mHide = true;
}

IPopupMenuControl::~IPopupMenuControl() = default;

const IPopupMenuControl::MenuPanel* IPopupMenuControl::GetPanel(int idx) const
{
  return idx >= 0 && idx < NPanels() ? mMenuPanels[static_cast<size_t>(idx)].get() : nullptr;
}

int IPopupMenuControl::PanelIndex(const MenuPanel* panel) const
{
  for (int i = 0; i < NPanels(); ++i)
  {
    if (mMenuPanels[static_cast<size_t>(i)].get() == panel)
      return i;
  }
  return -1;
}

void IPopupMenuControl::CreatePopupMenu(IPopupMenu& menu, const IRECT& anchorArea)
{
  if (mState != kCollapsed)
    return;
  if (menu.NItems() == 0)
  {
    // Nothing to show: a panel without cells would sit at the editor's origin.
    menu.SetChosenItemIdx(-1);
    menu.ExecFunction();
    if (IGfx* g = GetUI())
      g->SetControlValueAfterPopupMenu(&menu);
    return;
  }
  mMenu = &menu;
  mMenuHasSubmenu = false;
  for (int i = 0; i < menu.NItems(); ++i)
  {
    if (menu.GetItem(i)->GetSubmenu())
      mMenuHasSubmenu = true;
  }
  if (mMaxBounds.W() == 0.f && GetUI())
    mMaxBounds = IRECT(0.f, 0.f, static_cast<float>(GetUI()->Width()), static_cast<float>(GetUI()->Height()));
  Expand(anchorArea);
}

void IPopupMenuControl::GetPanelDimensions(IPopupMenu& menu, float& width, float& height) const
{
  IRECT span;
  int nSeparators = 0;
  for (int i = 0; i < menu.NItems(); ++i)
  {
    const IPopupMenu::Item* item = menu.GetItem(i);
    if (item->GetIsSeparator())
      ++nSeparators;
    IRECT r;
    if (IGfx* g = GetUI())
      g->MeasureText(mText, item->GetText(), r);
    if (!r.Empty())
      span = span.Union(r);
  }
  const int n = menu.NItems();
  width = span.W() + 2.f * mTextXPad + mTickWidth + mArrowWidth;
  height = static_cast<float>(std::max(n - 1, 0)) * mCellGap + static_cast<float>(nSeparators) * mSeparatorSize +
           static_cast<float>(n - nSeparators) * span.H();
}

IRECT IPopupMenuControl::GetLargestCellRectForMenu(IPopupMenu& menu, float x, float y) const
{
  IRECT span;
  for (int i = 0; i < menu.NItems(); ++i)
  {
    IRECT r;
    if (IGfx* g = GetUI())
      g->MeasureText(mText, menu.GetItem(i)->GetText(), r);
    if (!r.Empty())
      span = span.Union(r);
  }
  return IRECT(x, y, x + span.W() + 2.f * mTextXPad + mTickWidth + mArrowWidth, y + span.H());
}

void IPopupMenuControl::Expand(const IRECT& anchorArea)
{
  Hide(false);
  mState = kExpanding;
  if (IGfx* g = GetUI())
    g->UpdateTooltips();
  mMenuPanels.clear();
  mActiveMenuPanel = mAppearingMenuPanel = nullptr;
  mMouseCellBounds = nullptr;
  mSubmenuOpened = false;
  mAnchorArea = anchorArea;

  float w = 0.f;
  float h = 0.f;
  GetPanelDimensions(*mMenu, w, h);
  const IRECT& A = anchorArea;
  const IRECT& M = mMaxBounds;
  const float s = mDropShadowSize;
  const float c = mCallOut ? mCalloutSpace : 0.f;
  const float minLeft = M.L + s;
  const float maxLeft = M.R - w - 2.f * s;
  const float minTop = M.T + s;
  const float maxTop = M.B - h - 2.f * s;
  const float textSize = mText.mSize;

  float x = 0.f;
  float y = 0.f;
  auto beside = [&]() {
    if (A.MW() <= M.MW())
    {
      x = A.R + c;
      mCalloutArrowDir = 1;
      mCalloutArrowBounds = IRECT(A.R, A.MH() - c / 2.f, A.R + c, A.MH() + c / 2.f);
    }
    else
    {
      x = A.L - c - w - s;
      mCalloutArrowDir = 3;
      mCalloutArrowBounds = IRECT(A.L - c, A.MH() - c / 2.f, A.L, A.MH() + c / 2.f);
    }
  };
  auto below = [&]() {
    y = A.B + c;
    mCalloutArrowDir = 2;
    mCalloutArrowBounds = IRECT(A.MW() - c / 2.f, A.B, A.MW() + c / 2.f, A.B + c);
  };
  auto above = [&]() {
    y = A.T - c - h - s;
    mCalloutArrowDir = 0;
    mCalloutArrowBounds = IRECT(A.MW() - c / 2.f, A.T - c, A.MW() + c / 2.f, A.T);
  };
  const bool anchorInUpperHalf = A.MH() <= M.MH();

  beside();
  y = anchorInUpperHalf ? A.MH() - textSize - c : A.MH() - h + textSize + c;

  auto outH = [&]() { return x <= minLeft || x > maxLeft; };
  if (y <= minTop || y > maxTop || outH())
  {
    if ((y <= minTop || outH()) && anchorInUpperHalf)
    {
      below();
      if (y > maxTop)
      {
        beside();
        y = maxTop;
      }
      else
        x = A.MW() - w / 2.f;
    }
    if ((y > maxTop || outH()) && !anchorInUpperHalf)
    {
      above();
      if (y <= minTop)
      {
        beside();
        y = minTop;
      }
      else
        x = A.MW() - w / 2.f;
    }
    x = Keep(x, minLeft, maxLeft);
    y = Keep(y, minTop, maxTop);
  }

  if (mPreferBelow && A.B + c <= maxTop)
  {
    below();
    x = Keep(A.MW() - w / 2.f, minLeft, maxLeft);
  }

  if (mMenuHasSubmenu)
  {
    mSubMenuOpensRight = A.MW() <= M.MW();
    x = Keep(A.MW() - w / 2.f + mMenuShift * (mSubMenuOpensRight ? -1.f : 1.f), minLeft, maxLeft);
    if (M.B - A.B >= A.T - M.T)
    {
      below();
      y = Keep(y, minTop, maxTop);
    }
    else
    {
      above();
      y = Keep(y, minTop, maxTop);
    }
  }

  mMenuPanels.push_back(std::make_unique<MenuPanel>(*this, *mMenu, x, y, -1));
  mActiveMenuPanel = mAppearingMenuPanel = mMenuPanels.back().get();
  mRECT = mActiveMenuPanel->mRECT;
  mTargetRECT = mActiveMenuPanel->mTargetRECT;
  mMouseIsOver = false;
  OnResize();
  SetDirty(true);
}

void IPopupMenuControl::UpdateBoundsToPanels()
{
  IRECT bounds;
  IRECT target;
  for (const auto& panel : mMenuPanels)
  {
    bounds = bounds.Union(panel->mRECT);
    target = target.Union(panel->mTargetRECT);
  }
  mRECT = bounds;
  mTargetRECT = target;
  mMouseIsOver = false;
  OnResize();
}

void IPopupMenuControl::CalculateMenuPanels(float, float)
{
  MenuPanel* active = mActiveMenuPanel;
  const int activeIdx = PanelIndex(active);
  const int cellIdx = active ? active->CellIndex(mMouseCellBounds) : -1;
  if (cellIdx >= 0 && !active->IsUpArrowCell(cellIdx) && !active->IsDownArrowCell(cellIdx))
  {
    IRECT* cell = mMouseCellBounds;
    const IPopupMenu::Item* item = active->mMenu.GetItem(active->mScrollItemOffset + cellIdx);
    IPopupMenu* sub = item ? item->GetSubmenu() : nullptr;
    if (!sub)
    {
      for (auto& panel : mMenuPanels)
      {
        if (panel->mParentIdx == activeIdx)
        {
          panel->mShouldDraw = false;
          active->mHighlightedCell = nullptr;
          mSubmenuOpened = false;
        }
      }
    }
    else
    {
      MenuPanel* subPanel = nullptr;
      for (auto& panel : mMenuPanels)
      {
        panel->mShouldDraw = &panel->mMenu == sub;
        if (panel->mShouldDraw)
          subPanel = panel.get();
      }
      active->mHighlightedCell = item->GetEnabled() ? cell : nullptr;
      const float P = mPadding;
      const float c = mCallOut ? mCalloutSpace : 0.f;
      const float s = mDropShadowSize;
      const IRECT& M = mMaxBounds;
      if (!subPanel)
      {
        float w = 0.f;
        float h = 0.f;
        GetPanelDimensions(*sub, w, h);
        const float minTop = M.T + s;
        const float maxTop = M.B - h - 2.f * s;
        float x = mSubMenuOpensRight ? cell->R + P + c : cell->L - P - c - w - s;
        x = Keep(x, M.L + s, M.R - w - 2.f * s);
        float y = mCalloutArrowDir == 0 ? cell->T - P / 2.f - h + 2.f * mCellGap + s : cell->T - P;
        y = Keep(y, minTop, maxTop);
        mMenuPanels.push_back(std::make_unique<MenuPanel>(*this, *sub, x, y, activeIdx));
        subPanel = mMenuPanels.back().get();
      }
      for (MenuPanel* p = subPanel; p && p->mParentIdx >= 0;)
      {
        p = mMenuPanels[static_cast<size_t>(p->mParentIdx)].get();
        p->mShouldDraw = true;
      }
      mSubmenuOpened = true;
      const float cy = cell->MH();
      mSubMenuCalloutArrowBounds = mSubMenuOpensRight ? IRECT(cell->R + P, cy - c / 2.f, cell->R + P + c, cy + c / 2.f)
                                                      : IRECT(cell->L - P - c, cy - c / 2.f, cell->L - P, cy + c / 2.f);
      UpdateBoundsToPanels();
      if (subPanel != mAppearingMenuPanel)
      {
        mAppearingMenuPanel = subPanel;
        mState = kSubMenuAppearing;
        SetDirty(true);
      }
    }
  }
  SetDirty(false);
}

void IPopupMenuControl::CollapseEverything()
{
  MenuPanel* active = mActiveMenuPanel;
  IPopupMenu& menu = active ? active->mMenu : *mMenu;
  menu.SetChosenItemIdx(-1);
  if (active)
  {
    const int i = active->CellIndex(mMouseCellBounds);
    if (i >= 0 && !active->IsUpArrowCell(i) && !active->IsDownArrowCell(i))
    {
      const int itemIdx = active->mScrollItemOffset + i;
      const IPopupMenu::Item* item = menu.GetItem(itemIdx);
      if (Choosable(item) && !item->GetSubmenu())
      {
        menu.SetChosenItemIdx(itemIdx);
        active->mClickedCell = mMouseCellBounds;
      }
    }
  }
  menu.ExecFunction();
  if (IGfx* g = GetUI())
    g->SetControlValueAfterPopupMenu(&menu);
  mSubmenuOpened = false;
  mActiveMenuPanel = nullptr;
  mState = kConfirming;
  Hide(true);
  SetDirty(true);
}

void IPopupMenuControl::Animate(double p)
{
  if (p > 1.)
  {
    OnEndAnimation();
    return;
  }
  const float fp = static_cast<float>(p);
  switch (mState)
  {
  case kExpanding:
    if (mAppearingMenuPanel)
      mAppearingMenuPanel->mBlend.mWeight = fp * mOpacity;
    break;
  case kSubMenuAppearing:
    if (mAppearingMenuPanel)
      mAppearingMenuPanel->mBlend.mWeight = fp > 0.9f ? mOpacity : 0.f;
    break;
  case kCollapsing:
    for (auto& panel : mMenuPanels)
      panel->mBlend.mWeight = (1.f - fp) * mOpacity;
    break;
  case kClosing:
    for (auto& panel : mMenuPanels)
      panel->mBlend.mWeight = 0.f;
    break;
  default: break;
  }
}

void IPopupMenuControl::OnEndAnimation()
{
  switch (mState)
  {
  case kExpanding:
  case kSubMenuAppearing:
    for (auto& panel : mMenuPanels)
      panel->mBlend.mWeight = mOpacity;
    mState = kExpanded;
    IControl::OnEndAnimation();
    break;
  case kConfirming:
    mState = kCollapsing;
    SetDirty(true);
    break;
  case kCollapsing:
    mTargetRECT = mSpecifiedCollapsedBounds;
    for (auto& panel : mMenuPanels)
      panel->mBlend.mWeight = 0.f;
    mMouseCellBounds = nullptr;
    mAnchorArea = IRECT();
    mState = kClosing;
    SetDirty(true);
    break;
  case kClosing:
    if (IGfx* g = GetUI())
      g->UpdateTooltips();
    mActiveMenuPanel = mAppearingMenuPanel = nullptr;
    mMouseCellBounds = nullptr;
    mMenuPanels.clear();
    mMenu = nullptr;
    mRECT = mTargetRECT = mSpecifiedCollapsedBounds;
    mState = kCollapsed;
    IControl::OnEndAnimation();
    break;
  default: IControl::OnEndAnimation(); break;
  }
}

//------------------------------------------------------------------------------------------------
// Input

void IPopupMenuControl::FindHoveredCell(float x, float y)
{
  mMouseCellBounds = mActiveMenuPanel ? mActiveMenuPanel->HitTestCells(x, y) : nullptr;
  if (mMouseCellBounds)
    return;
  for (auto it = mMenuPanels.rbegin(); it != mMenuPanels.rend(); ++it)
  {
    MenuPanel& panel = **it;
    if (panel.mShouldDraw && panel.mRECT.Contains(x, y))
    {
      mActiveMenuPanel = &panel;
      mMouseCellBounds = panel.HitTestCells(x, y);
      return;
    }
  }
}

bool IPopupMenuControl::ScrollByArrow(bool step)
{
  MenuPanel* panel = mActiveMenuPanel;
  if (!panel || !panel->mScroller)
    return false;
  const int i = panel->CellIndex(mMouseCellBounds);
  const int maxOffset = panel->mMenu.NItems() - panel->NCells();
  const bool up = i == 0 && (!step || panel->IsUpArrowCell(i));
  const bool down = i >= 0 && i == panel->NCells() - 1 && (!step || panel->IsDownArrowCell(i));
  if (up)
    panel->mScrollItemOffset = std::clamp(panel->mScrollItemOffset - 1, 0, std::max(panel->NCells() - 1, 0));
  else if (down)
    panel->mScrollItemOffset = std::min(panel->mScrollItemOffset + 1, maxOffset);
  return up || down;
}

void IPopupMenuControl::OnMouseOver(float x, float y, const IMouseMod&)
{
  if (mMenuPanels.empty())
    return;
  FindHoveredCell(x, y);
  CalculateMenuPanels(x, y);
  ScrollByArrow(false);
  SetDirty(false);
}

void IPopupMenuControl::OnMouseWheel(float x, float y, const IMouseMod&, float d)
{
  if (!GetExpanded() || d == 0.f)
    return;
  FindHoveredCell(x, y);
  MenuPanel* panel = mActiveMenuPanel;
  if (!panel || !panel->mScroller)
    return;
  const int maxOffset = std::max(panel->mMenu.NItems() - panel->NCells(), 0);
  const int steps = std::max(1, static_cast<int>(std::lround(std::fabs(d))));
  panel->mScrollItemOffset = std::clamp(panel->mScrollItemOffset + (d > 0.f ? -steps : steps), 0, maxOffset);
  // The pointer now rests on another item.
  FindHoveredCell(x, y);
  SetDirty(false);
}

void IPopupMenuControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&)
{
  if (mActiveMenuPanel)
  {
    mMouseCellBounds = mActiveMenuPanel->HitTestCells(x, y);
    SetDirty(false);
  }
}

void IPopupMenuControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (!GetExpanded())
  {
    IControl::OnMouseDown(x, y, mod);
    return;
  }
  FindHoveredCell(x, y);
  // An arrow covers an item the user cannot see: the press scrolls and chooses nothing.
  if (ScrollByArrow(true))
  {
    SetDirty(false);
    return;
  }
  CollapseEverything();
}

void IPopupMenuControl::OnMouseOut()
{
  mMouseCellBounds = nullptr;
  SetDirty(false);
}

void IPopupMenuControl::HoverItem(MenuPanel& panel, int itemIdx)
{
  const int n = panel.mMenu.NItems();
  if (itemIdx < 0 || itemIdx >= n)
    return;
  if (panel.mScroller)
  {
    // Keep the item off the arrow cells.
    const int cells = panel.NCells();
    int offset = panel.mScrollItemOffset;
    auto firstItemRow = [&](int o) { return o > 0 ? 1 : 0; };
    auto lastItemRow = [&](int o) { return o < n - cells ? cells - 2 : cells - 1; };
    while (itemIdx - offset < firstItemRow(offset) && offset > 0)
      --offset;
    while (itemIdx - offset > lastItemRow(offset) && offset < n - cells)
      ++offset;
    panel.mScrollItemOffset = offset;
  }
  const int cell = itemIdx - panel.mScrollItemOffset;
  if (cell >= 0 && cell < panel.NCells())
    mMouseCellBounds = panel.mCells[static_cast<size_t>(cell)].get();
}

void IPopupMenuControl::MoveKeyboardHover(int dir)
{
  MenuPanel* panel = mActiveMenuPanel;
  if (!panel)
    return;
  const int n = panel->mMenu.NItems();
  const int cell = panel->CellIndex(mMouseCellBounds);
  int idx = cell >= 0 ? panel->mScrollItemOffset + cell : (dir > 0 ? -1 : n);
  for (int step = 0; step < n; ++step)
  {
    idx += dir;
    if (idx < 0 || idx >= n)
      return;
    const IPopupMenu::Item* item = panel->mMenu.GetItem(idx);
    if (Choosable(item) || (item->GetSubmenu() && item->GetEnabled()))
    {
      HoverItem(*panel, idx);
      return;
    }
  }
}

bool IPopupMenuControl::OnKeyDown(float, float, const IKeyPress& key)
{
  if (!GetExpanded())
    return false;
  MenuPanel* panel = mActiveMenuPanel;
  const int cell = panel ? panel->CellIndex(mMouseCellBounds) : -1;
  const IPopupMenu::Item* item = cell >= 0 && !panel->IsUpArrowCell(cell) && !panel->IsDownArrowCell(cell)
                                   ? panel->mMenu.GetItem(panel->mScrollItemOffset + cell)
                                   : nullptr;
  const bool opensRight = mSubMenuOpensRight;
  switch (key.VK)
  {
  case kKeyDown: MoveKeyboardHover(1); break;
  case kKeyUp: MoveKeyboardHover(-1); break;
  case kKeyEscape:
    mMouseCellBounds = nullptr;
    CollapseEverything();
    return true;
  case kKeyRight:
  case kKeyLeft:
  case kKeyReturn:
  case kKeySpace:
  {
    const bool towardSubmenu = key.VK == (opensRight ? kKeyRight : kKeyLeft);
    const bool awayFromSubmenu = key.VK == (opensRight ? kKeyLeft : kKeyRight);
    if (item && item->GetSubmenu() && (towardSubmenu || key.VK == kKeyReturn || key.VK == kKeySpace))
    {
      CalculateMenuPanels(0.f, 0.f);
      for (auto& p : mMenuPanels)
      {
        if (&p->mMenu == item->GetSubmenu())
        {
          mActiveMenuPanel = p.get();
          mMouseCellBounds = nullptr;
          MoveKeyboardHover(1);
        }
      }
    }
    else if (awayFromSubmenu && panel && panel->mParentIdx >= 0)
    {
      panel->mShouldDraw = false;
      MenuPanel* parent = mMenuPanels[static_cast<size_t>(panel->mParentIdx)].get();
      mActiveMenuPanel = parent;
      mMouseCellBounds = parent->mHighlightedCell;
      parent->mHighlightedCell = nullptr;
      mSubmenuOpened = false;
    }
    else if ((key.VK == kKeyReturn || key.VK == kKeySpace) && Choosable(item))
    {
      CollapseEverything();
      return true;
    }
    break;
  }
  default: break;
  }
  SetDirty(false);
  return true;
}

//------------------------------------------------------------------------------------------------
// Drawing

void IPopupMenuControl::Draw(IGfx& g)
{
  for (auto& panelPtr : mMenuPanels)
  {
    MenuPanel& panel = *panelPtr;
    if (!panel.mShouldDraw)
      continue;
    DrawPanelShadow(g, panel);
    DrawPanelBackground(g, panel);
    const IBlend* blend = &panel.mBlend;
    const int nItems = panel.mMenu.NItems();
    for (int i = 0; i < panel.NCells(); ++i)
    {
      const int itemIdx = panel.mScrollItemOffset + i;
      if (itemIdx >= nItems)
        return;
      const IRECT& cell = *panel.mCells[static_cast<size_t>(i)];
      const bool sel = &cell == mMouseCellBounds || &cell == panel.mHighlightedCell;
      if (panel.IsUpArrowCell(i))
      {
        DrawCellBackground(g, cell, nullptr, sel, blend);
        DrawUpArrow(g, cell, sel, blend);
        continue;
      }
      if (panel.IsDownArrowCell(i))
      {
        DrawCellBackground(g, cell, nullptr, sel, blend);
        DrawDownArrow(g, cell, sel, blend);
        continue;
      }
      const IPopupMenu::Item* item = panel.mMenu.GetItem(itemIdx);
      if (item->GetIsSeparator())
      {
        DrawSeparator(g, cell, blend);
        continue;
      }
      if (!(mState == kConfirming && panel.mClickedCell))
        DrawCellBackground(g, cell, item, sel, blend);
      DrawCellText(g, cell, item, sel, blend);
      if (item->GetChecked())
        DrawTick(g, cell, item, sel, blend);
      if (item->GetSubmenu())
        DrawSubMenuArrow(g, cell, item, sel, blend);
    }
  }
  if (mCallOut && !mMenuPanels.empty())
  {
    const IBlend* blend = &mMenuPanels.front()->mBlend;
    DrawCalloutArrow(g, mCalloutArrowBounds, blend);
    if (mMenuHasSubmenu && mSubmenuOpened)
      DrawSubMenuCalloutArrow(g, mSubMenuCalloutArrowBounds, blend);
  }
}

namespace {

// A filled triangle filling square r, its tip at the centre of the side dir points to
// (0 down, 1 left, 2 up, 3 right).
void FillArrowInSquare(IGfx& g, const IColor& color, const IRECT& r, int dir, const IBlend* blend)
{
  switch (dir)
  {
  case 0: g.FillTriangle(color, r.L, r.T, r.R, r.T, r.MW(), r.B, blend); break;
  case 1: g.FillTriangle(color, r.R, r.T, r.R, r.B, r.L, r.MH(), blend); break;
  case 2: g.FillTriangle(color, r.L, r.B, r.R, r.B, r.MW(), r.T, blend); break;
  default: g.FillTriangle(color, r.L, r.T, r.L, r.B, r.R, r.MH(), blend); break;
  }
}

} // namespace

void IPopupMenuControl::DrawCalloutArrow(IGfx& g, const IRECT& bounds, const IBlend* blend)
{
  FillArrowInSquare(g, mPanelBackgroundColor, bounds, mCalloutArrowDir, blend);
}

void IPopupMenuControl::DrawSubMenuCalloutArrow(IGfx& g, const IRECT& bounds, const IBlend* blend)
{
  FillArrowInSquare(g, mPanelBackgroundColor, bounds, mSubMenuOpensRight ? 1 : 3, blend);
}

void IPopupMenuControl::DrawPanelBackground(IGfx& g, MenuPanel& panel)
{
  g.FillRoundRect(mPanelBackgroundColor, panel.mTargetRECT, mRoundness, &panel.mBlend);
}

void IPopupMenuControl::DrawPanelShadow(IGfx& g, MenuPanel& panel)
{
  const IRECT inner = panel.mRECT.GetPadded(-mDropShadowSize);
  g.DrawFastDropShadow(inner, panel.mRECT, 2.f, mRoundness, 10.f, &panel.mBlend);
}

void IPopupMenuControl::DrawCellBackground(IGfx& g, const IRECT& bounds, const IPopupMenu::Item*, bool sel,
                                           const IBlend* blend)
{
  if (sel)
    g.FillRect(mItemMouseoverColor, bounds.GetPadded(-mPadding, 0.f, mPadding, 0.f), blend);
}

void IPopupMenuControl::DrawCellText(IGfx& g, const IRECT& bounds, const IPopupMenu::Item* item, bool sel,
                                     const IBlend* blend)
{
  IText text = mText;
  text.mAlign = EAlign::Near;
  text.mFGColor = sel ? mTextMouseoverColor : (!item->GetEnabled() ? mDisabledItemColor : mItemColor);
  const IRECT r(bounds.L + mTickWidth + mTextXPad, bounds.T, bounds.R - mTextXPad, bounds.B);
  g.DrawText(text, item->GetText(), r, blend);
}

void IPopupMenuControl::DrawTick(IGfx& g, const IRECT& bounds, const IPopupMenu::Item*, bool sel, const IBlend* blend)
{
  const float side = mTickWidth / 2.f;
  const float cx = bounds.L + mTickWidth / 2.f;
  const float cy = bounds.MH();
  const IRECT r(cx - side / 2.f, cy - side / 2.f, cx + side / 2.f, cy + side / 2.f);
  g.FillRoundRect(sel ? mTextMouseoverColor : mItemColor, r, 2.f, blend);
}

void IPopupMenuControl::DrawSubMenuArrow(IGfx& g, const IRECT& bounds, const IPopupMenu::Item*, bool sel,
                                         const IBlend* blend)
{
  const float half = bounds.H() / 4.f;
  const float cy = bounds.MH();
  const IColor& color = sel ? mTextMouseoverColor : mItemColor;
  if (mSubMenuOpensRight)
  {
    const float tip = bounds.R + mPadding / 2.f;
    g.FillTriangle(color, tip - 2.f * half, cy - half, tip - 2.f * half, cy + half, tip, cy, blend);
  }
  else
  {
    const float tip = bounds.L - mPadding / 2.f;
    g.FillTriangle(color, tip + 2.f * half, cy - half, tip + 2.f * half, cy + half, tip, cy, blend);
  }
}

void IPopupMenuControl::DrawUpArrow(IGfx& g, const IRECT& bounds, bool sel, const IBlend* blend)
{
  const float half = 0.3f * bounds.H();
  g.FillTriangle(sel ? mTextMouseoverColor : mItemColor, bounds.MW() - half, bounds.MH() + half, bounds.MW() + half,
                 bounds.MH() + half, bounds.MW(), bounds.MH() - half, blend);
}

void IPopupMenuControl::DrawDownArrow(IGfx& g, const IRECT& bounds, bool sel, const IBlend* blend)
{
  const float half = 0.3f * bounds.H();
  g.FillTriangle(sel ? mTextMouseoverColor : mItemColor, bounds.MW() - half, bounds.MH() - half, bounds.MW() + half,
                 bounds.MH() - half, bounds.MW(), bounds.MH() + half, blend);
}

void IPopupMenuControl::DrawSeparator(IGfx& g, const IRECT& bounds, const IBlend* blend)
{
  if (blend && blend->mWeight > 0.9f)
    g.FillRect(mSeparatorColor, bounds, &BLEND_25);
}

//------------------------------------------------------------------------------------------------

void IGfx::AttachPopupMenuControl(const IText& text, const IRECT& bounds)
{
  AttachPopupMenuControl(new IPopupMenuControl(-1, text, IRECT(), bounds));
}

} // namespace plugkit::gfx
