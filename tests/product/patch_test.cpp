// The patch as a whole: a new instance's starter preset and morph field, undo keeping the user's
// controller map and workspace, randomize and mutate, the morph turn-off bake, and the state chunk.
#include "product/params/morph_param_table.h"
#include "tests/product/plugin_fixture.h"
#include "tests/support/field_edit.h"

#include <algorithm>
#include <functional>

namespace vemlor::plugintest {
namespace {

using namespace zarvo;

TEST(PluginPatch, ANewInstancePlaysAStarterPresetUnderItsSeededMorphField)
{
  PluginInstance p;
  const FactoryPresets& factory = p->factoryPresets();
  const auto& starters = factory.starterIndices();
  const auto it = std::find(starters.begin(), starters.end(), p.presets().currentIndex());
  ASSERT_NE(it, starters.end()) << "current list entry " << p.presets().currentIndex();
  for (const auto& [index, value] : factory.starterParams()[static_cast<size_t>(it - starters.begin())])
    EXPECT_EQ(p.param(index).Value(), p.param(index).Constrain(value)) << "parameter " << index;
  // The default patch before the starter is one undo step away.
  EXPECT_EQ(p.undoSteps(), 1u);

  // Points 1 to 5 hold starters and random sounds, not the defaults every point started from.
  const morph::MorphEngine& engine = p->morphController().engine();
  for (size_t point = 1; point <= 5; ++point)
    EXPECT_NE(engine.editState().points[point].values, engine.editState().points[0].values) << "point " << point;
}

TEST(PluginPatch, UndoKeepsTheUsersControllerMapAndWorkspace)
{
  PluginInstance p;
  p.morphOff();
  const double driveBefore = p.param(par_main_drive).Value();
  p.editorGesture(par_main_drive, driveBefore > 0.5 ? 0.1 : 0.9);
  const double driveEdited = p.param(par_main_drive).Value();
  p.param(par_oversampling).Set(2.0);
  p->OnParamChange(par_oversampling, plugkit::EParamSource::kHost, -1);
  p->ccMediator().mapper().addMapping(30, par_main_resonance);

  p.presets().undo();
  EXPECT_EQ(p.param(par_main_drive).Value(), driveBefore);
  EXPECT_EQ(p.param(par_oversampling).Value(), 2.0);
  EXPECT_EQ(p->ccMediator().mapper().getCCForParam(par_main_resonance), 30);

  p.presets().redo();
  EXPECT_EQ(p.param(par_main_drive).Value(), driveEdited);
  EXPECT_EQ(p.param(par_oversampling).Value(), 2.0);
}

struct RandomizerCase
{
  const char* name;
  bool morphOn;
  std::function<void(Vemlor&)> press;
  std::function<void(PluginInstance& p, const std::vector<double>& paramsBefore,
                     const morph::MorphEngine::RTState& fieldBefore, int entryBefore)>
    check;
};

std::vector<double> valuesOf(PluginInstance& p)
{
  std::vector<double> values;
  for (int i = 0; i < kNumParams; ++i)
    values.push_back(p.param(i).Value());
  return values;
}

TEST(PluginPatch, RandomizeAndMutateAreOneUndoStepEach)
{
  const RandomizerCase cases[] = {
    {"randomize makes a patch of no preset", false, [](Vemlor& v) { v.randomize(); },
     [](PluginInstance& p, const std::vector<double>& before, const morph::MorphEngine::RTState&, int) {
       EXPECT_NE(valuesOf(p), before);
       EXPECT_EQ(p.presets().currentIndex(), -1);
     }},
    {"mutate keeps the preset, marked modified", false, [](Vemlor& v) { v.mutate(); },
     [](PluginInstance& p, const std::vector<double>& before, const morph::MorphEngine::RTState&, int entry) {
       EXPECT_NE(valuesOf(p), before);
       EXPECT_EQ(p.presets().currentIndex(), entry);
       EXPECT_TRUE(p.presets().patchIdentity().modified);
     }},
    {"randomize while morphing refills the active points and keeps the patch", true, [](Vemlor& v) { v.randomize(); },
     [](PluginInstance& p, const std::vector<double>& before, const morph::MorphEngine::RTState& field, int) {
       EXPECT_EQ(valuesOf(p), before);
       const auto& points = p->morphController().engine().editState().points;
       for (size_t i = 0; i < points.size(); ++i)
         EXPECT_EQ(points[i].values == field.points[i].values, !points[i].active) << "point " << i;
     }},
  };
  for (const RandomizerCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    PluginInstance p;
    if (!c.morphOn)
      p.morphOff();
    const std::vector<double> before = valuesOf(p);
    const morph::MorphEngine::RTState field = p->morphController().engine().editState();
    const int entry = p.presets().currentIndex();
    const size_t steps = p.undoSteps();
    c.press(*p);
    EXPECT_EQ(p.undoSteps(), steps + 1);
    c.check(p, before, field, entry);
  }
}

TEST(PluginPatch, TurningMorphOffInTheEditorBakesTheBlendWithTheEditorClosed)
{
  PluginInstance p;
  morph::MorphController& morph = p->morphController();
  p->OnIdle();
  p.editorSet(par_morph_x, 0.3);
  const morph::MorphValues blend = morph.engine().resolvedAt(0.3, p.param(par_morph_y).Value());
  p.editorSet(par_morph_active, 0.0);
  ASSERT_TRUE(morph.turnOffPending());
  ASSERT_TRUE(morph.morphOn());

  p->OnIdle();
  EXPECT_FALSE(morph.morphOn());
  EXPECT_FALSE(morph.turnOffPending());
  for (int param : {par_main_drive, par_main_resonance, par_preFlt_A_res, par_dry_wet})
  {
    const plugkit::IParam& q = p.param(param);
    const double expected = q.ToNormalized(q.FromNormalized(blend[static_cast<size_t>(morph::rowOf(param))]));
    EXPECT_DOUBLE_EQ(q.GetNormalized(), expected) << "parameter " << param;
  }
}

TEST(PluginPatch, ASavedStateComesBackExactlyInAnotherInstance)
{
  plugkit::IByteChunk saved;
  {
    PluginInstance a;
    a.editorGesture(par_main_drive, a.another(par_main_drive));
    a.automate(par_preFlt_B_hz, 1234.5);
    a->ccMediator().mapper().addMapping(12, par_main_resonance);
    const int32_t resonance = par_main_resonance;
    a->OnMessage(midi_cc::kMsgTagModulate, -1, 4, &resonance);
    a->morphController().engine().edit({.point = 7, .active = true});
    vemlor_test::editPoint(a->morphController().engine(), 7, [&](auto& point) { point.x = 0.125; });
    ASSERT_TRUE(a->SerializeState(saved));
  }
  PluginInstance b;
  EXPECT_EQ(b->UnserializeState(saved, 0), saved.Size());
  plugkit::IByteChunk again;
  ASSERT_TRUE(b->SerializeState(again));
  EXPECT_TRUE(again.IsEqual(saved));
  EXPECT_EQ(b->ccMediator().mapper().getCCForParam(par_main_resonance), 12);
  EXPECT_EQ(b->ccModSettings().mode(par_main_resonance), 1u);
  EXPECT_EQ(b->morphController().engine().editState().points[7].x, 0.125);
}

} // namespace
} // namespace vemlor::plugintest
