// Shared pieces of the X11 platform tests: the display check, a listener that records what the
// window delivers, a bounded pump of the test host's run loop and running helper programs.
#pragma once

// GoogleTest first: X11 headers define macros (None, Bool, Status) that clash with its names.
#include <gtest/gtest.h>

#include "IGfx/Platforms/X11/X11EditorWindow.h"
#include "tests/host/host_services.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vemlor::x11test {

// Whether an X server answers on $DISPLAY.
bool HasDisplay();

#define REQUIRE_X_DISPLAY()                                                                                            \
  do                                                                                                                   \
  {                                                                                                                    \
    if (!::vemlor::x11test::HasDisplay())                                                                              \
      GTEST_SKIP() << "no X display (run under xvfb-run)";                                                             \
  } while (0)

// Records each delivered event as a line such as "down 10,20 L" or "drag 5,0 +5,+0 L".
class RecordingListener : public plugkit::gfx::IX11WindowListener
{
public:
  std::vector<std::string> events;
  std::vector<std::vector<std::string>> drops; // paths of each drop call
  std::vector<std::string> dropCalls;          // "drop" or "multiple", with the position
  std::vector<plugkit::gfx::PlatformMouse> drags;
  std::vector<plugkit::IKeyPress> keys;
  int frames = 0;
  int exposes = 0;
  int lost = 0;
  bool captured = false; // as a control holds the capture from mouse-down to mouse-up
  std::function<void()> onFrame;

  void OnMouseDown(const plugkit::gfx::PlatformMouse& m) override;
  void OnMouseUp(const plugkit::gfx::PlatformMouse& m) override;
  void OnMouseDrag(const plugkit::gfx::PlatformMouse& m) override;
  void OnMouseDblClick(const plugkit::gfx::PlatformMouse& m) override;
  void OnMouseOver(const plugkit::gfx::PlatformMouse& m) override;
  void OnMouseOut() override;
  void OnMouseWheel(const plugkit::gfx::PlatformMouse& m, float delta) override;
  bool OnKeyDown(float x, float y, const plugkit::IKeyPress& key) override;
  bool OnKeyUp(float x, float y, const plugkit::IKeyPress& key) override;
  void OnDrop(const std::string& path, float x, float y) override;
  void OnDropMultiple(const std::vector<std::string>& paths, float x, float y) override;
  bool MouseIsCaptured() const override { return captured; }
  void OnFrameTimer() override;
  void OnExpose() override { ++exposes; }
  void OnWindowLost() override { ++lost; }

  // The recorded lines without hover moves, which depend on how the server coalesces motion.
  std::vector<std::string> withoutHover() const;
};

// Pumps the host's run loop, 16 ms of its clock per turn, until done() holds or deadlineMs of real
// time pass; between turns it waits (bounded) for one of fds to become readable.
bool PumpUntil(vemlor::testhost::RunLoop& loop, const std::function<bool()>& done, std::initializer_list<int> fds,
               int deadlineMs = 5000);

// Runs a helper program to its end and returns its exit status (127 when it could not start).
int RunTool(const std::vector<std::string>& argv);

// Runs xdotool with args, window's id in place of each "%w"; retried while it cannot connect (a
// busy server may refuse it for a moment). Returns its exit status.
int RunXdotool(const std::vector<std::string>& args, unsigned long window);

// A fresh empty directory under the test temporary folder.
std::string MakeTempDir(const std::string& name);

} // namespace vemlor::x11test
