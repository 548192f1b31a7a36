// Editing the user tab: the move primitives, undo and the control picker through the popup fake.
#include "tests/utils/user_tab/user_tab_fixture.h"

namespace zarvo::ui::test {
namespace {

using plugkit::gfx::IPopupMenu;
using Answer = plugkit::gfx::test::HeadlessPlatform::PopupAnswer;

TEST_F(PanelTest, MoveColumnNamesAGapInTheOldOrder)
{
  struct Case
  {
    const char* name;
    int from, to;
    Slots expected;
  };
  const Slots xyz = {{29}, {11}, {13}};
  const Case cases[] = {
    {"first behind the second", 0, 2, {{11}, {29}, {13}}},
    {"last to the front", 2, 0, {{13}, {29}, {11}}},
    {"onto its own gap", 1, 1, xyz},
    {"onto the gap after it", 1, 2, xyz},
    {"to the end", 0, 3, {{11}, {13}, {29}}},
    {"past the end is the end", 0, 99, {{11}, {13}, {29}}},
    {"no such column", 5, 0, xyz},
  };
  for (const Case& c : cases)
  {
    Make(xyz, true);
    panel->moveColumnTo(c.from, c.to);
    EXPECT_EQ(panel->slots(), c.expected) << c.name;
    EXPECT_TRUE(panel->history().empty()) << c.name;
    RemovePanel();
  }
}

TEST_F(PanelTest, MoveEntriesByCellPosition)
{
  struct Case
  {
    const char* name;
    Slots slots;
    std::function<void(UserTabPanel&)> move;
    Slots expected;
  };
  const Case cases[] = {
    {"down within", {{13, -1, 14, 12}}, [](UserTabPanel& p) { p.moveEntryWithinSlot(0, 0, 2); }, {{-1, 13, 14, 12}}},
    {"up within", {{13, -1, 14, 12}}, [](UserTabPanel& p) { p.moveEntryWithinSlot(0, 3, 0); }, {{12, 13, -1, 14}}},
    {"to the end within",
     {{13, -1, 14, 12}},
     [](UserTabPanel& p) { p.moveEntryWithinSlot(0, 1, 4); },
     {{13, 14, 12, -1}}},
    {"cells past the end are the end",
     {{13, -1, 14}},
     [](UserTabPanel& p) { p.moveEntryWithinSlot(0, 0, 99); },
     {{-1, 14, 13}}},
    {"cells count past the modifier",
     {{-5, 13, 14}},
     [](UserTabPanel& p) { p.moveEntryWithinSlot(0, 2, 0); },
     {{-5, 14, 13}}},
    {"across, to the top", {{13, 14}, {29}}, [](UserTabPanel& p) { p.moveEntryAcross(0, 0, 1, 0); }, {{14}, {13, 29}}},
    {"across, to the end", {{13, 14}, {29}}, [](UserTabPanel& p) { p.moveEntryAcross(0, 1, 1, 1); }, {{13}, {29, 14}}},
    {"across, emptying the source", {{11}, {29}}, [](UserTabPanel& p) { p.moveEntryAcross(0, 0, 1, 1); }, {{29, 11}}},
    {"across within one column", {{13, 14}}, [](UserTabPanel& p) { p.moveEntryAcross(0, 0, 0, 2); }, {{14, 13}}},
    {"into a new column between",
     {{11}, {29, 13}},
     [](UserTabPanel& p) { p.moveEntryToNewColumn(1, 1, 1); },
     {{11}, {13}, {29}}},
    {"a column's only entry into a new first column",
     {{11}, {29}},
     [](UserTabPanel& p) { p.moveEntryToNewColumn(0, 0, 0); },
     {{11}, {29}}},
    {"a column's only entry to the end",
     {{11}, {29}},
     [](UserTabPanel& p) { p.moveEntryToNewColumn(0, 0, 2); },
     {{29}, {11}}},
    {"no such entry", {{11}, {29}}, [](UserTabPanel& p) { p.moveEntryAcross(0, 3, 1, 0); }, {{11}, {29}}},
  };
  for (const Case& c : cases)
  {
    Make(c.slots, true);
    c.move(*panel);
    EXPECT_EQ(panel->slots(), c.expected) << c.name;
    RemovePanel();
  }
}

TEST_F(PanelTest, TenEditsUndoneRestoreTheFirstLayout)
{
  const Slots first = {{29}, {11, -1}};
  Make(first, true);
  const std::function<void()> edits[] = {
    [this] { panel->addSlot(13); },
    [this] { panel->addToSlot(0, 12); },
    [this] { panel->addToSlot(1, -7); },
    [this] { panel->resetColumnWidth(1); },
    [this] { panel->removeEntry(2, 0); },
    [this] { panel->addToSlot(0, -1); },
    [this] { panel->applySlots("# zarvo v1\n[user-tab]\nslot 14 -2\n"); },
    [this] { panel->addSlot(3); },
    [this] { panel->clearSlots(); },
    [this] { panel->addSlot(99); },
  };
  std::vector<Slots> seen;
  for (const auto& edit : edits)
  {
    seen.push_back(panel->slots());
    edit();
    EXPECT_NE(panel->slots(), seen.back());
  }
  ASSERT_EQ(panel->history().size(), 10u);
  EXPECT_FALSE(WithTooltip("undo")->IsDisabled());
  for (int i = 9; i >= 0; --i)
  {
    panel->undo();
    EXPECT_EQ(panel->slots(), seen[static_cast<size_t>(i)]) << "undo " << 10 - i;
  }
  EXPECT_EQ(panel->slots(), first);
  const size_t reports = changes.size();
  panel->undo();
  EXPECT_EQ(panel->slots(), first);
  EXPECT_EQ(changes.size(), reports);
  EXPECT_TRUE(WithTooltip("undo")->IsDisabled());
}

TEST_F(PanelTest, EditsThatChangeNothingLeaveNoStep)
{
  Make({{29}, {11}}, true);
  panel->resetColumnWidth(0); // no modifier
  panel->resetColumnWidth(7); // no column
  EXPECT_TRUE(panel->history().empty());
  panel->removeEntry(0, 0);
  EXPECT_EQ(panel->slots(), (Slots{{11}}));
  panel->undo();
  EXPECT_EQ(panel->slots(), (Slots{{29}, {11}}));
  panel->clearSlots();
  panel->clearSlots(); // nothing left to clear
  EXPECT_EQ(panel->history().size(), 1u);
}

TEST_F(PanelTest, LayoutsStayWithinWhatAStateHolds)
{
  Slots wide(UserTabLayout::kMaxSlots, Slot{99});
  wide[0] = Slot(UserTabLayout::kMaxSlotEntries, -1);
  wide[0][0] = 99;
  Make(wide, true);
  panel->addSlot(29);
  panel->addToSlot(0, 12);
  EXPECT_EQ(panel->slots(), wide);
  EXPECT_TRUE(panel->history().empty());
  Make(Slots(UserTabLayout::kMaxSlots + 3, Slot{29}), true);
  EXPECT_EQ(panel->slots().size(), UserTabLayout::kMaxSlots);
}

// The item at a path of texts ("main filter>detune").
IPopupMenu::Item* Find(IPopupMenu& menu, const std::string& path)
{
  const size_t slash = path.find('>');
  const std::string head = path.substr(0, slash);
  for (int i = 0; i < menu.NItems(); ++i)
  {
    IPopupMenu::Item* item = menu.GetItem(i);
    if (head != item->GetText())
      continue;
    if (slash == std::string::npos)
      return item;
    return item->GetSubmenu() ? Find(*item->GetSubmenu(), path.substr(slash + 1)) : nullptr;
  }
  return nullptr;
}

TEST_F(PanelTest, PickerOffersWhatFits)
{
  struct Case
  {
    const char* name;
    Slots slots;
    int column;
    std::vector<std::pair<const char*, bool>> items; // path, enabled
  };
  const Case cases[] = {
    {"a column of 0.9",
     {{3, 9, 97}},
     0,
     {{"main filter>detune", false},
      {"tiny", true},
      {"pre-filters>A pt", false},
      {"spacers>horizontal  1/8", false},
      {"spacers>vertical  1/2", true}}},
    {"a column holding a control",
     {{29}, {11}},
     0,
     {{"mix", false},
      {"main filter>Main hz", true},
      {"main filter>user blend", true},
      {"spacers>horizontal  1/2", true},
      {"spacers>vertical  1", true}}},
    {"another column offers it", {{29}, {11}}, 1, {{"mix", true}, {"main filter>Main hz", false}}},
    {"a column with a modifier", {{-5, 29}}, 0, {{"spacers>vertical  3/4", false}, {"spacers>horizontal  1/4", true}}},
    {"spacers alone take no spacer", {{-2}}, 0, {{"spacers>horizontal  1/8", false}, {"tiny", true}}},
    {"a new column",
     {{3, 9, 97}},
     -1,
     {{"main filter>user blend", true},
      {"pre-filters>A pt", true},
      {"mix", true},
      {"spacers>horizontal  1/8", false},
      {"spacers>horizontal  1/2", false},
      {"spacers>vertical  1/8", true}}},
  };
  for (const Case& c : cases)
  {
    Make(c.slots, true);
    panel->showParamPicker(c.column, IRECT(200, 0, 220, 20));
    ASSERT_FALSE(s.platform.menusShown.empty());
    const auto& shown = s.platform.menusShown.back();
    EXPECT_EQ(shown.items, (std::vector<std::string>{"main filter", "pre-filters", "damping", "labels", "break",
                                                     "b char", "mix", "tiny", "fifteen", "", "spacers"}))
      << c.name;
    for (const auto& [path, enabled] : c.items)
    {
      IPopupMenu::Item* item = Find(panel->pickerMenu(), path);
      ASSERT_TRUE(item) << c.name << ": " << path;
      EXPECT_EQ(item->GetEnabled(), enabled) << c.name << ": " << path;
    }
    RemovePanel();
  }
}

TEST_F(PanelTest, PickedControlJoinsItsColumn)
{
  Make({{29}, {11}}, true);
  // "+" of column 1, then "main filter" / "detune".
  s.platform.popupAnswers.push_back(Answer{0, true});
  IControl* plus = nullptr;
  panel->ForAllChildrenFunc([&](int, IControl* c) {
    if (std::string(c->GetTooltip()) == "add a control" && c->GetRECT().MW() == panel->columnRects()[1].MW())
      plus = c;
  });
  ASSERT_TRUE(plus);
  s.Input().Click(plus->GetRECT().MW(), plus->GetRECT().MH());
  ASSERT_EQ(panel->pickerColumn(), 1);
  Find(panel->pickerMenu(), "main filter")->GetSubmenu()->SetChosenItemIdx(3);
  ASSERT_TRUE(s.G().CompletePendingPopup());
  EXPECT_EQ(panel->slots(), (Slots{{29}, {11, 12}}));
  EXPECT_EQ(panel->history().size(), 1u);

  // A width modifier goes to the front; the add-column button makes a column.
  s.platform.popupAnswers.push_back(Answer{10, true});
  panel->showParamPicker(0, IRECT());
  Find(panel->pickerMenu(), "spacers")
    ->GetSubmenu()
    ->SetChosenItemIdx(5); // "vertical  3/4", after 3 spacers and a separator
  s.G().CompletePendingPopup();
  EXPECT_EQ(panel->slots(), (Slots{{-5, 29}, {11, 12}}));
  const IRECT add = WithTooltip("add a column")->GetRECT();
  s.platform.popupAnswers.push_back(Answer{7, false});
  s.Input().Click(add.MW(), add.MH());
  EXPECT_EQ(panel->slots(), (Slots{{-5, 29}, {11, 12}, {99}}));
  EXPECT_EQ(panel->history().size(), 3u);
}

TEST_F(PanelTest, DismissedPickerChangesNothing)
{
  Make({{29}, {11}}, true);
  const size_t reports = changes.size();
  panel->showParamPicker(1, IRECT()); // the fake dismisses an unanswered menu
  s.platform.popupAnswers.push_back(Answer{0, true});
  panel->showParamPicker(0, IRECT()); // a group chosen with nothing in it
  s.G().CompletePendingPopup();
  EXPECT_EQ(panel->slots(), (Slots{{29}, {11}}));
  EXPECT_TRUE(panel->history().empty());
  EXPECT_EQ(changes.size(), reports);
  EXPECT_EQ(Placed().size(), 2u);
}

} // namespace
} // namespace zarvo::ui::test
