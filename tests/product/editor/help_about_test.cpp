// The about button, the hover-help toggle and the about box at the band's right edge.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "IGfx/Controls/IAboutBoxControl.h"
#include "IGfx/Controls/IVButtonControl.h"
#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
#include "tests/product/editor/tabs_session.h"

namespace vemlor::ui::test {
namespace {

using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;

// Restores the process-wide hover-help flag and preference a test changes.
class HelpAndAbout : public ::testing::Test
{
protected:
  void TearDown() override
  {
    Vemlor::s_helpTooltipsEnabled = true;
    zarvo::writePref(Vemlor::prefs(), zarvo::prefkey::kHoverHelp, "1");
  }

  IControl* AboutButton(TabsSession& s)
  {
    IControl* found = nullptr;
    s.G().ForStandardControlsFunc([&](IControl* c) {
      if (dynamic_cast<plugkit::gfx::IVButtonControl*>(c) && c->GetRECT() == IRECT(920, 82, 940, 100))
        found = c;
    });
    return found;
  }

  // Frames of the headless editor with its clock moved, as the view's timer would draw them.
  void Frames(TabsSession& s, int n, double stepMs = 20.)
  {
    for (int i = 0; i < n; ++i)
    {
      s.platform.nowMs += stepMs;
      s.G().Tick();
    }
  }

  static std::string PrefsFileText()
  {
    std::ifstream in(Vemlor::prefs().path());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(HelpAndAbout, ControlsSitAtTheBandsRightEdgeWithTheBoxHidden)
{
  TabsSession s;
  s.Build();
  IControl* about = AboutButton(s);
  ASSERT_NE(about, nullptr);
  EXPECT_STREQ(about->GetGroup(), "");

  IControl* help = s.G().GetControlWithTag(kTagHoverHelp);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->GetRECT(), IRECT(920, 100, 940, 118));
  EXPECT_EQ(help->GetValue(), 1.0);
  EXPECT_STREQ(help->GetTooltip(), "hover help\n\nwhen on, hovering a control shows its description");
  EXPECT_STREQ(help->GetGroup(), "");

  auto* box = dynamic_cast<plugkit::gfx::IAboutBoxControl*>(s.G().GetControlWithTag(kTagAboutBox));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->GetRECT(), IRECT(0, 0, 940, 200));
  EXPECT_TRUE(box->IsHidden());
  EXPECT_NE(s.G().GetControlWithTag(kTagHostInfoLast), nullptr);
}

TEST_F(HelpAndAbout, TheAboutButtonShowsTheBoxInFrontOnceItsClickHasPlayed)
{
  TabsSession s;
  s.Build();
  IControl* box = s.G().GetControlWithTag(kTagAboutBox);
  ASSERT_NE(box, nullptr);
  s.input->Click(930, 91);
  EXPECT_TRUE(box->IsHidden()); // the splash plays first
  Frames(s, 10);
  EXPECT_FALSE(box->IsHidden());
  // In front of everything but its own lines.
  int idx = -1;
  for (int i = 0; i < s.G().NControls(); ++i)
  {
    if (s.G().GetControl(i) == box)
    {
      idx = i;
    }
    else if (idx >= 0)
    {
      EXPECT_EQ(s.G().GetControl(i)->GetParent(), box) << i;
    }
  }
  EXPECT_EQ(idx, s.G().NControls() - 8);
}

TEST_F(HelpAndAbout, TheToggleWritesHoverHelpAtOnceAndANewInstanceReadsIt)
{
  {
    TabsSession s;
    s.Build();
    s.input->Click(930, 109);
    EXPECT_FALSE(Vemlor::s_helpTooltipsEnabled);
    EXPECT_EQ(Vemlor::prefs().getString(zarvo::prefkey::kHoverHelp, ""), "0");
    EXPECT_NE(PrefsFileText().find("hover_help=0"), std::string::npos) << PrefsFileText();
  }
  {
    // Editors opened from now on start with the toggle off.
    Vemlor::s_helpTooltipsEnabled = true;
    TabsSession s;
    EXPECT_FALSE(Vemlor::s_helpTooltipsEnabled);
    s.Build();
    EXPECT_EQ(s.G().GetControlWithTag(kTagHoverHelp)->GetValue(), 0.0);
    s.input->Click(930, 109);
    EXPECT_TRUE(Vemlor::s_helpTooltipsEnabled);
    EXPECT_NE(PrefsFileText().find("hover_help=1"), std::string::npos) << PrefsFileText();
  }
}

} // namespace
} // namespace vemlor::ui::test
