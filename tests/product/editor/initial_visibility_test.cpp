// Which tab shows when the editor is built, the preset row with a collapsed strip, cutoffs locked
// while they follow notes, and the closing steps of the construction.
#include <gtest/gtest.h>

#include <string>

#include "product/ui/freq_knob_control.h"
#include "tests/product/editor/tabs_session.h"
#include "utils/midi_cc/cc_display_control.h"
#include "utils/ui/PresetStripControl.h"

namespace vemlor::ui::test {
namespace {

using plugkit::gfx::IControl;

// The pass-type readouts of the all-controls tab show only for a blend, whatever the tab.
bool AllHidden(TabsSession& s, const char* group, bool hidden)
{
  bool all = true;
  for (IControl* c : s.Group(group))
    all = all && (c->IsHidden() == hidden || (dynamic_cast<StageCoeffsReadout*>(c) && c->IsHidden()));
  return all && !s.Group(group).empty();
}

TEST(InitialVisibility, OneTabGroupShowsAndThePresetRowFollowsTheStrip)
{
  struct Case
  {
    const char* name;
    int tab;
    bool collapsed;
    bool editing;
  };
  const Case cases[] = {
    {"all controls", 0, false, false},
    {"frequencies: no randomize or mutate", 1, false, false},
    {"user", 2, false, false},
    {"user while editing: the strip stays folded", 2, true, true},
    {"all controls with the strip collapsed", 0, true, false},
    {"frequencies while the user tab is in edit mode", 1, true, true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    TabsSession s;
    Vemlor::EditorUIState& ui = s.plug->editorUI();
    ui.currentTab = c.tab;
    ui.presetStripCollapsed = c.collapsed;
    ui.userTabEditing = c.editing;
    s.Build();
    EXPECT_TRUE(AllHidden(s, kGroupTabAll, c.tab != 0));
    EXPECT_TRUE(AllHidden(s, kGroupTabFreqs, c.tab != 1));
    EXPECT_TRUE(AllHidden(s, kGroupTabUser, c.tab != 2));
    EXPECT_TRUE(AllHidden(s, kGroupRandMut, c.tab == 1));
    EXPECT_FALSE(s.G().GetControlWithTag(kTagPresetStrip)->IsHidden());
    for (int tag : kPresetRowTags)
    {
      if (IControl* row = s.G().GetControlWithTag(tag))
      {
        EXPECT_EQ(row->IsHidden(), c.collapsed) << tag;
      }
    }
    auto* strip = dynamic_cast<zarvo::ui::PresetStripControl*>(s.G().GetControlWithTag(kTagPresetStrip));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->collapsible, !(c.tab == 2 && c.editing));
    // A block's controls hide with it.
    s.G().ForControlWithParam(zarvo::par_main_glide_ms,
                              [&](IControl* glide) { EXPECT_EQ(glide->IsHidden(), c.tab != 1); });
  }
}

TEST(InitialVisibility, ACutoffFollowingNotesIsLockedYetShowsItsHoverHelp)
{
  TabsSession s;
  s.param(zarvo::par_main_midi_note_on).Set(1.0);
  s.plug->editorUI().currentTab = 0;
  s.Build();
  ASSERT_NE(s.mainCutoff, nullptr);
  EXPECT_TRUE(s.mainCutoff->IsDisabled());
  EXPECT_FALSE(s.G().GetControlWithParamIdx(zarvo::par_preFlt_A_hz)->IsDisabled());
  EXPECT_FALSE(s.G().GetControlWithParamIdx(zarvo::par_preFlt_B_hz)->IsDisabled());

  const double before = s.param(zarvo::par_main_cutoff_hz).Value();
  const auto r = s.mainCutoff->GetRECT();
  s.input->Hover(r.MW(), r.MH());
  EXPECT_EQ(s.G().GetMouseOver(), s.mainCutoff);
  s.plug->updateHelpTooltip();
  EXPECT_TRUE(s.Bubble().helpWanted);
  EXPECT_TRUE(std::string(s.Bubble().GetStr()).starts_with("main filter frequency")) << s.Bubble().GetStr();
  s.input->Press(r.MW(), r.MH());
  s.input->DragTo(r.MW(), r.MH() - 40.f);
  s.input->Release(r.MW(), r.MH() - 40.f);
  EXPECT_EQ(s.param(zarvo::par_main_cutoff_hz).Value(), before);

  // Switching note tracking off frees the knob at the next idle tick, and on again locks it.
  s.param(zarvo::par_main_midi_note_on).Set(0.0);
  s.plug->OnIdle();
  EXPECT_FALSE(s.mainCutoff->IsDisabled());
  s.param(zarvo::par_main_midi_note_on).Set(1.0);
  s.plug->OnIdle();
  EXPECT_TRUE(s.mainCutoff->IsDisabled());
}

TEST(InitialVisibility, EveryControlTakesMouseOverWhileDisabledAndTheHelpTextsAreSet)
{
  TabsSession s;
  s.Build();
  int without = 0;
  s.G().ForAllControlsFunc([&](IControl* c) { without += c->GetMouseOverWhenDisabled() ? 0 : 1; });
  EXPECT_EQ(without, 0);
  EXPECT_EQ(s.plug->editorModel().paramHelpTexts.count(zarvo::par_main_cutoff_hz), 1u);
  EXPECT_STREQ(s.G().GetControlWithTag(kTagCCClear)->GetTooltip(), "clear cc map");
  // A second build leaves one text per index.
  const size_t count = s.plug->editorModel().paramHelpTexts.size();
  finishLayout(*s.pass);
  EXPECT_EQ(s.plug->editorModel().paramHelpTexts.size(), count);
}

TEST(InitialVisibility, TheCutoffControllerDisplaysShowTheMapsControllers)
{
  TabsSession s;
  s.plug->ccMediator().mapper().addMapping(20, zarvo::par_main_cutoff_hz);
  s.plug->ccMediator().mapper().addMapping(21, zarvo::par_preFlt_A_hz);
  s.plug->ccModSettings().setMode(zarvo::par_main_cutoff_hz, 0);
  s.plug->ccModSettings().setHeld(zarvo::par_main_cutoff_hz, true);
  s.plug->ccModSettings().setMode(zarvo::par_preFlt_A_hz, 1);
  s.plug->editorUI().currentTab = 1;
  s.Build();
  s.plug->OnIdle();
  struct Row
  {
    int cutoff;
    const char* label;
  };
  const Row rows[] = {
    {zarvo::par_main_cutoff_hz, "#20 abs"}, {zarvo::par_preFlt_A_hz, "#21"}, {zarvo::par_preFlt_B_hz, "--"}};
  for (const Row& row : rows)
  {
    int displays = 0;
    s.G().ForControlWithParam(row.cutoff, [&](IControl* c) {
      if (auto* d = dynamic_cast<zarvo::midi_cc::CCDisplayControl*>(c))
      {
        ++displays;
        EXPECT_STREQ(d->mStr.Get(), row.label) << row.cutoff;
      }
    });
    EXPECT_GE(displays, 1) << row.cutoff;
  }
}

} // namespace
} // namespace vemlor::ui::test
