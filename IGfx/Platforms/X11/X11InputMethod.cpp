#include "IGfx/Platforms/X11/X11InputMethod.h"

#include <X11/Xutil.h>

#include <vector>

#include "IGfx/Platforms/X11/X11ErrorTrap.h"

namespace plugkit::gfx {

namespace {

XIM OpenIM(Display* display)
{
  // The locale is the host's; a plug-in never changes it. Xlib needs to know it.
  if (!XSupportsLocale())
    return nullptr;
  // Modifiers a host set are left alone; else the user's XMODIFIERS choose the method.
  const bool hostChose = XSetLocaleModifiers(nullptr) != nullptr;
  if (!hostChose)
    XSetLocaleModifiers("");
  XIM im = XOpenIM(display, nullptr, nullptr, nullptr);
  if (im == nullptr && !hostChose)
  {
    // The method XMODIFIERS names is not running: Xlib's own still gives dead keys and compose.
    XSetLocaleModifiers("@im=none");
    im = XOpenIM(display, nullptr, nullptr, nullptr);
    XSetLocaleModifiers("");
  }
  return im;
}

} // namespace

bool X11InputMethod::Open(Display* display, ::Window window)
{
  if (mDisplay != display || mWindow != window)
  {
    Close();
    mDisplay = display;
    mWindow = window;
  }
  if (mIC != nullptr || mTried || display == nullptr)
    return mIC != nullptr;
  mTried = true;
  X11ErrorTrap trap(display);
  mIM = OpenIM(display);
  if (mIM == nullptr)
    return false;
  // A method server that goes away takes its method with it: forget it rather than use it after.
  XIMCallback destroyed{reinterpret_cast<XPointer>(this), reinterpret_cast<XIMProc>(&OnDestroyed)};
  XSetIMValues(mIM, XNDestroyCallback, &destroyed, nullptr);
  // Text only: no preedit or status window, the entry shows what arrives.
  mIC = XCreateIC(mIM, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window, XNFocusWindow,
                  window, nullptr);
  if (mIC == nullptr)
  {
    XCloseIM(mIM);
    mIM = nullptr;
    return false;
  }
  unsigned long events = 0;
  if (XGetICValues(mIC, XNFilterEvents, &events, nullptr) == nullptr)
    mFilterEvents = static_cast<long>(events);
  return true;
}

void X11InputMethod::Close()
{
  if (mIC != nullptr)
    XDestroyIC(mIC);
  if (mIM != nullptr)
    XCloseIM(mIM);
  mIC = nullptr;
  mIM = nullptr;
  mFilterEvents = 0;
  mTried = false;
  mDisplay = nullptr;
  mWindow = 0;
}

void X11InputMethod::OnDestroyed(XIM, XPointer self, XPointer)
{
  auto* method = reinterpret_cast<X11InputMethod*>(self);
  // Xlib frees both itself; the method stays tried, so keys fall back to the plain lookup.
  method->mIC = nullptr;
  method->mIM = nullptr;
  method->mFilterEvents = 0;
}

void X11InputMethod::SetFocus(bool focused)
{
  if (mIC == nullptr)
    return;
  if (focused)
    XSetICFocus(mIC);
  else
    XUnsetICFocus(mIC);
}

bool X11InputMethod::Filter(XEvent& event) { return mIC != nullptr && XFilterEvent(&event, None) == True; }

void X11InputMethod::Lookup(XKeyEvent& event, KeySym& keysym, std::string& text)
{
  keysym = NoSymbol;
  text.clear();
  if (mIC == nullptr || event.type != KeyPress)
  {
    // Releases never go through the method.
    char buffer[16];
    XLookupString(&event, buffer, sizeof(buffer), &keysym, nullptr);
    return;
  }
  std::vector<char> buffer(64);
  Status status = XLookupNone;
  int length = Xutf8LookupString(mIC, &event, buffer.data(), static_cast<int>(buffer.size()), &keysym, &status);
  if (status == XBufferOverflow)
  {
    buffer.resize(static_cast<size_t>(length));
    length = Xutf8LookupString(mIC, &event, buffer.data(), static_cast<int>(buffer.size()), &keysym, &status);
  }
  if (status != XLookupKeySym && status != XLookupBoth)
    keysym = NoSymbol;
  if ((status == XLookupChars || status == XLookupBoth) && length > 0)
    text.assign(buffer.data(), static_cast<size_t>(length));
}

} // namespace plugkit::gfx
