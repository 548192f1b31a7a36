// Input scripts through the real dispatch: presses, drags and releases in every press state, keys,
// the context menu, mode buttons and the double-click resets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "IGfx/IPopupMenu.h"
#include "tests/utils/morph/pad_session.h"
#include "tests/support/morph_pad_probe.h"

namespace zarvo::morph::test {
namespace {

int count(const std::vector<std::string>& log, const std::string& line)
{
  return static_cast<int>(std::count(log.begin(), log.end(), line));
}

struct Outcome
{
  float pointX = 0.f; // point 4's centre after the script
  float pointY = 0.f;
  double valueX = 0.0; // the pad's X and Y
  double valueY = 0.0;
  uint32_t selection = 0;
  std::vector<std::string> log;
};

// Point 4 active at (300, 300), point 6 at (600, 300); the morph position in the middle (470, 402).
Outcome run(bool positionLock, bool moving, uint32_t selection, const std::function<void(PadSession&)>& script)
{
  PadSession p;
  p.place(4, 300.f, 300.f);
  p.place(6, 600.f, 300.f);
  p.engine.edit({.padOption = positionLock});
  p.engine.edit({.moving = moving});
  p.engine.edit({.selection = selection});
  p.logCallbacks();
  script(p);
  p.advance(500.);
  Outcome o;
  p.centre(4, o.pointX, o.pointY);
  o.valueX = p.pad->GetValue(0);
  o.valueY = p.pad->GetValue(1);
  o.selection = p.engine.selection();
  o.log = p.padLog();
  return o;
}

TEST(PadInput, PressStateScripts)
{
  // 3 px of travel is a click: no move, no edit bracket, the point is selected after the delay.
  Outcome o = run(false, false, 0, [](PadSession& p) {
    p.s.Input().Press(300.f, 300.f);
    p.s.Input().DragTo(303.f, 300.f);
    p.s.Input().Release(303.f, 300.f);
  });
  EXPECT_FLOAT_EQ(300.f, o.pointX);
  EXPECT_EQ(0, count(o.log, "edit begin"));
  EXPECT_EQ(1u << 4, o.selection);

  // 4 px starts the drag: one edit bracket over every step, the point follows with its grab offset.
  o = run(false, false, 0, [](PadSession& p) {
    p.s.Input().Press(302.f, 301.f);
    p.s.Input().DragTo(306.f, 301.f);
    p.s.Input().DragTo(340.f, 320.f);
    p.s.Input().DragTo(362.f, 331.f);
    p.s.Input().Release(362.f, 331.f);
  });
  EXPECT_NEAR(360.f, o.pointX, 1e-3);
  EXPECT_NEAR(330.f, o.pointY, 1e-3);
  EXPECT_EQ(1, count(o.log, "edit begin"));
  EXPECT_EQ(1, count(o.log, "edit end"));
  EXPECT_EQ(0u, o.selection); // a drag selects nothing
  EXPECT_EQ(0, count(o.log, "gesture begin"));

  // Position lock: the point stays, the morph position follows the pointer inside one gesture.
  o = run(true, false, 0, [](PadSession& p) {
    p.s.Input().Press(300.f, 300.f);
    p.s.Input().DragTo(320.f, 300.f);
    EXPECT_EQ(2, padProbe(*p.pad).pulseTarget);
    p.s.Input().DragTo(340.f, 300.f);
    p.s.Input().Release(340.f, 300.f);
  });
  EXPECT_FLOAT_EQ(300.f, o.pointX);
  EXPECT_NEAR((340.0 - 16.0) / 908.0, o.valueX, 1e-6);
  EXPECT_EQ(1, count(o.log, "gesture begin"));
  EXPECT_EQ(1, count(o.log, "gesture end"));
  EXPECT_EQ(1, count(o.log, "edit begin"));

  // The empty field: the selection clears and the marker jumps to the pointer.
  o = run(false, false, 1u << 6, [](PadSession& p) {
    p.s.Input().Press(200.f, 500.f);
    p.s.Input().Release(200.f, 500.f);
  });
  EXPECT_EQ(0u, o.selection);
  EXPECT_NEAR((200.0 - 16.0) / 908.0, o.valueX, 1e-6);
  EXPECT_NEAR(1.0 - (500.0 - 200.0) / 404.0, o.valueY, 1e-6);

  // The marker keeps its grab offset: a press 3 px beside its centre moves nothing.
  o = run(false, false, 0, [](PadSession& p) {
    p.s.Input().Press(473.f, 402.f);
    p.s.Input().DragTo(483.f, 402.f);
    p.s.Input().Release(483.f, 402.f);
  });
  EXPECT_NEAR(0.5 + 10.0 / 908.0, o.valueX, 1e-6);
  EXPECT_NEAR(0.5, o.valueY, 1e-6);

  // Both locks outside the settings mode: the field moves the position and keeps the selection;
  // releasing over a point moves the position there.
  o = run(true, true, 1u << 6, [](PadSession& p) {
    p.s.Input().Press(200.f, 500.f);
    p.s.Input().Release(200.f, 500.f);
  });
  EXPECT_EQ(1u << 6, o.selection);
  EXPECT_NEAR((200.0 - 16.0) / 908.0, o.valueX, 1e-6);
  o = run(true, true, 0, [](PadSession& p) {
    p.s.Input().Press(302.f, 300.f);
    p.s.Input().Release(302.f, 300.f);
  });
  EXPECT_NEAR((302.0 - 16.0) / 908.0, o.valueX, 1e-6);
  EXPECT_EQ(0u, o.selection);
  const std::vector<std::string> order = {"gesture begin",   "edit begin", "send 0 0.314978",
                                          "send 1 0.752475", "edit end",   "gesture end"};
  EXPECT_EQ(order, o.log);
}

TEST(PadInput, ModeButtons)
{
  PadSession p;
  p.place(4, 300.f, 300.f);
  p.pad->applySelection(1u << 4);
  auto& in = p.s.Input();
  // Sound lock on: no focus; off again: the single selected point is the focus.
  in.Click(16.f + 120.f, 210.f);
  EXPECT_TRUE(p.engine.moving());
  EXPECT_EQ(-1, p.engine.editState().focus);
  // Entering the settings mode with that selection focuses it (on mouse-up).
  in.Press(16.f + 10.f, 210.f);
  EXPECT_FALSE(p.engine.editing());
  in.Release(16.f + 10.f, 210.f);
  EXPECT_TRUE(p.engine.editing());
  EXPECT_EQ(4, p.engine.editState().focus);
  // The sound lock is inert in the settings mode.
  in.Click(16.f + 120.f, 210.f);
  EXPECT_TRUE(p.engine.moving());
  // Leaving it while moving with the position lock on clears the selection.
  in.Click(16.f + 70.f, 210.f);
  EXPECT_TRUE(p.engine.padOption());
  in.Click(16.f + 10.f, 210.f);
  EXPECT_FALSE(p.engine.editing());
  EXPECT_EQ(0u, p.engine.selection());
}

TEST(PadInput, Keys)
{
  struct Case
  {
    const char* name;
    int vk;
    const char* utf8;
    bool shift, control;
    uint32_t before;
    bool armed;
    bool handled;
    uint32_t after;
  };
  const uint32_t all = (1u << 4) | (1u << 6);
  const Case cases[] = {
    {"shift+A selects every active point", 65, "A", true, false, 0, false, true, all},
    {"shift+A again clears", 65, "A", true, false, all, false, true, 0},
    {"Cyrillic EF on a Russian layout", 0, "\xD0\xA4", true, false, 0, false, true, all},
    {"control+shift+A is not ours", 65, "A", true, true, 0, false, false, 0},
    {"plain A", 65, "a", false, false, 0, false, false, 0},
    {"escape clears", 27, "", false, false, 1u << 4, false, true, 0},
    {"escape cancels an armed selection", 27, "", false, false, 0, true, true, 0},
    {"escape with nothing to clear", 27, "", false, false, 0, false, false, 0},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    p.place(4, 300.f, 300.f);
    p.place(6, 600.f, 300.f);
    p.engine.edit({.selection = c.before});
    if (c.armed)
      p.s.Input().Click(300.f, 300.f);
    plugkit::IKeyPress key;
    key.VK = c.vk;
    std::snprintf(key.utf8, sizeof(key.utf8), "%s", c.utf8);
    key.S = c.shift;
    key.C = c.control;
    EXPECT_EQ(c.handled, p.pad->OnKeyDown(0.f, 0.f, key)) << c.name;
    p.advance(500.);
    EXPECT_EQ(c.after, p.engine.selection()) << c.name;
  }
}

TEST(PadInput, ContextMenuInFourLearnStates)
{
  struct Case
  {
    const char* name;
    Pad::XYLearnInfo info;
    std::vector<std::string> texts;
    std::vector<bool> enabled;
  };
  const Case cases[] = {
    {"nothing learned", {0, -1, -1}, {"Learn X", "Learn Y", "Swap X/Y", "Clear X/Y CC"}, {true, true, false, false}},
    {"learning X", {1, -1, -1}, {"Cancel learn X", "Learn Y", "Swap X/Y", "Clear X/Y CC"}, {true, true, false, false}},
    {"X on CC 7",
     {0, 7, -1},
     {"Learn X (CC 7)", "Learn Y", "Swap X/Y", "Clear X/Y CC (7/-)"},
     {true, true, true, true}},
    {"learning Y with both",
     {2, 3, 12},
     {"Learn X (CC 3)", "Cancel learn Y", "Swap X/Y", "Clear X/Y CC (3/12)"},
     {true, true, true, true}},
  };
  for (const Case& c : cases)
  {
    PadSession p;
    std::vector<std::string> calls;
    MorphPadControl::Callbacks& callbacks = padProbe(*p.pad).callbacks;
    callbacks.onLearnX = [&] { calls.push_back("x"); };
    callbacks.onLearnY = [&] { calls.push_back("y"); };
    callbacks.onSwapXY = [&] { calls.push_back("swap"); };
    callbacks.onClearXY = [&] { calls.push_back("clear"); };
    callbacks.learnInfo = [&c] { return c.info; };
    plugkit::gfx::IPopupMenu menu;
    p.pad->CreateContextMenu(menu);
    ASSERT_EQ(4, menu.NItems()) << c.name;
    for (int i = 0; i < 4; ++i)
    {
      EXPECT_EQ(c.texts[static_cast<size_t>(i)], menu.GetItem(i)->GetText()) << c.name;
      EXPECT_EQ(c.enabled[static_cast<size_t>(i)], menu.GetItem(i)->GetEnabled()) << c.name << " " << i;
      EXPECT_EQ(0, menu.GetItem(i)->GetTag());
    }
    for (int i = 0; i < 4; ++i)
      p.pad->OnContextSelection(i);
    EXPECT_EQ((std::vector<std::string>{"x", "y", "swap", "clear"}), calls) << c.name;
  }

  // Without a learn callback the pad adds nothing; without learn Y or swap those entries are disabled.
  PadSession p;
  plugkit::gfx::IPopupMenu menu;
  p.pad->CreateContextMenu(menu);
  EXPECT_EQ(0, menu.NItems());
  padProbe(*p.pad).callbacks.onLearnX = [] {};
  padProbe(*p.pad).callbacks.learnInfo = [] { return Pad::XYLearnInfo{0, 5, 6}; };
  p.pad->CreateContextMenu(menu);
  ASSERT_EQ(4, menu.NItems());
  EXPECT_FALSE(menu.GetItem(1)->GetEnabled());
  EXPECT_FALSE(menu.GetItem(2)->GetEnabled());
  EXPECT_FALSE(menu.GetItem(3)->GetEnabled());
}

TEST(PadInput, DoubleClickResetsSlidersInTheSettingsMode)
{
  PadSession p;
  p.engine.edit({.editing = true});
  float reported = -1.f;
  padProbe(*p.pad).callbacks.onAppearanceChanged = [&reported](float, int, float grid) { reported = grid; };
  p.engine.edit({.sigma = 0.3});
  padProbe(*p.pad).overlay.gridStep = 0.5f;
  padProbe(*p.pad).overlay.isoLevels = 2;
  padProbe(*p.pad).overlay.lineBrightness = 0.9f;
  p.s.Input().DoubleClick(16.f + 50.f, 200.f + 40.f);
  EXPECT_EQ(1.0, p.engine.editState().sigma);
  p.s.Input().DoubleClick(16.f + 120.f, 604.f - 15.f);
  EXPECT_NEAR(1.f / 11.f, padProbe(*p.pad).overlay.gridStep, 1e-7);
  EXPECT_NEAR(1.f / 11.f, reported, 1e-7);
  p.s.Input().DoubleClick(16.f + 50.f, 604.f - 15.f);
  EXPECT_EQ(6, padProbe(*p.pad).overlay.isoLevels);
  EXPECT_EQ(7, padProbe(*p.pad).overlay.isoLevelCount);
  EXPECT_TRUE(std::isnan(padProbe(*p.pad).overlay.signature));
  p.s.Input().DoubleClick(16.f + 50.f, 604.f - 40.f);
  EXPECT_FLOAT_EQ(0.42f, padProbe(*p.pad).overlay.lineBrightness);
  p.pad->resetApprSlider(5);
  EXPECT_NEAR(1.f / 11.f, padProbe(*p.pad).overlay.gridStep, 1e-7);
}

} // namespace
} // namespace zarvo::morph::test
