// The in-editor popup menu through the input driver and the recording backend, whose text is
// 7 units per byte and 14 high at the default size.
#include <gtest/gtest.h>

#include "IGfx/Controls/IPopupMenuControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;
using Item = IPopupMenu::Item;

// The menu answers a control heard: "popup 1", "popup null".
Strings Answers(const RecordingControl* c)
{
  Strings out;
  for (const std::string& e : c->events)
  {
    if (e.rfind("popup", 0) == 0)
      out.push_back(e);
  }
  return out;
}

class PopupMenuControlTest : public ::testing::Test
{
protected:
  PopupMenuControlTest()
  {
    s.G().AttachPopupMenuControl();
    popup = static_cast<IPopupMenuControl*>(s.G().GetPopupMenuControl());
    owner = s.Attach<RecordingControl>(IRECT(100, 20, 160, 40), -1, "owner");
  }

  void Open(IPopupMenu& menu, const IRECT& anchor = IRECT(100, 20, 160, 40))
  {
    s.G().CreatePopupMenu(*owner, menu, anchor);
  }
  // Moves the clock and draws a frame, as the platform's timer would.
  void Advance(double ms)
  {
    s.platform.nowMs += ms;
    s.G().Tick();
  }
  void OpenFully(IPopupMenu& menu, const IRECT& anchor = IRECT(100, 20, 160, 40))
  {
    Open(menu, anchor);
    Advance(0);
    Advance(101);
    ASSERT_EQ(IPopupMenuControl::kExpanded, popup->GetState());
  }
  const IRECT& Cell(int panel, int i) const { return *popup->GetPanel(panel)->mCells[static_cast<size_t>(i)]; }
  void Hover(const IRECT& r) { s.Input().Hover(r.MW(), r.MH()); }
  void Click(const IRECT& r) { s.Input().Click(r.MW(), r.MH()); }
  // The texts the last frame drew, in order.
  Strings DrawnTexts()
  {
    s.recorder.Clear();
    s.G().SetAllControlsDirty();
    s.G().Tick();
    Strings texts;
    for (const DrawCall& c : s.recorder.Only("DoDrawText"))
      texts.push_back(c.text);
    return texts;
  }

  EditorSession s;
  IPopupMenuControl* popup;
  RecordingControl* owner;
};

TEST_F(PopupMenuControlTest, CellWidthIsTheWidestTextPlus28)
{
  struct Case
  {
    const char* name;
    std::vector<const char*> items;
    float width;
  };
  const Case cases[] = {
    {"one letter", {"A"}, 7.f + 28.f},
    {"widest wins", {"LP", "Sawtooth", "HP"}, 56.f + 28.f},
    {"an empty text adds nothing", {"", "Band"}, 28.f + 28.f},
  };
  for (const Case& c : cases)
  {
    IPopupMenu menu;
    for (const char* text : c.items)
      menu.AddItem(text);
    float w = 0.f;
    float h = 0.f;
    popup->GetPanelDimensions(menu, w, h);
    EXPECT_FLOAT_EQ(c.width, w) << c.name;
    OpenFully(menu);
    EXPECT_FLOAT_EQ(c.width, Cell(0, 0).W()) << c.name;
    s.Input().Tap(27);
    Advance(101);
    Advance(101);
    Advance(101);
    ASSERT_EQ(IPopupMenuControl::kCollapsed, popup->GetState()) << c.name;
  }
}

TEST_F(PopupMenuControlTest, PlacedBelowTheAnchorWhenItFitsElseAbove)
{
  // Three items: 84 wide, 3 x 14 + 2 x 2 = 46 high; target bounds add the padding of 5.
  struct Case
  {
    const char* name;
    IRECT anchor;
    IRECT target;
  };
  const Case cases[] = {
    {"below, centred", IRECT(100, 20, 160, 40), IRECT(88, 40, 182, 96)},
    {"above when the bottom is too near", IRECT(100, 160, 160, 180), IRECT(88, 104, 182, 160)},
    {"kept inside the left edge", IRECT(0, 20, 20, 40), IRECT(10, 40, 104, 96)},
  };
  for (const Case& c : cases)
  {
    IPopupMenu menu("", {"LP", "Sawtooth", "HP"}, nullptr);
    OpenFully(menu, c.anchor);
    EXPECT_EQ(c.target, popup->GetPanel(0)->mTargetRECT) << c.name;
    EXPECT_EQ(c.target, popup->GetTargetRECT()) << c.name;
    EXPECT_EQ(c.target.GetPadded(10.f), popup->GetRECT()) << c.name;
    s.Input().Tap(27);
    for (int i = 0; i < 3; ++i)
      Advance(101);
  }
}

TEST_F(PopupMenuControlTest, StateTimings)
{
  IPopupMenu menu("", {"A", "B"}, nullptr);
  menu.AddItem("More", new IPopupMenu("", {"Saw", "Square"}, nullptr));
  struct Step
  {
    double ms;
    IPopupMenuControl::EPopupState state;
  };
  auto walk = [&](const char* name, std::initializer_list<Step> steps) {
    for (const Step& st : steps)
    {
      Advance(st.ms);
      EXPECT_EQ(st.state, popup->GetState()) << name << " after " << st.ms;
    }
  };
  Open(menu);
  EXPECT_EQ(IPopupMenuControl::kExpanding, popup->GetState());
  EXPECT_FALSE(popup->IsHidden());
  walk("expanding",
       {{0, IPopupMenuControl::kExpanding}, {99, IPopupMenuControl::kExpanding}, {2, IPopupMenuControl::kExpanded}});
  EXPECT_FLOAT_EQ(0.95f, popup->GetPanel(0)->mBlend.mWeight);

  Hover(Cell(0, 2));
  EXPECT_EQ(IPopupMenuControl::kSubMenuAppearing, popup->GetState());
  ASSERT_EQ(2, popup->NPanels());
  walk("submenu", {{0, IPopupMenuControl::kSubMenuAppearing},
                   {150, IPopupMenuControl::kSubMenuAppearing},
                   {51, IPopupMenuControl::kExpanded}});

  Click(Cell(0, 0));
  EXPECT_EQ(IPopupMenuControl::kConfirming, popup->GetState());
  EXPECT_TRUE(popup->IsHidden());
  walk("closing", {{99, IPopupMenuControl::kConfirming},
                   {2, IPopupMenuControl::kCollapsing},
                   {99, IPopupMenuControl::kCollapsing},
                   {2, IPopupMenuControl::kClosing},
                   {99, IPopupMenuControl::kClosing},
                   {2, IPopupMenuControl::kCollapsed}});
  EXPECT_EQ(0, popup->NPanels());
  EXPECT_TRUE(popup->GetRECT().Empty());
  // Nothing runs once closed: the editor can go idle.
  EXPECT_FALSE(s.G().Tick());
}

TEST_F(PopupMenuControlTest, SecondRequestWhileOpenOrClosingIsRefusedWithNoChoice)
{
  s.dlg.GetParam(2)->InitEnum("mode", 0, {"LP", "HP"});
  auto* other = s.Attach<RecordingControl>(IRECT(300, 20, 360, 40), 2, "other");
  IPopupMenu first("", {"A", "B"}, nullptr);
  IPopupMenu second("", {"X", "Y", "Z"}, nullptr);

  Open(first);
  Advance(50); // still fading in
  s.dlg.log.clear();
  s.G().CreatePopupMenu(*other, second, IRECT(300, 20, 360, 40));
  EXPECT_EQ(&first, &popup->GetPanel(0)->mMenu);
  EXPECT_EQ((Strings{"popup null"}), Answers(other));
  EXPECT_EQ((Strings{"end 2"}), s.dlg.log);

  Advance(60);
  Click(Cell(0, 1));
  // The open menu's answer still reaches its own owner.
  EXPECT_EQ((Strings{"popup 1"}), Answers(owner));

  other->events.clear();
  Advance(101); // collapsing
  s.G().CreatePopupMenu(*other, second, IRECT(300, 20, 360, 40));
  EXPECT_EQ((Strings{"popup null"}), Answers(other));
  EXPECT_EQ(IPopupMenuControl::kCollapsing, popup->GetState());
}

TEST_F(PopupMenuControlTest, PressWhereNothingCanBeChosenReturnsNoChoice)
{
  struct Case
  {
    const char* name;
    int cell; // -1: outside every panel
  };
  const Case cases[] = {{"title", 0}, {"separator", 2}, {"disabled item", 3}, {"outside", -1}};
  for (const Case& c : cases)
  {
    IPopupMenu menu;
    menu.AddItem("Filters", IPopupMenu::kAppend, Item::kTitle);
    menu.AddItem("LP");
    menu.AddSeparator();
    menu.AddItem("HP", IPopupMenu::kAppend, Item::kDisabled);
    int calls = 0;
    menu.SetFunction([&calls](IPopupMenu*) { ++calls; });
    owner->events.clear();
    OpenFully(menu);
    if (c.cell >= 0)
      Click(Cell(0, c.cell));
    else
      s.Input().Click(600, 150);
    EXPECT_EQ((Strings{"popup null"}), Answers(owner)) << c.name;
    EXPECT_EQ(-1, menu.GetChosenItemIdx()) << c.name;
    EXPECT_EQ(1, calls) << c.name;
    EXPECT_EQ(IPopupMenuControl::kConfirming, popup->GetState()) << c.name;
    for (int i = 0; i < 3; ++i)
      Advance(101);
  }
}

TEST_F(PopupMenuControlTest, ChoosingInASubmenuReportsTheSubmenu)
{
  IPopupMenu menu("", {"Basic"}, nullptr);
  auto* sub = new IPopupMenu("", {"Saw", "Square"}, nullptr);
  menu.AddItem("More", sub);
  IPopupMenu* reported = nullptr;
  sub->SetFunction([&reported](IPopupMenu* m) { reported = m; });
  OpenFully(menu);
  // A menu with submenus sits above or below its anchor, never beside it.
  EXPECT_EQ(2, popup->GetCalloutDirection());
  EXPECT_FLOAT_EQ(40.f, popup->GetPanel(0)->mTargetRECT.T);

  Hover(Cell(0, 1));
  ASSERT_EQ(2, popup->NPanels());
  const auto* subPanel = popup->GetPanel(1);
  EXPECT_EQ(sub, &subPanel->mMenu);
  EXPECT_EQ(0, subPanel->mParentIdx);
  EXPECT_GE(subPanel->mTargetRECT.L, Cell(0, 1).R); // opens to the right
  EXPECT_TRUE(popup->GetRECT().Contains(subPanel->mRECT));
  Advance(0);
  Advance(201);

  // Back on a plain item the submenu hides; on the submenu item again it shows.
  Hover(Cell(0, 0));
  EXPECT_FALSE(popup->GetPanel(1)->mShouldDraw);
  Hover(Cell(0, 1));
  EXPECT_TRUE(popup->GetPanel(1)->mShouldDraw);
  EXPECT_EQ(2, popup->NPanels());
  Advance(0);
  Advance(201);

  Hover(Cell(1, 1));
  Click(Cell(1, 1));
  EXPECT_EQ(sub, reported);
  EXPECT_EQ(1, sub->GetChosenItemIdx());
  EXPECT_EQ(-1, menu.GetChosenItemIdx());
  EXPECT_EQ((Strings{"popup 1"}), Answers(owner));
}

TEST_F(PopupMenuControlTest, TallMenuScrollsByHoveringItsArrows)
{
  IPopupMenu menu;
  for (int i = 0; i < 20; ++i)
    menu.AddItem(("Item " + std::to_string(i)).c_str());
  OpenFully(menu);
  const auto* panel = popup->GetPanel(0);
  // (200 - 5 - (5 + 10)) / (14 + 2) cells fit in a 200 high editor; one column only.
  ASSERT_TRUE(panel->mScroller);
  EXPECT_EQ(11, panel->NCells());
  EXPECT_FLOAT_EQ(15.f, Cell(0, 0).T);
  for (int i = 1; i < 11; ++i)
    EXPECT_FLOAT_EQ(Cell(0, 0).L, Cell(0, i).L);

  // At offset 0 the first cell shows item 0 and only the down arrow is drawn.
  Strings texts = DrawnTexts();
  ASSERT_EQ(10u, texts.size());
  EXPECT_EQ("Item 0", texts.front());
  EXPECT_EQ("Item 9", texts.back());

  for (int i = 0; i < 12; ++i)
    Hover(Cell(0, 10));
  EXPECT_EQ(9, panel->mScrollItemOffset); // 20 items - 11 cells
  texts = DrawnTexts();
  ASSERT_EQ(10u, texts.size());
  EXPECT_EQ("Item 10", texts.front());
  EXPECT_EQ("Item 19", texts.back());

  Hover(Cell(0, 0));
  EXPECT_EQ(8, panel->mScrollItemOffset);
  // The wheel scrolls too, a step per notch: up shows earlier items.
  s.Input().Wheel(Cell(0, 5).MW(), Cell(0, 5).MH(), 1.f);
  EXPECT_EQ(7, panel->mScrollItemOffset);
}

TEST_F(PopupMenuControlTest, PressOnAScrollArrowScrollsAndChoosesNothing)
{
  IPopupMenu menu;
  for (int i = 0; i < 20; ++i)
    menu.AddItem(("Item " + std::to_string(i)).c_str());
  OpenFully(menu);
  const auto* panel = popup->GetPanel(0);
  ASSERT_TRUE(panel->mScroller);

  // Each press on an arrow scrolls one step (the release then counts as a hover over it, as any
  // pointer movement there does).
  s.Input().Press(Cell(0, 10).MW(), Cell(0, 10).MH());
  EXPECT_EQ(IPopupMenuControl::kExpanded, popup->GetState());
  EXPECT_EQ(1, panel->mScrollItemOffset);
  EXPECT_TRUE(Answers(owner).empty());
  s.Input().Release(Cell(0, 10).MW(), Cell(0, 10).MH());

  s.Input().Press(Cell(0, 0).MW(), Cell(0, 0).MH());
  EXPECT_EQ(1, panel->mScrollItemOffset);
  EXPECT_EQ(IPopupMenuControl::kExpanded, popup->GetState());
  EXPECT_TRUE(Answers(owner).empty());
  s.Input().Release(Cell(0, 0).MW(), Cell(0, 0).MH());
  EXPECT_EQ(0, panel->mScrollItemOffset);

  // At offset 0 the top cell is item 0, which a press chooses.
  Click(Cell(0, 0));
  EXPECT_EQ((Strings{"popup 0"}), Answers(owner));
}

TEST_F(PopupMenuControlTest, KeyboardNavigation)
{
  IPopupMenu menu;
  menu.AddItem("Filters", IPopupMenu::kAppend, Item::kTitle);
  menu.AddItem("LP");
  menu.AddSeparator();
  menu.AddItem("BP", IPopupMenu::kAppend, Item::kDisabled);
  menu.AddItem("HP");
  auto* sub = new IPopupMenu("", {"Saw", "Square"}, nullptr);
  menu.AddItem("Shapes", sub);

  struct Case
  {
    const char* name;
    std::vector<int> keys;
    std::string result; // what the owner hears
    const IPopupMenu* chosenIn;
  };
  const Case cases[] = {
    {"down skips title", {40, 13}, "popup 1", &menu},
    {"down skips separator and disabled", {40, 40, 13}, "popup 4", &menu},
    {"up comes back", {40, 40, 38, 13}, "popup 1", &menu},
    {"down stops at the last", {40, 40, 40, 40, 40, 38, 13}, "popup 4", &menu},
    {"right opens the submenu", {40, 40, 40, 39, 40, 13}, "popup 1", sub},
    {"left closes it again", {40, 40, 40, 39, 37, 38, 13}, "popup 4", &menu},
    {"escape chooses nothing", {40, 27}, "popup null", nullptr},
  };
  for (const Case& c : cases)
  {
    owner->events.clear();
    OpenFully(menu);
    for (int vk : c.keys)
      EXPECT_TRUE(s.Input().Tap(vk, 700, 150)) << c.name << " key " << vk;
    EXPECT_EQ((Strings{c.result}), Answers(owner)) << c.name;
    if (c.chosenIn)
    {
      EXPECT_GE(c.chosenIn->GetChosenItemIdx(), 0) << c.name;
    }
    for (int i = 0; i < 3; ++i)
      Advance(101);
  }
}

TEST_F(PopupMenuControlTest, EmptyMenuCompletesAtOnceWithNoChoice)
{
  IPopupMenu menu;
  Open(menu);
  EXPECT_EQ((Strings{"popup null"}), Answers(owner));
  EXPECT_EQ(IPopupMenuControl::kCollapsed, popup->GetState());
  EXPECT_TRUE(popup->IsHidden());
}

TEST_F(PopupMenuControlTest, PromptedEnumSetsTheParameterThroughTheMenu)
{
  s.dlg.GetParam(3)->InitEnum("mode", 0, {"LP", "HP", "BP"});
  auto* knob = s.Attach<RecordingControl>(IRECT(400, 60, 460, 120), 3, "knob");
  knob->DisablePrompt(false);
  knob->PromptUserInput(0);
  EXPECT_TRUE(s.platform.menusShown.empty()); // the in-editor menu, not the platform's
  Advance(0);
  Advance(101);
  ASSERT_EQ(3, popup->GetPanel(0)->NCells());
  s.dlg.log.clear();
  Hover(Cell(0, 2));
  Click(Cell(0, 2));
  EXPECT_DOUBLE_EQ(1., knob->GetValue());
  EXPECT_EQ((Strings{"send 3 1", "end 3"}), s.dlg.log);
}

} // namespace
} // namespace plugkit::gfx::test
