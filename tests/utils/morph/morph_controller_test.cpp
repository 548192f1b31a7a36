// The morph controller: default points, the morph parameters, sessions with their bake or revert,
// points and the parameters they drive, and randomizing points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "fake_morph_host.h"
#include "product/params/morph_param_table.h"
#include "tests/support/field_edit.h"

namespace {

using namespace morph_test;
using plugkit::EParamSource;
using State = MorphEngine::RTState;

constexpr EParamSource kEditor = EParamSource::kUI;
constexpr EParamSource kHost = EParamSource::kHost;

// A host and its controller, wired as the plug-in wires them.
struct Rig
{
  Rig() { host.controller = &ctrl; }

  const State& field() { return ctrl.engine().editState(); }
  const MorphPoint& point(size_t i) { return field().points[i]; }
  double value(size_t i, int param) { return point(i).values[static_cast<size_t>(rowOf(param))]; }
  void setValue(size_t i, int param, double normalized)
  {
    ctrl.engine().edit({.point = i, .row = static_cast<size_t>(rowOf(param)), .value = normalized});
  }
  void setPlain(size_t i, int param, double plain) { setValue(i, param, ctrl.normalizedOf(param, plain)); }
  void place(size_t i, double x, double y)
  {
    ctrl.engine().edit({.point = i, .x = x, .y = y});
    ctrl.engine().edit({.point = i, .active = true});
  }
  void moveTo(double x, double y)
  {
    host.param(zarvo::par_morph_x).Set(x);
    host.param(zarvo::par_morph_y).Set(y);
  }
  // The editor switches morph on (the parameter first, then the handler, as the plug-in does).
  void switchMorph(double on, EParamSource source)
  {
    host.param(zarvo::par_morph_active).Set(on);
    ctrl.onMetaParamChanged(zarvo::par_morph_active, on, source);
  }
  uint32_t sequence() const { return ctrl.engine().snapshot().sequence(); }
  bool called(const std::string& call) const
  {
    return std::find(host.calls.begin(), host.calls.end(), call) != host.calls.end();
  }

  FakeMorphHost host;
  MorphController ctrl{host, zarvo::kVemlorConfig, zarvo::kRigParamNaming, zarvo::kMorphPassShapes};
};

TEST(MorphController, DefaultPointsTakeTheParametersAndTheLayout)
{
  Rig r;
  r.host.param(zarvo::par_main_drive).Set(0.3);
  r.host.param(zarvo::par_preA_cutoff_note_anchored).Set(1.0);
  r.ctrl.initDefaultPoints();
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    const MorphController::LayoutRow& place = MorphController::kDefaultLayout[i];
    const MorphPoint& p = r.point(i);
    EXPECT_EQ(p.x, place.x) << "point " << i;
    EXPECT_NEAR(p.y, place.y - ((i == 0 || place.active) ? 4.5 / 101.0 : 0.0), 1e-15) << "point " << i;
    EXPECT_EQ(p.active, place.active) << "point " << i;
    EXPECT_EQ(p.noteMask, 1u << kRowPreACutoff) << "point " << i;
    EXPECT_EQ(r.value(i, zarvo::par_main_drive), r.ctrl.currentNormalized(zarvo::par_main_drive)) << "point " << i;
  }
  // The centre point sits where a fresh instance's pad position is.
  EXPECT_NEAR(r.point(0).y, r.host.param(zarvo::par_morph_y).GetDefault(), 1e-15);
}

TEST(MorphController, PositionChangesOnlyMirror)
{
  Rig r;
  const uint32_t sequence = r.sequence();
  EXPECT_TRUE(r.ctrl.onMetaParamChanged(zarvo::par_morph_x, 0.3, kEditor));
  EXPECT_EQ(r.ctrl.morphX(), 0.3);
  EXPECT_FALSE(r.ctrl.movedSinceOn()) << "morph is off";
  r.ctrl.mirrorMorphSwitch(true);
  EXPECT_TRUE(r.ctrl.onMetaParamChanged(zarvo::par_morph_y, 0.7, kHost));
  EXPECT_FALSE(r.ctrl.movedSinceOn()) << "not from the editor";
  EXPECT_TRUE(r.ctrl.onMetaParamChanged(zarvo::par_morph_y, 0.6, kEditor));
  EXPECT_EQ(r.ctrl.morphY(), 0.6);
  EXPECT_TRUE(r.ctrl.movedSinceOn());
  EXPECT_FALSE(r.ctrl.onMetaParamChanged(zarvo::par_main_drive, 0.5, kEditor));
  EXPECT_EQ(r.sequence(), sequence);
}

TEST(MorphController, SwitchingOnInTheEditorOpensASession)
{
  Rig r;
  r.host.withPresetManager = true;
  r.host.depth = 4;
  r.host.current = {1, "Base", 7, false};
  r.host.param(zarvo::par_main_drive).Set(0.42);
  r.moveTo(0.3, 0.6);
  r.ctrl.engine().edit({.selection = 0b110});
  r.ctrl.engine().edit({.focus = 2});
  const uint32_t sequence = r.sequence();

  r.switchMorph(1.0, kEditor);
  EXPECT_TRUE(r.ctrl.morphOn());
  EXPECT_TRUE(r.ctrl.session().active);
  EXPECT_TRUE(r.ctrl.session().preMorphValid);
  EXPECT_EQ(r.ctrl.session().preMorphIdentity.name, "Base");
  EXPECT_EQ(r.ctrl.session().undoDepthAtStart, 4);
  EXPECT_EQ(r.host.calls, (std::vector<std::string>{"captureBaseline", "sessionMark 4"}));
  EXPECT_EQ(r.ctrl.engine().selection(), 0u);
  EXPECT_EQ(r.field().focus, -1);
  EXPECT_EQ(r.host.layoutUpdates, 1);
  EXPECT_EQ(r.sequence(), sequence + 2);

  // The snapshot holds the patch with morph off; the parameter itself stays on.
  double storedActive = -1.0;
  r.ctrl.session().preMorphChunk.Get(storedActive, 8 * zarvo::par_morph_active);
  EXPECT_EQ(storedActive, 0.0);
  EXPECT_EQ(r.host.param(zarvo::par_morph_active).Value(), 1.0);

  // The centre point becomes the base sound where the pad is.
  const MorphPoint& teleport = r.point(0);
  EXPECT_TRUE(teleport.active);
  EXPECT_EQ(teleport.x, 0.3);
  EXPECT_EQ(teleport.y, 0.6);
  EXPECT_EQ(r.value(0, zarvo::par_main_drive), r.ctrl.currentNormalized(zarvo::par_main_drive));
  EXPECT_EQ(r.ctrl.pointIdentity()[0].name, "Base");

  // Switching on again inside the session takes no new snapshot.
  r.switchMorph(1.0, kEditor);
  EXPECT_EQ(r.host.calls.size(), 2u);
}

TEST(MorphController, SwitchingOff)
{
  struct Case
  {
    const char* name;
    std::function<void(Rig&)> during; // between switching on in the editor and switching off
    EParamSource offSource;
    bool pending;
  };
  const Case cases[] = {
    {"host automation turns off at once, whatever happened",
     [](Rig& r) {
       r.ctrl.onMetaParamChanged(zarvo::par_morph_x, 0.7, kEditor);
       r.ctrl.engine().edit({.focus = 1});
     },
     kHost, false},
    {"editor right after switching on: at once", [](Rig&) {}, kEditor, false},
    {"editor after moving: waits for the bake",
     [](Rig& r) { r.ctrl.onMetaParamChanged(zarvo::par_morph_x, 0.7, kEditor); }, kEditor, true},
    {"editor with a focused point: waits", [](Rig& r) { r.ctrl.engine().edit({.focus = 1}); }, kEditor, true},
    {"editor on blended pass types: waits",
     [](Rig& r) {
       r.setPlain(2, zarvo::par_main_pass_type, 3);
       r.moveTo(0.5, 0.5);
     },
     kEditor, true},
  };
  for (const Case& c : cases)
  {
    Rig r;
    r.place(1, 0.2, 0.5);
    r.place(2, 0.8, 0.5);
    r.moveTo(0.2, 0.5);
    r.switchMorph(1.0, kEditor);
    c.during(r);
    const uint32_t sequence = r.sequence();
    r.switchMorph(0.0, c.offSource);
    EXPECT_EQ(r.ctrl.morphOn(), c.pending) << c.name;
    EXPECT_EQ(r.ctrl.turnOffPending(), c.pending) << c.name;
    EXPECT_EQ(r.sequence(), sequence + 2) << c.name;
    EXPECT_EQ(r.host.layoutUpdates, 2) << c.name;
    EXPECT_TRUE(r.host.edits.empty()) << c.name << ": nothing is baked yet";
  }
}

TEST(MorphController, TurningOffWithoutMovingNeitherBakesNorRecordsAStep)
{
  Rig r;
  r.host.withPresetManager = true;
  r.host.depth = 2;
  r.switchMorph(1.0, kEditor);
  r.host.depth = 5;
  r.switchMorph(0.0, kEditor);
  r.host.calls.clear();
  r.ctrl.reconcileSession();
  EXPECT_EQ(r.host.calls, (std::vector<std::string>{"trimUndoTo 2", "captureBaseline", "sessionMark 0"}));
  EXPECT_TRUE(r.host.edits.empty());
  EXPECT_FALSE(r.ctrl.session().active);
}

TEST(MorphController, BakingASinglePassTypeWritesItsTypeDepthAndTilt)
{
  Rig r;
  r.host.withPresetManager = true;
  r.host.depth = 3;
  r.host.param(zarvo::par_main_ub_on).Set(1.0);
  r.place(1, 0.2, 0.5);
  r.place(2, 0.8, 0.5);
  for (size_t i : {size_t{1}, size_t{2}})
  {
    r.setPlain(i, zarvo::par_main_pass_type, 3);
    r.setPlain(i, zarvo::par_main_pt_tilt, 0.5);
  }
  r.setPlain(1, zarvo::par_main_pt_depth, 0.2);
  r.setPlain(2, zarvo::par_main_pt_depth, 0.6);
  r.ctrl.setPointIdentity(1, {1, "Left", 1, false});
  r.moveTo(0.2, 0.5);
  r.switchMorph(1.0, kEditor);
  r.ctrl.engine().edit({.point = 0, .active = false}); // the captured base sound takes no part
  r.moveTo(0.5, 0.5);
  r.ctrl.onMetaParamChanged(zarvo::par_morph_x, 0.5, kEditor);
  r.switchMorph(0.0, kEditor);
  ASSERT_TRUE(r.ctrl.turnOffPending());
  r.host.calls.clear();

  r.ctrl.commitTurningOffIfPending();
  EXPECT_EQ(r.host.param(zarvo::par_main_ub_on).Value(), 0.0);
  EXPECT_EQ(r.host.param(zarvo::par_main_pass_type).Value(), 3.0);
  EXPECT_NEAR(r.host.param(zarvo::par_main_pt_depth).Value(), 0.4, 1e-9);
  EXPECT_NEAR(r.host.param(zarvo::par_main_pt_tilt).Value(), 0.5, 1e-9);
  EXPECT_GE(r.host.edits.size(), kNumMorphParams + 4);
  EXPECT_FALSE(r.ctrl.morphOn());
  EXPECT_FALSE(r.ctrl.session().active);
  // Half way between two points no preset is shown.
  EXPECT_EQ(r.host.calls, (std::vector<std::string>{"commitFromState state 3", "selectIdentity ", "sessionMark 0"}));

  const size_t edits = r.host.edits.size();
  r.ctrl.commitTurningOffIfPending();
  EXPECT_EQ(r.host.edits.size(), edits) << "nothing is pending any more";
}

TEST(MorphController, RevertingKeepsThePointsEditedDuringTheSession)
{
  Rig r;
  r.host.withPresetManager = true;
  r.host.depth = 1;
  r.host.current = {1, "Base", 7, false};
  r.host.param(zarvo::par_main_drive).Set(0.2);
  r.place(3, 0.3, 0.3);
  r.setPlain(3, zarvo::par_main_drive, 0.9);
  r.switchMorph(1.0, kEditor);

  r.ctrl.applyMorphPoint(3);
  EXPECT_EQ(r.host.param(zarvo::par_main_drive).Value(), 0.9);
  r.setValue(5, zarvo::par_main_drive, 0.77);
  r.host.editorValue = 5;
  r.switchMorph(0.0, kHost);
  r.host.calls.clear();

  r.ctrl.reconcileSession();
  EXPECT_EQ(r.host.param(zarvo::par_main_drive).Value(), 0.2) << "the base patch is back";
  EXPECT_EQ(r.host.param(zarvo::par_morph_active).Value(), 0.0);
  EXPECT_EQ(r.value(5, zarvo::par_main_drive), 0.77) << "the field keeps its session edits";
  EXPECT_EQ(r.value(3, zarvo::par_main_drive), r.ctrl.normalizedOf(zarvo::par_main_drive, 0.9));
  EXPECT_EQ(r.host.editorValue, 5);
  EXPECT_EQ(r.host.calls,
            (std::vector<std::string>{"commitFromState empty 1", "selectIdentity Base", "sessionMark 0"}));
  EXPECT_FALSE(r.ctrl.session().active);
  EXPECT_EQ(r.ctrl.engine().selection(), 0u);
}

TEST(MorphController, ReconcileOpensASessionForMorphSwitchedOnElsewhere)
{
  Rig r;
  r.host.withPresetManager = true;
  r.host.depth = 3;
  r.ctrl.mirrorMorphSwitch(true);
  const uint32_t sequence = r.sequence();
  r.ctrl.reconcileSession();
  EXPECT_TRUE(r.ctrl.session().active);
  EXPECT_FALSE(r.ctrl.session().preMorphValid);
  EXPECT_EQ(r.host.calls, (std::vector<std::string>{"sessionMark 3"}));
  r.ctrl.reconcileSession();
  EXPECT_EQ(r.sequence(), sequence + 4) << "republished on every tick";
  EXPECT_EQ(r.host.calls.size(), 1u);
}

TEST(MorphController, ApplyingAPointSendsItsSoundAsEditorEdits)
{
  Rig r;
  r.host.held.insert(zarvo::par_main_drive);
  r.setPlain(4, zarvo::par_main_resonance, 0.8);
  r.ctrl.engine().edit({.point = 4, .noteMask = 1u << kRowPreBCutoff});
  bool guarded = true;
  r.host.onEditorEdit = [&](int) { guarded = guarded && r.ctrl.applyingPoint(); };

  r.ctrl.applyMorphPoint(17);
  EXPECT_TRUE(r.host.edits.empty());
  EXPECT_FALSE(r.ctrl.session().pointApplied);

  r.ctrl.applyMorphPoint(4);
  EXPECT_TRUE(guarded);
  EXPECT_FALSE(r.ctrl.applyingPoint());
  EXPECT_TRUE(r.ctrl.session().pointApplied);
  EXPECT_EQ(r.host.edits.size(), kNumMorphParams - 1 + 3);
  EXPECT_TRUE(
    std::none_of(r.host.edits.begin(), r.host.edits.end(), [](auto& e) { return e.first == zarvo::par_main_drive; }));
  EXPECT_NEAR(r.host.param(zarvo::par_main_resonance).Value(), 0.8, 1e-9);
  EXPECT_EQ(r.host.param(zarvo::par_preB_cutoff_note_anchored).Value(), 1.0);
  EXPECT_EQ(r.host.param(zarvo::par_main_cutoff_note_anchored).Value(), 0.0);
  EXPECT_EQ(r.ctrl.engine().selection(), 1u << 4);
  EXPECT_EQ(r.field().focus, 4);

  r.ctrl.engine().edit({.moving = true});
  r.ctrl.applyMorphPoint(6);
  EXPECT_EQ(r.field().focus, -1) << "no focus while points are being moved";
}

TEST(MorphController, EditorEditsGoIntoSelectedPoints)
{
  struct Case
  {
    const char* name;
    int param;
    EParamSource source;
    uint32_t selection;
    bool moving;
    bool written;
  };
  const Case cases[] = {
    {"a morph row into both selected points", zarvo::par_main_drive, kEditor, 0b1010, false, true},
    {"nothing selected: only the parameter", zarvo::par_main_drive, kEditor, 0, false, false},
    {"not from the editor", zarvo::par_main_drive, kHost, 0b1010, false, false},
    {"while points are being moved", zarvo::par_main_drive, kEditor, 0b1010, true, false},
    {"a parameter that is never morphed", zarvo::par_oversampling, kEditor, 0b1010, false, false},
    {"a note-anchor switch sets the mask bit", zarvo::par_preA_cutoff_note_anchored, kEditor, 0b1010, false, true},
  };
  for (const Case& c : cases)
  {
    Rig r;
    r.ctrl.mirrorMorphSwitch(true);
    r.ctrl.engine().edit({.selection = c.selection});
    r.ctrl.engine().edit({.moving = c.moving});
    r.host.param(c.param).Set(c.param == zarvo::par_main_drive ? 0.66 : 1.0);
    const State before = r.field();
    r.ctrl.mirrorParamEditIntoPoint(c.param, c.source);
    if (!c.written)
    {
      EXPECT_EQ(r.field(), before) << c.name;
      continue;
    }
    for (size_t i : {size_t{1}, size_t{3}})
    {
      if (c.param == zarvo::par_main_drive)
        EXPECT_NEAR(r.value(i, c.param), 0.66, 1e-12) << c.name;
      else
        EXPECT_EQ(r.point(i).noteMask, 1u << kRowPreACutoff) << c.name;
      EXPECT_TRUE(r.ctrl.pointIdentity()[i].modified) << c.name;
    }
    EXPECT_EQ(r.point(2), before.points[2]) << c.name;
  }
}

TEST(MorphController, WritingPointsIsOneStep)
{
  struct Case
  {
    const char* name;
    uint32_t mask;
    size_t edits;
  };
  const Case cases[] = {
    {"no point bit: nothing", 0, 0},
    {"only bits beyond the points: nothing", 1u << 20, 0},
    {"two points: written, not applied", 0b110, 0},
    {"one point: written and applied", 1u << 9, kNumMorphParams + 3},
  };
  MorphValues sound{};
  sound.fill(0.25);
  const PatchIdentity identity{2, "/x.fxp", -1, false};
  for (const Case& c : cases)
  {
    Rig r;
    r.host.withPresetManager = true;
    const uint32_t sequence = r.sequence();
    r.ctrl.writePoints(c.mask, sound, 0xFFFFFFFFu, identity);
    EXPECT_EQ(r.host.edits.size(), c.edits) << c.name;
    if ((c.mask & kPointBits) == 0)
    {
      EXPECT_TRUE(r.host.calls.empty()) << c.name;
      EXPECT_EQ(r.sequence(), sequence) << c.name;
      continue;
    }
    EXPECT_EQ(r.host.calls, (std::vector<std::string>{"pushUndo", "listIndex -1", "captureBaseline"})) << c.name;
    EXPECT_EQ(r.sequence(), sequence + 2) << c.name;
    for (size_t i = 0; i < kNumPoints; ++i)
    {
      const bool chosen = c.mask & (1u << i);
      EXPECT_EQ(r.point(i).values == sound, chosen) << c.name << " point " << i;
      EXPECT_EQ(r.point(i).noteMask, chosen ? kNoteMaskBits : 0u) << c.name << " point " << i;
      EXPECT_EQ(r.ctrl.pointIdentity()[i] == identity, chosen) << c.name << " point " << i;
    }
  }
}

TEST(MorphController, ModeParamsFromAPresetReachTheMirrorsSilently)
{
  Rig r;
  r.host.editorIsOpen = true;
  const uint32_t sequence = r.sequence();
  r.ctrl.applyMorphModeParams(1.0, 0.25, 0.75);
  EXPECT_TRUE(r.ctrl.morphOn());
  EXPECT_EQ(r.ctrl.morphX(), 0.25);
  EXPECT_EQ(r.host.param(zarvo::par_morph_y).Value(), 0.75);
  EXPECT_TRUE(r.host.edits.empty());
  EXPECT_EQ(r.host.calls, (std::vector<std::string>{"pushParams"}));
  EXPECT_EQ(r.host.layoutUpdates, 1);
  EXPECT_EQ(r.sequence(), sequence + 2);
}

TEST(MorphController, CutoffsAnchoredToNotes)
{
  struct Case
  {
    const char* name;
    int param;
    double hz;
    bool bit;
    bool anchored;
  };
  const double a4 = 440.0;
  const Case cases[] = {
    {"on a note with the bit", zarvo::par_main_cutoff_hz, a4, true, true},
    {"on another note with the bit", zarvo::par_preFlt_B_hz, a4 * std::pow(2.0, 5.0 / 12.0), true, true},
    {"20 cents off a note", zarvo::par_main_cutoff_hz, a4 * std::pow(2.0, 20.0 / 1200.0), true, true},
    {"30 cents off a note", zarvo::par_main_cutoff_hz, a4 * std::pow(2.0, 30.0 / 1200.0), true, false},
    {"on a note without the bit", zarvo::par_preFlt_A_hz, a4, false, false},
    {"a parameter without a row", zarvo::par_oversampling, a4, true, false},
  };
  for (const Case& c : cases)
  {
    Rig r;
    r.place(2, 0.4, 0.4);
    r.moveTo(0.4, 0.4);
    const int row = rowOf(c.param);
    if (row >= 0)
    {
      r.setPlain(2, c.param, c.hz);
      r.ctrl.engine().edit({.point = 2, .noteMask = c.bit ? 1u << row : 0u});
    }
    EXPECT_EQ(r.ctrl.morphFreqNoteAnchored(c.param), c.anchored) << c.name;
  }
}

TEST(MorphController, DrivenControls)
{
  Rig r;
  r.place(1, 0.2, 0.5);
  r.setPlain(1, zarvo::par_main_drive, 0.35);
  r.setPlain(1, zarvo::par_main_resonance, 0.9);
  r.setPlain(1, zarvo::par_main_cutoff_hz, 300.0);
  r.moveTo(0.2, 0.5);
  r.host.held.insert(zarvo::par_main_resonance);
  r.host.followingNotes.insert(zarvo::par_main_cutoff_hz);
  r.ctrl.mirrorMorphSwitch(true);

  r.ctrl.syncControls();
  EXPECT_TRUE(r.host.driven.empty()) << "the editor is closed";

  r.host.editorIsOpen = true;
  r.ctrl.syncControls();
  EXPECT_NEAR(r.host.param(zarvo::par_main_drive).Value(), 0.35, 1e-9);
  EXPECT_EQ(r.host.driven[zarvo::par_main_drive],
            (std::pair<std::optional<double>, bool>{r.value(1, zarvo::par_main_drive), true}));
  EXPECT_NE(r.host.param(zarvo::par_main_resonance).Value(), 0.9);
  EXPECT_EQ(r.host.driven[zarvo::par_main_resonance], (std::pair<std::optional<double>, bool>{std::nullopt, false}));
  EXPECT_NE(r.host.param(zarvo::par_main_cutoff_hz).Value(), 300.0);
  EXPECT_EQ(r.host.driven[zarvo::par_main_cutoff_hz].first, std::nullopt);
  EXPECT_TRUE(r.host.driven[zarvo::par_main_cutoff_hz].second);

  // A focused, selected point is edited, not driven.
  r.host.driven.clear();
  r.ctrl.engine().edit({.selection = 1u << 1});
  r.ctrl.engine().edit({.focus = 1});
  r.ctrl.syncControls();
  EXPECT_EQ(r.host.driven[zarvo::par_main_drive], (std::pair<std::optional<double>, bool>{std::nullopt, false}));
}

TEST(MorphController, PresetIdentityOfTheBlend)
{
  struct Case
  {
    const char* name;
    double targetWeight; // of point 1, on the line towards point 2; 1 means on point 1
    PatchIdentity shown;
  };
  const PatchIdentity left{1, "Left", 4, false};
  const Case cases[] = {
    {"on the point: its own flag", 1.0, left},
    {"weight 0.95: modified", 0.95, {1, "Left", 4, true}},
    {"weight 0.85: none", 0.85, {}},
  };
  for (const Case& c : cases)
  {
    Rig r;
    r.place(1, 0.3, 0.5);
    r.place(2, 0.7, 0.5);
    r.ctrl.setPointIdentity(1, left);
    r.ctrl.mirrorMorphSwitch(true);
    // Finds the position by bisection on the field's own weights.
    double lo = 0.3;
    double hi = 0.5;
    const auto weightAt = [&](double x) {
      r.moveTo(x, 0.5);
      Scales scales{};
      r.ctrl.engine().computeScales(r.field(), scales);
      Weights w{};
      r.ctrl.engine().computeWeightsInto(r.field(), x, 0.5, w, scales, true, 1.0);
      return w[1];
    };
    if (c.targetWeight < 1.0)
    {
      for (int k = 0; k < 60; ++k)
        (weightAt((lo + hi) / 2) > c.targetWeight ? lo : hi) = (lo + hi) / 2;
    }
    r.moveTo(c.targetWeight < 1.0 ? lo : 0.3, 0.5);
    EXPECT_EQ(r.ctrl.bakedPointIdentity(), c.shown) << c.name;
    EXPECT_EQ(r.ctrl.stripPresetIdentity(), c.shown) << c.name;
  }

  Rig r;
  r.ctrl.setPointIdentity(6, {2, "/six.fxp", -1, true});
  EXPECT_EQ(r.ctrl.stripPresetIdentity(), std::nullopt) << "morph off";
  r.ctrl.mirrorMorphSwitch(true);
  r.ctrl.engine().edit({.focus = 6});
  EXPECT_EQ(r.ctrl.stripPresetIdentity(), r.ctrl.pointIdentity()[6]);
}

// ---- randomizing and mutating points

TEST(MorphRandomize, RefillsActivePointsOnlyAsOneStep)
{
  Rig r;
  r.host.withPresetManager = true;
  r.host.editorIsOpen = true;
  r.ctrl.initDefaultPoints();
  for (size_t i = 0; i < kNumPoints; ++i)
    r.setValue(i, zarvo::par_main_resonance, 0.123);
  const State before = r.field();
  r.ctrl.mirrorMorphSwitch(true);

  r.ctrl.randomize();
  EXPECT_EQ(r.host.generated, 5);
  EXPECT_EQ(r.host.calls, (std::vector<std::string>{"pushUndo", "listIndex -1", "captureBaseline", "dirty"}));
  int k = 0;
  for (size_t i = 0; i < kNumPoints; ++i)
  {
    if (!before.points[i].active)
    {
      EXPECT_EQ(r.point(i), before.points[i]) << "parked point " << i;
      continue;
    }
    ++k;
    EXPECT_NEAR(r.value(i, zarvo::par_main_drive), r.ctrl.normalizedOf(zarvo::par_main_drive, k / 100.0), 1e-12);
    EXPECT_EQ(r.value(i, zarvo::par_main_resonance), 0.123) << "a value the randomizer leaves alone";
    EXPECT_EQ(r.point(i).noteMask, 1u << kRowMainCutoff);
  }
}

TEST(MorphRandomize, FocusedPointIsMutatedAndApplied)
{
  Rig r;
  r.place(2, 0.5, 0.5);
  r.setPlain(2, zarvo::par_main_drive, 0.8);
  r.ctrl.setPointIdentity(2, {1, "Two", 2, false});
  r.ctrl.engine().edit({.focus = 2});
  r.ctrl.mutate();
  EXPECT_EQ(r.host.mutated, 1);
  EXPECT_NEAR(r.host.param(zarvo::par_main_drive).Value(), 0.4, 1e-9);
  EXPECT_TRUE(r.ctrl.pointIdentity()[2].modified);
  EXPECT_EQ(r.ctrl.pointSession(2).history.size(), 1u);

  r.ctrl.engine().edit({.moving = true});
  r.ctrl.randomize();
  EXPECT_EQ(r.host.generated, 0) << "nothing while points are being moved";
}

TEST(MorphRandomize, FreshInstanceSeedsFromStartersAndRandomSounds)
{
  for (int starters : {2, 0})
  {
    Rig r;
    r.host.withPresetManager = true;
    for (int k = 0; k < starters; ++k)
    {
      r.host.starterParams.push_back({{zarvo::par_main_drive, 0.9 + 0.05 * k}});
      r.host.starterIndices.push_back(10 * (k + 1));
    }
    r.ctrl.initDefaultPoints();
    const MorphPoint centre = r.point(0);
    const uint32_t sequence = r.sequence();
    r.ctrl.seedFreshInstancePoints();

    std::map<std::string, int> fromStarter;
    for (size_t i = 1; i <= 5; ++i)
    {
      if (r.ctrl.pointIdentity()[i].kind != 0)
        ++fromStarter[r.ctrl.pointIdentity()[i].name];
    }
    if (starters == 2)
    {
      // Three starter seeds over two starters: both appear, one of them twice.
      ASSERT_EQ(fromStarter.size(), 2u);
      EXPECT_EQ(fromStarter["Preset 10"] + fromStarter["Preset 20"], 3);
      EXPECT_EQ(r.host.generated, 2 + 11);
    }
    else
    {
      EXPECT_TRUE(fromStarter.empty());
      EXPECT_EQ(r.host.generated, 16);
    }
    EXPECT_EQ(r.point(0), centre);
    for (size_t i = 6; i < kNumPoints; ++i)
      EXPECT_FALSE(r.point(i).active);
    EXPECT_EQ(r.sequence(), sequence + 2);
  }
}

// ---- rig text through the clipboard and files

TEST(MorphController, RigThroughClipboardAndFiles)
{
  Rig r;
  r.ctrl.copyRigToClipboard();
  EXPECT_FALSE(r.host.clipboard) << "the editor is closed";
  EXPECT_FALSE(r.ctrl.pasteRigFromClipboard());

  r.host.editorIsOpen = true;
  vemlor_test::editField(r.ctrl.engine(), [](auto& f) { fillDistinctField(f); });
  r.ctrl.copyRigToClipboard();
  ASSERT_TRUE(r.host.clipboard);
  EXPECT_TRUE(r.ctrl.clipboardHasRig());

  Rig other;
  other.host.editorIsOpen = true;
  other.host.clipboard = r.host.clipboard;
  ASSERT_TRUE(other.ctrl.pasteRigFromClipboard());
  EXPECT_NEAR(other.value(7, zarvo::par_main_drive), r.value(7, zarvo::par_main_drive), 5e-7);

  for (const char* text : {"", "not a file", "# zarvo v1\nVemlor 1.3.0\n[user-tab]\n"})
  {
    other.host.clipboard = text;
    EXPECT_FALSE(other.ctrl.clipboardHasRig()) << text;
    EXPECT_FALSE(other.ctrl.pasteRigFromClipboard()) << text;
  }

  const std::string path = testing::TempDir() + "morph_rig_test.zarvo";
  r.ctrl.promptExportRig();
  r.host.choose(path);
  other.ctrl.promptImportRig();
  other.setValue(7, zarvo::par_main_drive, 0.0);
  other.host.choose("");
  EXPECT_EQ(other.value(7, zarvo::par_main_drive), 0.0) << "a cancelled dialog does nothing";
  other.ctrl.promptImportRig();
  other.host.choose(path);
  EXPECT_NEAR(other.value(7, zarvo::par_main_drive), r.value(7, zarvo::par_main_drive), 5e-7);
  EXPECT_EQ(r.host.dialogs, (std::vector<std::string>{"save morph.zarvo .zarvo"}));
  EXPECT_EQ(other.host.dialogs, (std::vector<std::string>{"open  .zarvo", "open  .zarvo"}));
  EXPECT_EQ(r.host.fileResults, (std::vector<plugkit::EFileResult>{plugkit::EFileResult::kOk}));
  EXPECT_EQ(other.host.fileResults, (std::vector<plugkit::EFileResult>{plugkit::EFileResult::kOk}));
  EXPECT_EQ(other.host.fileContents, std::vector<EFileContent>{EFileContent::MorphField});

  // A controller map is a zarvo file but no rig; a missing file cannot be read.
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("# zarvo v1\n[midi-cc]\n", f);
    std::fclose(f);
  }
  EXPECT_EQ(other.ctrl.importRigFile(path), plugkit::EFileResult::kNotOurs);
  std::remove(path.c_str());
  EXPECT_EQ(other.ctrl.importRigFile(path), plugkit::EFileResult::kUnreadable);
}

} // namespace
