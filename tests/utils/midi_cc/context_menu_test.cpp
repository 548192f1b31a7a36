// The "MIDI CC" context menu of a learnable control: its items in each mapping state, the numbering
// the host sees, and what every choice sends to the plug-in.
#include <functional>
#include <string>
#include <vector>

#include "tests/utils/midi_cc/learnable_fixture.h"

namespace learnable_test {
namespace {

using Item = IPopupMenu::Item;
using Knob = ControlDecorator<IVKnobControl>;

struct MenuLine
{
  std::string text;
  int flags = 0;
  bool operator==(const MenuLine&) const = default;
};

std::ostream& operator<<(std::ostream& os, const MenuLine& l) { return os << "\"" << l.text << "\" " << l.flags; }

std::vector<MenuLine> linesOf(const IPopupMenu& menu)
{
  std::vector<MenuLine> lines;
  for (int i = 0; i < menu.NItems(); ++i)
    lines.push_back({menu.GetItem(i)->GetText(), menu.GetItem(i)->GetFlags()});
  return lines;
}

constexpr int D = Item::kDisabled;
constexpr int C = Item::kChecked;
constexpr int S = Item::kSeparator;

struct MenuCase
{
  const char* name;
  int param;
  std::function<void(Knob&)> state;
  std::vector<MenuLine> submenu;
};

TEST(LearnableMenu, ItemsTitlesChecksAndDisabledFlagsPerMappingState)
{
  const MenuCase cases[] = {
    {"unmapped",
     kDrive,
     [](Knob&) {},
     {{"Learn", 0}, {"Clear", D}, {"", S}, {"Invert", D}, {"Set Min", D}, {"Set Max", D}}},
    {"mapped to CC 74, not modulatable",
     kMix,
     [](Knob& k) {
       k.setCCNumber(74);
       k.setParamMinMax(0.2, 0.8);
     },
     {{"Learn", 0}, {"Clear (74)", 0}, {"", S}, {"Invert", 0}, {"Set Min (20)", 0}, {"Set Max (80)", 0}}},
    {"modulating, bipolar",
     kDrive,
     [](Knob& k) {
       k.setCCNumber(20);
       k.setModeDisplay(1);
       k.setModBipolar(true);
     },
     {{"Learn", 0},
      {"Clear (20)", 0},
      {"", S},
      {"Invert", 0},
      {"Set Min (0.00)", D},
      {"Set Max (10.00)", D},
      {"Set Depth", 0},
      {"Bipolar", C},
      {"", S},
      {"Absolute", 0},
      {"Modulate", C}}},
    {"absolute and locked",
     kDrive,
     [](Knob& k) {
       k.setCCNumber(20);
       k.setModeLocked(true);
     },
     {{"Learn", 0},
      {"Clear (20)", 0},
      {"", S},
      {"Invert", 0},
      {"Set Min (0.00)", 0},
      {"Set Max (10.00)", 0},
      {"Set Depth", D},
      {"Bipolar", D},
      {"", S},
      {"Absolute", D | C},
      {"Modulate", 0}}},
    {"learning",
     kDrive,
     [](Knob& k) { k.setLearning(true); },
     {{"Learning", 0}, {"Clear", D}, {"", S}, {"Invert", D}, {"Set Min", D}, {"Set Max", D}}},
  };
  for (const MenuCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    Knob* knob = s.knob(c.param);
    c.state(*knob);
    IPopupMenu menu;
    knob->CreateContextMenu(menu);
    ASSERT_EQ(menu.NItems(), 3);
    EXPECT_EQ(linesOf(menu)[0], (MenuLine{s.host.GetParam(c.param)->GetName(), Item::kTitle}));
    EXPECT_TRUE(menu.GetItem(1)->GetIsSeparator());
    EXPECT_STREQ(menu.GetItem(2)->GetText(), "MIDI CC");
    ASSERT_NE(menu.GetItem(2)->GetSubmenu(), nullptr);
    EXPECT_EQ(linesOf(*menu.GetItem(2)->GetSubmenu()), c.submenu);
  }
}

TEST(LearnableMenu, DisabledControlOrMissingParameterAddsNoTitle)
{
  LearnSession s;
  Knob* disabled = s.knob(kDrive);
  disabled->SetDisabled(true);
  IPopupMenu menu;
  disabled->CreateContextMenu(menu);
  EXPECT_EQ(menu.NItems(), 0);

  // A control whose parameter the editor does not know: only the submenu, numbered from 1.
  Knob* orphan = s.knob(kNumParams + 3, IRECT(200, 20, 300, 120));
  IPopupMenu orphanMenu;
  orphan->CreateContextMenu(orphanMenu);
  ASSERT_EQ(orphanMenu.NItems(), 1);
  EXPECT_STREQ(orphanMenu.GetItem(0)->GetText(), "MIDI CC");
  orphan->setCCNumber(3);
  EXPECT_EQ(orphan->minText(), "");
  EXPECT_EQ(orphan->maxText(), "");
  EXPECT_TRUE(orphan->tryProcessMidiCCMenuSelection(4)); // Set Min without a parameter takes 0
  EXPECT_EQ(orphan->rangeMin(), 0.0);
}

TEST(LearnableMenu, HostMenuNumbersTheSubmenuFromThreeAndChoosingSendsThePair)
{
  LearnSession s;
  Knob* knob = s.knob(kDrive);
  s.input->RightClick(70, 70);
  FakeContextMenu* menu = s.handler->LastMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->PopupCount(), 1);
  const auto& entries = menu->Entries();
  ASSERT_EQ(entries.size(), 10u); // title, separator, group start, six items, group end
  EXPECT_EQ(entries[0].text, "Drive");
  EXPECT_EQ(entries[2].text, "MIDI CC");
  EXPECT_EQ(entries[3].text, "Learn");
  EXPECT_EQ(entries[3].tag, 3);
  EXPECT_EQ(entries[3].target, knob);

  ASSERT_TRUE(menu->Choose(3));
  EXPECT_EQ(s.host.sent, (std::vector<SentMessage>{{7777, 4, kDrive}, {7778, 4, kDrive}}));
  s.host.sent.clear();
  // The title and the first separator give negative submenu indices: nothing happens.
  ASSERT_TRUE(menu->Choose(0));
  ASSERT_TRUE(menu->Choose(1));
  EXPECT_TRUE(s.host.sent.empty());
}

TEST(LearnableMenu, WithoutAHostMenuTheEditorsOwnMenuOffersTheSameItems)
{
  LearnSession s;
  s.handler->offersMenus = false;
  s.G().AttachPopupMenuControl();
  Knob* knob = s.knob(kDrive);
  knob->setCCNumber(20);
  knob->setModeDisplay(0);
  s.host.log.clear();
  // "Modulate" is submenu item 10; it arrives as the same number a host's menu would give it.
  ASSERT_TRUE(chooseInEditorMenu(s.G(), *s.input, s.platform, 70, 70, 10));
  EXPECT_EQ(s.host.sent, (std::vector<SentMessage>{{7777, 4, kDrive}, {7784, 4, kDrive}}));
  EXPECT_EQ(knob->modeDisplay(), 1);
  // The right click began no edit, so the menu ends none.
  for (const std::string& line : s.host.log)
    EXPECT_EQ(line.rfind("end", 0), std::string::npos) << line;
}

struct ActionCase
{
  const char* name;
  std::function<void(Knob&)> state;
  int index;
  std::vector<int> messages; // each sent with the knob's parameter
  std::function<void(Knob&)> check;
  bool handled = true;
};

TEST(LearnableMenu, EachChoiceChangesTheControlThenSendsItsMessages)
{
  auto mapped = [](Knob& k) {
    k.setCCNumber(20);
    k.setParamMinMax(0.25, 0.75);
  };
  auto modulating = [](Knob& k) {
    k.setCCNumber(20);
    k.setModeDisplay(1);
  };
  const ActionCase cases[] = {
    {"learn resets what the control shows of the mapping",
     mapped,
     0,
     {7777, 7778},
     [](Knob& k) {
       EXPECT_EQ(k.ccNumber(), -1);
       EXPECT_EQ(k.rangeMin(), 0.0);
       EXPECT_EQ(k.rangeMax(), 1.0);
       EXPECT_EQ(k.minText(), "");
     }},
    {"learning cancels without touching the mapping",
     [&](Knob& k) {
       mapped(k);
       k.setLearning(true);
     },
     0,
     {7777, 7788},
     [](Knob& k) { EXPECT_EQ(k.ccNumber(), 20); }},
    {"clear", modulating, 1, {7777, 7779}, [](Knob& k) { EXPECT_EQ(k.modeDisplay(), 0); }},
    {"invert in absolute mode swaps the range",
     mapped,
     3,
     {7777, 7780},
     [](Knob& k) {
       EXPECT_EQ(k.rangeMin(), 0.75);
       EXPECT_EQ(k.rangeMax(), 0.25);
       EXPECT_EQ(k.minText(), "7.50");
       EXPECT_EQ(k.maxText(), "2.50");
     }},
    {"invert while modulating inverts the depth",
     modulating,
     3,
     {7777, 7786},
     [](Knob& k) { EXPECT_EQ(k.rangeMin(), 0.0); }},
    {"set min takes the current value",
     mapped,
     4,
     {7777, 7781},
     [](Knob& k) {
       EXPECT_DOUBLE_EQ(k.rangeMin(), 0.4);
       EXPECT_EQ(k.minText(), "4.00");
     }},
    {"set max takes the current value",
     mapped,
     5,
     {7777, 7782},
     [](Knob& k) {
       EXPECT_DOUBLE_EQ(k.rangeMax(), 0.4);
       EXPECT_EQ(k.maxText(), "4.00");
     }},
    {"set depth arms without a message", modulating, 6, {}, [](Knob& k) { EXPECT_TRUE(k.isDepthArmed()); }},
    {"bipolar", modulating, 7, {7777, 7787}, [](Knob&) {}},
    {"absolute", modulating, 9, {7777, 7783}, [](Knob& k) { EXPECT_EQ(k.modeDisplay(), 0); }},
    {"modulate", mapped, 10, {7777, 7784}, [](Knob& k) { EXPECT_EQ(k.modeDisplay(), 1); }},
    {"first separator", mapped, 2, {}, [](Knob&) {}, false},
    {"second separator", modulating, 8, {}, [](Knob&) {}, false},
    {"past the end", modulating, 11, {}, [](Knob&) {}, false},
    {"before the start", modulating, -1, {}, [](Knob&) {}, false},
  };
  for (const ActionCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    LearnSession s;
    s.host.GetParam(kDrive)->Set(4.0);
    Knob* knob = s.knob(kDrive);
    c.state(*knob);
    EXPECT_EQ(knob->tryProcessMidiCCMenuSelection(c.index), c.handled);
    std::vector<SentMessage> expected;
    for (int tag : c.messages)
      expected.push_back({tag, 4, kDrive});
    EXPECT_EQ(s.host.sent, expected);
    c.check(*knob);
  }
}

TEST(LearnableMenu, SetDepthTwiceDisarmsAndLearnOrClearEndTheArming)
{
  LearnSession s;
  Knob* knob = s.knob(kDrive);
  knob->setCCNumber(20);
  knob->setModeDisplay(1);
  knob->tryProcessMidiCCMenuSelection(6);
  EXPECT_TRUE(knob->isBlinking());
  knob->tryProcessMidiCCMenuSelection(6);
  EXPECT_FALSE(knob->isDepthArmed());
  EXPECT_FALSE(knob->isBlinking());
  EXPECT_TRUE(s.host.sent.empty());
  for (int endingChoice : {0, 1})
  {
    knob->setCCNumber(20);
    knob->setModeDisplay(1);
    knob->tryProcessMidiCCMenuSelection(6);
    knob->tryProcessMidiCCMenuSelection(endingChoice);
    EXPECT_FALSE(knob->isDepthArmed()) << endingChoice;
    EXPECT_FALSE(knob->isBlinking()) << endingChoice;
  }
}

} // namespace
} // namespace learnable_test
