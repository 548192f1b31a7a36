#include "IGfx/Platforms/X11/X11InputHandler.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "IGfx/Platforms/X11/X11ErrorTrap.h"
#include "IGfx/Platforms/X11/X11Keys.h"

namespace plugkit::gfx {

void X11InputHandler::Attach(Display* display, ::Window window)
{
  Detach();
  mDisplay = display;
  mWindow = window;
}

void X11InputHandler::Detach()
{
  if (mDisplay != nullptr && mBlankCursor != 0)
  {
    X11ErrorTrap trap(mDisplay);
    XFreeCursor(mDisplay, mBlankCursor);
  }
  mInputMethod.Close();
  mBlankCursor = 0;
  mDisplay = nullptr;
  mWindow = 0;
  mHidden = mLocked = false;
  mMouseOutDuringDrag = false;
  mClicks.Reset();
}

void X11InputHandler::SetScale(float drawScale, float screenScale)
{
  const float scale = drawScale * screenScale;
  mScale = scale > 0.f ? scale : 1.f;
}

PlatformMouse X11InputHandler::Record(int x, int y, unsigned state, bool right) const
{
  PlatformMouse m;
  m.x = static_cast<float>(x) / mScale;
  m.y = static_cast<float>(y) / mScale;
  m.ms.L = !right;
  m.ms.R = right;
  m.ms.S = (state & ShiftMask) != 0;
  m.ms.C = (state & ControlMask) != 0;
  m.ms.A = (state & Mod1Mask) != 0;
  return m;
}

bool X11InputHandler::TrackPointer(int x, int y, int xRoot, int yRoot, float& dX, float& dY)
{
  if (mHidden && mLocked)
  {
    // X cannot move the cursor without a motion event: the one at the lock point is the warp's own.
    // Deltas are taken against the previous event in the stream, so motion generated before the
    // warp reached the server is counted once and never twice.
    const bool warpEcho = xRoot == mLockRootX && yRoot == mLockRootY;
    dX = static_cast<float>(xRoot - mLastRootX) / mScale;
    dY = static_cast<float>(yRoot - mLastRootY) / mScale;
    mLastRootX = xRoot;
    mLastRootY = yRoot;
    if (warpEcho)
      return false;
    // Relative to the root window, which always exists: nothing to trap, and no round trip per drag.
    XWarpPointer(mDisplay, None, DefaultRootWindow(mDisplay), 0, 0, 0, 0, mLockRootX, mLockRootY);
    XFlush(mDisplay);
    return true;
  }
  const float nx = static_cast<float>(x) / mScale;
  const float ny = static_cast<float>(y) / mScale;
  dX = nx - mPrevX;
  dY = ny - mPrevY;
  mPrevX = nx;
  mPrevY = ny;
  mLastRootX = xRoot;
  mLastRootY = yRoot;
  return true;
}

bool X11InputHandler::HandleEvent(const XEvent& event)
{
  if (mWindow == 0 || event.xany.window != mWindow)
    return false;
  switch (event.type)
  {
  case ButtonPress: OnButtonPress(event.xbutton); return true;
  case ButtonRelease: OnButtonRelease(event.xbutton); return true;
  case MotionNotify: OnMotion(event.xmotion); return true;
  case EnterNotify:
  case LeaveNotify: OnCrossing(event.xcrossing); return true;
  case KeyPress:
  case KeyRelease: OnKey(event.xkey); return true;
  default: return false;
  }
}

void X11InputHandler::OnButtonPress(const XButtonEvent& e)
{
  float dX = 0.f;
  float dY = 0.f;
  if (e.button == Button4 || e.button == Button5)
  {
    TrackPointer(e.x, e.y, e.x_root, e.y_root, dX, dY);
    mSink.OnMouseWheel(Record(e.x, e.y, e.state, false), e.button == Button4 ? 1.f : -1.f);
    return;
  }
  if (e.button != Button1 && e.button != Button3)
    return; // middle and horizontal-scroll buttons are not used
  TrackPointer(e.x, e.y, e.x_root, e.y_root, dX, dY);
  const PlatformMouse m = Record(e.x, e.y, e.state, e.button == Button3);
  const int count = mClicks.Press(static_cast<int>(e.button), static_cast<float>(e.x), static_cast<float>(e.y), e.time);
  if (count % 2 == 1)
    mSink.OnMouseDown(m);
  else
    mSink.OnMouseDblClick(m);
}

void X11InputHandler::OnButtonRelease(const XButtonEvent& e)
{
  if (e.button != Button1 && e.button != Button3)
    return;
  float dX = 0.f;
  float dY = 0.f;
  TrackPointer(e.x, e.y, e.x_root, e.y_root, dX, dY);
  mSink.OnMouseUp(Record(e.x, e.y, e.state, e.button == Button3));
  if (e.button == Button1 && mMouseOutDuringDrag)
  {
    mMouseOutDuringDrag = false;
    mSink.OnMouseOut();
  }
}

void X11InputHandler::OnMotion(const XMotionEvent& e)
{
  float dX = 0.f;
  float dY = 0.f;
  if (!TrackPointer(e.x, e.y, e.x_root, e.y_root, dX, dY))
    return;
  const bool left = (e.state & Button1Mask) != 0;
  const bool right = !left && (e.state & Button3Mask) != 0;
  PlatformMouse m = Record(e.x, e.y, e.state, right);
  if (left || right)
  {
    m.dX = dX;
    m.dY = dY;
    mSink.OnMouseDrag(m);
  }
  else
  {
    mSink.OnMouseOver(m);
  }
}

void X11InputHandler::OnCrossing(const XCrossingEvent& e)
{
  // Grab and ungrab crossings and moves into our own children are not the pointer leaving.
  if (e.mode != NotifyNormal || e.detail == NotifyInferior)
    return;
  if (e.type == EnterNotify)
  {
    mMouseOutDuringDrag = false;
    mSink.OnMouseEntered();
  }
  else if (mSink.MouseIsCaptured())
  {
    mMouseOutDuringDrag = true; // delivered after the button goes up, so the drag ends first
  }
  else
  {
    mSink.OnMouseOut();
  }
}

long X11InputHandler::BeginTextInput()
{
  if (!mInputMethod.Open(mDisplay, mWindow))
    return 0;
  mInputMethod.SetFocus(true);
  return mInputMethod.FilterEvents();
}

void X11InputHandler::EndTextInput() { mInputMethod.SetFocus(false); }

void X11InputHandler::OnKey(const XKeyEvent& e)
{
  XKeyEvent copy = e;
  KeySym keysym = NoSymbol;
  std::string text;
  mInputMethod.Lookup(copy, keysym, text);
  auto deliver = [&](const char* typed) {
    IKeyPress key;
    if (!TranslateX11Key(keysym, e.state, e.keycode, key, typed))
      return;
    if (e.type == KeyPress)
      mSink.OnKeyDown(mPrevX, mPrevY, key);
    else
      mSink.OnKeyUp(mPrevX, mPrevY, key);
  };
  if (text.empty())
  {
    // A press finished by the method that typed nothing has nothing to deliver.
    if (keysym != NoSymbol || e.keycode != 0)
      deliver(nullptr);
    return;
  }
  // One press per character: a compose sequence or a method may finish several at once.
  for (size_t i = 0; i < text.size();)
  {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char one[5] = {};
    text.copy(one, std::min(length, text.size() - i), i);
    deliver(one);
    i += length;
  }
}

void X11InputHandler::StoreCursorPosition()
{
  ::Window root = 0;
  ::Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int winX = 0;
  int winY = 0;
  unsigned mask = 0;
  if (XQueryPointer(mDisplay, mWindow, &root, &child, &rootX, &rootY, &winX, &winY, &mask))
  {
    mLockRootX = mLastRootX = rootX;
    mLockRootY = mLastRootY = rootY;
    mPrevX = static_cast<float>(winX) / mScale;
    mPrevY = static_cast<float>(winY) / mScale;
  }
}

bool X11InputHandler::GetMouseLocation(float& x, float& y) const
{
  if (mDisplay == nullptr)
    return false;
  X11ErrorTrap trap(mDisplay);
  ::Window root = 0;
  ::Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int winX = 0;
  int winY = 0;
  unsigned mask = 0;
  if (!XQueryPointer(mDisplay, mWindow, &root, &child, &rootX, &rootY, &winX, &winY, &mask))
    return false;
  x = static_cast<float>(winX) / mScale;
  y = static_cast<float>(winY) / mScale;
  return true;
}

void X11InputHandler::MoveMouseCursor(float x, float y)
{
  if (mDisplay == nullptr)
    return;
  X11ErrorTrap trap(mDisplay);
  XWarpPointer(mDisplay, None, mWindow, 0, 0, 0, 0, static_cast<int>(std::lround(x * mScale)),
               static_cast<int>(std::lround(y * mScale)));
  XSync(mDisplay, False);
  StoreCursorPosition();
}

void X11InputHandler::HideMouseCursor(bool hide, bool lock)
{
  if (mDisplay == nullptr || mHidden == hide)
    return;
  mHidden = hide;
  X11ErrorTrap trap(mDisplay);
  if (hide)
  {
    StoreCursorPosition();
    if (mBlankCursor == 0)
    {
      static const char kEmpty[1] = {0};
      const Pixmap pixmap = XCreateBitmapFromData(mDisplay, mWindow, kEmpty, 1, 1);
      XColor black{};
      mBlankCursor = XCreatePixmapCursor(mDisplay, pixmap, pixmap, &black, &black, 0, 0);
      XFreePixmap(mDisplay, pixmap);
    }
    XDefineCursor(mDisplay, mWindow, mBlankCursor);
    mLocked = lock;
  }
  else
  {
    XUndefineCursor(mDisplay, mWindow);
    mLocked = false;
  }
  XFlush(mDisplay);
}

} // namespace plugkit::gfx
