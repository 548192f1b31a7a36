#include "utils/user_tab/user_tab_panel.h"

#include <algorithm>
#include <cstring>

#include "IGfx/Controls/IVButtonControl.h"
#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"
#include "IPlugin/IPluginParameter.h"
#include "utils/ui/GlyphButtonControl.h"
#include "utils/ui/GlyphLabelControl.h"
#include "utils/user_tab/user_tab_border_overlay.h"
#include "utils/user_tab/user_tab_cell_overlay.h"
#include "utils/user_tab/user_tab_drag_indicator.h"
#include "utils/user_tab/user_tab_geometry.h"
#include "utils/user_tab/user_tab_padding_control.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

namespace {

const UserTabLayout::SpacerDef* spacerDef(int id)
{
  if (id > -1 || id < -static_cast<int>(UserTabLayout::kSpacerDefs.size()))
    return nullptr;
  return &UserTabLayout::kSpacerDefs[static_cast<size_t>(-id - 1)];
}

void setLabelFont(IVStyle& style, const char* font)
{
  if (font)
  {
    style.labelText.SetFont(font);
    style.valueText.SetFont(font);
  }
}

} // namespace

UserTabPanel::UserTabPanel(const IRECT& bounds, std::unique_ptr<UserTabControlSource> registry, std::vector<Slot> slots,
                           bool unlocked, const IVStyle& style, const IColor& accentColor, Callbacks callbacks,
                           std::string pluginName, std::string pluginVersion, std::string fileExtension,
                           const char* fontA, const char* fontB)
  : IContainerBase(bounds)
  , UserTabCallbacks(std::move(callbacks))
  , mRegistry(std::move(registry))
  , mSlots(std::move(slots))
  , mUnlocked(unlocked)
  , mStyle(style)
  , mAccentColor(accentColor)
  , mPluginName(std::move(pluginName))
  , mPluginVersion(std::move(pluginVersion))
  , mFileExtension(std::move(fileExtension))
  , mBaseRect(bounds)
{
  // Files dropped on the tab reach the panel wherever no child answers.
  mIgnoreMouse = false;

  mLargeStyle = mStyle;
  mLargeStyle.labelText.mSize = mStyle.labelText.mSize * 2.f;
  mLargeStyle.labelText.mAlign = EAlign::Center;
  mLargeStyle.labelText.mVAlign = EVAlign::Middle;
  mLargeStyle.labelText.mFGColor = mAccentColor;
  // Glyph buttons draw with the value text: it follows the label text in these styles.
  mLargeStyle.valueText = mLargeStyle.labelText;
  mButtonStyle = mLargeStyle;
  mButtonStyle.labelText.mSize = mLargeStyle.labelText.mSize * 0.75f;
  mButtonStyle.valueText = mButtonStyle.labelText;
  mGlyphStyle = mLargeStyle;
  setLabelFont(mGlyphStyle, fontA);
  setLabelFont(mButtonStyle, fontB);

  std::vector<Slot> given = mSlots;
  sanitize(mSlots);
  if (mSlots != given && onChanged)
    onChanged(mSlots, mUnlocked);
}

UserTabPanel::~UserTabPanel() { releaseDying(); }

bool UserTabPanel::hasControl(int id) const { return (mRegistry && mRegistry->contains(id)) || spacerDef(id); }

float UserTabPanel::controlSize(int id) const
{
  if (mRegistry && mRegistry->contains(id))
    return mRegistry->size(id);
  if (const SpacerDef* def = spacerDef(id))
    return def->isWidthMod ? 0.f : def->fraction;
  return 1.f;
}

bool UserTabPanel::slotHasRealControl(const Slot& slot) const
{
  return std::ranges::any_of(slot, [this](int id) { return id >= 0 && hasControl(id); });
}

float UserTabPanel::slotHeightSum(const Slot& slot) const
{
  float sum = 0.f;
  for (int id : slot)
    sum += controlSize(id);
  return sum;
}

bool UserTabPanel::fitsColumn(const Slot& slot, float size) const
{
  return slotHeightSum(slot) + size <= kFullTolerance;
}

void UserTabPanel::sanitize(std::vector<Slot>& slots) const
{
  for (Slot& slot : slots)
    std::erase_if(slot, [this](int id) { return !hasControl(id); });
  std::erase_if(slots, [](const Slot& slot) { return slot.empty(); });
  UserTabLayout::normalizeSlots(slots);
  if (slots.size() > UserTabLayout::kMaxSlots)
    slots.resize(UserTabLayout::kMaxSlots);
  for (Slot& slot : slots)
  {
    if (slot.size() > UserTabLayout::kMaxSlotEntries)
      slot.resize(UserTabLayout::kMaxSlotEntries);
  }
}

//--------------------------------------------------------------------------------------------------
// Mode

void UserTabPanel::setUnlocked(bool unlocked)
{
  if (unlocked == mUnlocked)
    return;
  mUnlocked = unlocked;
  if (mUnlocked)
    mHistory.clear();
  notifyChanged();
  rebuild();
}

void UserTabPanel::notifyChanged()
{
  if (onChanged)
    onChanged(mSlots, mUnlocked);
}

void UserTabPanel::changed()
{
  notifyChanged();
  rebuild();
}

void UserTabPanel::OnAttached() { rebuild(); }

bool UserTabPanel::IsHit(float x, float y) const { return mBaseRect.Contains(x, y); }

bool UserTabPanel::IsDirty()
{
  releaseDying();
  return IContainerBase::IsDirty();
}

void UserTabPanel::releaseDying()
{
  for (IControl* c : std::exchange(mDying, {}))
    c->release();
}

//--------------------------------------------------------------------------------------------------
// Rebuilding

void UserTabPanel::clearChildren()
{
  mHoveredOverlay = nullptr;
  if (!mGraphics)
    return;
  // A container child's own children go first.
  std::vector<IControl*> order;
  std::function<void(IContainerBase&)> collect = [&](IContainerBase& container) {
    container.ForAllChildrenFunc([&](int, IControl* child) {
      if (auto* inner = dynamic_cast<IContainerBase*>(child))
        collect(*inner);
      order.push_back(child);
    });
  };
  collect(*this);
  for (IControl* child : order)
  {
    if (mGraphics->GetControlIdx(child) < 0)
      continue;
    child->addRef();
    mDying.push_back(child);
    mGraphics->RemoveControl(child);
  }
}

void UserTabPanel::attachChild(IControl* control)
{
  if (!control)
    return;
  if (IControl* attached = AddChildControl(control))
  {
    if (IsHidden())
      attached->Hide(true);
  }
}

bool UserTabPanel::columnClosed(const Slot& slot) const
{
  if (!slotHasWidthMod(slot))
    return false;
  bool anyFits = false;
  if (mRegistry)
  {
    mRegistry->walkTree({nullptr,
                         [&](int id) {
                           if (id >= 0 && mRegistry->contains(id) && fitsColumn(slot, mRegistry->size(id)))
                             anyFits = true;
                         },
                         nullptr});
  }
  return !anyFits;
}

void UserTabPanel::rebuild()
{
  clearChildren();
  if (!mGraphics)
    return;

  IRECT panelRect = mBaseRect;
  if (mUnlocked)
  {
    if (topBand > 0.f)
      panelRect.T -= topBand;
    if (bottomBand > 0.f)
      panelRect.B += bottomBand;
  }
  SetTargetAndDrawRECTs(panelRect);
  OnResize();
  const IRECT topStrip = topBand > 0.f ? IRECT(mBaseRect.L, panelRect.T, mBaseRect.R, mBaseRect.T)
                                       : IRECT(mBaseRect.L, mBaseRect.T, mBaseRect.R, mBaseRect.T + 18.f);
  const IRECT lockRect(mBaseRect.R - toolbarButtonSize, mBaseRect.T, mBaseRect.R, mBaseRect.T + 18.f);

  mColumnRects.clear();
  mCellRects.clear();
  mWidthModRects.clear();
  mHoveredOverlay = nullptr;

  if (mSlots.empty() && !mUnlocked)
  {
    IVStyle hintStyle = mStyle;
    hintStyle.colorSpec.SetColor(EVColor::BG, COLOR_TRANSPARENT);
    hintStyle.valueText = mStyle.labelText;
    hintStyle.valueText.mSize = 22.f;
    hintStyle.valueText.mFGColor = IColor(80, 255, 255, 255);
    GlyphLabel hint = GlyphLabel("tap ") + (lockedGlyph.runs.empty() ? GlyphLabel("'edit'") : lockedGlyph) +
                      GlyphLabel(" to add your controls");
    attachChild(new GlyphLabelControl(mBaseRect, std::move(hint), hintStyle));
    attachChild(makeLockBtn(lockRect));
    mGraphics->SetAllControlsDirty();
    return;
  }

  const float strip = mUnlocked ? std::min(mBaseRect.W(), addColumnWidth + toolbarButtonSize) : 0.f;
  mColumnRects = UserTabGeometry::columnRects(mSlots, mBaseRect, strip);
  mCellRects.resize(mSlots.size());
  const UserTabGeometry::SizeOf sizeOf = [this](int id) -> std::optional<float> {
    if (!hasControl(id))
      return std::nullopt;
    return controlSize(id);
  };

  for (size_t i = 0; i < mSlots.size(); ++i)
  {
    const Slot& slot = mSlots[i];
    const IRECT& col = mColumnRects[i];
    const int column = static_cast<int>(i);
    if (mUnlocked && !columnClosed(slot))
      attachChild(makePlusBtn(IRECT(col.L, topStrip.T, col.R, topStrip.B), column));
    if (mUnlocked)
      attachChild(new BorderOverlay(col, IColor(140, mAccentColor.R, mAccentColor.G, mAccentColor.B)));

    const std::vector<UserTabGeometry::Cell> cells = UserTabGeometry::cells(slot, col, sizeOf);
    for (const UserTabGeometry::Cell& cell : cells)
    {
      const int id = slot[static_cast<size_t>(cell.index)];
      IControl* control = nullptr;
      if (mRegistry && mRegistry->contains(id))
        control = mRegistry->create(id, cell.rect);
      else
        control = new PaddingControl(cell.rect);
      attachChild(control);
      if (mUnlocked)
      {
        mCellRects[i].emplace_back(cell.index, cell.rect);
        attachChild(makeCellOverlay(cell.rect, column, cell.index, false));
      }
    }
    if (mUnlocked && cells.empty())
      attachChild(makeCellOverlay(col, column, widthModIndex(slot), true));
    if (mUnlocked && slotHasWidthMod(slot))
    {
      const IRECT widthRect = bottomBand > 0.f ? IRECT(col.L, mBaseRect.B, col.R, mBaseRect.B + bottomBand)
                                               : IRECT(col.L, col.B - std::min(40.f, col.H()), col.R, col.B);
      attachChild(makeWidthModBtn(widthRect, column));
    }
  }

  if (mUnlocked)
  {
    const IRECT addRect = mSlots.empty()
                            ? mBaseRect
                            : IRECT(mBaseRect.R - strip, mBaseRect.T,
                                    std::max(mBaseRect.R - strip, mBaseRect.R - toolbarButtonSize), mBaseRect.B);
    attachChild(makePlusBtn(addRect, -1));
  }
  attachChild(makeLockBtn(lockRect));
  if (mUnlocked)
  {
    const auto below = [&lockRect](float dy) { return lockRect.GetTranslated(0.f, dy); };
    attachChild(makeSaveBtn(below(27.f)));
    attachChild(makeLoadBtn(below(45.f)));
    if (showClipboardButtons)
    {
      attachChild(makeCopyBtn(below(72.f)));
      attachChild(makePasteBtn(below(90.f)));
      attachChild(makeClearBtn(below(117.f)));
      attachChild(makeUndoBtn(below(144.f)));
    }
    else
    {
      attachChild(makeClearBtn(below(72.f)));
      attachChild(makeUndoBtn(below(99.f)));
    }
    attachChild(new DragIndicator(panelRect, *this));
  }

  if (IGEditorDelegate* dlg = GetDelegate())
  {
    for (int p = 0; p < dlg->NParams(); ++p)
    {
      if (const plugkit::IParam* param = dlg->GetParam(p))
        dlg->SendParameterValueFromDelegate(p, param->ToNormalized(param->Value()), true);
    }
  }
  if (afterRebuild)
    afterRebuild();
  if (mGraphics)
    mGraphics->SetAllControlsDirty();
}

//--------------------------------------------------------------------------------------------------
// Buttons

IControl* UserTabPanel::makeButton(const IRECT& rect, const GlyphLabel& glyph, const char* text, const IVStyle& style,
                                   std::function<void()> action, bool toolbar)
{
  auto run = [action = std::move(action)](IControl*) {
    if (action)
      action();
  };
  if (glyph.runs.empty())
  {
    // The flash's end releases the vector button, which a press leaves down.
    return new IVButtonControl(
      rect,
      [run](IControl* caller) {
        SplashClickActionFunc(caller);
        run(caller);
      },
      text, style, true, true, EVShape::Rectangle);
  }
  IVStyle buttonStyle = style;
  if (!toolbar && hasHighlight)
  {
    buttonStyle.colorSpec.SetColor(EVColor::PR, COLOR_TRANSPARENT);
    buttonStyle.colorSpec.SetColor(EVColor::HL, COLOR_TRANSPARENT);
  }
  auto* button = new GlyphButtonControl(rect, glyph, std::move(run), buttonStyle);
  if (!toolbar && hasHighlight)
  {
    button->hoverTextColor = highlightColor;
    button->useHoverTextColor = true;
  }
  return button;
}

IControl* UserTabPanel::makeLockBtn(const IRECT& rect)
{
  IControl* b = makeButton(
    rect, mUnlocked ? unlockedGlyph : lockedGlyph, mUnlocked ? "lock" : "edit", mStyle, [this] { toggleLock(); }, true);
  b->SetTooltip((mUnlocked ? lockTipUnlocked : lockTipLocked).c_str());
  return b;
}

IControl* UserTabPanel::makePlusBtn(const IRECT& rect, int column)
{
  const float side = std::min({rect.W(), rect.H(), mButtonStyle.labelText.mSize});
  IControl* b = makeButton(
    rect.GetCentredInside(side, side), plusGlyph, "+", mButtonStyle,
    [this, column, rect] { showParamPicker(column, rect); }, false);
  b->SetTooltip((column < 0 ? addColumnTip : addControlTip).c_str());
  return b;
}

IControl* UserTabPanel::makeWidthModBtn(const IRECT& rect, int column)
{
  IControl* b = makeButton(
    rect.GetCentredInside(std::min(80.f, rect.W()), std::min(40.f, rect.H())), widthGlyph, "\xE2\x96\xAD", mButtonStyle,
    [this, column] { resetColumnWidth(column); }, false);
  mWidthModRects.push_back(b->GetRECT());
  const Slot& slot = mSlots[static_cast<size_t>(column)];
  const int mod = widthModIndex(slot);
  b->SetTooltip(mod < 0 ? "" : colWidthTip(slot[static_cast<size_t>(mod)]).c_str());
  return b;
}

IRECT UserTabPanel::dragHintRect(const IRECT& band, float textWidth) const
{
  constexpr float kClearance = 4.f;
  const auto freeAt = [&](float l, float r) {
    for (const IRECT& b : mWidthModRects)
    {
      if (l < b.R + kClearance && r > b.L - kClearance)
        return false;
    }
    return true;
  };
  const float half = textWidth / 2.f;
  if (freeAt(band.MW() - half, band.MW() + half))
    return band;
  // The stretches of the band between the buttons, and the one nearest the centre that holds the text.
  std::vector<IRECT> taken = mWidthModRects;
  std::sort(taken.begin(), taken.end(), [](const IRECT& a, const IRECT& b) { return a.L < b.L; });
  float bestX = 0.f;
  float bestDistance = -1.f;
  float gapL = band.L;
  const auto consider = [&](float l, float r) {
    if (r - l < textWidth)
      return;
    const float x = std::clamp(band.MW(), l + half, r - half);
    if (bestDistance < 0.f || std::abs(x - band.MW()) < bestDistance)
    {
      bestDistance = std::abs(x - band.MW());
      bestX = x;
    }
  };
  for (const IRECT& b : taken)
  {
    consider(gapL, b.L - kClearance);
    gapL = std::max(gapL, b.R + kClearance);
  }
  consider(gapL, band.R);
  if (bestDistance < 0.f)
    return band;
  return IRECT(bestX - half, band.T, bestX + half, band.B);
}

IControl* UserTabPanel::makeSaveBtn(const IRECT& rect)
{
  IControl* b = makeButton(
    rect, saveGlyph, "save", mStyle, [this] { promptFile(true); }, true);
  b->SetTooltip(saveTip.c_str());
  return b;
}

IControl* UserTabPanel::makeLoadBtn(const IRECT& rect)
{
  IControl* b = makeButton(
    rect, loadGlyph, "load", mStyle, [this] { promptFile(false); }, true);
  b->SetTooltip(loadTip.c_str());
  return b;
}

IControl* UserTabPanel::makeCopyBtn(const IRECT& rect)
{
  IControl* b = makeButton(
    rect, copyGlyph, "copy", mStyle, [this] { copyToClipboard(); }, true);
  b->SetTooltip(copyTip.c_str());
  return b;
}

IControl* UserTabPanel::makePasteBtn(const IRECT& rect)
{
  IControl* b = makeButton(
    rect, pasteGlyph, "paste", mStyle, [this] { pasteFromClipboard(); }, true);
  b->SetTooltip(pasteTip.c_str());
  return b;
}

IControl* UserTabPanel::makeClearBtn(const IRECT& rect)
{
  IControl* b = makeButton(
    rect, clearGlyph, "clear", mStyle, [this] { clearSlots(); }, true);
  b->SetDisabled(mSlots.empty());
  b->SetTooltip(clearTip.c_str());
  return b;
}

IControl* UserTabPanel::makeUndoBtn(const IRECT& rect)
{
  IControl* b = makeButton(
    rect, undoGlyph, "undo", mStyle, [this] { undo(); }, true);
  b->SetDisabled(mHistory.empty());
  b->SetTooltip(undoTip.c_str());
  return b;
}

IControl* UserTabPanel::makeCellOverlay(const IRECT& rect, int column, int index, bool wholeColumn)
{
  return new CellOverlay(rect, *this, column, index, wholeColumn);
}

std::string UserTabPanel::colWidthTip(int id)
{
  const SpacerDef* def = spacerDef(id);
  if (!def || !def->isWidthMod)
    return {};
  std::string word = "full";
  if (def->fraction < 0.9999f)
  {
    const std::string_view label = def->label;
    word = std::string(label.substr(label.rfind(' ') + 1));
  }
  return word + " width. click to remove";
}

void UserTabPanel::promptFile(bool save)
{
  if (!mGraphics)
    return;
  TextString fileName(save ? "layout" : "");
  TextString folder;
  mGraphics->PromptForFile(
    fileName, folder, save ? EFileAction::Save : EFileAction::Open, mFileExtension.c_str(),
    [this, save, alive = std::weak_ptr<int>(mLifeToken)](const TextString& chosen, const TextString&) {
      const std::string path = chosen.Get();
      if (path.empty() || alive.expired())
        return;
      if (save)
        saveLayout(path);
      else
        loadLayout(path);
    });
}

} // namespace zarvo::ui
