// The user tab panel as the layout attaches it: tag and group, its settings, the catalogue copy with
// fitted named-position knobs, and what its changes do to the plug-in and the preset row.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "product/patch/prefs_access.h"
#include "product/ui/theme.h"
#include "product/ui/vemlor_layout_format.h"
#include "tests/product/editor/tabs_session.h"
#include "utils/ui/WrapKnobControl.h"
#include "utils/user_tab/user_tab_panel.h"
#include "tests/support/user_tab_panel_probe.h"

namespace vemlor::ui::test {
namespace {

using plugkit::gfx::IControl;
using plugkit::gfx::IRECT;
using zarvo::ui::UserTabPanel;
using zarvo::ui::WrapKnobControl;

std::filesystem::path DefaultLayoutFile() { return zarvo::vemlorPrefsFilePath(zarvo::kDefaultLayoutFileName); }

UserTabPanel* Panel(TabsSession& s) { return dynamic_cast<UserTabPanel*>(s.G().GetControlWithTag(kTagUserTab)); }

TEST(UserTab, PanelIsAttachedOverTheContentAreaWithTheLayoutsSettings)
{
  TabsSession s;
  s.Build();
  UserTabPanel* panel = Panel(s);
  ASSERT_NE(panel, nullptr);
  const std::vector<IControl*> group = s.Group(kGroupTabUser);
  ASSERT_EQ(group.size(), 1u);
  EXPECT_EQ(group[0], panel);
  EXPECT_EQ(panel->GetRECT(), IRECT(152, 20, 910, 180));
  EXPECT_EQ(panel->slots(), s.plug->userTabColumns());
  EXPECT_FALSE(panel->unlocked());

  EXPECT_EQ(panel->appearance().dragHint, "hold shift to move whole column");
  EXPECT_TRUE(panel->appearance().hasHighlight);
  EXPECT_EQ(panel->appearance().highlightColor, colMidLightGray);
  EXPECT_EQ(panel->appearance().addColumnWidth, 50.f);
  EXPECT_EQ(panel->appearance().toolbarButtonSize, 18.f);
  EXPECT_FALSE(panel->appearance().showClipboardButtons);
  EXPECT_EQ(panel->appearance().topBand, 20.f);
  EXPECT_EQ(panel->appearance().bottomBand, 18.f);
  EXPECT_EQ(panel->appearance().lockTipLocked, "edit user layout");
  EXPECT_EQ(panel->appearance().lockTipUnlocked, "exit edit mode");
  EXPECT_EQ(panel->appearance().undoTip, "undo");
  EXPECT_EQ(panel->appearance().clearTip, "clear the layout");
  EXPECT_FALSE(panel->appearance().saveGlyph.runs.empty());
  EXPECT_FALSE(panel->appearance().undoGlyph.runs.empty());
  // The layout text names controls by the plug-in's tokens.
  const zarvo::ui::UserTabPanelTestProbe probe(*panel);
  ASSERT_TRUE(probe.idToToken && probe.tokenToId);
  EXPECT_EQ(probe.idToToken(zarvo::par_main_cutoff_hz), "par_main_cutoff_hz");
  EXPECT_EQ(probe.tokenToId("kAlt_LabelDamping"), 10108);
}

TEST(UserTab, NamedPositionKnobsFitTheirCells)
{
  TabsSession s;
  s.plug->setUserTabColumns({{zarvo::par_main_saturation_type}, {zarvo::par_break_character}, {zarvo::par_main_drive}});
  s.Build();
  UserTabPanel* panel = Panel(s);
  ASSERT_NE(panel, nullptr);
  int fitted = 0;
  panel->ForAllChildrenFunc([&](int, IControl* c) {
    const int id = c->GetParamIdx();
    auto* knob = dynamic_cast<WrapKnobControl*>(c);
    if (id == zarvo::par_main_drive)
    {
      EXPECT_EQ(knob, nullptr);
    }
    if (id != zarvo::par_main_saturation_type && id != zarvo::par_break_character)
      return;
    ASSERT_NE(knob, nullptr) << id;
    ++fitted;
    EXPECT_TRUE(knob->isFitted()) << id;
    // The whole cell is the knob's: a column of one control, full height; the dial leaves room for the
    // names around it.
    EXPECT_EQ(knob->GetRECT(), knob->knobRect()) << id;
    EXPECT_NEAR(knob->GetRECT().H(), 160.f, 1.f) << id;
    EXPECT_LT(knob->knobWidth(), knob->knobRect().W()) << id;
    EXPECT_GE(knob->knobWidth(), 4.f) << id;
    EXPECT_LT(knob->knobHeight(), knob->knobRect().H()) << id;
  });
  EXPECT_EQ(fitted, 2);
}

TEST(UserTab, EditModeFoldsThePresetRowAndOnlyItsEndSavesTheDefaultLayout)
{
  std::filesystem::remove(DefaultLayoutFile());
  TabsSession s;
  s.Build();
  UserTabPanel* panel = Panel(s);
  ASSERT_NE(panel, nullptr);
  auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(s.G().GetControlWithTag(kTagPresetStrip));
  ASSERT_NE(strip, nullptr);
  ASSERT_FALSE(s.plug->editorUI().presetStripCollapsed);

  panel->setUnlocked(true);
  EXPECT_TRUE(s.plug->editorUI().userTabEditing);
  EXPECT_TRUE(s.plug->editorUI().presetStripCollapsed);
  EXPECT_TRUE(strip->collapsed);
  EXPECT_FALSE(strip->collapsible); // the user tab is current
  EXPECT_TRUE(s.G().GetControlWithTag(kTagCCSave)->IsHidden());

  // Edits while editing reach the plug-in; the file waits for the end of editing.
  panel->addSlot(zarvo::par_main_gain);
  EXPECT_EQ(s.plug->userTabColumns(), panel->slots());
  EXPECT_EQ(s.plug->userTabColumns().back(), std::vector<int>{zarvo::par_main_gain});
  EXPECT_FALSE(std::filesystem::exists(DefaultLayoutFile()));

  panel->setUnlocked(false);
  EXPECT_FALSE(s.plug->editorUI().userTabEditing);
  EXPECT_FALSE(s.plug->editorUI().presetStripCollapsed);
  EXPECT_FALSE(strip->collapsed);
  EXPECT_TRUE(strip->collapsible);
  EXPECT_FALSE(s.G().GetControlWithTag(kTagCCSave)->IsHidden());
  ASSERT_TRUE(std::filesystem::exists(DefaultLayoutFile()));
  EXPECT_EQ(zarvo::loadDefaultUserLayout(VemlorLayoutFormat(), DefaultLayoutFile().string()), panel->slots());
  std::filesystem::remove(DefaultLayoutFile());
}

TEST(UserTab, ALayoutReplacedOutsideEditModeIsSavedAtOnceButNotWhatThePanelCorrectsWhenMade)
{
  std::filesystem::remove(DefaultLayoutFile());
  TabsSession s;
  // An id the catalogue lacks is dropped while the panel is made; the plug-in keeps the corrected slots.
  s.plug->setUserTabColumns({{zarvo::par_main_drive, 9999}, {zarvo::par_main_gain}});
  s.Build();
  UserTabPanel* panel = Panel(s);
  ASSERT_NE(panel, nullptr);
  const std::vector<std::vector<int>> corrected = {{zarvo::par_main_drive}, {zarvo::par_main_gain}};
  EXPECT_EQ(s.plug->userTabColumns(), corrected);
  EXPECT_FALSE(std::filesystem::exists(DefaultLayoutFile()));

  // A pasted layout outside edit mode.
  UserTabPanel other(IRECT(152, 20, 910, 180), s.pass->registry, {{zarvo::par_dry_wet}}, false, s.look.style1,
                     s.look.accent, {}, "Vemlor", "1.3.0", "zarvo", nullptr, nullptr);
  other.setLayoutTokenCodec(&vemlor::ui::EditorModel::layoutTokenFromId, &vemlor::ui::EditorModel::layoutIdFromToken);
  ASSERT_TRUE(panel->applySlots(other.serializeLayout()));
  EXPECT_EQ(s.plug->userTabColumns(), (std::vector<std::vector<int>>{{zarvo::par_dry_wet}}));
  ASSERT_TRUE(std::filesystem::exists(DefaultLayoutFile()));
  EXPECT_EQ(zarvo::loadDefaultUserLayout(VemlorLayoutFormat(), DefaultLayoutFile().string()), s.plug->userTabColumns());

  // A clear outside edit mode: an empty tab, kept as such.
  panel->clearSlots();
  EXPECT_TRUE(s.plug->userTabColumns().empty());
  EXPECT_TRUE(zarvo::loadDefaultUserLayout(VemlorLayoutFormat(), DefaultLayoutFile().string()).empty());
  std::filesystem::remove(DefaultLayoutFile());
}

TEST(UserTab, LayoutTokensRoundTripForEveryParameterAndAlternativeControl)
{
  for (int id = 0; id < zarvo::kNumParams; ++id)
  {
    const std::string token = vemlor::ui::EditorModel::layoutTokenFromId(id);
    EXPECT_FALSE(token.empty()) << id;
    EXPECT_EQ(vemlor::ui::EditorModel::layoutIdFromToken(token), id) << token;
  }
  for (int id : {10000, 10004, 10010, 10015, 10017, 10100, 10108})
  {
    const std::string token = vemlor::ui::EditorModel::layoutTokenFromId(id);
    EXPECT_TRUE(token.starts_with("kAlt_")) << id;
    EXPECT_EQ(vemlor::ui::EditorModel::layoutIdFromToken(token), id) << token;
  }
  EXPECT_EQ(vemlor::ui::EditorModel::layoutTokenFromId(10002), "");
  EXPECT_EQ(vemlor::ui::EditorModel::layoutIdFromToken("par_nothing"), -1);
  EXPECT_EQ(vemlor::ui::EditorModel::layoutIdFromToken(""), -1);
}

} // namespace
} // namespace vemlor::ui::test
