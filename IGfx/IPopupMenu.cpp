#include "IGfx/IPopupMenu.h"

#include <strings.h>

#include <algorithm>

namespace plugkit::gfx {

IPopupMenu::IPopupMenu(const char* rootTitle, int prefix, bool multiCheck, std::initializer_list<const char*> items)
  : mPrefix(prefix)
  , mCanMultiCheck(multiCheck)
  , mRootTitle(rootTitle ? rootTitle : "")
{
  for (const char* text : items)
    AddItem(text, kAppend, Item::kNoFlags);
}

IPopupMenu::IPopupMenu(const char* rootTitle, std::initializer_list<const char*> items, PopupFunc popupFunc)
  : IPopupMenu(rootTitle, 0, false, items)
{
  mPopupFunc = std::move(popupFunc);
}

int IPopupMenu::SortedIndex(const char* text) const
{
  int lo = 0;
  int hi = NItems();
  while (lo != hi)
  {
    const int mid = (lo + hi) / 2;
    const int cmp = strcasecmp(text, mItems[static_cast<size_t>(mid)]->GetText());
    if (cmp > 0)
      lo = mid + 1;
    else if (cmp < 0)
      hi = mid;
    else
      return mid;
  }
  return lo;
}

IPopupMenu::Item* IPopupMenu::AddItem(Item* item, int index)
{
  const int n = NItems();
  int pos = n;
  if (index == kSorted)
    pos = SortedIndex(item->GetText());
  else if (index < kSorted)
    pos = 0;
  else if (index >= 0)
    pos = std::min(index, n);
  mItems.insert(mItems.begin() + pos, std::unique_ptr<Item>(item));
  return item;
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, int index, int itemFlags)
{
  return AddItem(new Item(text, itemFlags), index);
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu)
{
  if (submenu && mPopupFunc)
    submenu->SetFunction(mPopupFunc);
  return AddItem(new Item(text, submenu), index);
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu, int index)
{
  return AddItem(text, index, submenu);
}

IPopupMenu::Item* IPopupMenu::AddSeparator(int index) { return AddItem(new Item("", Item::kSeparator), index); }

void IPopupMenu::CheckItemAlone(Item* item)
{
  for (auto& it : mItems)
  {
    it->SetChecked(false);
    if (IPopupMenu* sub = it->GetSubmenu())
      sub->CheckItemAlone(nullptr);
  }
  if (item && !item->GetSubmenu())
    item->SetChecked(true);
}

void IPopupMenu::RemoveEmptySubmenus()
{
  std::erase_if(mItems,
                [](const std::unique_ptr<Item>& it) { return it->GetSubmenu() && it->GetSubmenu()->NItems() == 0; });
}

void IPopupMenu::Clear()
{
  mItems.clear();
  mChosenItemIdx = -1;
}

IPopupMenu::Item* IPopupMenu::GetItem(int idx) const
{
  if (idx < 0 || idx >= NItems())
    return nullptr;
  return mItems[static_cast<size_t>(idx)].get();
}

void IPopupMenu::ExecFunction()
{
  if (mPopupFunc)
    mPopupFunc(this);
}

void IPopupMenu::GetPrefixText(int idx, TextString& text) const
{
  switch (mPrefix)
  {
  case 1: text.SetFormatted(16, "%1d: ", idx + 1); break;
  case 2: text.SetFormatted(16, "%02d: ", idx + 1); break;
  case 3: text.SetFormatted(16, "%03d: ", idx + 1); break;
  default: text.Set(""); break;
  }
}

} // namespace plugkit::gfx
