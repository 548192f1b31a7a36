// The data model of every menu the editor shows; it knows nothing of drawing.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "IPlugin/TextString.h"

namespace plugkit::gfx {

class IPopupMenu
{
public:
  using PopupFunc = std::function<void(IPopupMenu* menu)>;

  class Item
  {
  public:
    enum Flags
    {
      kNoFlags = 0,
      kDisabled = 1,
      kTitle = 2,
      kChecked = 4,
      kSeparator = 8
    };

    Item(const char* text, int flags = kNoFlags, int tag = -1)
      : mText(text ? text : "")
      , mFlags(flags)
      , mTag(tag)
    {}
    // Takes ownership of the submenu.
    Item(const char* text, IPopupMenu* submenu)
      : mText(text ? text : "")
      , mSubmenu(submenu)
    {}

    const char* GetText() const { return mText.Get(); }
    void SetText(const char* text) { mText.Set(text ? text : ""); }
    int GetFlags() const { return mFlags; }
    void SetFlags(int flags) { mFlags = flags; }
    int GetTag() const { return mTag; }
    void SetTag(int tag) { mTag = tag; }
    IPopupMenu* GetSubmenu() const { return mSubmenu.get(); }
    bool GetEnabled() const { return !(mFlags & kDisabled); }
    bool GetChecked() const { return mFlags & kChecked; }
    bool GetIsTitle() const { return mFlags & kTitle; }
    bool GetIsSeparator() const { return mFlags & kSeparator; }
    void SetChecked(bool checked) { mFlags = checked ? (mFlags | kChecked) : (mFlags & ~kChecked); }

  private:
    TextString mText;
    std::unique_ptr<IPopupMenu> mSubmenu;
    int mFlags = kNoFlags;
    int mTag = -1;
  };

  // Insertion positions besides an item index.
  static constexpr int kAppend = -1;
  static constexpr int kSorted = -2;

  explicit IPopupMenu(const char* rootTitle = "", int prefix = 0, bool multiCheck = false,
                      std::initializer_list<const char*> items = {});
  IPopupMenu(const char* rootTitle, std::initializer_list<const char*> items, PopupFunc popupFunc);
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Takes ownership of item. -1 appends, -2 inserts in case-insensitive sorted position, another
  // index inserts before that position (below -2: at the front; past the end: at the end).
  Item* AddItem(Item* item, int index = kAppend);
  Item* AddItem(const char* text, int index = kAppend, int itemFlags = Item::kNoFlags);
  // Takes ownership of submenu, which gets a copy of this menu's popup function when it has one.
  Item* AddItem(const char* text, int index, IPopupMenu* submenu);
  Item* AddItem(const char* text, IPopupMenu* submenu, int index = kAppend);
  Item* AddSeparator(int index = kAppend);

  // Unchecks every item here and in all submenus, then checks item (an item with a submenu stays
  // unchecked).
  void CheckItemAlone(Item* item);
  // Deletes this menu's items whose submenu has no items; deeper submenus are not visited.
  void RemoveEmptySubmenus();
  void Clear();

  int NItems() const { return static_cast<int>(mItems.size()); }
  // Null outside the list.
  Item* GetItem(int idx) const;
  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int idx) { mChosenItemIdx = idx; }
  // The chosen item, or null.
  Item* GetChosenItem() const { return GetItem(mChosenItemIdx); }
  int GetPrefix() const { return mPrefix; }
  bool GetCanMultiCheck() const { return mCanMultiCheck; }
  const char* GetRootTitle() const { return mRootTitle.Get(); }
  void SetRootTitle(const char* title) { mRootTitle.Set(title ? title : ""); }
  const PopupFunc& GetFunction() const { return mPopupFunc; }
  void SetFunction(PopupFunc func) { mPopupFunc = std::move(func); }
  // Runs the popup function, if any, with this menu.
  void ExecFunction();
  // The numbering shown before the item at idx ("%02d: " and so on); empty for prefix 0.
  void GetPrefixText(int idx, TextString& text) const;

private:
  int SortedIndex(const char* text) const;

  int mPrefix = 0;
  int mChosenItemIdx = -1;
  bool mCanMultiCheck = false;
  std::vector<std::unique_ptr<Item>> mItems;
  PopupFunc mPopupFunc;
  TextString mRootTitle;
};

} // namespace plugkit::gfx
