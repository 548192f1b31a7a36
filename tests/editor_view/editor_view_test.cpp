// The VST3 editor view in the test host's real X11 window, driven through the run loop its frame
// offers: sizes at every scale, frames only for dirt, Expose without drawing, repeated and parallel
// opening, real pointer input reaching the host as one edit, and keys the host forwards.
#include "tests/editor_view/view_session.h"

#include <X11/Xlib.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "IGfx/Controls/ICaptionControl.h"
#include "IPlugin/VST3/IPluginVST3View.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

namespace vemlor::viewtest {
namespace {

using namespace Steinberg;
using vemlor::testhost::HandlerCall;

struct SizeCase
{
  const char* name;
  float drawScale, screenScale;
  int width, height;
};

class EditorViewSize : public ::testing::TestWithParam<SizeCase>
{};

TEST_P(EditorViewSize, OpensInTheHostWindowAtEditorSizeTimesBothScales)
{
  REQUIRE_X_DISPLAY();
  const SizeCase& c = GetParam();
  ViewSession s(c.drawScale);
  ASSERT_TRUE(s.initialized);
  ASSERT_TRUE(s.open(c.screenScale));
  ASSERT_TRUE(s.waitForFirstFrame());

  const auto children = s.parent.children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].width, c.width);
  EXPECT_EQ(children[0].height, c.height);
  ViewRect rect;
  ASSERT_EQ(s.view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), c.width);
  EXPECT_EQ(rect.getHeight(), c.height);
  // Pointer positions come back in editor units.
  EXPECT_FLOAT_EQ(s.ui()->EditorWindow().Input().Scale(), c.drawScale * c.screenScale);
  EXPECT_TRUE(s.screenshot(std::string("editor_view_") + c.name));

  ASSERT_TRUE(s.close());
  EXPECT_TRUE(s.parent.children().empty());
  EXPECT_EQ(s.host.runLoop().timerCount(), 0);
  EXPECT_EQ(s.host.runLoop().eventHandlerCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorViewSize,
                         ::testing::Values(SizeCase{"unscaled", 1.f, 1.f, 940, 200},
                                           SizeCase{"draw_scale_1_5", 1.5f, 1.f, 1410, 300},
                                           SizeCase{"screen_scale_2", 1.f, 2.f, 1880, 400}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EditorView, ContentScaleChangeWhileOpenResizesWindowAndAsksTheHost)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(s.view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)), kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(2.f), kResultOk);
  EXPECT_NE(scaling->setContentScaleFactor(0.f), kResultOk);
  scaling->release();
  ASSERT_TRUE(s.pumpUntil([&] {
    const auto children = s.parent.children();
    return !children.empty() && children[0].width == 1880 && children[0].height == 400;
  }));
  ASSERT_FALSE(s.host.frame().resizeRequests().empty());
  EXPECT_EQ(s.host.frame().resizeRequests().back().getWidth(), 1880);
  EXPECT_EQ(s.host.frame().resizeRequests().back().getHeight(), 400);
}

TEST(EditorView, PlatformTypesOtherThanX11EmbedAreRefused)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  IPlugView* view = s.plug->createView(Vst::ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  for (const char* type : {kPlatformTypeHWND, kPlatformTypeNSView, kPlatformTypeHIView, "x11embedwindowid", ""})
  {
    SCOPED_TRACE(type);
    EXPECT_EQ(view->isPlatformTypeSupported(type), kResultFalse);
    EXPECT_EQ(view->attached(s.parent.parent(), type), kResultFalse);
  }
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_TRUE(s.parent.children().empty());
  EXPECT_EQ(s.plug->GetUI(), nullptr);
  view->release();
  EXPECT_EQ(s.plug->createView("other"), nullptr);
  EXPECT_EQ(s.plug->createView(nullptr), nullptr);
}

TEST(EditorView, DrawsInAHostWhoseLoopNeverCallsItsTimers)
{
  // Such a host takes the frame timer and serves only descriptors: the editor still draws, and
  // keeps drawing what changes.
  REQUIRE_X_DISPLAY();
  ViewSession s;
  s.host.runLoop().callsTimers = false;
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  EXPECT_TRUE(s.screenshot("editor_view_timerless_host"));
  const int frames = s.ui()->NFramesDrawn();
  s.plug->Knob()->SetDirty(false);
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NFramesDrawn() > frames; }));
  EXPECT_TRUE(s.close());
}

TEST(EditorView, FramesOnlyForDirtAndExposeShowsTheLastFrameWithoutDrawing)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  KnobControl* knob = s.plug->Knob();
  ASSERT_NE(knob, nullptr);

  const int frames = s.ui()->NFramesDrawn();
  const int draws = knob->draws;
  for (int i = 0; i < 30; ++i)
    s.host.pump(16);
  EXPECT_EQ(s.ui()->NFramesDrawn(), frames);

  // The server tells the window its content is lost.
  const int blits = s.ui()->NExposeBlits();
  XClearArea(s.parent.display(), s.childWindow(), 0, 0, 0, 0, True);
  XFlush(s.parent.display());
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NExposeBlits() > blits; }));
  EXPECT_EQ(s.ui()->NFramesDrawn(), frames);
  EXPECT_EQ(knob->draws, draws);

  knob->SetDirty(false);
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->NFramesDrawn() > frames; }));
  EXPECT_EQ(s.ui()->NFramesDrawn(), frames + 1);
  EXPECT_EQ(knob->draws, draws + 1);
}

TEST(EditorView, ClosingAndReopeningAHundredTimesLeavesNothingBehind)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  for (int i = 0; i < 100; ++i)
  {
    ASSERT_TRUE(s.open()) << "cycle " << i;
    s.host.pump(16);
    ASSERT_TRUE(s.close()) << "cycle " << i;
  }
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  EXPECT_EQ(s.parent.children().size(), 1u);
  ASSERT_TRUE(s.close());
  XSync(s.parent.display(), False);
  EXPECT_TRUE(s.parent.children().empty());
  EXPECT_EQ(s.host.runLoop().timerCount(), 0);
  EXPECT_EQ(s.host.runLoop().eventHandlerCount(), 0);
}

TEST(EditorView, TwoInstancesShowTheirEditorsAtOnce)
{
  REQUIRE_X_DISPLAY();
  ViewSession a, b;
  ASSERT_TRUE(a.open());
  ASSERT_TRUE(b.open(2.f));
  ASSERT_TRUE(a.waitForFirstFrame());
  ASSERT_TRUE(b.waitForFirstFrame());
  a.plug->Knob()->SetDirty(false);
  b.plug->Knob()->SetDirty(false);
  const int framesA = a.ui()->NFramesDrawn(), framesB = b.ui()->NFramesDrawn();
  ASSERT_TRUE(a.pumpUntil([&] { return a.ui()->NFramesDrawn() > framesA; }));
  ASSERT_TRUE(b.pumpUntil([&] { return b.ui()->NFramesDrawn() > framesB; }));
  EXPECT_EQ(a.parent.children().at(0).width, 940);
  EXPECT_EQ(b.parent.children().at(0).width, 1880);
  EXPECT_TRUE(a.close());
  // The other editor keeps drawing after the first closed.
  b.plug->Knob()->SetDirty(false);
  const int after = b.ui()->NFramesDrawn();
  ASSERT_TRUE(b.pumpUntil([&] { return b.ui()->NFramesDrawn() > after; }));
}

TEST(EditorView, HostWithoutRunLoopAnywhereGetsNoEditor)
{
  REQUIRE_X_DISPLAY();
  ViewSession s;
  IPlugView* view = s.plug->createView(Vst::ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  // No frame: no run loop to draw on.
  EXPECT_EQ(view->attached(s.parent.parent(), kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_TRUE(s.parent.children().empty());
  view->release();
}

// Real pointer input through the X server (XTest).
class EditorViewInput : public ::testing::Test
{
protected:
  void xdo(const std::vector<std::string>& args)
  {
    std::vector<std::string> argv{"xdotool"};
    for (const std::string& a : args)
      argv.push_back(a == "%w" ? std::to_string(s.childWindow()) : a);
    int status = 0;
    for (int attempt = 0; attempt < 3 && (status = x11test::RunTool(argv)) == 1; ++attempt)
    {}
    ASSERT_EQ(status, 0);
  }

  ViewSession s;
};

TEST_F(EditorViewInput, DragOnTheKnobIsOneEditAtTheHost)
{
  REQUIRE_X_DISPLAY();
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  s.host.handler().clearCalls();
  const double before = s.plug->GetParam(0)->GetNormalized();

  xdo({"mousemove", "--window", "%w", "100", "100", "mousedown", "1"});
  for (int y : {90, 80, 70})
    xdo({"mousemove", "--window", "%w", "100", std::to_string(y)});
  xdo({"mouseup", "1"});
  const auto& calls = s.host.handler().calls();
  auto has = [&](HandlerCall::Kind kind) {
    for (const HandlerCall& c : calls)
      if (c.kind == kind)
        return true;
    return false;
  };
  ASSERT_TRUE(s.pumpUntil([&] { return has(HandlerCall::Kind::EndEdit); }));

  std::vector<HandlerCall> edits;
  for (const HandlerCall& c : calls)
    if (c.kind == HandlerCall::Kind::BeginEdit || c.kind == HandlerCall::Kind::PerformEdit ||
        c.kind == HandlerCall::Kind::EndEdit)
      edits.push_back(c);
  ASSERT_GE(edits.size(), 3u);
  EXPECT_EQ(edits.front().kind, HandlerCall::Kind::BeginEdit);
  EXPECT_EQ(edits.back().kind, HandlerCall::Kind::EndEdit);
  for (size_t i = 1; i + 1 < edits.size(); ++i)
    EXPECT_EQ(edits[i].kind, HandlerCall::Kind::PerformEdit) << i;
  for (const HandlerCall& c : edits)
  {
    EXPECT_EQ(c.id, 0u);
    EXPECT_TRUE(c.onMainThread);
  }
  // 30 px up at 100 px for the whole range.
  EXPECT_NEAR(s.plug->GetParam(0)->GetNormalized(), before + 0.3, 1e-6);
  EXPECT_NEAR(edits[edits.size() - 2].value, before + 0.3, 1e-6);
}

TEST_F(EditorViewInput, TypingIntoTheInEditorTextEntrySetsTheParameter)
{
  REQUIRE_X_DISPLAY();
  s.plug->extraLayout = [](plugkit::gfx::IGfx* g) {
    g->AttachControl(new plugkit::gfx::ICaptionControl(plugkit::gfx::IRECT(300.f, 80.f, 400.f, 120.f), 0));
  };
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  xdo({"mousemove", "--window", "%w", "350", "100", "click", "1"});
  ASSERT_TRUE(s.pumpUntil([&] { return s.ui()->GetControlInTextEntry() != nullptr; }));
  // Typed as a user types: into whichever window has the keyboard, which the open entry took.
  xdo({"type", "0.25"});
  xdo({"key", "Return"});
  ASSERT_TRUE(s.pumpUntil([&] { return std::abs(s.plug->GetParam(0)->Value() - 0.25) < 1e-9; }));
  EXPECT_EQ(s.ui()->GetControlInTextEntry(), nullptr);
}

TEST_F(EditorViewInput, HostKeysReachTheControlUnderThePointerAndUntakenKeysGoBack)
{
  REQUIRE_X_DISPLAY();
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  xdo({"mousemove", "--window", "%w", "100", "100"});
  XSync(s.ui()->EditorWindow().Window().GetDisplay(), False);
  EXPECT_EQ(s.view->onKeyDown('k', 0, 0), kResultTrue);
  EXPECT_EQ(s.plug->Knob()->keys, 1);
  EXPECT_EQ(s.view->onKeyDown('q', 0, 0), kResultFalse);
  EXPECT_EQ(s.view->onKeyDown(0, 40 /* F1 */, 0), kResultFalse);
  EXPECT_EQ(s.plug->Knob()->keys, 1);
}

TEST_F(EditorViewInput, UnderReaperOnlySpaceReachesTheEditor)
{
  REQUIRE_X_DISPLAY();
  s.plug->SetHost("REAPER", 0);
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  xdo({"mousemove", "--window", "%w", "100", "100"});
  XSync(s.ui()->EditorWindow().Window().GetDisplay(), False);
  EXPECT_EQ(s.view->onKeyDown('k', 0, 0), kResultFalse);
  EXPECT_EQ(s.view->onKeyDown(0, 40 /* F1 */, 0), kResultFalse);
  EXPECT_EQ(s.view->onKeyDown(' ', 7 /* space */, 1 /* shift */), kResultFalse);
  EXPECT_EQ(s.plug->Knob()->keysSeen, std::vector<int>{32});
}

struct IdleLoopCase
{
  const char* name;
  bool offerRunLoopOnContext;
  int timersWhileClosed; // the idle timer, when the host's context gives a loop
};

class EditorViewIdleLoop : public ::testing::TestWithParam<IdleLoopCase>
{};

// Without a loop at initialize, the plug-in's idle timer runs on the view frame's loop while the
// editor is attached, beside the frame timer.
TEST_P(EditorViewIdleLoop, IdleTimerRunsOnTheContextLoopElseOnTheFrameLoopWhileAttached)
{
  REQUIRE_X_DISPLAY();
  ViewSession s(1.f, GetParam().offerRunLoopOnContext);
  ASSERT_TRUE(s.initialized);
  EXPECT_EQ(s.host.runLoop().timerCount(), GetParam().timersWhileClosed);
  ASSERT_TRUE(s.open());
  ASSERT_TRUE(s.waitForFirstFrame());
  EXPECT_EQ(s.host.runLoop().timerCount(), 2);
  ASSERT_TRUE(s.close());
  EXPECT_EQ(s.host.runLoop().timerCount(), GetParam().timersWhileClosed);
}

INSTANTIATE_TEST_SUITE_P(Hosts, EditorViewIdleLoop,
                         ::testing::Values(IdleLoopCase{"loop_on_context", true, 1},
                                           IdleLoopCase{"loop_on_frame_only", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vemlor::viewtest
