// An editor window opened the way a view opens it: inside the test host's real parent window, with
// the run loop the host offers through its plug frame.
#pragma once

#include "tests/IGfx/Platforms/x11_test_support.h"
#include "tests/host/host_window.h"

#include "pluginterfaces/base/smartpointer.h"

namespace vemlor::x11test {

// The run loop as a view gets it: queried from the host's IPlugFrame.
inline Steinberg::IPtr<Steinberg::Linux::IRunLoop> RunLoopFromFrame(vemlor::testhost::Host& host)
{
  Steinberg::Linux::IRunLoop* loop = nullptr;
  host.frame().queryInterface(Steinberg::Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop));
  return Steinberg::owned(loop);
}

class EditorFixture : public ::testing::Test
{
protected:
  static constexpr int kWidth = 940;
  static constexpr int kHeight = 200;

  void SetUp() override
  {
    REQUIRE_X_DISPLAY();
    loop = RunLoopFromFrame(host);
    ASSERT_TRUE(loop);
    ASSERT_TRUE(parent.ok());
    ASSERT_TRUE(editor.Open(parent.id(), kWidth, kHeight, loop)) << editor.Window().LastError();
    // Input is only meaningful once the server shows the window.
    ASSERT_TRUE(PumpUntil(host.runLoop(), [&] { return listener.exposes > 0; }, {fd()}));
  }

  void TearDown() override { editor.Close(); }

  int fd() { return editor.Window().ConnectionFD(); }
  bool pumpUntil(const std::function<bool()>& done) { return PumpUntil(host.runLoop(), done, {fd()}); }
  // Lets the server deliver what a helper program sent and handles it all.
  void settle()
  {
    XSync(editor.Window().GetDisplay(), False);
    host.pump(16);
  }

  vemlor::testhost::Host host;
  vemlor::testhost::HostWindow parent{1200, 400};
  Steinberg::IPtr<Steinberg::Linux::IRunLoop> loop;
  RecordingListener listener;
  plugkit::gfx::X11EditorWindow editor{listener};
};

} // namespace vemlor::x11test
