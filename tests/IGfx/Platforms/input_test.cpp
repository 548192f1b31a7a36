// Real input through xdotool (XTest) on the editor's child window, and click counting against an
// injected clock.
#include "tests/IGfx/Platforms/editor_fixture.h"

#include "IGfx/Platforms/X11/ClickCounter.h"

#include <string>
#include <vector>

namespace vemlor::x11test {
namespace {

using plugkit::gfx::ClickCounter;

struct Press
{
  int button;
  float x, y;
  uint64_t timeMs;
  int count;
};

struct ClickCase
{
  const char* name;
  std::vector<Press> presses;
};

class ClickCounting : public ::testing::TestWithParam<ClickCase>
{};

TEST_P(ClickCounting, CountsPressesOfOneButtonCloseInTimeAndPlace)
{
  ClickCounter counter;
  for (size_t i = 0; i < GetParam().presses.size(); ++i)
  {
    const Press& p = GetParam().presses[i];
    EXPECT_EQ(counter.Press(p.button, p.x, p.y, p.timeMs), p.count) << "press " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
  Clicks, ClickCounting,
  ::testing::Values(ClickCase{"double", {{1, 10, 10, 1000, 1}, {1, 10, 10, 1300, 2}}},
                    ClickCase{"triple", {{1, 10, 10, 1000, 1}, {1, 10, 10, 1200, 2}, {1, 11, 10, 1400, 3}}},
                    ClickCase{"at_the_limit", {{1, 10, 10, 1000, 1}, {1, 10, 10, 1400, 2}}},
                    ClickCase{"too_slow", {{1, 10, 10, 1000, 1}, {1, 10, 10, 1401, 1}}},
                    ClickCase{"other_button", {{1, 10, 10, 1000, 1}, {3, 10, 10, 1100, 1}}},
                    ClickCase{"right_double", {{3, 10, 10, 1000, 1}, {3, 10, 10, 1100, 2}}},
                    ClickCase{"moved_four_pixels", {{1, 10, 10, 1000, 1}, {1, 14, 6, 1100, 2}}},
                    ClickCase{"moved_five_pixels", {{1, 10, 10, 1000, 1}, {1, 15, 10, 1100, 1}}},
                    ClickCase{"clock_went_back", {{1, 10, 10, 1000, 1}, {1, 10, 10, 900, 1}}},
                    ClickCase{"each_pair_then_new", {{1, 0, 0, 0, 1}, {1, 0, 0, 100, 2}, {1, 0, 0, 1000, 1}}}),
  [](const auto& info) { return std::string(info.param.name); });

class RealInput : public EditorFixture
{
protected:
  // Runs xdotool with the editor's window id where an argument is "%w".
  void xdo(const std::vector<std::string>& args) { ASSERT_EQ(RunXdotool(args, editor.Window().GetWindow()), 0); }
  bool pumpUntilEvents(size_t n)
  {
    return pumpUntil([&] { return listener.withoutHover().size() >= n; });
  }
  void movePointerAway()
  {
    xdo({"mousemove", "1500", "700"});
    settle();
    listener.events.clear();
  }
};

struct ClickScaleCase
{
  const char* name;
  float drawScale, screenScale;
  std::vector<std::string> expected;
};

class RealClicks : public RealInput, public ::testing::WithParamInterface<ClickScaleCase>
{};

TEST_P(RealClicks, LeftClickArrivesAsDownAndUpDividedByBothScales)
{
  editor.SetScale(GetParam().drawScale, GetParam().screenScale);
  movePointerAway();
  xdo({"mousemove", "--window", "%w", "300", "120", "click", "1"});
  ASSERT_TRUE(pumpUntilEvents(2));
  EXPECT_EQ(listener.withoutHover(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
  Scales, RealClicks,
  ::testing::Values(ClickScaleCase{"unscaled", 1.f, 1.f, {"down 300,120 L", "up 300,120 L"}},
                    ClickScaleCase{"draw_scale_1_5", 1.5f, 1.f, {"down 200,80 L", "up 200,80 L"}},
                    ClickScaleCase{"screen_scale_2", 1.f, 2.f, {"down 150,60 L", "up 150,60 L"}}),
  [](const auto& info) { return std::string(info.param.name); });

TEST_F(RealInput, DoubleClickGivesDownThenDoubleClick)
{
  movePointerAway();
  xdo({"mousemove", "--window", "%w", "50", "40", "click", "--repeat", "2", "--delay", "60", "1"});
  ASSERT_TRUE(pumpUntilEvents(4));
  EXPECT_EQ(listener.withoutHover(),
            (std::vector<std::string>{"down 50,40 L", "up 50,40 L", "dblclick 50,40 L", "up 50,40 L"}));
}

TEST_F(RealInput, RightClickCarriesTheRightButtonOnly)
{
  movePointerAway();
  xdo({"mousemove", "--window", "%w", "60", "30", "click", "3"});
  ASSERT_TRUE(pumpUntilEvents(2));
  EXPECT_EQ(listener.withoutHover(), (std::vector<std::string>{"down 60,30 R", "up 60,30 R"}));
}

TEST_F(RealInput, ModifiersHeldDuringAClickAreCarried)
{
  movePointerAway();
  xdo({"mousemove", "--window", "%w", "60", "30", "keydown", "shift", "click", "1", "keyup", "shift"});
  ASSERT_TRUE(pumpUntil([&] {
    auto e = listener.withoutHover();
    return std::find(e.begin(), e.end(), "up 60,30 LS") != e.end();
  }));
  auto e = listener.withoutHover();
  EXPECT_NE(std::find(e.begin(), e.end(), "down 60,30 LS"), e.end());
}

TEST_F(RealInput, WheelStepsAreOneUpAndOneDown)
{
  movePointerAway();
  xdo({"mousemove", "--window", "%w", "100", "100", "click", "4", "click", "5"});
  ASSERT_TRUE(pumpUntilEvents(2));
  EXPECT_EQ(listener.withoutHover(), (std::vector<std::string>{"wheel +1 100,100 L", "wheel -1 100,100 L"}));
}

TEST_F(RealInput, LeavingWithoutAButtonIsAMouseOutAtOnce)
{
  xdo({"mousemove", "--window", "%w", "100", "100"});
  settle();
  listener.events.clear();
  xdo({"mousemove", "1100", "300"});
  ASSERT_TRUE(pumpUntilEvents(1));
  EXPECT_EQ(listener.withoutHover(), (std::vector<std::string>{"out"}));
}

TEST_F(RealInput, DragOutOfTheWindowReleasedOutsideEndsWithUpThenOut)
{
  movePointerAway();
  xdo({"mousemove", "--window", "%w", "100", "100", "mousedown", "1"});
  ASSERT_TRUE(pumpUntilEvents(1));
  xdo({"mousemove", "--window", "%w", "500", "150", "mousemove", "1100", "300", "mouseup", "1"});
  ASSERT_TRUE(pumpUntilEvents(3));
  EXPECT_EQ(listener.withoutHover(), (std::vector<std::string>{"down 100,100 L", "up 1100,300 L", "out"}));
  ASSERT_FALSE(listener.drags.empty());
  // Motion outside the window still reaches the drag, in window coordinates.
  EXPECT_FLOAT_EQ(listener.drags.back().x, 1100.f);
  EXPECT_FLOAT_EQ(listener.drags.back().y, 300.f);
  float sumX = 0.f;
  for (const auto& d : listener.drags)
    sumX += d.dX;
  EXPECT_FLOAT_EQ(sumX, 1000.f);
}

::Window FocusOf(Display* d)
{
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(d, &focus, &revert);
  return focus;
}

TEST_F(RealInput, KeysTypedWhileTheEditorHoldsFocusAreTranslatedAndFocusGoesBack)
{
  Display* d = parent.display();
  XSetInputFocus(d, parent.id(), RevertToParent, CurrentTime);
  XSync(d, False);
  editor.Window().TakeKeyboardFocus();
  EXPECT_EQ(FocusOf(d), editor.Window().GetWindow());

  xdo({"key", "shift+Tab", "ctrl+shift+Tab", "shift+a", "F5", "KP_Enter"});
  ASSERT_TRUE(pumpUntil([&] { return listener.keys.size() >= 5; }));
  struct Want
  {
    int32_t vk;
    std::string text;
    bool S, C;
  };
  const std::vector<Want> want{{0, "\x19", false, false},
                               {9, "\x19", true, true},
                               {65, "A", true, false},
                               {116, "", false, false},
                               {0x800D, "\r", false, false}};
  ASSERT_EQ(listener.keys.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i)
  {
    EXPECT_EQ(listener.keys[i].VK, want[i].vk) << i;
    EXPECT_EQ(std::string(listener.keys[i].utf8), want[i].text) << i;
    EXPECT_EQ(listener.keys[i].S, want[i].S) << i;
    EXPECT_EQ(listener.keys[i].C, want[i].C) << i;
  }

  editor.Window().ReturnKeyboardFocus();
  EXPECT_EQ(FocusOf(d), parent.id());
  EXPECT_FALSE(editor.Window().HoldsKeyboardFocus());
}

TEST_F(RealInput, FocusTakenAndTheEditorClosedGoesBackToTheHost)
{
  Display* d = parent.display();
  XSetInputFocus(d, parent.id(), RevertToParent, CurrentTime);
  XSync(d, False);
  editor.Window().TakeKeyboardFocus();
  editor.Close();
  EXPECT_EQ(FocusOf(d), parent.id());
}

TEST_F(RealInput, MovingThePointerIsInEditorUnitsAndALockedCursorIsHeldAtItsNewPlace)
{
  editor.SetScale(1.f, 2.f);
  xdo({"mousemove", "--window", "%w", "20", "20", "mousedown", "1"});
  ASSERT_TRUE(pumpUntilEvents(1));
  editor.Input().HideMouseCursor(true, true);
  editor.Input().MoveMouseCursor(100.f, 50.f);
  float x = 0.f, y = 0.f;
  ASSERT_TRUE(editor.Input().GetMouseLocation(x, y));
  EXPECT_FLOAT_EQ(x, 100.f);
  EXPECT_FLOAT_EQ(y, 50.f);

  listener.drags.clear();
  xdo({"mousemove_relative", "8", "4"});
  ASSERT_TRUE(pumpUntil([&] { return !listener.drags.empty(); }));
  for (int i = 0; i < 3; ++i)
    settle();
  float dX = 0.f, dY = 0.f;
  for (const auto& d : listener.drags)
  {
    dX += d.dX;
    dY += d.dY;
  }
  EXPECT_FLOAT_EQ(dX, 4.f) << "only the user's move, not the jump to the new place";
  EXPECT_FLOAT_EQ(dY, 2.f);
  ASSERT_TRUE(editor.Input().GetMouseLocation(x, y));
  EXPECT_FLOAT_EQ(x, 100.f);
  EXPECT_FLOAT_EQ(y, 50.f);
  editor.Input().HideMouseCursor(false, true);
  xdo({"mouseup", "1"});
  ASSERT_TRUE(pumpUntilEvents(2));
}

struct LockCase
{
  const char* name;
  float screenScale;
  bool pumpBetweenMoves; // false: the moves reach the server before any warp back
  float expectedDX;
};

class LockedDrag : public RealInput, public ::testing::WithParamInterface<LockCase>
{};

TEST_P(LockedDrag, HiddenLockedCursorReportsEveryMoveOnceAndStaysPut)
{
  const LockCase& c = GetParam();
  editor.SetScale(1.f, c.screenScale);
  movePointerAway();
  xdo({"mousemove", "--window", "%w", "400", "100", "mousedown", "1"});
  ASSERT_TRUE(pumpUntilEvents(1));
  editor.Input().HideMouseCursor(true, true);
  listener.drags.clear();

  auto sumDX = [&] {
    float sum = 0.f;
    for (const auto& d : listener.drags)
      sum += d.dX;
    return sum;
  };
  if (c.pumpBetweenMoves)
  {
    for (int i = 0; i < 3; ++i)
    {
      xdo({"mousemove_relative", "10", "0"});
      const float want = static_cast<float>(10 * (i + 1)) / c.screenScale;
      ASSERT_TRUE(pumpUntil([&] { return sumDX() >= want; })) << "move " << i;
    }
  }
  else
  {
    xdo({"mousemove_relative", "10", "0", "mousemove_relative", "10", "0", "mousemove_relative", "10", "0"});
    ASSERT_TRUE(pumpUntil([&] { return sumDX() >= c.expectedDX; }));
  }
  // Let every warp come back, then nothing more may be counted.
  for (int i = 0; i < 5; ++i)
    settle();
  EXPECT_FLOAT_EQ(sumDX(), c.expectedDX);

  ::Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  XQueryPointer(editor.Window().GetDisplay(), editor.Window().GetWindow(), &root, &child, &rootX, &rootY, &x, &y,
                &mask);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 100);

  editor.Input().HideMouseCursor(false, true);
  xdo({"mouseup", "1"});
  ASSERT_TRUE(pumpUntilEvents(2));
}

INSTANTIATE_TEST_SUITE_P(Moves, LockedDrag,
                         ::testing::Values(LockCase{"one_at_a_time", 1.f, true, 30.f},
                                           LockCase{"burst_before_any_warp", 1.f, false, 30.f},
                                           LockCase{"screen_scale_2", 2.f, true, 15.f}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vemlor::x11test
