// Records X protocol errors of one connection while in scope instead of letting Xlib's default
// handler end the host process.
#pragma once

#include <X11/Xlib.h>

namespace plugkit::gfx {

// Main thread. Xlib's error handler is process-wide: the trap installs its own while it lives and puts
// the previous one back, passing on errors of connections that are not its own. Traps nest.
class X11ErrorTrap
{
public:
  explicit X11ErrorTrap(Display* display);
  // Waits for the server to answer what was sent inside the trap, so its errors land here.
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Errors so far; syncs first so requests already sent are counted.
  int Errors();
  unsigned char LastErrorCode() const { return mLastCode; }

  // Every error any trap has recorded in this process, for tests that must see none.
  static long TotalErrors();

private:
  static int Handle(Display* display, XErrorEvent* event);

  Display* mDisplay;
  XErrorHandler mPrevious;
  X11ErrorTrap* mOuter;
  int mErrors = 0;
  unsigned char mLastCode = 0;
};

} // namespace plugkit::gfx
