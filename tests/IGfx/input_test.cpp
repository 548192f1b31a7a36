#include <gtest/gtest.h>

#include "IPlugin/IPluginParameter.h"
#include "tests/gfx_harness/editor_session.h"
#include "tests/gfx_harness/recording_control.h"

namespace plugkit::gfx::test {
namespace {

using Strings = std::vector<std::string>;

TEST(InputTest, RightClickOnParameterOpensHostMenuAndBeginsNothing)
{
  struct Case
  {
    const char* name;
    float drawScale;
    float screenScale;
    float x, y;
    Steinberg::UCoord hostX, hostY;
  };
  // The host places its menu in the view's pixels: UI position x draw scale x screen scale.
  for (const Case& c :
       {Case{"scale 1", 1.f, 1.f, 15.f, 17.5f, 15, 17}, Case{"scale 1.5", 1.5f, 1.f, 15.f, 17.5f, 22, 26},
        Case{"screen 2", 1.f, 2.f, 15.f, 17.5f, 30, 35}, Case{"scale 1.5 screen 2", 1.5f, 2.f, 15.f, 17.5f, 45, 52}})
  {
    EditorSession s(8, 940, 200, c.drawScale);
    s.G().SetScreenScale(c.screenScale);
    auto* knob = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 5);
    knob->baseMouseDown = true;
    knob->DisablePrompt(false);
    knob->contextItems = {{"A", 0}, {"Checked", IPopupMenu::Item::kChecked}};
    s.dlg.log.clear();

    s.Input().Press(c.x, c.y, InputDriver::Right());
    s.Input().Release(c.x, c.y, InputDriver::Right());

    EXPECT_EQ(Strings{"menu 5"}, s.handler->Log()) << c.name;
    ASSERT_NE(nullptr, s.handler->LastMenu()) << c.name;
    EXPECT_EQ(1, s.handler->LastMenu()->PopupCount());
    EXPECT_EQ(c.hostX, s.handler->LastMenu()->PopupX()) << c.name;
    EXPECT_EQ(c.hostY, s.handler->LastMenu()->PopupY()) << c.name;
    EXPECT_EQ(0, knob->Count("down")) << c.name;
    EXPECT_EQ(0, knob->Count("up")) << c.name;
    EXPECT_TRUE(s.dlg.log.empty()) << c.name; // no begin, no end, no value
    EXPECT_TRUE(s.platform.menusShown.empty()) << c.name;
  }
}

TEST(InputTest, HostMenuItemsFlagsAndTags)
{
  EditorSession s;
  auto* knob = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 2);
  struct Row
  {
    const char* text;
    int flags;
  };
  knob->contextItems = {
    {"A", 0}, {"Off", IPopupMenu::Item::kDisabled}, {"On", IPopupMenu::Item::kChecked | IPopupMenu::Item::kDisabled}};
  s.Input().Click(20, 20, InputDriver::Right());

  const auto& entries = s.handler->LastMenu()->Entries();
  ASSERT_EQ(3u, entries.size());
  const Row expected[] = {{"A", 0}, {"Off", 2}, {"On", 6}};
  for (int i = 0; i < 3; ++i)
  {
    EXPECT_EQ(expected[i].text, entries[static_cast<size_t>(i)].text);
    EXPECT_EQ(expected[i].flags, entries[static_cast<size_t>(i)].flags) << expected[i].text;
    EXPECT_EQ(i, entries[static_cast<size_t>(i)].tag);
    EXPECT_EQ(static_cast<Steinberg::Vst::IContextMenuTarget*>(knob), entries[static_cast<size_t>(i)].target);
  }

  // Choosing an item reaches the control with the menu's own numbering.
  ASSERT_TRUE(s.handler->LastMenu()->Choose(1));
  EXPECT_EQ(1, knob->Count("context 1"));
}

// A control whose menu has a submenu and a separator, and a non-ASCII text.
class NestedMenuControl : public RecordingControl
{
public:
  using RecordingControl::RecordingControl;
  void CreateContextMenu(IPopupMenu& menu) override
  {
    menu.AddItem("A");
    auto* sub = new IPopupMenu();
    sub->AddItem("C");
    menu.AddItem("B", sub);
    menu.AddSeparator();
    menu.AddItem("Fréquence ♪");
  }
};

TEST(InputTest, HostMenuNumbersSubmenusAndConvertsTexts)
{
  EditorSession s;
  s.Attach<NestedMenuControl>(IRECT(10, 10, 30, 30), 1);
  s.Input().Click(20, 20, InputDriver::Right());
  const auto& e = s.handler->LastMenu()->Entries();
  ASSERT_EQ(6u, e.size());
  const struct
  {
    const char* text;
    int flags;
  } expected[] = {{"A", 0}, {"B", 10}, {"C", 0}, {"B", 17}, {"", 1}, {"Fréquence ♪", 0}};
  for (size_t i = 0; i < e.size(); ++i)
  {
    EXPECT_EQ(static_cast<int>(i), e[i].tag);
    EXPECT_EQ(expected[i].flags, e[i].flags) << i;
    EXPECT_EQ(expected[i].text, e[i].text) << i;
  }
}

TEST(InputTest, HostWithoutMenusShowsNothing)
{
  EditorSession s;
  s.handler->offersMenus = false;
  auto* knob = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 5);
  s.Input().Click(20, 20, InputDriver::Right());
  EXPECT_EQ(Strings{"menu 5"}, s.handler->Log());
  EXPECT_EQ(0, knob->Count("down"));
}

TEST(InputTest, RightClickWithoutParameterGoesToTheControl)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  s.Input().Click(20, 20, InputDriver::Right());
  EXPECT_EQ(1, c->Count("down"));
  EXPECT_TRUE(s.handler->Log().empty());
}

TEST(InputTest, PressAndReleaseBracketEveryLinkedParameterOnce)
{
  EditorSession s;
  auto* multi = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), std::vector<int>{3, -1, 4}, "xy");
  s.dlg.log.clear();

  s.Input().Press(20, 20);
  s.Input().DragTo(22, 20);
  s.Input().DragTo(22, 25);
  s.Input().Release(22, 25);
  EXPECT_EQ((Strings{"begin 3", "begin 4", "end 3", "end 4"}), s.dlg.log);
  EXPECT_EQ((Strings{"down 20 20", "drag 22 20 2 0", "drag 22 25 0 5", "up"}),
            Strings(multi->events.begin() + static_cast<long>(multi->events.size() - 4), multi->events.end()));
  EXPECT_FALSE(s.G().ControlIsCaptured());
}

TEST(InputTest, DragsWithoutMovementAreDropped)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  s.Input().Press(20, 20);
  s.Input().DragTo(20, 20);
  s.Input().DragTo(21, 20);
  s.Input().Release(21, 20);
  EXPECT_EQ(1, c->Count("drag"));
}

TEST(InputTest, DragsGoToTheCapturedControlEvenOutsideIt)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  auto* other = s.Attach<RecordingControl>(IRECT(100, 10, 130, 30), 2);
  s.Input().Press(20, 20);
  s.Input().DragTo(110, 20);
  s.Input().Release(110, 20);
  EXPECT_EQ(1, c->Count("drag"));
  EXPECT_EQ(0, other->Count("drag"));
  EXPECT_EQ(0, other->Count("down"));
}

TEST(InputTest, DoubleClickAsSingleClickBracketsOneEdit)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 6);
  c->SetDblAsSingleClick(true);
  s.dlg.log.clear();
  EXPECT_TRUE(s.Input().DoubleClick(20, 20));
  s.Input().Release(20, 20);
  EXPECT_EQ((Strings{"begin 6", "end 6"}), s.dlg.log);
  EXPECT_EQ(1, c->Count("down"));
  EXPECT_EQ(0, c->Count("dbl"));
}

TEST(InputTest, DoubleClickResetsToDefaultAndReleasesCapture)
{
  EditorSession s;
  s.dlg.GetParam(6)->InitDouble("gain", 0.25, 0., 1., 0.01);
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 6);
  c->SetValue(0.9);
  s.dlg.log.clear();
  EXPECT_TRUE(s.Input().DoubleClick(20, 20));
  EXPECT_DOUBLE_EQ(0.25, c->GetValue());
  EXPECT_EQ((Strings{"send 6 0.25"}), s.dlg.log);
  EXPECT_FALSE(s.G().ControlIsCaptured());
  EXPECT_FALSE(s.Input().DoubleClick(500, 150));
}

TEST(InputTest, BackgroundNeverGetsHoverOrKeys)
{
  EditorSession s;
  auto* bg = s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "bg");
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), -1, "c");
  s.G().EnableMouseOver(true);
  int keysToHandler = 0;
  s.G().SetKeyHandlerFunc([&keysToHandler](const IKeyPress&, bool) {
    ++keysToHandler;
    return true;
  });

  EXPECT_FALSE(s.Input().Hover(500, 150));
  EXPECT_TRUE(s.Input().KeyDown('Q', 500, 150));
  EXPECT_EQ(0, bg->Count("over"));
  EXPECT_EQ(0, bg->Count("key"));
  EXPECT_EQ(1, keysToHandler);

  // A control that does not take the key passes it to the handler too.
  EXPECT_TRUE(s.Input().KeyDown('Q', 20, 20));
  EXPECT_EQ(1, c->Count("key"));
  EXPECT_EQ(2, keysToHandler);
  c->handlesKeys = true;
  EXPECT_TRUE(s.Input().KeyDown('Q', 20, 20));
  EXPECT_EQ(2, keysToHandler);

  s.G().SetKeyHandlerFunc(nullptr);
  EXPECT_FALSE(s.Input().KeyDown('Q', 500, 150)); // the host may use it
}

TEST(InputTest, HoverMovesBetweenControlsAndLeavingClearsIt)
{
  EditorSession s;
  s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "bg");
  auto* a = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), -1, "a");
  auto* b = s.Attach<RecordingControl>(IRECT(40, 10, 60, 30), -1, "b");
  EXPECT_FALSE(s.Input().Hover(20, 20)); // hover tracking is off
  s.G().EnableMouseOver(true);
  EXPECT_TRUE(s.Input().Hover(20, 20));
  EXPECT_TRUE(s.Input().Hover(50, 20));
  EXPECT_EQ((Strings{"over", "out"}), Strings(a->events.end() - 2, a->events.end()));
  EXPECT_EQ(b, s.G().GetMouseOver());
  EXPECT_EQ(s.G().GetControlIdx(b), s.G().GetMouseOverIdx());
  s.Input().Leave();
  EXPECT_EQ(nullptr, s.G().GetMouseOver());
  EXPECT_EQ(-1, s.G().GetMouseOverIdx());
  EXPECT_EQ(ECursor::ARROW, s.platform.cursorsSet.back());
}

TEST(InputTest, DisabledControlsAndTheirFlags)
{
  struct Case
  {
    const char* name;
    bool eventsWhenDisabled;
    bool overWhenDisabled;
    int downs;
    bool hovered;
  };
  const Case cases[] = {{"plain disabled", false, false, 0, false},
                        {"mouse events when disabled", true, false, 1, false},
                        {"mouse over when disabled", false, true, 0, true}};
  for (const Case& c : cases)
  {
    EditorSession s;
    s.G().EnableMouseOver(true);
    s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "bg");
    auto* ctrl = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
    ctrl->SetDisabled(true);
    ctrl->SetMouseEventsWhenDisabled(c.eventsWhenDisabled);
    ctrl->SetMouseOverWhenDisabled(c.overWhenDisabled);
    s.Input().Click(20, 20);
    EXPECT_EQ(c.downs, ctrl->Count("down")) << c.name;
    EXPECT_EQ(c.hovered, s.Input().Hover(20, 20)) << c.name;
  }
}

TEST(InputTest, TopmostHitControlWinsAndIgnoredOnesAreSkipped)
{
  EditorSession s;
  auto* below = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), -1, "below");
  auto* above = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), -1, "above");
  s.Input().Click(20, 20);
  EXPECT_EQ(1, above->Count("down"));
  EXPECT_EQ(0, below->Count("down"));
  above->SetIgnoreMouse(true);
  s.Input().Click(20, 20);
  EXPECT_EQ(1, below->Count("down"));
  EXPECT_TRUE(s.Input().Wheel(20, 20, 1.5f));
  EXPECT_EQ(1, below->Count("wheel 1.5"));
  EXPECT_FALSE(s.Input().Wheel(500, 150, 1.f));
}

TEST(InputTest, WheelDropsAndDblClickReachControlUnderPointer)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  s.G().OnDrop("/a/b.fxp", 20, 20);
  s.G().OnDropMultiple({"/first", "/second"}, 20, 20);
  s.G().OnDropMultiple({}, 20, 20);
  EXPECT_EQ((Strings{"drop /a/b.fxp", "drop /first"}), Strings(c->events.end() - 2, c->events.end()));
}

TEST(InputTest, KeysThroughTheDelegateUseThePointerPosition)
{
  EditorSession s;
  s.Attach<RecordingControl>(IRECT(0, 0, 940, 200), -1, "bg");
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30));
  c->handlesKeys = true;
  s.platform.mouseX = 20;
  s.platform.mouseY = 20;
  IKeyPress key;
  key.VK = 'K';
  EXPECT_TRUE(s.dlg.OnKeyDown(key));
  EXPECT_EQ(1, c->Count("key 75"));
  s.platform.mouseX = 500;
  EXPECT_FALSE(s.dlg.OnKeyDown(key));
}

class QwertyTest : public ::testing::Test
{
protected:
  QwertyTest()
  {
    s.G().SetQwertyMidiKeyHandlerFunc([this](const IMidiMsg& msg) { sent.push_back(msg); });
    Reset();
  }

  // The keyboard state is process-wide: bring it back to the start (base 48, nothing held). An
  // octave change releases every held note.
  void Reset()
  {
    for (int i = 0; i < 7; ++i)
      s.Input().Tap('Z');
    s.Input().Tap('X');
    s.Input().Tap('X');
    sent.clear();
    s.dlg.log.clear();
  }

  Strings Notes() const
  {
    Strings out;
    for (const IMidiMsg& m : sent)
      out.push_back((m.mStatus == 144 ? "on " : "off ") + std::to_string(m.mData1));
    return out;
  }

  EditorSession s;
  std::vector<IMidiMsg> sent;
};

TEST_F(QwertyTest, KeySequences)
{
  struct Step
  {
    int vk;
    bool up;
  };
  struct Case
  {
    const char* name;
    std::vector<Step> steps;
    Strings notes;
  };
  const Case cases[] = {
    {"A plays the base note", {{'A', false}, {'A', true}}, {"on 48", "off 48"}},
    {"X then A an octave up", {{'X', false}, {'X', true}, {'A', false}, {'A', true}}, {"on 60", "off 60"}},
    {"Z four times stops at 24",
     {{'Z', false}, {'Z', false}, {'Z', false}, {'Z', false}, {'A', false}, {'A', true}},
     {"on 24", "off 24"}},
    {"X seven times stops at 96",
     {{'X', false}, {'X', false}, {'X', false}, {'X', false}, {'X', false}, {'X', false}, {'X', false}, {'A', false}},
     {"on 96"}},
    {"hold A, press X: note-off at once, nothing on release",
     {{'A', false}, {'X', false}, {'A', true}, {'A', false}},
     {"on 48", "off 48", "on 60"}},
    {"auto-repeat plays once", {{'W', false}, {'W', false}, {'W', false}, {'W', true}}, {"on 49", "off 49"}},
    {"other keys send nothing", {{'Q', false}, {'1', false}, {'Q', true}}, {}},
  };
  for (const Case& c : cases)
  {
    Reset();
    for (const Step& step : c.steps)
    {
      const bool handled = step.up ? s.Input().KeyUp(step.vk) : s.Input().KeyDown(step.vk);
      EXPECT_TRUE(handled) << c.name;
    }
    EXPECT_EQ(c.notes, Notes()) << c.name;
  }
  Reset();
}

TEST_F(QwertyTest, MessagesGoToThePluginFirstOnChannelOne)
{
  s.Input().KeyDown('A');
  ASSERT_EQ(1u, sent.size());
  EXPECT_EQ(0, sent[0].mOffset);
  EXPECT_EQ(127, sent[0].mData2);
  EXPECT_EQ(Strings{"midi 144 48 127"}, s.dlg.log);
  s.Input().KeyUp('A');
}

} // namespace
} // namespace plugkit::gfx::test

namespace plugkit::gfx::test {
namespace {

// Hides the cursor while pressed, as knobs do.
class CursorHidingControl : public RecordingControl
{
public:
  using RecordingControl::RecordingControl;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override
  {
    RecordingControl::OnMouseDown(x, y, mod);
    GetUI()->HideMouseCursor(true, true);
  }
};

TEST(InputTest, ReleasingCaptureShowsAHiddenCursor)
{
  EditorSession s;
  auto* c = s.Attach<CursorHidingControl>(IRECT(10, 10, 30, 30), 1);
  s.Input().Press(20, 20);
  ASSERT_TRUE(s.G().CursorIsHidden());
  s.G().RemoveControl(c);
  EXPECT_FALSE(s.G().ControlIsCaptured());
  EXPECT_EQ((std::vector<std::pair<bool, bool>>{{true, true}, {false, true}}), s.platform.cursorHides);
  EXPECT_FALSE(s.G().CursorIsHidden());
}

TEST(InputTest, BubbleRequestWithoutBubbleDoesNothing)
{
  EditorSession s;
  auto* c = s.Attach<RecordingControl>(IRECT(10, 10, 30, 30), 1);
  s.G().ShowBubbleControl(c, 30, 20, "0.5");
  ShowBubbleHorizontalActionFunc(c);
  EXPECT_EQ(0, s.G().NBubbles());
}

} // namespace
} // namespace plugkit::gfx::test

namespace plugkit::gfx::test {
namespace {

// Removes itself when released, as a control closing a panel might.
class SelfRemovingControl : public RecordingControl
{
public:
  using RecordingControl::RecordingControl;
  void OnMouseUp(float, float, const IMouseMod&) override { GetUI()->RemoveControl(this); }
};

TEST(InputTest, EditsEndEvenWhenTheReleaseRemovesTheControl)
{
  EditorSession s;
  s.Attach<SelfRemovingControl>(IRECT(10, 10, 30, 30), std::vector<int>{1, 2}, "gone");
  s.dlg.log.clear();
  s.Input().Click(20, 20);
  EXPECT_EQ((Strings{"begin 1", "begin 2", "end 1", "end 2"}), s.dlg.log);
  EXPECT_EQ(0, s.G().NControls());
}

} // namespace
} // namespace plugkit::gfx::test
