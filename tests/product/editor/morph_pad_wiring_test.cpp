// What the morph pad's callbacks do to the plug-in: selection, point sounds, point edits as undo
// steps, the axes' controller learn, rig files and the clipboard, and the patch history.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "product/params/morph_param_table.h"
#include "tests/product/editor/headless_morph_page.h"
#include "tests/gfx_harness/fake_component_handler.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/support/field_edit.h"

namespace vemlor::ui::test {
namespace {

using zarvo::morph::MorphEngine;
using zarvo::morph::MorphPadControl;
using Source = MorphPadControl::PointSoundSource;

class PadWiring : public ::testing::Test
{
protected:
  void SetUp() override
  {
    s.buildMorphPage();
    pad = s.pad();
    ASSERT_NE(pad, nullptr);
    engine().edit({.editing = false});
    engine().edit({.moving = false});
    engine().edit({.padOption = false});
    // Points 2 and 3 active, apart, with sounds of their own.
    for (size_t i : {size_t{2}, size_t{3}})
    {
      engine().edit({.point = i, .active = true});
      engine().edit({.point = i, .x = i == 2 ? 0.3 : 0.7, .y = 0.5});
    }
    engine().edit({.point = 3, .row = driveRow(), .value = 0.123});
    engine().publish();
  }

  MorphEngine& engine() { return s.morph().engine(); }
  static size_t driveRow() { return static_cast<size_t>(zarvo::morph::rowOf(zarvo::par_main_drive)); }
  double normalized(int param) { return s.plug->GetParam(param)->GetNormalized(); }

  HeadlessMorphPage s;
  MorphPadControl* pad = nullptr;
};

TEST_F(PadWiring, SelectingOnePointAppliesItsSoundAsTheCleanPatch)
{
  ASSERT_NE(normalized(zarvo::par_main_drive), 0.123);
  // Bits above the 17 points are dropped.
  pad->callbacks().onSelectionChanged((1u << 3) | (1u << 20));
  EXPECT_EQ(engine().selection(), 1u << 3);
  EXPECT_EQ(engine().editState().focus, 3);
  EXPECT_NEAR(normalized(zarvo::par_main_drive), 0.123, 1e-6);
  EXPECT_FALSE(s.presets().editPending());
  EXPECT_FALSE(s.presets().patchIdentity().modified);
}

TEST_F(PadWiring, SelectingTwoPointsClearsTheFocusAndPublishesWithoutTouchingParameters)
{
  pad->callbacks().onSelectionChanged(1u << 3);
  const double drive = normalized(zarvo::par_main_drive);
  engine().edit({.point = 2, .row = driveRow(), .value = 0.9});
  const uint32_t sequence = engine().snapshot().sequence();
  s.G().SetAllControlsClean();

  pad->callbacks().onSelectionChanged((1u << 2) | (1u << 3));
  EXPECT_EQ(engine().selection(), (1u << 2) | (1u << 3));
  EXPECT_EQ(engine().editState().focus, -1);
  EXPECT_EQ(normalized(zarvo::par_main_drive), drive);
  EXPECT_EQ(engine().snapshot().sequence(), sequence + 2);
  EXPECT_TRUE(pad->IsDirty());
}

TEST_F(PadWiring, MovingModeSelectsWithoutApplyingAndThePositionLockRefusesNewSelections)
{
  engine().edit({.moving = true});
  const double drive = normalized(zarvo::par_main_drive);
  pad->callbacks().onSelectionChanged(1u << 3);
  EXPECT_EQ(engine().selection(), 1u << 3);
  EXPECT_EQ(engine().editState().focus, -1);
  EXPECT_EQ(normalized(zarvo::par_main_drive), drive);

  engine().edit({.padOption = true});
  pad->callbacks().onSelectionChanged(1u << 2);
  EXPECT_EQ(engine().selection(), 1u << 3);
  pad->callbacks().onSelectionChanged(0);
  EXPECT_EQ(engine().selection(), 0u);
}

TEST_F(PadWiring, CommittedSoundsCarryTheCopiedIdentityOnlyWhenPasted)
{
  const zarvo::PatchIdentity factory{1, "Dirt Road", 4, false};
  s.morph().setPointIdentity(2, factory);
  s.morph().setPointIdentity(5, {2, "/somewhere/else.fxp", -1, true});
  s.morph().setPointIdentity(6, {2, "/somewhere/else.fxp", -1, true});
  pad->callbacks().onCopyPointSound(2);
  EXPECT_EQ(s.morph().copiedPointIdentity(), factory);

  zarvo::morph::MorphValues values = engine().editState().points[3].values;
  values[driveRow()] = 0.77;
  struct Case
  {
    const char* name;
    int point;
    Source source;
    zarvo::PatchIdentity want;
  };
  const Case cases[] = {
    {"pasted sound", 5, Source::Paste, factory},
    {"baked blend", 6, Source::Bake, zarvo::PatchIdentity{}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    pad->callbacks().onCommitPointSound(1u << c.point, values, c.source);
    EXPECT_EQ(s.morph().pointIdentity()[static_cast<size_t>(c.point)], c.want);
    EXPECT_EQ(engine().editState().points[static_cast<size_t>(c.point)].values, values);
  }
}

TEST_F(PadWiring, DraggingSeveralPointsIsOneUndoStepThatRestoresTheirPositions)
{
  pad->callbacks().onSelectionChanged((1u << 2) | (1u << 3));
  const auto before = engine().editState().points;
  const size_t depth = s.presets().undoStack().size();

  float cx = 0.f;
  float cy = 0.f;
  pad->modeCenter(engine().editState().points[2], cx, cy);
  plugkit::gfx::test::InputDriver input(s.G());
  input.Press(cx, cy);
  for (int step = 1; step <= 5; ++step)
    input.DragTo(cx + 12.f * static_cast<float>(step), cy - 8.f * static_cast<float>(step));
  input.Release(cx + 60.f, cy - 40.f);

  EXPECT_NE(engine().editState().points[2].x, before[2].x);
  EXPECT_NE(engine().editState().points[3].x, before[3].x);
  EXPECT_FALSE(s.morph().pointsEditOpen());
  EXPECT_EQ(s.presets().undoStack().size(), depth + 1);
  const auto moved = engine().editState().points;

  pad->callbacks().onUndo();
  for (size_t i : {size_t{2}, size_t{3}})
  {
    EXPECT_EQ(engine().editState().points[i].x, before[i].x) << i;
    EXPECT_EQ(engine().editState().points[i].y, before[i].y) << i;
  }
  EXPECT_TRUE(pad->callbacks().canRedo());
  pad->callbacks().onRedo();
  EXPECT_EQ(engine().editState().points[2].x, moved[2].x);
  EXPECT_EQ(engine().editState().points[3].x, moved[3].x);
}

TEST_F(PadWiring, PointsEditOpensOnceAndClosesOnce)
{
  const size_t depth = s.presets().undoStack().size();
  pad->callbacks().onPointsEdit(false);
  EXPECT_EQ(s.presets().undoStack().size(), depth);

  pad->callbacks().onPointsEdit(true);
  EXPECT_TRUE(s.morph().pointsEditOpen());
  const std::string snapshot(reinterpret_cast<const char*>(s.morph().pointsEditSnapshot().GetData()),
                             static_cast<size_t>(s.morph().pointsEditSnapshot().Size()));
  vemlor_test::editPoint(engine(), 2, [&](auto& point) { point.x = 0.5; });
  // A second begin keeps the state from before the first.
  pad->callbacks().onPointsEdit(true);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.morph().pointsEditSnapshot().GetData()),
                        static_cast<size_t>(s.morph().pointsEditSnapshot().Size())),
            snapshot);
  const uint32_t sequence = engine().snapshot().sequence();
  pad->callbacks().onPointsEdit(false);
  EXPECT_FALSE(s.morph().pointsEditOpen());
  EXPECT_EQ(s.presets().undoStack().size(), depth + 1);
  EXPECT_EQ(engine().snapshot().sequence(), sequence + 2);
  pad->callbacks().onPointsEdit(false);
  EXPECT_EQ(s.presets().undoStack().size(), depth + 1);
}

TEST_F(PadWiring, LearningAnAxisTwiceCancelsAndTheOtherAxisSwitches)
{
  zarvo::midi_cc::Mapper& mapper = s.plug->ccMediator().mapper();
  struct Step
  {
    const char* name;
    std::function<void()> press;
    int wantState;
    int wantListening; // -1: no learn pending
  };
  const Step steps[] = {
    {"learn X", [&] { pad->callbacks().onLearnX(); }, 1, zarvo::par_morph_x},
    {"learn X again cancels", [&] { pad->callbacks().onLearnX(); }, 0, -1},
    {"learn X", [&] { pad->callbacks().onLearnX(); }, 1, zarvo::par_morph_x},
    {"learn Y switches", [&] { pad->callbacks().onLearnY(); }, 2, zarvo::par_morph_y},
    {"learn Y again cancels", [&] { pad->callbacks().onLearnY(); }, 0, -1},
  };
  for (const Step& step : steps)
  {
    SCOPED_TRACE(step.name);
    s.G().SetAllControlsClean();
    step.press();
    EXPECT_EQ(s.morph().xyLearnPending(), step.wantState);
    EXPECT_EQ(pad->callbacks().learnInfo().pending, step.wantState);
    EXPECT_EQ(mapper.isLearning(), step.wantListening >= 0);
    if (step.wantListening >= 0)
    {
      EXPECT_EQ(mapper.listeningParam(), step.wantListening);
    }
    EXPECT_TRUE(pad->IsDirty());
  }
}

TEST_F(PadWiring, SwapAndClearActOnBothAxesControllers)
{
  zarvo::midi_cc::Mapper& mapper = s.plug->ccMediator().mapper();
  mapper.addMapping(20, zarvo::par_morph_x);
  mapper.addMapping(21, zarvo::par_morph_y);
  mapper.addMapping(22, zarvo::par_morph_x);
  mapper.addMapping(23, zarvo::par_main_drive);

  pad->callbacks().onSwapXY();
  MorphPadControl::XYLearnInfo info = pad->callbacks().learnInfo();
  EXPECT_EQ(info.ccX, 21);
  EXPECT_EQ(info.ccY, 20);

  pad->callbacks().onLearnX();
  ASSERT_TRUE(mapper.isLearning());
  s.G().SetAllControlsClean();
  pad->callbacks().onClearXY();
  info = pad->callbacks().learnInfo();
  EXPECT_EQ(info.pending, 0);
  EXPECT_EQ(info.ccX, -1);
  EXPECT_EQ(info.ccY, -1);
  EXPECT_FALSE(mapper.isLearning());
  EXPECT_EQ(mapper.getCCForParam(zarvo::par_main_drive), 23);
  EXPECT_TRUE(pad->IsDirty());
}

TEST_F(PadWiring, UserGestureIsTheHostGestureOnBothAxes)
{
  plugkit::gfx::test::FakeComponentHandler handler;
  s.plug->setComponentHandler(&handler);
  pad->callbacks().onUserGesture(true);
  pad->callbacks().onUserGesture(false);
  const std::vector<std::string>& log = handler.Log();
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("begin ", 0) == 0; }), 2);
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("end ", 0) == 0; }), 2);
  s.plug->setComponentHandler(nullptr);
}

TEST_F(PadWiring, RigAndFileActionsReachTheControllerAndItsDialogs)
{
  // The controller reaches the clipboard and file dialogs only while the plug-in reports its editor open.
  if (!s.plug->editorOpen())
    GTEST_SKIP() << "the plug-in does not report its editor open yet";
  EXPECT_FALSE(pad->callbacks().clipboardHasRig());
  pad->callbacks().onCopyRig();
  ASSERT_TRUE(s.Platform().clipboard.has_value());
  EXPECT_TRUE(pad->callbacks().clipboardHasRig());

  const double x = engine().editState().points[2].x;
  vemlor_test::editPoint(engine(), 2, [&](auto& point) { point.x = 0.9; });
  pad->callbacks().onPasteRig();
  EXPECT_DOUBLE_EQ(engine().editState().points[2].x, x);

  struct Case
  {
    const char* name;
    std::function<void()> press;
  };
  const Case dialogs[] = {
    {"save blend", [&] { pad->callbacks().onSaveBlend(); }},
    {"load into points", [&] { pad->callbacks().onLoadPointsFromFile(1u << 2); }},
    {"save point", [&] { pad->callbacks().onSavePointToFile(2); }},
    {"import rig", [&] { pad->callbacks().onImportRig(); }},
    {"export rig", [&] { pad->callbacks().onExportRig(); }},
  };
  for (const Case& c : dialogs)
  {
    SCOPED_TRACE(c.name);
    const size_t asked = s.Platform().fileDialogExtensions.size();
    c.press();
    EXPECT_EQ(s.Platform().fileDialogExtensions.size(), asked + 1);
  }
}

TEST_F(PadWiring, HistoryFollowsThePresetManager)
{
  // A parameter of the sound that the field does not carry: undo reverts it whatever the field does.
  // The morph switch and position and the oversampling belong to the workspace, which undo keeps.
  const auto workspace = [](int p) {
    return p == zarvo::par_morph_active || p == zarvo::par_morph_x || p == zarvo::par_morph_y ||
           p == zarvo::par_oversampling;
  };
  int param = -1;
  for (int p = 0; p < zarvo::kNumParams && param < 0; ++p)
    if (zarvo::morph::rowOf(p) < 0 && !workspace(p) && s.plug->GetParam(p)->Type() == plugkit::IParam::kTypeDouble)
      param = p;
  ASSERT_GE(param, 0);
  s.presets().commitDirtyEdit();
  s.presets().setUndoFloor(static_cast<int>(s.presets().undoStack().size()));
  EXPECT_FALSE(pad->callbacks().canUndo());

  const double before = normalized(param);
  const double after = before > 0.5 ? 0.1 : 0.9;
  s.plug->morphParams().editParamFromEditor(param, after);
  EXPECT_TRUE(s.presets().editPending());
  EXPECT_TRUE(pad->callbacks().canUndo());
  EXPECT_FALSE(pad->callbacks().canRedo());

  pad->callbacks().onUndo();
  EXPECT_FALSE(s.presets().editPending());
  EXPECT_NEAR(normalized(param), before, 1e-9);
  EXPECT_TRUE(pad->callbacks().canRedo());
  s.G().SetAllControlsClean();
  pad->callbacks().onRedo();
  EXPECT_NEAR(normalized(param), after, 1e-3);
  EXPECT_FALSE(pad->callbacks().canRedo());
  EXPECT_TRUE(pad->IsDirty());
}

} // namespace
} // namespace vemlor::ui::test
