#include <gtest/gtest.h>

#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

class PromptTest : public ::testing::Test
{
protected:
  PromptTest()
  {
    s.dlg.GetParam(3)->InitEnum("mode", 1, {"LP", "HP", "BP"});
    s.dlg.GetParam(3)->Set(1.);
    s.dlg.GetParam(4)->InitDouble("steps", 0., 0., 10., 2., "st", IParam::kFlagStepped);
    s.dlg.GetParam(4)->Set(4.);
    menuCtrl = s.Attach<RecordingControl>(IRECT(100, 50, 160, 80), 3);
    textCtrl = s.Attach<RecordingControl>(IRECT(200, 50, 260, 80), 4);
    menuCtrl->DisablePrompt(false);
    textCtrl->DisablePrompt(false);
    s.dlg.log.clear();
  }

  EditorSession s;
  RecordingControl* menuCtrl;
  RecordingControl* textCtrl;
};

TEST_F(PromptTest, EnumPromptShowsItsTextsWithTheCurrentOneChecked)
{
  s.platform.popupAnswers.push_back({2, false});
  menuCtrl->PromptUserInput(0);
  ASSERT_EQ(1u, s.platform.menusShown.size());
  const HeadlessPlatform::MenuRequest& m = s.platform.menusShown[0];
  EXPECT_EQ("mode", m.title);
  EXPECT_EQ((Strings{"LP", "HP", "BP"}), m.items);
  EXPECT_EQ((std::vector<int>{0, IPopupMenu::Item::kChecked, 0}), m.flags);
  EXPECT_EQ(IRECT(100, 50, 160, 80), m.bounds); // the whole control
  // The choice is a plain value: item 2 of 0..2.
  EXPECT_DOUBLE_EQ(1., menuCtrl->GetValue());
  EXPECT_EQ((Strings{"send 3 1", "end 3"}), s.dlg.log);
}

TEST_F(PromptTest, DismissedMenuStillEndsEveryLinkedEdit)
{
  struct Case
  {
    const char* name;
    bool async;
  };
  for (const Case& c : {Case{"at once", false}, Case{"later", true}})
  {
    auto* both = new RecordingControl(IRECT(300, 50, 360, 80), std::vector<int>{3, 5}, "both");
    s.G().AttachControl(both);
    both->DisablePrompt(false);
    s.dlg.log.clear();
    s.platform.popupAnswers.push_back({-1, c.async});
    s.G().PromptUserInput(*both, both->GetRECT(), 0);
    if (c.async)
    {
      EXPECT_TRUE(s.dlg.log.empty()) << c.name;
      EXPECT_TRUE(s.G().CompletePendingPopup()) << c.name;
    }
    EXPECT_EQ(1, both->Count("popup null")) << c.name;
    EXPECT_EQ((Strings{"end 3", "end 5"}), s.dlg.log) << c.name;
    EXPECT_EQ(nullptr, s.G().GetControlInPopupMenu()) << c.name;
    s.G().RemoveControl(both);
  }
}

TEST_F(PromptTest, ContextMenuCompletionPassesTheChosenIndex)
{
  IPopupMenu menu("", 0, false, {"a", "b"});
  for (int chosen : {1, -1})
  {
    menuCtrl->events.clear();
    s.platform.popupAnswers.push_back({chosen, false});
    s.G().DoCreatePopupMenu(*menuCtrl, menu, menuCtrl->GetRECT(), 0, true);
    EXPECT_EQ(1, menuCtrl->Count("context " + std::to_string(chosen))) << chosen;
  }
}

TEST_F(PromptTest, TextResultIsParsedSteppedClampedAndNormalised)
{
  struct Case
  {
    const char* typed;
    double expected;
  };
  const Case cases[] = {{"5", 0.6}, {"7 st", 0.8}, {"25", 1.}, {"-3", 0.}, {"abc", 0.}, {"3", 0.4}};
  for (const Case& c : cases)
  {
    textCtrl->SetValue(0.5);
    s.platform.textEntryAnswers.push_back(c.typed);
    textCtrl->PromptUserInput(0);
    EXPECT_DOUBLE_EQ(c.expected, textCtrl->GetValue()) << c.typed;
    EXPECT_EQ(nullptr, s.G().GetControlInTextEntry()) << c.typed;
  }
}

TEST_F(PromptTest, TextEntryOpensOverACentredFieldWithTheValue)
{
  textCtrl->PromptUserInput(0);
  ASSERT_EQ(1u, s.platform.textEntries.size());
  const HeadlessPlatform::TextEntryRequest& t = s.platform.textEntries[0];
  EXPECT_EQ(4, t.paramIdx);
  EXPECT_EQ(IRECT(210, 57, 250, 73), t.bounds);
  EXPECT_EQ(7, t.length);
  EXPECT_EQ("4", t.text);
  EXPECT_EQ(textCtrl, s.G().GetControlInTextEntry());

  textCtrl->SetPromptShowsParamLabel(true);
  s.G().SetControlValueAfterTextEdit("4");
  textCtrl->PromptUserInput(0);
  EXPECT_EQ("4 st", s.platform.textEntries[1].text);
}

TEST_F(PromptTest, TextResultWithoutParameterGoesToTheControl)
{
  auto* plain = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  s.G().CreateTextEntry(*plain, DEFAULT_TEXT, plain->GetRECT(), "old", 0);
  s.G().SetControlValueAfterTextEdit("hello");
  EXPECT_EQ(1, plain->Count("text hello"));
  s.G().SetControlValueAfterTextEdit("again"); // no owner any more: nothing
  EXPECT_EQ(0, plain->Count("text again"));
}

TEST_F(PromptTest, NothingIsPromptedWithoutParameterOrWhilePromptsAreDisabled)
{
  auto* plain = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  plain->DisablePrompt(false);
  plain->PromptUserInput(0);
  s.G().PromptUserInput(*plain, plain->GetRECT(), 0);
  menuCtrl->DisablePrompt(true);
  menuCtrl->PromptUserInput(0);
  // The base right click prompts, which a disabled prompt stops.
  menuCtrl->IControl::OnMouseDown(110, 60, InputDriver::Right());
  EXPECT_TRUE(s.platform.menusShown.empty());
  EXPECT_TRUE(s.platform.textEntries.empty());
}

} // namespace
} // namespace plugkit::gfx::test
