// The preset strip on the recording backend with synthetic input: zones, stepping with wrap-around,
// labels and path fitting, the collapsed strip, hover texts and the file dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "IGfx/Controls/IPanelControl.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/utils/ui/fake_preset_library.h"
#include "utils/ui/PresetStripControl.h"

namespace zarvo::ui::test {
namespace {

using namespace plugkit::gfx;
using plugkit::gfx::test::EditorSession;
using plugkit::gfx::test::HeadlessPlatform;

// 7 px per byte on the recording backend.
IVStyle stripStyle()
{
  IVStyle style;
  style.valueText = IText(14.f, IColor(255, 200, 200, 200), "RobotoMono-Regular");
  style.colorSpec.SetColor(EVColor::BG, IColor(255, 40, 40, 40));
  style.colorSpec.SetColor(EVColor::PR, IColor(255, 1, 2, 3));
  style.colorSpec.SetColor(EVColor::FR, IColor(255, 90, 90, 90));
  style.colorSpec.SetColor(EVColor::HL, IColor(255, 4, 5, 6));
  return style;
}

constexpr IRECT kStripRect{100.f, 10.f, 700.f, 30.f}; // 20 high

class PresetStrip : public ::testing::Test
{
protected:
  PresetStripControl& make()
  {
    s.G().EnableMouseOver(true);
    s.Attach<IPanelControl>(s.G().GetBounds(), COLOR_BLACK); // index 0 is never hovered
    strip = s.Attach<PresetStripControl>(kStripRect, lib, stripStyle());
    strip->collapsed = false;
    return *strip;
  }
  void click(int zone)
  {
    const IRECT r = strip->zoneRect(zone);
    s.Input().Click(r.MW(), r.MH());
  }
  std::vector<plugkit::gfx::test::DrawCall> drawn()
  {
    s.recorder.Clear();
    strip->Draw(s.G());
    return s.recorder.Calls();
  }

  EditorSession s;
  FakePresetLibrary lib{{"BASS/DEEP SUB", "LEAD/SAW", "PAD"}, {"mine"}};
  PresetStripControl* strip = nullptr;
};

struct ZoneCase
{
  const char* name;
  float buttonWidth;
  bool showAll;
  bool redo;
  std::vector<std::pair<int, IRECT>> zones;
};

class PresetStripZones : public PresetStrip, public ::testing::WithParamInterface<ZoneCase>
{};

TEST_P(PresetStripZones, AreLaidOutFromTheRightEdge)
{
  PresetStripControl& st = make();
  st.buttonWidth = GetParam().buttonWidth;
  st.showRedo = GetParam().redo;
  st.showSaveLoad = st.showUndo = st.showOpenFolder = st.showAddFolder = GetParam().showAll;
  if (!GetParam().showAll)
    st.showRedo = false;
  for (const auto& [zone, rect] : GetParam().zones)
  {
    const IRECT got = st.zoneRect(zone);
    EXPECT_NEAR(got.L, rect.L, 1e-3) << "zone " << zone;
    EXPECT_NEAR(got.R, rect.R, 1e-3) << "zone " << zone;
    EXPECT_EQ(got.T, 10.f);
    EXPECT_EQ(got.B, 30.f);
    EXPECT_EQ(st.hitZone(rect.MW(), 20.f), zone);
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, PresetStripZones,
                         ::testing::Values(ZoneCase{"automatic",
                                                    0.f,
                                                    true,
                                                    false,
                                                    {{PresetStripControl::kCollapse, {100, 10, 124, 30}},
                                                     {PresetStripControl::kPrevious, {124, 10, 160, 30}},
                                                     {PresetStripControl::kName, {160, 10, 384, 30}},
                                                     {PresetStripControl::kNext, {384, 10, 420, 30}},
                                                     {PresetStripControl::kUndo, {420, 10, 476, 30}},
                                                     {PresetStripControl::kSave, {476, 10, 532, 30}},
                                                     {PresetStripControl::kLoad, {532, 10, 588, 30}},
                                                     {PresetStripControl::kOpenFolder, {588, 10, 644, 30}},
                                                     {PresetStripControl::kAddFolder, {644, 10, 700, 30}}}},
                                           ZoneCase{"editor_widths_with_redo",
                                                    34.2f,
                                                    true,
                                                    true,
                                                    {{PresetStripControl::kNext, {458.8f, 10, 494.8f, 30}},
                                                     {PresetStripControl::kUndo, {494.8f, 10, 529.f, 30}},
                                                     {PresetStripControl::kRedo, {529.f, 10, 563.2f, 30}},
                                                     {PresetStripControl::kSave, {563.2f, 10, 597.4f, 30}},
                                                     {PresetStripControl::kAddFolder, {665.8f, 10, 700, 30}}}},
                                           ZoneCase{"no_optional_buttons",
                                                    0.f,
                                                    false,
                                                    false,
                                                    {{PresetStripControl::kName, {160, 10, 664, 30}},
                                                     {PresetStripControl::kNext, {664, 10, 700, 30}}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetStrip, CollapsedToggleTakesItsOwnWidthAndNothingElseIsHit)
{
  PresetStripControl& st = make();
  st.collapsed = true;
  st.collapsedToggleWidth = 55.f;
  EXPECT_EQ(st.zoneRect(PresetStripControl::kCollapse), IRECT(100, 10, 155, 30));
  EXPECT_EQ(st.hitZone(154.f, 20.f), PresetStripControl::kCollapse);
  for (float x : {160.f, 300.f, 690.f})
    EXPECT_EQ(st.hitZone(x, 20.f), PresetStripControl::kNone);
  EXPECT_EQ(st.nameZoneRect(), IRECT(0, 10, 0, 30));
  s.Input().Click(300.f, 20.f);
  EXPECT_TRUE(lib.calls.empty());
}

struct StepCase
{
  const char* name;
  int current;
  int zone;
  int expected;
};

class PresetStripSteps : public PresetStrip, public ::testing::WithParamInterface<StepCase>
{};

TEST_P(PresetStripSteps, CallTheLibraryAndWrap)
{
  make();
  lib.current = GetParam().current;
  click(GetParam().zone);
  ASSERT_EQ(lib.calls.size(), 1u);
  EXPECT_EQ(lib.calls[0], "navigateTo " + std::to_string(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
  Wrap, PresetStripSteps,
  ::testing::Values(StepCase{"next_from_middle", 1, PresetStripControl::kNext, 2},
                    StepCase{"previous_from_middle", 2, PresetStripControl::kPrevious, 1},
                    StepCase{"previous_from_first_goes_to_last", 0, PresetStripControl::kPrevious, 3},
                    StepCase{"next_from_last_goes_to_first", 3, PresetStripControl::kNext, 0},
                    StepCase{"previous_from_custom_goes_to_last", -1, PresetStripControl::kPrevious, 3},
                    StepCase{"next_from_custom_goes_to_first", -1, PresetStripControl::kNext, 0}),
  [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetStrip, StepsEvenWhileLockedNotWithAnEmptyListAndTwiceOnADoubleClick)
{
  make();
  lib.current = 0;
  lib.navLocked = true; // dimmed, but the library's own hooks decide
  click(PresetStripControl::kNext);
  EXPECT_EQ(lib.calls, std::vector<std::string>{"navigateTo 1"});

  lib.calls.clear();
  const IRECT next = strip->zoneRect(PresetStripControl::kNext);
  s.Input().Click(next.MW(), next.MH());
  s.Input().DoubleClick(next.MW(), next.MH());
  EXPECT_EQ(lib.calls, (std::vector<std::string>{"navigateTo 2", "navigateTo 3"}));

  FakePresetLibrary empty;
  auto* bare = s.Attach<PresetStripControl>(IRECT(100, 50, 700, 70), empty, stripStyle());
  bare->collapsed = false;
  const IRECT r = bare->zoneRect(PresetStripControl::kNext);
  s.Input().Click(r.MW(), r.MH());
  EXPECT_TRUE(empty.calls.empty());
}

TEST_F(PresetStrip, UndoRedoFolderAndNameClicksGoWhereTheyBelong)
{
  make();
  strip->showRedo = true;
  int nameClicks = 0;
  strip->onNameClicked = [&] { ++nameClicks; };
  click(PresetStripControl::kUndo);
  click(PresetStripControl::kRedo);
  click(PresetStripControl::kOpenFolder);
  click(PresetStripControl::kName);
  EXPECT_EQ(lib.calls, (std::vector<std::string>{"undo", "redo", "openFolder"}));
  EXPECT_EQ(nameClicks, 1);

  lib.navLocked = true;
  click(PresetStripControl::kName);
  EXPECT_EQ(nameClicks, 1);
}

TEST_F(PresetStrip, CollapseToggleFlipsAndReportsUnlessNotCollapsible)
{
  make();
  std::vector<bool> reported;
  strip->onCollapseToggled = [&](bool c) { reported.push_back(c); };
  click(PresetStripControl::kCollapse);
  click(PresetStripControl::kCollapse);
  EXPECT_EQ(reported, (std::vector<bool>{true, false}));

  strip->collapsible = false;
  click(PresetStripControl::kCollapse);
  EXPECT_FALSE(strip->collapsed);
  EXPECT_EQ(reported.size(), 2u);
  // The toggle is drawn dimmed: frame and glyph at alpha 89.
  bool dimmedGlyph = false, dimmedFrame = false;
  for (const auto& c : drawn())
  {
    if (c.op == "DoDrawText" && c.text == "<<")
      dimmedGlyph = c.color.A == 89;
    if (c.op == "PathStroke" && c.color.A == 89)
      dimmedFrame = true;
  }
  EXPECT_TRUE(dimmedGlyph);
  EXPECT_TRUE(dimmedFrame);
}

TEST_F(PresetStrip, CollapsedStripDrawsOnlyItsBackgroundAndToggle)
{
  make();
  strip->collapsed = true;
  strip->collapsedToggleWidth = 55.f;
  const auto calls = drawn();
  std::vector<std::string> texts;
  int fills = 0;
  for (const auto& c : calls)
  {
    if (c.op == "DoDrawText")
      texts.push_back(c.text);
    if (c.op == "PathFill")
      ++fills;
  }
  EXPECT_EQ(texts, std::vector<std::string>{">>"});
  EXPECT_EQ(fills, 1);                          // the background; no hover, no press
  EXPECT_EQ(s.recorder.Count("PathStroke"), 1); // the toggle's frame
}

struct LabelCase
{
  const char* name;
  int current;
  bool edited;
  bool showNumbers;
  std::string expected;
};

class PresetStripLabels : public PresetStrip, public ::testing::WithParamInterface<LabelCase>
{};

TEST_P(PresetStripLabels, ShowNumberGroupNameAndMarker)
{
  lib.factoryNames = {"a", "b", "c", "d", "e", "f", "BASS/DEEP SUB"};
  lib.userNames = {"mine/warm"};
  make();
  strip->showNumbers = GetParam().showNumbers;
  lib.current = GetParam().current;
  lib.edited = GetParam().edited;
  const auto [label, prefix] = strip->labelAndPrefix();
  EXPECT_EQ(prefix + label, GetParam().expected);
  std::string shown;
  for (const auto& c : drawn())
    if (c.op == "DoDrawText" && c.rect == strip->zoneRect(PresetStripControl::kName))
      shown = c.text;
  EXPECT_EQ(shown, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PresetStripLabels,
                         ::testing::Values(LabelCase{"modified_factory", 6, true, true, "7 : BASS/DEEP SUB *"},
                                           LabelCase{"factory_without_numbers", 6, false, false, "BASS/DEEP SUB"},
                                           LabelCase{"user_preset_has_no_number", 7, true, true, "mine/warm *"},
                                           LabelCase{"custom_patch_never_marked", -1, true, true, "custom preset"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetStrip, NameOverrideReplacesTheLabelWithoutNumber)
{
  make();
  strip->showNumbers = true;
  lib.current = 1;
  std::optional<PresetStripControl::NameOverride> answer = PresetStripControl::NameOverride{"", true};
  strip->nameOverride = [&] { return answer; };
  EXPECT_EQ(strip->labelAndPrefix(), (std::pair<std::string, std::string>{"custom preset *", ""}));
  answer = PresetStripControl::NameOverride{"LEAD/SAW", false};
  EXPECT_EQ(strip->labelAndPrefix(), (std::pair<std::string, std::string>{"LEAD/SAW", ""}));
  answer.reset();
  EXPECT_EQ(strip->labelAndPrefix(), (std::pair<std::string, std::string>{"LEAD/SAW", "2 : "}));
}

struct FitCase
{
  const char* name;
  std::string label;
  float maxWidth;
  std::string expected;
};

class PresetStripFit : public PresetStrip, public ::testing::WithParamInterface<FitCase>
{};

TEST_P(PresetStripFit, DropsLeadingFoldersThenTheNamesFront)
{
  const IText style(14.f, COLOR_WHITE); // 7 px per byte
  EXPECT_EQ(PresetStripControl::fitPathLabel(s.G(), style, GetParam().label, GetParam().maxWidth), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
  Widths, PresetStripFit,
  ::testing::Values(FitCase{"fits", "alpha/beta/gamma/name", 147.f, "alpha/beta/gamma/name"},
                    FitCase{"first_folder_dropped", "alpha/beta/gamma/name", 146.f, ".../beta/gamma/name"},
                    FitCase{"two_folders_dropped", "alpha/beta/gamma/name", 100.f, ".../gamma/name"},
                    FitCase{"only_the_name", "alpha/beta/gamma/name", 60.f, ".../name"},
                    FitCase{"name_cut_once", "alpha/beta/gamma/name", 50.f, "...ame"},
                    FitCase{"name_cut_twice", "alpha/beta/gamma/name", 40.f, "...me"},
                    FitCase{"name_cut_thrice", "alpha/beta/gamma/name", 30.f, "...e"},
                    FitCase{"nothing_fits", "alpha/beta/gamma/name", 10.f, "..."},
                    FitCase{"empty_stays_empty", "", 0.f, ""},
                    FitCase{"multibyte_never_halved", "abcd\xC3\xA9xyz", 49.f, "...xyz"}),
  [](const auto& info) { return std::string(info.param.name); });

TEST_F(PresetStrip, HoverTextsFollowTheZoneAndTheNameHasNone)
{
  make();
  strip->showRedo = true;
  for (size_t i = 0; i < strip->zoneTooltips.size(); ++i)
    strip->zoneTooltips[i] = "tip" + std::to_string(i);
  const std::vector<std::pair<int, std::string>> cases = {
    {PresetStripControl::kCollapse, "tip0"},  {PresetStripControl::kPrevious, "tip1"},
    {PresetStripControl::kNext, "tip2"},      {PresetStripControl::kUndo, "tip3"},
    {PresetStripControl::kRedo, "tip4"},      {PresetStripControl::kSave, "tip5"},
    {PresetStripControl::kLoad, "tip6"},      {PresetStripControl::kOpenFolder, "tip7"},
    {PresetStripControl::kAddFolder, "tip8"}, {PresetStripControl::kName, ""}};
  for (const auto& [zone, text] : cases)
  {
    const IRECT r = strip->zoneRect(zone);
    s.Input().Hover(r.MW(), r.MH());
    EXPECT_EQ(strip->hoveredZone, zone);
    EXPECT_STREQ(strip->hoveredTooltip(), text.c_str());
    EXPECT_EQ(strip->hoveredTooltipRect(), zone == PresetStripControl::kName ? kStripRect : r);
  }
  s.Input().Leave();
  EXPECT_EQ(strip->hoveredZone, PresetStripControl::kNone);
  EXPECT_STREQ(strip->hoveredTooltip(), "");
  EXPECT_EQ(strip->hoveredTooltipRect(), kStripRect);
}

TEST_F(PresetStrip, HoverAndPressFillOnlyEnabledButtons)
{
  make();
  lib.undoable = false;
  const IRECT undo = strip->zoneRect(PresetStripControl::kUndo);
  s.Input().Hover(undo.MW(), undo.MH());
  int highlightFills = 0;
  for (const auto& c : drawn())
    highlightFills += c.op == "PathFill" && c.color == IColor(255, 4, 5, 6);
  EXPECT_EQ(highlightFills, 0);

  lib.undoable = true;
  highlightFills = 0;
  for (const auto& c : drawn())
    highlightFills += c.op == "PathFill" && c.color == IColor(255, 4, 5, 6);
  EXPECT_EQ(highlightFills, 1);

  s.Input().Press(undo.MW(), undo.MH());
  EXPECT_EQ(strip->pressedZone, PresetStripControl::kUndo);
  int pressFills = 0;
  for (const auto& c : drawn())
    pressFills += c.op == "PathFill" && c.color == IColor(255, 1, 2, 3);
  EXPECT_EQ(pressFills, 1);
  s.Input().Release(undo.MW(), undo.MH());
  EXPECT_EQ(strip->pressedZone, PresetStripControl::kNone);
}

TEST_F(PresetStrip, LockedNavigationDimsSteppingAndNameLockedLoadDimsLoad)
{
  make();
  lib.current = 1;
  lib.navLocked = true;
  lib.loadLocked = true;
  std::map<std::string, int> alpha;
  for (const auto& c : drawn())
    if (c.op == "DoDrawText")
      alpha[c.text] = c.color.A;
  EXPECT_EQ(alpha["<"], 89);
  EXPECT_EQ(alpha[">"], 89);
  EXPECT_EQ(alpha["LEAD/SAW"], 89);
  EXPECT_EQ(alpha["load"], 89);
  EXPECT_EQ(alpha["save"], 255);
  EXPECT_EQ(alpha["dir"], 255);
}

TEST_F(PresetStrip, DialogsReachTheLibraryAndCancelChangesNothing)
{
  lib.userFolder = ::testing::TempDir() + "strip_user_presets/a/b";
  std::filesystem::remove_all(lib.userFolder);
  make();
  s.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{"/x/p.fxp", "/x"});
  s.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{"/y/q.fxp", "/y"});
  s.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{"", "/z"});
  s.platform.fileAnswers.push_back(std::nullopt);
  click(PresetStripControl::kSave);
  click(PresetStripControl::kLoad);
  click(PresetStripControl::kAddFolder);
  click(PresetStripControl::kLoad); // cancelled: nothing
  EXPECT_EQ(lib.calls, (std::vector<std::string>{"save /x/p.fxp", "load /y/q.fxp", "addFolder /z"}));
  EXPECT_EQ(s.platform.fileDialogExtensions, (std::vector<std::string>{"fxp", "fxp", "", "fxp"}));
  EXPECT_TRUE(std::filesystem::is_directory(lib.userFolder)); // saving creates the user folder first
  EXPECT_FALSE(strip->dialogOpen());
}

TEST_F(PresetStrip, OneDialogAtATimeEvenOnADoubleClick)
{
  make();
  s.platform.deferDialogs = true;
  s.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{"/x/p.fxp", "/x"});
  s.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{"/x/second.fxp", "/x"});
  const IRECT save = strip->zoneRect(PresetStripControl::kSave);
  s.Input().Click(save.MW(), save.MH());
  s.Input().DoubleClick(save.MW(), save.MH());
  click(PresetStripControl::kLoad);
  EXPECT_TRUE(strip->dialogOpen());
  EXPECT_EQ(s.platform.fileDialogExtensions.size(), 1u);
  s.platform.tasks.Drain();
  EXPECT_EQ(lib.calls, std::vector<std::string>{"save /x/p.fxp"});
  EXPECT_FALSE(strip->dialogOpen());
  click(PresetStripControl::kLoad);
  s.platform.tasks.Drain();
  EXPECT_EQ(lib.calls.back(), "load /x/second.fxp");
}

TEST_F(PresetStrip, AnAnswerAfterTheStripIsGoneStillReachesTheLibrary)
{
  make();
  s.platform.deferDialogs = true;
  s.platform.fileAnswers.push_back(HeadlessPlatform::FileAnswer{"/x/p.fxp", "/x"});
  click(PresetStripControl::kSave);
  s.G().RemoveAllControls(); // the editor rebuilt its controls while the dialog was open
  s.platform.tasks.Drain();
  EXPECT_EQ(lib.calls, std::vector<std::string>{"save /x/p.fxp"});
}

// An idle editor draws nothing: the strip is dirty only when what it shows has changed.
TEST_F(PresetStrip, IsDirtyOnlyWhenWhatItShowsChanged)
{
  make();
  struct Case
  {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
    {"another preset", [this] { lib.current = 1; }},
    {"undo becomes possible", [this] { lib.undoable = !lib.undoable; }},
    {"navigation locked", [this] { lib.navLocked = !lib.navLocked; }},
    {"collapsed", [this] { strip->collapsed = !strip->collapsed; }},
    {"hovered zone", [this] { strip->hoveredZone = PresetStripControl::kNext; }},
  };
  for (const Case& c : cases)
  {
    s.G().Tick();
    EXPECT_FALSE(strip->IsDirty()) << c.name << ": nothing changed since the last frame";
    EXPECT_FALSE(s.G().Tick()) << c.name << ": an idle frame draws nothing";
    c.change();
    EXPECT_TRUE(strip->IsDirty()) << c.name;
  }
}

} // namespace
} // namespace zarvo::ui::test
