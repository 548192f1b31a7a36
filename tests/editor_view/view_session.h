// One in-process plug-in with an editor, its host with a real X11 parent window, and the view opened
// inside it the way a host opens it (createView, setFrame, content scale, attached).
#pragma once

// GoogleTest and the graphics headers before X11's: its macros (None, Bool) clash with their names.
#include <gtest/gtest.h>

#include "IGfx/Platforms/X11/IGfxLinux.h"
#include "tests/editor_view/knob_plugin.h"

#include "tests/IGfx/Platforms/x11_test_support.h"
#include "tests/host/host_window.h"

#include "pluginterfaces/gui/iplugview.h"

#include <string>
#include <vector>

namespace vemlor::viewtest {

// Writes what the screen shows of window as build/test-artifacts/<name>.png; false when it could not.
bool Screenshot(Display* display, ::Window window, const std::string& name);
// What the screen shows of window, RGB rows top to bottom; false when it could not be read.
bool Capture(Display* display, ::Window window, std::vector<unsigned char>& rgb, int& width, int& height);
bool WritePNG(const std::vector<unsigned char>& rgb, int width, int height, const std::string& name);

class ViewSession
{
public:
  explicit ViewSession(float drawScale = 1.f, bool offerRunLoopOnContext = false, int parentWidth = 1900,
                       int parentHeight = 500);
  ~ViewSession();

  // createView, setFrame, setContentScaleFactor (when not 1) and attached; false on any refusal.
  bool open(float screenScale = 1.f);
  // removed, then the host's last reference; true when both succeeded.
  bool close();
  // Pumps the run loop until the editor has drawn a frame and the server shows its window.
  bool waitForFirstFrame();
  bool pumpUntil(const std::function<bool()>& done, int deadlineMs = 5000);

  plugkit::gfx::IGfxLinux* ui() const { return static_cast<plugkit::gfx::IGfxLinux*>(plug->GetUI()); }
  ::Window childWindow() const;
  // Writes what the screen shows of the editor window as build/test-artifacts/<name>.png; false when it could not.
  bool screenshot(const std::string& name) const;

  vemlor::testhost::Host host;
  vemlor::testhost::HostWindow parent;
  KnobPlugin* plug;
  Steinberg::IPlugView* view = nullptr;
  bool initialized = false;
};

} // namespace vemlor::viewtest
