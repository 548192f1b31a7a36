// Entering and leaving the user tab's edit mode: the strip folds and comes back as it was, the preset
// row follows it, and the default layout is saved only when editing ends, editor open or not.
#include <gtest/gtest.h>

#include "IGfx/Controls/IPanelControl.h"
#include "product/ui/user_tab_edit_mode.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/utils/ui/fake_preset_library.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::EditorSession;
using zarvo::ui::PresetStripControl;

class UserTabEditMode : public ::testing::Test
{
protected:
  void SetUp() override
  {
    strip = new PresetStripControl(IRECT(77, 0, 696, 18), lib, DEFAULT_STYLE);
    strip->collapsed = false;
    s.G().AttachControl(strip, kPresetStripTag, "PRESET");
    for (int tag : {1054, 1050, 1051, 1067})
      s.G().AttachControl(new IPanelControl(IRECT(700, 0, 720, 18), COLOR_BLACK), tag, "PRESET");
  }
  std::vector<bool> rowHidden()
  {
    std::vector<bool> out;
    for (int tag : {1054, 1050, 1051, 1067})
      out.push_back(s.G().GetControlWithTag(tag)->IsHidden());
    return out;
  }

  EditorSession s;
  zarvo::ui::test::FakePresetLibrary lib;
  PresetStripControl* strip = nullptr;
  UserTabEditState state;
  int saves = 0;
  std::function<void()> save = [this] { ++saves; };
};

TEST_F(UserTabEditMode, StripFoldsWhileEditingAndComesBackAsItWas)
{
  applyUserTabEditMode(&s.G(), state, true, kUserTabIndex, save);
  EXPECT_TRUE(strip->collapsed);
  EXPECT_FALSE(strip->collapsible);
  EXPECT_TRUE(state.stripCollapsed);
  EXPECT_EQ(rowHidden(), std::vector<bool>(4, true));
  EXPECT_EQ(saves, 0);

  applyUserTabEditMode(&s.G(), state, true, kUserTabIndex, save); // no change: nothing happens
  EXPECT_EQ(saves, 0);

  applyUserTabEditMode(&s.G(), state, false, kUserTabIndex, save);
  EXPECT_FALSE(strip->collapsed);
  EXPECT_TRUE(strip->collapsible);
  EXPECT_FALSE(state.stripCollapsed);
  EXPECT_EQ(rowHidden(), std::vector<bool>(4, false));
  EXPECT_EQ(saves, 1);
}

TEST_F(UserTabEditMode, AStripCollapsedBeforeEditingStaysCollapsed)
{
  state.stripCollapsed = true;
  strip->collapsed = true;
  applyUserTabEditMode(&s.G(), state, true, kUserTabIndex, save);
  applyUserTabEditMode(&s.G(), state, false, kUserTabIndex, save);
  EXPECT_TRUE(strip->collapsed);
  EXPECT_EQ(rowHidden(), std::vector<bool>(4, true));
}

TEST_F(UserTabEditMode, LeavingEditModeSavesTheLayoutWithoutAnEditorToo)
{
  applyUserTabEditMode(&s.G(), state, true, kUserTabIndex, save);
  applyUserTabEditMode(nullptr, state, false, kUserTabIndex, save);
  EXPECT_EQ(saves, 1);
  EXPECT_FALSE(state.stripCollapsed);
}

} // namespace
} // namespace vemlor::ui::test
