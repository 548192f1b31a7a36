#include "IGfx/Platforms/X11/X11ErrorTrap.h"

namespace plugkit::gfx {

namespace {

X11ErrorTrap* sInnermost = nullptr;
long sTotalErrors = 0;
XErrorHandler sOutsideHandler = nullptr; // the handler in place before the outermost trap

} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display)
  : mDisplay(display)
  , mPrevious(nullptr)
  , mOuter(sInnermost)
{
  // Errors of requests sent before the trap belong to whoever sent them.
  XSync(mDisplay, False);
  mPrevious = XSetErrorHandler(&X11ErrorTrap::Handle);
  if (mOuter == nullptr)
    sOutsideHandler = mPrevious;
  sInnermost = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
  XSync(mDisplay, False);
  sInnermost = mOuter;
  XSetErrorHandler(mPrevious);
}

int X11ErrorTrap::Errors()
{
  XSync(mDisplay, False);
  return mErrors;
}

long X11ErrorTrap::TotalErrors() { return sTotalErrors; }

int X11ErrorTrap::Handle(Display* display, XErrorEvent* event)
{
  for (X11ErrorTrap* trap = sInnermost; trap != nullptr; trap = trap->mOuter)
  {
    if (trap->mDisplay == display)
    {
      ++trap->mErrors;
      trap->mLastCode = event->error_code;
      ++sTotalErrors;
      return 0;
    }
  }
  return sOutsideHandler ? sOutsideHandler(display, event) : 0;
}

} // namespace plugkit::gfx
