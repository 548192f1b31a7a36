#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IGfx/IPopupMenu.h"

namespace plugkit::gfx {
namespace {

std::vector<std::string> Texts(const IPopupMenu& menu)
{
  std::vector<std::string> out;
  for (int i = 0; i < menu.NItems(); ++i)
    out.emplace_back(menu.GetItem(i)->GetText());
  return out;
}

TEST(IPopupMenuTest, InsertionPositions)
{
  struct Case
  {
    const char* name;
    std::vector<std::pair<const char*, int>> adds; // text, index
    std::vector<std::string> expected;
  };
  const Case cases[] = {
    {"sorted insertion ignores case", {{"beta", -2}, {"Alpha", -2}, {"gamma", -2}}, {"Alpha", "beta", "gamma"}},
    {"sorted equal text goes before its twin", {{"a", -2}, {"c", -2}, {"b", -2}, {"B", -2}}, {"a", "B", "b", "c"}},
    {"index past the end appends", {{"x", -1}, {"y", -1}, {"z", -1}, {"w", 99}}, {"x", "y", "z", "w"}},
    {"index below -2 inserts first", {{"x", -1}, {"y", -1}, {"z", -1}, {"w", -5}}, {"w", "x", "y", "z"}},
    {"index inserts before that position", {{"x", -1}, {"z", -1}, {"y", 1}}, {"x", "y", "z"}},
  };
  for (const Case& c : cases)
  {
    IPopupMenu menu;
    for (const auto& [text, idx] : c.adds)
      menu.AddItem(text, idx);
    EXPECT_EQ(c.expected, Texts(menu)) << c.name;
  }
}

TEST(IPopupMenuTest, OutOfRangeItemsAreNull)
{
  IPopupMenu menu("", 0, false, {"a", "b"});
  EXPECT_EQ(nullptr, menu.GetItem(-1));
  EXPECT_EQ(nullptr, menu.GetItem(2));
  EXPECT_EQ(nullptr, menu.GetChosenItem());
  menu.SetChosenItemIdx(1);
  ASSERT_NE(nullptr, menu.GetChosenItem());
  EXPECT_STREQ("b", menu.GetChosenItem()->GetText());
}

TEST(IPopupMenuTest, CheckItemAloneClearsEveryLevel)
{
  IPopupMenu menu;
  IPopupMenu::Item* top = menu.AddItem("top", -1, IPopupMenu::Item::kChecked);
  auto* sub = new IPopupMenu();
  IPopupMenu::Item* inner = sub->AddItem("inner");
  sub->AddItem("other", -1, IPopupMenu::Item::kChecked);
  IPopupMenu::Item* branch = menu.AddItem("branch", sub);

  menu.CheckItemAlone(inner);
  EXPECT_FALSE(top->GetChecked());
  EXPECT_TRUE(inner->GetChecked());
  EXPECT_FALSE(sub->GetItem(1)->GetChecked());

  menu.CheckItemAlone(branch); // an item with a submenu is never checked itself
  EXPECT_FALSE(branch->GetChecked());
  EXPECT_FALSE(inner->GetChecked());
}

TEST(IPopupMenuTest, RemoveEmptySubmenusLooksOneLevelDeep)
{
  IPopupMenu menu;
  menu.AddItem("plain");
  menu.AddItem("empty", new IPopupMenu());
  auto* holder = new IPopupMenu();
  holder->AddItem("nested empty", new IPopupMenu());
  menu.AddItem("holds an empty submenu", holder);

  menu.RemoveEmptySubmenus();
  EXPECT_EQ((std::vector<std::string>{"plain", "holds an empty submenu"}), Texts(menu));
  EXPECT_EQ(1, holder->NItems());
}

TEST(IPopupMenuTest, SubmenusInheritThePopupFunctionOnlyWhenThereIsOne)
{
  int calls = 0;
  IPopupMenu withFunc("root", {}, [&calls](IPopupMenu*) { ++calls; });
  auto* sub = new IPopupMenu();
  withFunc.AddItem("sub", sub);
  sub->ExecFunction();
  EXPECT_EQ(1, calls);

  int ownCalls = 0;
  IPopupMenu without;
  auto* own = new IPopupMenu("own", {}, [&ownCalls](IPopupMenu*) { ++ownCalls; });
  without.AddItem("own", own);
  own->ExecFunction();
  EXPECT_EQ(1, ownCalls);
}

TEST(IPopupMenuTest, PrefixTexts)
{
  struct Case
  {
    int prefix;
    int idx;
    const char* expected;
  };
  const Case cases[] = {{0, 0, ""}, {1, 0, "1: "}, {2, 0, "01: "}, {2, 9, "10: "}, {3, 4, "005: "}};
  for (const Case& c : cases)
  {
    IPopupMenu menu("", c.prefix);
    TextString text;
    menu.GetPrefixText(c.idx, text);
    EXPECT_STREQ(c.expected, text.Get()) << "prefix " << c.prefix << " item " << c.idx;
  }
}

} // namespace
} // namespace plugkit::gfx
