#include <gtest/gtest.h>

#include <string>

#include "IGfx/Controls/IVMenuButtonControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/IGfx/Controls/extras_test_util.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

class MenuButton : public ::testing::Test
{
protected:
  MenuButton()
  {
    s.dlg.GetParam(3)->InitEnum("mode", 1, {"LP", "HP", "BP"});
    menu = s.Attach<IVMenuButtonControl>(IRECT(10, 10, 110, 40), 3, "Type", PlainStyle());
  }

  // Clicks the button and lets its flash finish, which opens the menu.
  void ClickAndWait()
  {
    s.Input().Click(60, 25);
    s.platform.nowMs += 1000.;
    s.G().Tick();
  }

  EditorSession s;
  IVMenuButtonControl* menu;
};

TEST_F(MenuButton, ButtonShowsTheParameterText)
{
  ASSERT_NE(nullptr, menu->GetButton());
  EXPECT_STREQ("HP", menu->GetButton()->GetValueStr());
  EXPECT_STREQ("Type", menu->GetButton()->GetLabelStr());
  EXPECT_EQ(menu->GetRECT(), menu->GetButton()->GetRECT());
}

TEST_F(MenuButton, ChosenItemBecomesTheTextAndTheValue)
{
  s.platform.popupAnswers.push_back({2, false});
  ClickAndWait();
  ASSERT_EQ(1u, s.platform.menusShown.size());
  EXPECT_STREQ("BP", menu->GetButton()->GetValueStr());
  EXPECT_DOUBLE_EQ(2., s.dlg.GetParam(3)->Value());
}

TEST_F(MenuButton, DismissedMenuKeepsTextAndValue)
{
  s.platform.popupAnswers.push_back({-1, false});
  ClickAndWait();
  ASSERT_EQ(1u, s.platform.menusShown.size());
  EXPECT_STREQ("HP", menu->GetButton()->GetValueStr());
  EXPECT_DOUBLE_EQ(1., s.dlg.GetParam(3)->Value());
}

TEST_F(MenuButton, FollowsTheHostAndResizes)
{
  s.dlg.GetParam(3)->Set(0.);
  menu->SetValueFromDelegate(0.);
  EXPECT_STREQ("LP", menu->GetButton()->GetValueStr());
  menu->SetTargetAndDrawRECTs(IRECT(0, 0, 50, 20));
  menu->OnResize();
  EXPECT_EQ(IRECT(0, 0, 50, 20), menu->GetButton()->GetRECT());
}

} // namespace
} // namespace plugkit::gfx::test
