// The user tab's control picker: the catalogue as nested menus with a "spacers" menu, items that
// would not fit disabled.
#include <algorithm>

#include "IGfx/IGfx.h"
#include "utils/user_tab/user_tab_panel.h"

namespace zarvo::ui {

using namespace plugkit::gfx;

namespace {

// Tags are id + 9, so that spacer and width-modifier ids map to 0..8.
constexpr int kTagOffset = 9;

} // namespace

void UserTabPanel::showParamPicker(int column, const IRECT& rect)
{
  mPickerColumn = column;
  const bool valid = column >= 0 && static_cast<size_t>(column) < mSlots.size();
  const std::vector<int> excluded = valid ? mSlots[static_cast<size_t>(column)] : std::vector<int>();

  mMenu.Clear();
  mMenu.SetChosenItemIdx(-1);
  buildPickerMenu(mMenu, column, excluded);

  // A new column past the limit, or a column of the most entries, takes nothing.
  const bool full = valid ? mSlots[static_cast<size_t>(column)].size() >= UserTabLayout::kMaxSlotEntries
                          : mSlots.size() >= UserTabLayout::kMaxSlots;
  auto* spacers = new IPopupMenu("spacers");
  const Slot* slot = valid ? &mSlots[static_cast<size_t>(column)] : nullptr;
  for (const SpacerDef& def : kSpacerDefs)
  {
    if (def.isWidthMod && def.id == -4)
      spacers->AddSeparator();
    bool enabled = false;
    if (def.isWidthMod)
      enabled = !slot || !slotHasWidthMod(*slot);
    else
      enabled = slot && slotHasRealControl(*slot) && fitsColumn(*slot, controlSize(def.id));
    IPopupMenu::Item* item = spacers->AddItem(def.label);
    item->SetTag(def.id + kTagOffset);
    if (!enabled || full)
      item->SetFlags(IPopupMenu::Item::kDisabled);
  }
  if (full)
  {
    std::function<void(IPopupMenu&)> disableAll = [&](IPopupMenu& menu) {
      for (int i = 0; i < menu.NItems(); ++i)
      {
        IPopupMenu::Item* item = menu.GetItem(i);
        if (item->GetSubmenu())
          disableAll(*item->GetSubmenu());
        else if (!item->GetIsSeparator())
          item->SetFlags(item->GetFlags() | IPopupMenu::Item::kDisabled);
      }
    };
    disableAll(mMenu);
  }
  mMenu.AddSeparator();
  mMenu.AddItem("spacers", spacers);

  if (mGraphics)
    mGraphics->CreatePopupMenu(*this, mMenu, rect);
}

void UserTabPanel::buildPickerMenu(IPopupMenu& menu, int column, const std::vector<int>& excluded) const
{
  if (!mRegistry)
    return;
  const bool valid = column >= 0 && static_cast<size_t>(column) < mSlots.size();
  std::vector<IPopupMenu*> levels{&menu};
  std::vector<std::string> names;
  mRegistry->walkTree({
    [&](const std::string& name) {
      names.push_back(name);
      levels.push_back(new IPopupMenu(name.c_str()));
    },
    [&](int id) {
      if (id < 0 || !mRegistry->contains(id))
        return;
      const std::string label = mRegistry->label(id);
      IPopupMenu::Item* item = levels.back()->AddItem(label.c_str());
      item->SetTag(id + kTagOffset);
      const bool tooTall = valid && !fitsColumn(mSlots[static_cast<size_t>(column)], mRegistry->size(id));
      if (tooTall || std::ranges::find(excluded, id) != excluded.end())
        item->SetFlags(IPopupMenu::Item::kDisabled);
    },
    [&] {
      IPopupMenu* group = levels.back();
      levels.pop_back();
      levels.back()->AddItem(names.back().c_str(), group);
      names.pop_back();
    },
  });
}

void UserTabPanel::OnPopupMenuSelection(IPopupMenu* menu, int)
{
  IPopupMenu::Item* leaf = nullptr;
  for (IPopupMenu* level = menu; level;)
  {
    IPopupMenu::Item* chosen = level->GetChosenItem();
    if (!chosen)
      break;
    if (IPopupMenu* sub = chosen->GetSubmenu())
    {
      level = sub;
      continue;
    }
    leaf = chosen;
    break;
  }
  const int id = leaf && leaf->GetTag() >= 0 ? leaf->GetTag() - kTagOffset : 0;
  if (leaf && leaf->GetTag() >= 0 && leaf->GetEnabled() && hasControl(id))
  {
    if (mPickerColumn < 0)
      addSlot(id);
    else
      addToSlot(mPickerColumn, id);
    return;
  }
  rebuild();
}

} // namespace zarvo::ui
