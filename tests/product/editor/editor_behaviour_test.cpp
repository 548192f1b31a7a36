// Tabs, the preset strip's collapse, rebuilding for the morph state, and the UI scale.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "IPlugin/IByteChunk.h"
#include "product/patch/prefs_access.h"
#include "product/patch/settings_store.h"
#include "product/ui/tooltip_tab_switch_control.h"
#include "tests/product/editor/vemlor_editor_fixture.h"
#include "utils/ui/PresetStripControl.h"
#include "utils/user_tab/user_tab_panel.h"
#include "product/ui/default_user_tab.h"
#include "product/ui/plugin_control_registry.h"
#include "product/ui/theme.h"

namespace vemlor::ui::test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::HeadlessPlatform;

// The centres of the tab buttons: ALL, FREQS, USER, each 18 pixels high from y 20.
constexpr float kTabX = 104.5f;
constexpr float kTabY[] = {29.f, 47.f, 65.f};

TooltipTabSwitchControl* tabSwitch(VemlorEditorFixture& f)
{
  for (int i = 0; i < f.G().NControls(); ++i)
    if (auto* tabs = dynamic_cast<TooltipTabSwitchControl*>(f.G().GetControl(i)))
      return tabs;
  return nullptr;
}

bool allHidden(const std::vector<IControl*>& controls, bool hidden)
{
  for (IControl* c : controls)
    if (c->IsHidden() != hidden)
      return false;
  return true;
}

// The preset row's controls the strip's collapse hides, as far as they are built.
std::vector<IControl*> collapsibleRow(VemlorEditorFixture& f)
{
  std::vector<IControl*> out;
  for (int tag : kPresetRowTags)
    if (IControl* c = f.tagged(tag))
      out.push_back(c);
  return out;
}

std::string prefsFileText()
{
  std::ifstream in(zarvo::vemlorPrefsFilePath(zarvo::kPrefsFileName));
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int occurrences(const std::string& text, const std::string& what)
{
  int n = 0;
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
    ++n;
  return n;
}

TEST(Tabs, TheSwitchStartsOnTheStoredTabWithoutRunningItsAction)
{
  VemlorEditorFixture f;
  EXPECT_EQ(f.ui().currentTab, 2);
  TooltipTabSwitchControl* tabs = tabSwitch(f);
  ASSERT_NE(tabs, nullptr);
  EXPECT_DOUBLE_EQ(tabs->GetValue(), 1.0);
  EXPECT_STREQ(tabs->GetTabLabel(0), "ALL ");
  EXPECT_STREQ(tabs->GetTabLabel(1), "FREQS ");
  EXPECT_STREQ(tabs->GetTabLabel(2), "USER ");
}

TEST(Tabs, ClickingEachTabShowsItsGroupsAndTheRowsThatBelongToIt)
{
  VemlorEditorFixture f;
  struct Case
  {
    const char* name;
    int tab;
    bool allShown, randMutShown;
  };
  const Case cases[] = {
    {"all controls", 0, true, true},
    {"frequencies", 1, false, false},
    {"user", 2, false, true},
    {"all controls again", 0, true, true},
  };
  for (const Case& c : cases)
  {
    f.input().Click(kTabX, kTabY[c.tab]);
    EXPECT_EQ(f.ui().currentTab, c.tab) << c.name;
    // The pass-type readouts stay hidden on their own tab while their filter's shape has a name.
    std::vector<IControl*> all = f.group(kGroupTabAll);
    std::erase_if(all, [&f](IControl* control) {
      for (int tag : {kTagMainStageCoeffs, kTagPreAStageCoeffs, kTagPreBStageCoeffs})
        if (f.tagged(tag) == control)
          return true;
      return false;
    });
    EXPECT_TRUE(allHidden(all, !c.allShown)) << c.name;
    EXPECT_TRUE(allHidden(f.group(kGroupTabFreqs), c.tab != 1)) << c.name;
    EXPECT_TRUE(allHidden(f.group(kGroupTabUser), c.tab != 2)) << c.name;
    EXPECT_TRUE(allHidden(f.group(kGroupRandMut), !c.randMutShown)) << c.name;
    EXPECT_TRUE(allHidden(f.group(kGroupPreset), false)) << c.name;
  }
}

TEST(Tabs, ARebuildShowsTheSameTabAgain)
{
  VemlorEditorFixture f;
  f.input().Click(kTabX, kTabY[1]);
  f.plug->LayoutUI(f.plug->GetUI());
  EXPECT_EQ(f.ui().currentTab, 1);
  EXPECT_DOUBLE_EQ(tabSwitch(f)->GetValue(), 0.5);
}

TEST(Tabs, HoverHelpNamesTheTabUnderThePointerAndNothingElsewhere)
{
  VemlorEditorFixture f;
  TooltipTabSwitchControl* tabs = tabSwitch(f);
  ASSERT_NE(tabs, nullptr);
  EXPECT_STREQ(tabs->hoveredTooltip(), "");
  EXPECT_EQ(tabs->hoveredTooltipRect(), tabs->GetRECT());

  f.input().Hover(kTabX, kTabY[1]);
  EXPECT_STREQ(tabs->hoveredTooltip(), "keytrack the filter cutoffs from midi notes");
  EXPECT_EQ(tabs->hoveredTooltipRect(), IRECT(77.f, 38.f, 132.f, 56.f));
  f.input().Hover(kTabX, kTabY[0]);
  EXPECT_STREQ(tabs->hoveredTooltip(), "layout with all the controls");

  f.input().Hover(300.f, 150.f);
  EXPECT_STREQ(tabs->hoveredTooltip(), "");
  EXPECT_EQ(tabs->hoveredTooltipRect(), tabs->GetRECT());
}

TEST(Tabs, LeavingTheUserTabEndsItsEditModeAndOtherMovesLeaveThePanelAlone)
{
  VemlorEditorFixture f;
  // The editor's change handler as far as this needs it: the edit flag follows the panel's report.
  const auto onChanged = [&f](const std::vector<zarvo::ui::UserTabPanel::Slot>&, bool unlocked) {
    f.ui().userTabEditing = unlocked;
  };
  auto* panel = dynamic_cast<zarvo::ui::UserTabPanel*>(f.tagged(kTagUserTab));
  if (!panel)
  {
    zarvo::ui::ControlRegistry registry = buildControlRegistry(
      f.plug->ccMediator(), makeEditorStyles().style1, makeEditorStyles().style2, makeEditorStyles().style3,
      COLOR_TRANSPARENT, colHighlightGray, accentColor, modArcColor, colDarkGray);
    panel = new zarvo::ui::UserTabPanel(
      IRECT(152, 20, 910, 180), std::move(registry), defaultUserTabSlots(), false, makeEditorStyles().style1,
      accentColor, zarvo::ui::UserTabPanel::Callbacks{onChanged, {}}, "Vemlor", "1.3.0", "zarvo", nullptr, nullptr);
    ASSERT_NE(f.G().AttachControl(panel, kTagUserTab, kGroupTabUser), nullptr);
  }
  f.input().Click(kTabX, kTabY[2]);
  panel->setUnlocked(true);
  ASSERT_TRUE(f.ui().userTabEditing);

  f.input().Click(kTabX, kTabY[0]);
  EXPECT_FALSE(panel->unlocked());
  EXPECT_FALSE(f.ui().userTabEditing);

  // Between the other two tabs the panel is not touched, even in edit mode.
  panel->setUnlocked(true);
  f.input().Click(kTabX, kTabY[1]);
  f.input().Click(kTabX, kTabY[0]);
  EXPECT_TRUE(panel->unlocked());
  EXPECT_TRUE(f.ui().userTabEditing);
}

TEST(PresetStrip, ACollapsedStripHidesItsRowAfterARebuildAndOnEveryTab)
{
  VemlorEditorFixture f;
  ASSERT_TRUE(allHidden(collapsibleRow(f), false));
  f.ui().presetStripCollapsed = true;
  f.plug->LayoutUI(f.plug->GetUI());
  ASSERT_EQ(collapsibleRow(f).size(), 4u);
  EXPECT_TRUE(allHidden(collapsibleRow(f), true));
  EXPECT_FALSE(f.tagged(kTagPresetStrip)->IsHidden());
  EXPECT_TRUE(dynamic_cast<zarvo::ui::PresetStripControl*>(f.tagged(kTagPresetStrip))->collapsed);
  for (int tab : {0, 1, 2})
  {
    f.input().Click(kTabX, kTabY[tab]);
    EXPECT_TRUE(allHidden(collapsibleRow(f), true)) << tab;
    EXPECT_FALSE(f.tagged(kTagPresetStrip)->IsHidden()) << tab;
  }
}

TEST(PresetStrip, ItsCollapseToggleHidesAndShowsTheRowAndIsRemembered)
{
  VemlorEditorFixture f;
  auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(f.tagged(kTagPresetStrip));
  ASSERT_NE(strip, nullptr);
  const IRECT toggle = strip->zoneRect(zarvo::ui::PresetStripControl::kCollapse);
  f.input().Click(toggle.MW(), toggle.MH());
  EXPECT_TRUE(f.ui().presetStripCollapsed);
  EXPECT_TRUE(allHidden(collapsibleRow(f), true));
  const IRECT expand = strip->zoneRect(zarvo::ui::PresetStripControl::kCollapse);
  f.input().Click(expand.MW(), expand.MH());
  EXPECT_FALSE(f.ui().presetStripCollapsed);
  EXPECT_TRUE(allHidden(collapsibleRow(f), false));
}

TEST(PresetStrip, WhileMorphingItNamesThePresetTheMorphFieldReports)
{
  VemlorEditorFixture f;
  auto strip = [&f] { return dynamic_cast<zarvo::ui::PresetStripControl*>(f.tagged(kTagPresetStrip)); };
  ASSERT_TRUE(strip()->nameOverride);
  EXPECT_FALSE(strip()->nameOverride().has_value());

  f.setMorph(true);
  f.idle();
  const std::optional<zarvo::PatchIdentity> identity = f.plug->morphController().stripPresetIdentity();
  ASSERT_TRUE(identity.has_value());
  const auto shown = strip()->nameOverride();
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->name, f.plug->presetManager()->displayName(*identity));
  EXPECT_EQ(shown->modified, identity->modified);
}

TEST(PresetStrip, TheToggleLocksOnlyWhileTheUserTabIsEdited)
{
  VemlorEditorFixture f;
  auto strip = [&f] { return dynamic_cast<zarvo::ui::PresetStripControl*>(f.tagged(kTagPresetStrip)); };
  struct Case
  {
    int tab;
    bool editing, collapsible;
  };
  for (const Case& c : {Case{2, true, false}, Case{2, false, true}, Case{0, true, true}, Case{1, false, true}})
  {
    f.ui().currentTab = c.tab;
    f.ui().userTabEditing = c.editing;
    f.plug->applyPresetStripToggleLock();
    EXPECT_EQ(strip()->collapsible, c.collapsible) << c.tab << " " << c.editing;
  }
}

TEST(MorphLayout, OpeningWithTheMorphFieldOnBuildsTheTallEditorOnce)
{
  VemlorEditorFixture f({.morphOn = true});
  EXPECT_EQ(f.G().Height(), 620);
  EXPECT_EQ(f.layoutRuns, 1);
  EXPECT_TRUE(f.ui().layoutMorphActive);
  f.idle(3);
  EXPECT_EQ(f.layoutRuns, 1);
}

TEST(MorphLayout, TurningMorphOnRebuildsOnceAndASecondRequestChangesNothing)
{
  VemlorEditorFixture f;
  f.idle();
  ASSERT_EQ(f.G().Height(), 200);
  ASSERT_EQ(f.layoutRuns, 1);

  // The MORPH toggle under the tabs.
  f.input().Click(104.5f, 83.f);
  ASSERT_GT(f.plug->GetParam(zarvo::par_morph_active)->Value(), 0.5);
  f.idle(2);
  EXPECT_EQ(f.G().Height(), 620);
  EXPECT_EQ(f.layoutRuns, 2);
  EXPECT_TRUE(f.ui().layoutMorphActive);

  f.plug->raiseLayoutUpdate();
  f.idle(2);
  EXPECT_EQ(f.layoutRuns, 2);
  f.plug->rebuildMorphLayout();
  EXPECT_EQ(f.layoutRuns, 2);

  f.setMorph(false);
  f.idle(2);
  EXPECT_EQ(f.G().Height(), 200);
  EXPECT_EQ(f.layoutRuns, 3);
  EXPECT_FALSE(f.ui().layoutMorphActive);
}

// A clean preference for the scale before and after each test: the store is shared by the process.
class UIScale : public testing::Test
{
protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset()
  {
    zarvo::writePref(zarvo::prefs(), zarvo::prefkey::kUiScale, "1");
    std::filesystem::remove(zarvo::vemlorPrefsFilePath(zarvo::kPrefsFileName));
  }
};

TEST_F(UIScale, ACornerDragWritesTheScaleOnceAfterRelease)
{
  VemlorEditorFixture f;
  f.frame();
  f.idle();
  ASSERT_EQ(prefsFileText(), "");

  // Pointer positions in editor units: the screen position over the draw scale at that moment.
  f.input().Press(925.f, 185.f);
  f.input().DragTo(971.25f, 194.25f);
  ASSERT_NEAR(f.G().GetDrawScale(), 1.05f, 1e-5f);
  f.idle(2);
  f.input().DragTo(1017.5f / 1.05f, 203.5f / 1.05f);
  f.idle(3);
  EXPECT_TRUE(f.ui().uiScalePrefDirty);
  EXPECT_EQ(prefsFileText(), "") << "written while the corner is still held";

  f.input().Release(1017.5f / 1.1f, 203.5f / 1.1f);
  EXPECT_NEAR(f.G().GetDrawScale(), 1.1f, 1e-5f);
  f.idle();
  const std::string text = prefsFileText();
  EXPECT_EQ(occurrences(text, "ui_scale=1.100000"), 1) << text;
  EXPECT_FALSE(f.ui().uiScalePrefDirty);

  // Written once: later ticks leave the file alone.
  std::filesystem::remove(zarvo::vemlorPrefsFilePath(zarvo::kPrefsFileName));
  f.idle(3);
  EXPECT_EQ(prefsFileText(), "");
}

TEST_F(UIScale, AResizeThatKeepsTheScaleWritesNothing)
{
  VemlorEditorFixture f;
  f.frame();
  f.G().Resize(940, 200, 1.f, true);
  f.G().Resize(940, 210, 1.f, true);
  f.idle(2);
  EXPECT_FALSE(f.ui().uiScalePrefDirty);
  EXPECT_EQ(prefsFileText(), "");
}

TEST_F(UIScale, TheEditorOpensAtTheStoredPreference)
{
  zarvo::writePref(zarvo::prefs(), zarvo::prefkey::kUiScale, "1.250000");
  VemlorEditorFixture f;
  EXPECT_FLOAT_EQ(f.G().GetDrawScale(), 1.25f);
  EXPECT_FLOAT_EQ(f.ui().uiScale, 1.25f);
}

TEST_F(UIScale, AScaleRestoredWhileClosedIsTakenWhenTheEditorNextOpens)
{
  plugkit::IByteChunk saved;
  {
    VemlorEditorFixture source;
    source.G().Resize(940, 200, 1.5f, true);
    ASSERT_TRUE(source.plug->SerializeState(saved));
  }
  // The target's editor was open before, at scale 1: its remembered size must not undo the restore.
  VemlorEditorFixture f;
  f.close();
  ASSERT_GE(f.plug->UnserializeState(saved, 0), 0);
  EXPECT_TRUE(f.ui().uiScalePending);
  f.open();
  EXPECT_FLOAT_EQ(f.G().GetDrawScale(), 1.5f);
  EXPECT_FALSE(f.ui().uiScalePending);
  f.idle(2);
  EXPECT_FLOAT_EQ(f.G().GetDrawScale(), 1.5f);
}

TEST_F(UIScale, APendingScaleWaitsForAnEditor)
{
  VemlorEditorFixture f({.open = false});
  f.ui().uiScale = 1.25f;
  f.ui().uiScalePending = true;
  EXPECT_FALSE(f.plug->setPendingUIScale());
  EXPECT_TRUE(f.ui().uiScalePending);
  f.open();
  EXPECT_FLOAT_EQ(f.G().GetDrawScale(), 1.25f);
  EXPECT_TRUE(f.plug->setPendingUIScale());
}

TEST(EditorState, TabStripAndEditModeTravelWithTheState)
{
  plugkit::IByteChunk saved;
  {
    VemlorEditorFixture source;
    source.input().Click(kTabX, kTabY[1]);
    source.ui().presetStripCollapsed = true;
    ASSERT_TRUE(source.plug->SerializeState(saved));
  }
  VemlorEditorFixture f({.open = false});
  ASSERT_GE(f.plug->UnserializeState(saved, 0), 0);
  EXPECT_EQ(f.ui().currentTab, 1);
  EXPECT_TRUE(f.ui().presetStripCollapsed);
  f.open();
  EXPECT_DOUBLE_EQ(tabSwitch(f)->GetValue(), 0.5);
  EXPECT_TRUE(allHidden(collapsibleRow(f), true));
}

TEST(Header, RandomizeAndMutateActWhenTheirClickAnimationEnds)
{
  VemlorEditorFixture f;
  zarvo::PresetManager& presets = *f.plug->presetManager();
  for (int tag : {int(kTagRandomize), int(kTagMutate)})
  {
    const size_t steps = presets.undoStack().size();
    const IRECT r = f.tagged(tag)->GetRECT();
    f.input().Click(r.MW(), r.MH());
    f.frame();
    EXPECT_EQ(presets.undoStack().size(), steps) << tag << ": acted before the animation ended";
    f.platform.nowMs += 150.0;
    f.frame();
    EXPECT_EQ(presets.undoStack().size(), steps + 1) << tag;
  }
}

TEST(PresetRow, TheCCRowSavesAndLoadsTheMapAndClearEmptiesIt)
{
  VemlorEditorFixture f;
  zarvo::midi_cc::Mapper& map = f.plug->ccMediator().mapper();
  map.addMapping(74, zarvo::par_main_cutoff_hz);
  ASSERT_EQ(map.getCCForParam(zarvo::par_main_cutoff_hz), 74);
  const std::filesystem::path dir = std::filesystem::path(zarvo::vemlorPrefsFilePath("")).parent_path();
  const std::string file = (dir / "row_test.zarvo").string();
  std::filesystem::create_directories(dir);

  f.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{file, dir.string()});
  const IRECT save = f.tagged(kTagCCSave)->GetRECT();
  f.input().Click(save.MW(), save.MH());
  ASSERT_EQ(f.platform.fileDialogExtensions.back(), "zarvo");
  ASSERT_TRUE(std::filesystem::exists(file));

  const IRECT clear = f.tagged(kTagCCClear)->GetRECT();
  f.input().Click(clear.MW(), clear.MH());
  EXPECT_EQ(map.getCCForParam(zarvo::par_main_cutoff_hz), -1);

  f.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{file, dir.string()});
  const IRECT load = f.tagged(kTagCCLoad)->GetRECT();
  f.input().Click(load.MW(), load.MH());
  EXPECT_EQ(map.getCCForParam(zarvo::par_main_cutoff_hz), 74);
  std::filesystem::remove(file);
}

TEST(EditorOpen, TheOpenStateFollowsTheGraphicsContext)
{
  VemlorEditorFixture f({.open = false});
  EXPECT_FALSE(f.plug->editorOpen());
  f.open();
  EXPECT_TRUE(f.plug->editorOpen());
  f.close();
  EXPECT_FALSE(f.plug->editorOpen());
}

} // namespace
} // namespace vemlor::ui::test
