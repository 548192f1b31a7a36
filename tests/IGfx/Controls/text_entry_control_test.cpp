// The in-editor text entry through the input driver and the recording backend, whose text is half
// the font size wide per byte.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "IGfx/Controls/IPopupMenuControl.h"
#include "IGfx/Controls/ITextEntryControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

constexpr int kIntParam = 1;
constexpr int kDoubleParam = 2;
constexpr int kEnumParam = 3;
constexpr int kBoolParam = 4;

IKeyPress Key(int vk, const char* text, bool shift = false, bool control = false)
{
  IKeyPress k;
  k.VK = vk;
  for (int i = 0; text[i] && i < 4; ++i)
    k.utf8[i] = text[i];
  k.S = shift;
  k.C = control;
  return k;
}

class TextEntryControlTest : public ::testing::Test
{
protected:
  TextEntryControlTest()
  {
    s.dlg.GetParam(kIntParam)->InitInt("steps", 120, 0, 200);
    s.dlg.GetParam(kIntParam)->Set(120.);
    s.dlg.GetParam(kDoubleParam)->InitDouble("gain", 0., -10., 10., 0.01, "dB");
    s.dlg.GetParam(kEnumParam)->InitEnum("mode", 0, {"LP", "HP", "BP"});
    s.dlg.GetParam(kBoolParam)->InitBool("on", false);
    s.G().AttachTextEntryControl();
    entry = static_cast<ITextEntryControl*>(s.G().GetTextEntryControl());
    for (int p : {kIntParam, kDoubleParam, kEnumParam, kBoolParam})
    {
      const float x = 100.f * static_cast<float>(p);
      owners[p] = s.Attach<RecordingControl>(IRECT(x, 20, x + 60, 80), p);
      owners[p]->DisablePrompt(false);
    }
    plain = s.Attach<RecordingControl>(IRECT(600, 20, 700, 80), -1, "plain");
  }

  // Opens the field for owner over bounds with str.
  void Open(RecordingControl* owner, const char* str, const IRECT& bounds = IRECT(0, 100, 100, 120),
            const IText& text = IText(14.f, COLOR_BLACK, nullptr, EAlign::Near))
  {
    s.G().CreateTextEntry(*owner, text, bounds, str, 0);
  }
  void Advance(double ms)
  {
    s.platform.nowMs += ms;
    s.G().Tick();
  }
  bool Ctrl(int vk, bool shift = false)
  {
    const char text[2] = {static_cast<char>(vk + 32), 0};
    return s.Input().KeyDown(Key(vk, text, shift, true));
  }

  EditorSession s;
  ITextEntryControl* entry;
  RecordingControl* owners[5] = {};
  RecordingControl* plain;
};

TEST_F(TextEntryControlTest, OpeningSelectsAllWithTheCursorAtTheStart)
{
  owners[kIntParam]->PromptUserInput(0);
  ASSERT_TRUE(entry->GetEditing());
  EXPECT_TRUE(s.platform.textEntries.empty()); // the in-editor field, not the platform's
  EXPECT_EQ("120", entry->GetStr());
  EXPECT_EQ(0, entry->GetSelectionStart());
  EXPECT_EQ(3, entry->GetSelectionEnd());
  EXPECT_EQ(0, entry->GetCursor());
  EXPECT_EQ(IRECT(100, 20, 160, 80).GetCentredInside(40, 16), entry->GetRECT());
  s.Input().Type("7");
  EXPECT_EQ("7", entry->GetStr());
}

TEST_F(TextEntryControlTest, CharacterFilterByParameterType)
{
  struct Case
  {
    const char* name;
    int owner; // 0: no parameter
    IKeyPress key;
    const char* inserted;
  };
  const Case cases[] = {
    {"int digit", kIntParam, Key(53, "5"), "5"},
    {"int shifted digit", kIntParam, Key(53, "%", true), ""},
    {"int keypad digit", kIntParam, Key(101, "5"), "5"},
    {"int keypad digit with shift", kIntParam, Key(101, "5", true), "5"},
    {"int keypad digit without text", kIntParam, Key(101, ""), "5"},
    {"int minus", kIntParam, Key(189, "-"), "-"},
    {"int plus", kIntParam, Key(187, "+", true), "+"},
    {"int full stop", kIntParam, Key(190, "."), ""},
    {"int letter", kIntParam, Key(65, "a"), ""},
    {"enum digit", kEnumParam, Key(50, "2"), "2"},
    {"enum full stop", kEnumParam, Key(190, "."), ""},
    {"bool full stop", kBoolParam, Key(190, "."), ""},
    {"double full stop", kDoubleParam, Key(190, "."), "."},
    {"double minus", kDoubleParam, Key(189, "-"), "-"},
    {"double letter", kDoubleParam, Key(69, "e"), ""},
    {"double shifted digit", kDoubleParam, Key(53, "%", true), ""},
    {"double keypad digit with shift", kDoubleParam, Key(101, "5", true), "5"},
    {"no parameter letter", 0, Key(65, "a"), "a"},
    {"no parameter symbol", 0, Key(0, "%"), "%"},
  };
  for (const Case& c : cases)
  {
    Open(c.owner ? owners[c.owner] : plain, "");
    const bool used = s.Input().KeyDown(c.key);
    EXPECT_EQ(c.inserted, entry->GetStr()) << c.name;
    EXPECT_EQ(*c.inserted != 0, used) << c.name;
    entry->DismissEdit();
  }
}

TEST_F(TextEntryControlTest, UndoAndRedo)
{
  Open(owners[kIntParam], "120");
  s.Input().Type("75");
  ASSERT_EQ("75", entry->GetStr());
  struct Step
  {
    const char* name;
    bool redo;
    const char* text;
  };
  const Step steps[] = {
    {"undo the last insertion", false, "7"},
    {"undo the insertion that replaced the selection", false, ""},
    {"undo the deleted selection", false, "120"},
    {"nothing left to undo", false, "120"},
    {"redo the deletion", true, ""},
    {"redo an insertion", true, "7"},
    {"redo the last", true, "75"},
    {"nothing left to redo", true, "75"},
  };
  for (const Step& st : steps)
  {
    EXPECT_TRUE(Ctrl(90, st.redo)) << st.name;
    EXPECT_EQ(st.text, entry->GetStr()) << st.name;
  }
  // The next opening starts a fresh history.
  entry->DismissEdit();
  Open(owners[kIntParam], "9");
  Ctrl(90);
  EXPECT_EQ("9", entry->GetStr());
}

TEST_F(TextEntryControlTest, TypedValueSetsTheParameterEndToEnd)
{
  struct Case
  {
    const char* name;
    std::string typed;
    std::function<void(InputDriver&)> end;
    Strings log;
  };
  const Case cases[] = {
    {"return commits", "42", [](InputDriver& in) { in.Tap(13); }, {"send 1 0.21"}},
    {"a press outside commits", "42", [](InputDriver& in) { in.Click(650, 50); }, {"send 1 0.21"}},
    {"escape dismisses", "42", [](InputDriver& in) { in.Tap(27); }, {}},
    {"a value past the range is clamped", "500", [](InputDriver& in) { in.Tap(13); }, {"send 1 1"}},
  };
  for (const Case& c : cases)
  {
    s.dlg.GetParam(kIntParam)->Set(120.);
    owners[kIntParam]->SetValue(0.6);
    plain->events.clear();
    owners[kIntParam]->PromptUserInput(0);
    ASSERT_TRUE(entry->GetEditing()) << c.name;
    s.Input().Type(c.typed.c_str());
    s.dlg.log.clear();
    c.end(s.Input());
    EXPECT_EQ(c.log, s.dlg.log) << c.name;
    EXPECT_FALSE(entry->GetEditing()) << c.name;
    EXPECT_TRUE(entry->GetRECT().Empty()) << c.name;
    EXPECT_EQ(nullptr, s.G().GetControlInTextEntry()) << c.name;
    // The press that committed went nowhere else.
    EXPECT_EQ(0, plain->Count("down")) << c.name;
  }
}

TEST_F(TextEntryControlTest, CaretBlinksOnTheInjectedClock)
{
  Open(plain, "ab");
  struct Step
  {
    double ms;
    bool shown;
  };
  // Shown for the first half of each second, hidden for the second.
  const Step steps[] = {{0, true}, {400, true}, {101, false}, {400, false}, {100, true}, {499, true}, {2, false}};
  double t = 0;
  for (const Step& st : steps)
  {
    Advance(st.ms);
    t += st.ms;
    EXPECT_EQ(st.shown, entry->GetDrawCursor()) << "at " << t << " ms";
  }
  // A closed field stops blinking, so nothing keeps the editor drawing.
  s.Input().Tap(13);
  Advance(1001);
  Advance(16);
  EXPECT_FALSE(s.G().Tick());
}

TEST_F(TextEntryControlTest, MultiByteCharactersSurviveInsertAndDelete)
{
  Open(plain, "");
  s.Input().Type("aé€😀b");
  EXPECT_EQ("aé€😀b", entry->GetStr());
  EXPECT_EQ(6, entry->GetCursor()); // UTF-16 units: the last character needs two
  s.Input().Tap(8);                 // b
  EXPECT_EQ("aé€😀", entry->GetStr());
  s.Input().Tap(8); // both halves of the pair
  EXPECT_EQ("aé€", entry->GetStr());
  s.Input().Tap(36); // home
  s.Input().Tap(46); // a
  EXPECT_EQ("é€", entry->GetStr());
  s.Input().Tap(39);
  s.Input().Tap(8);
  EXPECT_EQ("€", entry->GetStr());
  s.Input().Type("ü");
  s.Input().Tap(13);
  EXPECT_EQ(1, plain->Count("text ü€"));
}

TEST_F(TextEntryControlTest, ClipboardWithoutLengthLimit)
{
  Open(plain, "120");
  EXPECT_TRUE(Ctrl(67));
  EXPECT_EQ("120", s.platform.clipboard.value_or(""));
  EXPECT_TRUE(Ctrl(88));
  EXPECT_EQ("", entry->GetStr());
  const std::string forty(40, 'x');
  s.platform.clipboard = forty;
  EXPECT_TRUE(Ctrl(86));
  EXPECT_EQ(forty, entry->GetStr());
  // Backspace with a selection deletes the selection only.
  EXPECT_TRUE(Ctrl(65));
  s.Input().Tap(37);
  s.Input().KeyDown(Key(39, "", true));
  s.Input().Tap(8);
  EXPECT_EQ(std::string(39, 'x'), entry->GetStr());
}

TEST_F(TextEntryControlTest, RightClickOffersCutCopyPasteInTheEditorMenu)
{
  s.G().AttachPopupMenuControl();
  auto* popup = static_cast<IPopupMenuControl*>(s.G().GetPopupMenuControl());
  Open(plain, "120");
  s.platform.clipboard = "9";
  s.Input().RightClick(50, 110);
  ASSERT_EQ(IPopupMenuControl::kExpanding, popup->GetState());
  const auto* panel = popup->GetPanel(0);
  ASSERT_EQ(3, panel->mMenu.NItems());
  EXPECT_STREQ("Paste", panel->mMenu.GetItem(2)->GetText());
  EXPECT_FLOAT_EQ(110.f + 0.f, panel->mTargetRECT.T); // below the press position
  Advance(0);
  Advance(101);
  const IRECT paste = *panel->mCells[2];
  s.Input().Hover(paste.MW(), paste.MH());
  s.Input().Click(paste.MW(), paste.MH());
  EXPECT_EQ("9", entry->GetStr());
  EXPECT_TRUE(entry->GetEditing());
}

TEST_F(TextEntryControlTest, ClickPlacesTheCursorInTheAlignedRow)
{
  // Centred, 5 units of 6 wide in a field from 0 to 100: the row runs from 35 to 65.
  Open(plain, "abcde", IRECT(0, 100, 100, 120), IText(12.f, COLOR_BLACK, nullptr, EAlign::Center));
  struct Case
  {
    float x;
    int cursor;
  };
  const Case cases[] = {{1, 0}, {37, 0}, {39, 1}, {64, 5}, {99, 5}};
  for (const Case& c : cases)
  {
    s.Input().Click(c.x, 110);
    EXPECT_EQ(c.cursor, entry->GetCursor()) << c.x;
    EXPECT_EQ(c.cursor, entry->GetSelectionStart()) << c.x;
    EXPECT_EQ(c.cursor, entry->GetSelectionEnd()) << c.x;
  }
  // A drag selects from the press to the pointer; a double click selects all.
  s.Input().Press(36, 110);
  s.Input().DragTo(50, 110);
  s.Input().Release(50, 110);
  EXPECT_EQ(0, entry->GetSelectionStart());
  EXPECT_EQ(3, entry->GetSelectionEnd());
  s.Input().DoubleClick(50, 110);
  EXPECT_EQ(0, entry->GetSelectionStart());
  EXPECT_EQ(5, entry->GetSelectionEnd());
}

} // namespace
} // namespace plugkit::gfx::test
