// The MORPH toggle and the morph pad with the real pointer: the editor grows to 620 with the pad,
// dragging the marker moves the morph position and the sound to that of the position set by
// parameter, and a dragged morph point moves back and forth with undo and redo. The host switching
// MORPH through either of its paths resizes the open editor the same way.
#include "tests/editor_e2e/e2e_fixture.h"

#include <cmath>

namespace vemlor::e2e {
namespace {

using plugin_it::maxDifference;
using zarvo::par_morph_active;
using zarvo::par_morph_x;
using zarvo::par_morph_y;

// The sound of a state with the morph position set by the host as parameters.
Stereo renderAtMorphPosition(const std::vector<uint8_t>& state, double x, double y)
{
  plugin_it::Instance other;
  EXPECT_TRUE(other) << other.session.error;
  EXPECT_TRUE(other.setState(state));
  auto& controller = other.session.controller();
  controller.setParamNormalized(par_morph_x, x);
  controller.setParamNormalized(par_morph_y, y);
  for (int i = 0; i < 10; ++i)
    other.session.host.pump(20);
  EXPECT_TRUE(other.restart()) << other.plugin().lastError();
  return plugin_it::render(other.plugin(), testSignal(), [&](int block) {
    if (block == 0)
    {
      other.plugin().addParameterChange(par_morph_x, 0, x);
      other.plugin().addParameterChange(par_morph_y, 0, y);
    }
  });
}

class MorphPageE2E : public EditorE2E
{
protected:
  // A new instance starts on a random starter, and some starters feed back chaotically: there the
  // last bits of a double that two paths round differently grow into another waveform. The field
  // keeps its points, but the base patch and every point play a clean preset, each point at its
  // own gain, so moving the marker changes the sound and nothing amplifies rounding.
  void useTamePatch()
  {
    Chunk chunk = s.chunk();
    plugin_it::Patch base = plugin_it::presetSound("CLEAN VOSK");
    base[par_morph_active] = 0.0;
    plugin_it::setPatch(chunk, base);
    for (size_t k = 0; k < chunk.morph.points.size(); ++k)
    {
      plugin_it::Patch sound = base;
      sound[zarvo::par_main_gain] = -12.0 + 1.5 * static_cast<double>(k);
      plugin_it::setPointSound(chunk, static_cast<int>(k), sound);
    }
    ASSERT_TRUE(s.setState(plugin_it::componentState(chunk)));
    s.settle();
  }

  void SetUp() override
  {
    EditorE2E::SetUp();
    if (HasFatalFailure() || IsSkipped())
      return;
    useTamePatch();
    // A new instance may start with the morph field on: the toggle then turns it off first.
    if (s.normalized(par_morph_active) > 0.5)
    {
      ASSERT_EQ(s.height(), 620);
      ASSERT_TRUE(click(kMorphToggle));
      ASSERT_TRUE(s.pumpUntil([&] { return s.normalized(par_morph_active) < 0.5 && s.height() == 200; }))
        << "morph " << s.normalized(par_morph_active) << ", height " << s.height();
      s.settle();
    }
    ASSERT_EQ(s.height(), 200);
    ASSERT_TRUE(click(kMorphToggle));
    ASSERT_TRUE(s.pumpUntil([&] { return s.normalized(par_morph_active) > 0.5 && s.height() == 620; }))
      << "morph " << s.normalized(par_morph_active) << ", height " << s.height();
    s.settle();
  }
};

TEST_F(MorphPageE2E, TheToggleGrowsTheEditorAndTheMarkerMovesTheSound)
{
  EXPECT_EQ(s.width(), 940);
  s.screenshot("morph_page_opened");
  const std::vector<uint8_t> before = s.state();
  const double x0 = s.normalized(par_morph_x), y0 = s.normalized(par_morph_y);
  // Somewhere well away from the marker, clear of the pad's edges.
  const double tx = x0 < 0.5 ? 0.72 : 0.28, ty = y0 < 0.5 ? 0.66 : 0.34;
  ASSERT_TRUE(s.input().drag(padX(x0), padY(y0), padX(tx), padY(ty)));
  ASSERT_TRUE(s.pumpUntil(
    [&] { return std::abs(s.normalized(par_morph_x) - tx) < 0.01 && std::abs(s.normalized(par_morph_y) - ty) < 0.01; }))
    << "morph at " << s.normalized(par_morph_x) << ", " << s.normalized(par_morph_y);
  s.settle();
  s.screenshot("morph_marker_dragged");
  const double x1 = s.normalized(par_morph_x), y1 = s.normalized(par_morph_y);
  const Stereo dragged = s.render(testSignal());
  EXPECT_GT(maxDifference(dragged, renderState(before, testSignal())), 1e-4) << "the sound moved with the marker";
  // The same position reached by parameter: the same sound, but for rounding in the last bits of
  // the blended values; -120 dB leaves room for that and none for another sound.
  EXPECT_LT(maxDifference(dragged, renderAtMorphPosition(before, x1, y1)), 1e-6);
}

TEST_F(MorphPageE2E, ADraggedPointMovesBackWithUndoAndAgainWithRedo)
{
  expandStrip();
  const Chunk start = s.chunk();
  // An active point other than the user's own (point 0).
  int point = -1;
  for (size_t i = 1; i < start.morph.points.size() && point < 0; ++i)
    if (start.morph.points[i].active > 0.5)
      point = static_cast<int>(i);
  ASSERT_GE(point, 1) << "a new instance has active points";
  const auto& p = start.morph.points[static_cast<size_t>(point)];
  const double tx = p.x < 0.5 ? p.x + 0.15 : p.x - 0.15;
  const double ty = p.y < 0.5 ? p.y + 0.2 : p.y - 0.2;
  ASSERT_TRUE(s.input().drag(padX(p.x), padY(p.y), padX(tx), padY(ty)));
  const auto pointAt = [&](double x, double y) {
    const auto& q = s.chunk().morph.points.at(static_cast<size_t>(point));
    return std::abs(q.x - x) < 0.02 && std::abs(q.y - y) < 0.02;
  };
  ASSERT_TRUE(s.pumpUntil([&] { return !pointAt(p.x, p.y); })) << "the point did not move";
  const auto moved = s.chunk().morph.points.at(static_cast<size_t>(point));
  EXPECT_NEAR(moved.x, tx, 0.03);
  EXPECT_NEAR(moved.y, ty, 0.03);
  s.screenshot("morph_point_dragged");

  ASSERT_TRUE(click(stripZone(kZoneUndo)));
  EXPECT_TRUE(s.pumpUntil([&] { return pointAt(p.x, p.y); })) << "undo puts the point back";
  ASSERT_TRUE(click(stripZone(kZoneRedo)));
  EXPECT_TRUE(s.pumpUntil([&] { return pointAt(moved.x, moved.y); })) << "redo moves it again";
}

// How a host sets the MORPH switch: through the edit controller (automation read on the main
// thread), or through the processor's parameter changes of a block.
struct HostMorphPath
{
  const char* name;
  void (*set)(EditorSession& s, double value);
};

void setThroughController(EditorSession& s, double value)
{
  s.session.controller().setParamNormalized(par_morph_active, value);
}

void setThroughProcess(EditorSession& s, double value)
{
  ASSERT_TRUE(s.restartProcessing()) << s.session.plugin->lastError();
  s.session.plugin->addParameterChange(par_morph_active, 0, value);
  EXPECT_TRUE(s.session.plugin->process(plugin_it::kBlockSize).clean());
}

TEST_F(MorphPageE2E, TheHostTurningMorphOffAndOnResizesTheOpenEditor)
{
  const HostMorphPath paths[] = {
    {"controller", setThroughController},
    {"process", setThroughProcess},
  };
  for (const HostMorphPath& path : paths)
  {
    SCOPED_TRACE(path.name);
    ASSERT_EQ(s.height(), 620);
    path.set(s, 0.0);
    EXPECT_TRUE(s.pumpUntil([&] { return s.editorHeight() == 200.f; })) << "height " << s.editorHeight();
    EXPECT_EQ(s.chunk().param(par_morph_active), 0.0);
    s.settle();
    EXPECT_EQ(s.width(), 940);
    if (path.set == setThroughController)
    {
      EXPECT_LT(s.normalized(par_morph_active), 0.5);
      s.screenshot("morph_off_by_host");
    }

    path.set(s, 1.0);
    EXPECT_TRUE(s.pumpUntil([&] { return s.editorHeight() == 620.f; })) << "height " << s.editorHeight();
    EXPECT_EQ(s.chunk().param(par_morph_active), 1.0);
    s.settle();
    if (path.set == setThroughController)
    {
      EXPECT_GT(s.normalized(par_morph_active), 0.5);
    }
  }
  s.screenshot("morph_on_by_host");
}

} // namespace
} // namespace vemlor::e2e
