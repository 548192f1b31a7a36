// Parameter changes from host and editor: gestures towards the host, undo steps, the wait before an
// edit without a gesture is committed, and host automation on the audio thread.
#include "product/params/morph_param_table.h"
#include "tests/product/plugin_fixture.h"

#include <functional>
#include <string>

namespace vemlor::plugintest {
namespace {

using Kind = RecordingHandler::Kind;
using Call = RecordingHandler::Call;
using namespace zarvo;

struct GestureCase
{
  const char* name;
  bool morphOn;
  uint32_t selection; // morph points selected
  std::function<void(PluginInstance&)> act;
  std::vector<Call> hostCalls;
  size_t undoSteps;
};

TEST(PluginGestures, HostGesturesAndUndoSteps)
{
  const GestureCase cases[] = {
    {"a gesture outside the morph field ends one undo step",
     false,
     0,
     [](PluginInstance& p) { p.editorGesture(par_main_drive, p.another(par_main_drive)); },
     {{Kind::Begin, par_main_drive}, {Kind::Perform, par_main_drive}, {Kind::End, par_main_drive}},
     1},
    {"an edit without a gesture is committed when the next gesture begins",
     false,
     0,
     [](PluginInstance& p) {
       p.editorSet(par_main_drive, p.another(par_main_drive));
       p.editorGesture(par_main_resonance, p.another(par_main_resonance));
     },
     {{Kind::Perform, par_main_drive},
      {Kind::Begin, par_main_resonance},
      {Kind::Perform, par_main_resonance},
      {Kind::End, par_main_resonance}},
     2},
    {"the pad position sends no gesture of its own",
     true,
     0,
     [](PluginInstance& p) {
       p->BeginInformHostOfParamChangeFromUI(par_morph_x);
       p->EndInformHostOfParamChangeFromUI(par_morph_x);
     },
     {},
     0},
    {"a parameter the morph field drives sends no gesture",
     true,
     0,
     [](PluginInstance& p) {
       p->BeginInformHostOfParamChangeFromUI(par_main_drive);
       p->EndInformHostOfParamChangeFromUI(par_main_drive);
     },
     {},
     0},
    {"an edit of one selected morph point is one undo step",
     true,
     1u << 2,
     [](PluginInstance& p) { p.editorGesture(par_main_drive, p.another(par_main_drive)); },
     {{Kind::Begin, par_main_drive}, {Kind::Perform, par_main_drive}, {Kind::End, par_main_drive}},
     1},
  };
  for (const GestureCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    PluginInstance p;
    if (!c.morphOn)
      p.morphOff();
    p->morphController().engine().edit({.selection = c.selection});
    p.presets().captureBaseline();
    p.handler.calls.clear();
    const size_t before = p.undoSteps();
    c.act(p);
    EXPECT_EQ(p.handler.calls, c.hostCalls);
    EXPECT_EQ(p.undoSteps() - before, c.undoSteps);
  }
}

TEST(PluginGestures, AnEditOfASelectedPointGoesIntoThatPointOnly)
{
  PluginInstance p;
  morph::MorphEngine& engine = p->morphController().engine();
  engine.edit({.selection = 1u << 2});
  const size_t row = static_cast<size_t>(morph::rowOf(par_main_drive));
  const double untouched = engine.editState().points[3].values[row];
  p.editorGesture(par_main_drive, p.another(par_main_drive));
  EXPECT_DOUBLE_EQ(engine.editState().points[2].values[row], p.param(par_main_drive).GetNormalized());
  EXPECT_EQ(engine.editState().points[3].values[row], untouched);
}

struct WaitCase
{
  const char* name;
  std::function<void(PluginInstance&)> act; // the clock starts at 1000 ms
  size_t undoSteps;
};

TEST(PluginGestures, AnEditWithoutAGestureBecomesAnUndoStep200MsLater)
{
  // Each edit changes the value, whatever it was.
  const auto editAt = [](PluginInstance& p, double ms) {
    p.nowMs = 1000.0 + ms;
    p.editorSet(par_main_drive, p.another(par_main_drive));
  };
  const auto idleAt = [](PluginInstance& p, double ms) {
    p.nowMs = 1000.0 + ms;
    p->OnIdle();
  };
  const WaitCase cases[] = {
    {"199 ms later it still waits",
     [&](PluginInstance& p) {
       editAt(p, 0);
       idleAt(p, 199);
     },
     0},
    {"200 ms later it is committed",
     [&](PluginInstance& p) {
       editAt(p, 0);
       idleAt(p, 200);
     },
     1},
    {"a further edit restarts the wait",
     [&](PluginInstance& p) {
       editAt(p, 0);
       editAt(p, 150);
       idleAt(p, 200);
     },
     0},
    {"the restarted wait ends 200 ms after the last edit",
     [&](PluginInstance& p) {
       editAt(p, 0);
       editAt(p, 150);
       idleAt(p, 200);
       idleAt(p, 350);
     },
     1},
    {"nothing is committed while a gesture is open",
     [&](PluginInstance& p) {
       p->BeginInformHostOfParamChangeFromUI(par_main_resonance);
       editAt(p, 0);
       idleAt(p, 500);
     },
     0},
  };
  for (const WaitCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    PluginInstance p;
    p.morphOff();
    const size_t before = p.undoSteps();
    c.act(p);
    EXPECT_EQ(p.undoSteps() - before, c.undoSteps);
  }
}

struct AnchorCase
{
  const char* name;
  bool fromHost;
  double anchoredAfter;
};

TEST(PluginParamChanges, OnlyTheHostTakesAnAutomatedCutoffOffTheNote)
{
  const AnchorCase cases[] = {
    {"host automation", true, 0.0},
    {"an editor change", false, 1.0},
  };
  for (const AnchorCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    PluginInstance p;
    p.param(par_main_cutoff_note_anchored).Set(1.0);
    const double cutoff = p.another(par_main_cutoff_hz);
    if (c.fromHost)
      p.automate(par_main_cutoff_hz, cutoff);
    else
      p.editorSet(par_main_cutoff_hz, cutoff);
    EXPECT_EQ(p.param(par_main_cutoff_note_anchored).Value(), c.anchoredAfter);
  }
}

TEST(PluginParamChanges, HostMorphAutomationOnTheAudioThreadPublishesOnlyAtIdle)
{
  PluginInstance p;
  morph::MorphController& morph = p->morphController();
  const uint32_t published = morph.engine().snapshot().sequence();

  // A thread-role violation (publishing from the audio thread) fails the test by itself.
  p.automate(par_morph_x, 0.25);
  p.automate(par_morph_y, 0.75);
  p.automate(par_morph_active, 0.0);
  EXPECT_EQ(morph.engine().snapshot().sequence(), published);
  // The audio path reads the mirrors at once.
  EXPECT_EQ(morph.morphX(), 0.25);
  EXPECT_EQ(morph.morphY(), 0.75);
  EXPECT_FALSE(morph.morphOn());

  p->OnIdle();
  EXPECT_GT(morph.engine().snapshot().sequence(), published);
  EXPECT_FALSE(morph.morphOn());
}

TEST(PluginParamChanges, PickingTheSelectedMainPassTypeTakesTheFilterOutOfTheMorphBlend)
{
  PluginInstance p;
  morph::MorphController& morph = p->morphController();
  ASSERT_TRUE(morph.morphOn());
  // Two low-pass points with one depth and tilt, three high-pass points with another: a blend.
  const auto setShape = [&](size_t point, double type, double depth, double tilt) {
    morph::MorphEngine& engine = morph.engine();
    const auto setRow = [&](int param, double normalized) {
      engine.edit({.point = point, .row = static_cast<size_t>(morph::rowOf(param)), .value = normalized});
    };
    setRow(par_main_ub_on, 0.0);
    setRow(par_main_pass_type, p.param(par_main_pass_type).ToNormalized(type));
    setRow(par_main_pt_depth, p.param(par_main_pt_depth).ToNormalized(depth));
    setRow(par_main_pt_tilt, p.param(par_main_pt_tilt).ToNormalized(tilt));
  };
  for (size_t point : {1u, 2u})
    setShape(point, 0.0, 0.3, 0.2);
  for (size_t point : {3u, 4u, 5u})
    setShape(point, 1.0, 0.8, -0.4);
  morph.publish();
  p.param(par_main_pass_type).Set(0.0);
  p->OnParamChange(par_main_pass_type, plugkit::EParamSource::kHost, -1);

  p.editorSet(par_main_pass_type, 0.0);
  EXPECT_EQ(p.param(par_main_ub_on).Value(), 0.0);
  EXPECT_NEAR(p.param(par_main_pt_depth).Value(), 0.3, 1e-9);
  EXPECT_NEAR(p.param(par_main_pt_tilt).Value(), 0.2, 1e-9);
}

} // namespace
} // namespace vemlor::plugintest
