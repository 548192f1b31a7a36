// The editor's child window inside the host's parent: size, GL context, run-loop registrations,
// frames, expose, open and close cycles, a parent the host destroys first, two editors at once.
#include "tests/IGfx/Platforms/editor_fixture.h"
#include "IGfx/Platforms/X11/X11ErrorTrap.h"

#include <dirent.h>

#include <GL/gl.h>

#include <cmath>

namespace vemlor::x11test {
namespace {

using plugkit::gfx::X11EditorWindow;
using plugkit::gfx::X11ErrorTrap;

int OpenDescriptors()
{
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd"))
  {
    while (readdir(dir) != nullptr)
      ++count;
    closedir(dir);
  }
  return count;
}

struct ScaleCase
{
  const char* name;
  float drawScale;
  float screenScale;
  int width;
  int height;
};

class ScaledOpen : public ::testing::TestWithParam<ScaleCase>
{};

TEST_P(ScaledOpen, ChildOfTheParentAtTruncatedPixelSizeWithCoreGLAndRegistrations)
{
  REQUIRE_X_DISPLAY();
  const ScaleCase& c = GetParam();
  testhost::Host host;
  testhost::HostWindow parent(2000, 500);
  auto loop = RunLoopFromFrame(host);
  RecordingListener listener;
  X11EditorWindow editor(listener);
  const long errorsBefore = X11ErrorTrap::TotalErrors();

  const int w = static_cast<int>(std::floor(940 * c.drawScale * c.screenScale));
  const int h = static_cast<int>(std::floor(200 * c.drawScale * c.screenScale));
  ASSERT_TRUE(editor.Open(parent.id(), w, h, loop)) << editor.Window().LastError();
  editor.SetScale(c.drawScale, c.screenScale);

  const auto children = parent.children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0].id, editor.Window().GetWindow());
  EXPECT_EQ(children[0].x, 0);
  EXPECT_EQ(children[0].y, 0);
  EXPECT_EQ(children[0].width, c.width);
  EXPECT_EQ(children[0].height, c.height);
  EXPECT_TRUE(children[0].mapped);
  EXPECT_GE(editor.Window().GLVersion(), 32);
  EXPECT_EQ(host.runLoop().timerCount(), 1);
  // The connection, and the frame timer's stand-in until the host's timer first fires.
  EXPECT_EQ(host.runLoop().eventHandlerCount(), 2);
  host.pump(X11EditorWindow::kFrameIntervalMs);
  EXPECT_EQ(host.runLoop().eventHandlerCount(), 1);

  editor.Close();
  EXPECT_TRUE(parent.children().empty());
  EXPECT_EQ(host.runLoop().timerCount(), 0);
  EXPECT_EQ(host.runLoop().eventHandlerCount(), 0);
  EXPECT_EQ(X11ErrorTrap::TotalErrors(), errorsBefore);
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledOpen,
                         ::testing::Values(ScaleCase{"unscaled", 1.f, 1.f, 940, 200},
                                           ScaleCase{"draw_scale_1_5", 1.5f, 1.f, 1410, 300},
                                           ScaleCase{"screen_scale_2", 1.f, 2.f, 1880, 400}),
                         [](const auto& info) { return std::string(info.param.name); });

using EmbedWindow = EditorFixture;

TEST_F(EmbedWindow, FrameTimerTicksEverySixteenMillisecondsOfTheHostLoop)
{
  const int before = listener.frames;
  for (int i = 0; i < 10; ++i)
    host.pump(16);
  EXPECT_EQ(listener.frames - before, 10);
  host.pump(15);
  EXPECT_EQ(listener.frames - before, 10);
}

TEST_F(EmbedWindow, UncoveringTheWindowReportsAnExpose)
{
  const int before = listener.exposes;
  // Another window over ours and gone again: the server asks us to repaint what it covered.
  Display* d = parent.display();
  ::Window cover = XCreateSimpleWindow(d, parent.id(), 10, 10, 100, 50, 0, 0, 0);
  XMapRaised(d, cover);
  XSync(d, False);
  XDestroyWindow(d, cover);
  XSync(d, False);
  EXPECT_TRUE(pumpUntil([&] { return listener.exposes > before; }));
}

TEST_F(EmbedWindow, GLContextDrawsIntoTheWindowWhenActivatedAndIsReleasedAfter)
{
  auto& window = editor.Window();
  ASSERT_TRUE(window.ActivateGLContext());
  glViewport(0, 0, window.Width(), window.Height());
  glClearColor(0.f, 1.f, 0.f, 1.f);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  window.SwapBuffers();
  window.DeactivateGLContext();
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 255);
  EXPECT_EQ(glXGetCurrentContext(), nullptr);
}

TEST_F(EmbedWindow, HostResizingTheWindowIsReportedInPixels)
{
  XResizeWindow(parent.display(), editor.Window().GetWindow(), 1410, 300);
  XFlush(parent.display());
  EXPECT_TRUE(pumpUntil([&] { return editor.Window().Width() == 1410; }));
  EXPECT_EQ(editor.Window().Height(), 300);
}

TEST(EmbedWindowLifetime, OpeningAndClosingAHundredTimesLeavesNoWindowDescriptorOrRegistration)
{
  REQUIRE_X_DISPLAY();
  testhost::Host host;
  testhost::HostWindow parent(1000, 300);
  auto loop = RunLoopFromFrame(host);
  RecordingListener listener;
  X11EditorWindow editor(listener);
  const long errorsBefore = X11ErrorTrap::TotalErrors();
  // The GL driver keeps some process-wide state after its first context: count from there.
  ASSERT_TRUE(editor.Open(parent.id(), 940, 200, loop));
  editor.Close();
  const int descriptors = OpenDescriptors();

  for (int i = 0; i < 100; ++i)
  {
    ASSERT_TRUE(editor.Open(parent.id(), 940, 200, loop)) << "cycle " << i << ": " << editor.Window().LastError();
    host.pump(16);
    editor.Close();
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_TRUE(parent.children().empty());
  EXPECT_EQ(host.runLoop().timerCount() + host.runLoop().eventHandlerCount(), 0);
  EXPECT_EQ(X11ErrorTrap::TotalErrors(), errorsBefore);
}

TEST(EmbedWindowLifetime, AParentTheHostDestroysFirstClosesTheEditorWithoutEndingTheProcess)
{
  REQUIRE_X_DISPLAY();
  testhost::Host host;
  testhost::HostWindow parent(1000, 300);
  auto loop = RunLoopFromFrame(host);
  RecordingListener listener;
  X11EditorWindow editor(listener);
  ASSERT_TRUE(editor.Open(parent.id(), 940, 200, loop));
  parent.destroy();
  EXPECT_TRUE(PumpUntil(host.runLoop(), [&] { return listener.lost > 0; }, {editor.Window().ConnectionFD()}));
  editor.Close(); // destroys a window the server no longer has: recorded, not fatal
  EXPECT_FALSE(editor.IsOpen());
  EXPECT_EQ(host.runLoop().timerCount() + host.runLoop().eventHandlerCount(), 0);
}

TEST(EmbedWindowLifetime, AParentThatDoesNotExistOpensNothing)
{
  REQUIRE_X_DISPLAY();
  testhost::Host host;
  auto loop = RunLoopFromFrame(host);
  RecordingListener listener;
  X11EditorWindow editor(listener);
  EXPECT_FALSE(editor.Open(0x7FFFFF0, 940, 200, loop));
  EXPECT_FALSE(editor.IsOpen());
  EXPECT_FALSE(editor.Window().LastError().empty());
  EXPECT_EQ(host.runLoop().timerCount() + host.runLoop().eventHandlerCount(), 0);
}

TEST(EmbedWindowLifetime, ALoopThatTakesNoDescriptorsStillDeliversEventsFromTheFrameTick)
{
  REQUIRE_X_DISPLAY();
  struct TimersOnly : testhost::RunLoop
  {
    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler*,
                                                       Steinberg::Linux::FileDescriptor) override
    {
      return Steinberg::kNotImplemented;
    }
  } loop;
  testhost::HostWindow parent(1000, 300);
  RecordingListener listener;
  X11EditorWindow editor(listener);
  ASSERT_TRUE(editor.Open(parent.id(), 940, 200, &loop));
  EXPECT_EQ(loop.eventHandlerCount(), 0);
  EXPECT_TRUE(PumpUntil(loop, [&] { return listener.exposes > 0; }, {editor.Window().ConnectionFD()}));
  editor.Close();
  EXPECT_EQ(loop.timerCount(), 0);
}

TEST(EmbedWindowLifetime, TwoEditorsInTwoParentsRunSideBySide)
{
  REQUIRE_X_DISPLAY();
  testhost::Host host;
  auto loop = RunLoopFromFrame(host);
  testhost::HostWindow parentA(1000, 300);
  testhost::HostWindow parentB(1000, 300);
  XMoveWindow(parentB.display(), parentB.id(), 0, 400); // side by side, so both are exposed
  XSync(parentB.display(), False);
  RecordingListener a;
  RecordingListener b;
  X11EditorWindow editorA(a);
  X11EditorWindow editorB(b);
  ASSERT_TRUE(editorA.Open(parentA.id(), 940, 200, loop));
  ASSERT_TRUE(editorB.Open(parentB.id(), 940, 200, loop));
  EXPECT_TRUE(PumpUntil(host.runLoop(),
                        [&] { return a.exposes > 0 && b.exposes > 0 && a.frames >= 3 && b.frames >= 3; },
                        {editorA.Window().ConnectionFD(), editorB.Window().ConnectionFD()}));
  editorA.Close();
  host.pump(16);
  const int framesB = b.frames;
  host.pump(16);
  EXPECT_EQ(b.frames, framesB + 1);
  EXPECT_EQ(parentB.children().size(), 1u);
}

} // namespace
} // namespace vemlor::x11test
