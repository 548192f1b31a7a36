// A real X11 top-level window on the test host's own connection, for views attached with the
// "X11EmbedWindowID" platform type, and queries a test makes of what a plug-in put inside it.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <vector>

#include "pluginterfaces/gui/iplugview.h"

namespace vemlor::testhost {

// Main thread. Without an X display (no DISPLAY) it stays closed and ok() is false.
class HostWindow
{
public:
  struct Child
  {
    ::Window id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool mapped = false;
  };

  HostWindow(int width, int height);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  bool ok() const { return window != 0; }
  Display* display() const { return dpy; }
  ::Window id() const { return window; }
  // The parent argument of IPlugView::attached.
  void* parent() const { return reinterpret_cast<void*>(window); }

  // Windows the plug-in created inside ours, as the server sees them now.
  std::vector<Child> children() const;
  // Destroys the window as a host does when it closes its plug-in window first.
  void destroy();

  // Makes the window a host window with shortcuts of its own: it takes the keyboard focus and
  // records the keys that reach it, from itself or passed on by windows inside it.
  void takeKeyboardFocus();
  // Whether this window holds the keyboard focus now.
  bool hasKeyboardFocus() const;
  // The keysyms of the key presses that reached the window since the last call.
  std::vector<KeySym> takeKeys();
  // Selects the key presses that reach the window (passed on by windows inside it), focus aside.
  void listenForKeys();
  // Passes the key presses that reached the window to view, as hosts pass keys to a plug-in's view
  // (onKeyDown with the SDK's key code, or the character); returns how many.
  int forwardKeys(Steinberg::IPlugView* view);

private:
  std::vector<XKeyEvent> takeKeyPresses();

  Display* dpy = nullptr;
  ::Window window = 0;
};

// A GL context of the host's own on its connection, current on the calling thread as a host that
// draws its own GL keeps it, with separate draw and read drawables (two small pbuffers).
class HostGLContext
{
public:
  explicit HostGLContext(Display* display);
  ~HostGLContext();
  HostGLContext(const HostGLContext&) = delete;
  HostGLContext& operator=(const HostGLContext&) = delete;

  bool ok() const { return context != nullptr; }
  bool makeCurrent();
  // Whether exactly this context, its drawables and display are current on the calling thread.
  bool isCurrent() const;

  Display* dpy;
  GLXContext context = nullptr;
  GLXPbuffer draw = 0;
  GLXPbuffer read = 0;
};

} // namespace vemlor::testhost
