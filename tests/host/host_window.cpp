#include "tests/host/host_window.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace vemlor::testhost {

HostWindow::HostWindow(int width, int height)
{
  // A busy server may refuse a connection for a moment (EAGAIN).
  for (int attempt = 0; attempt < 3 && dpy == nullptr; ++attempt)
    dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr)
    return;
  const int screen = DefaultScreen(dpy);
  window = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, static_cast<unsigned>(width),
                               static_cast<unsigned>(height), 0, BlackPixel(dpy, screen), BlackPixel(dpy, screen));
  XStoreName(dpy, window, "vemlor-host");
  XMapWindow(dpy, window);
  XSync(dpy, False);
}

HostWindow::~HostWindow()
{
  destroy();
  if (dpy != nullptr)
    XCloseDisplay(dpy);
}

void HostWindow::destroy()
{
  if (window != 0)
  {
    XDestroyWindow(dpy, window);
    XSync(dpy, False);
    window = 0;
  }
}

std::vector<HostWindow::Child> HostWindow::children() const
{
  std::vector<Child> out;
  if (window == 0)
    return out;
  XSync(dpy, False);
  ::Window root = 0;
  ::Window parentOfOurs = 0;
  ::Window* list = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, window, &root, &parentOfOurs, &list, &count))
    return out;
  for (unsigned i = 0; i < count; ++i)
  {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(dpy, list[i], &attributes))
      out.push_back(
        {list[i], attributes.x, attributes.y, attributes.width, attributes.height, attributes.map_state != IsUnmapped});
  }
  if (list != nullptr)
    XFree(list);
  return out;
}

void HostWindow::takeKeyboardFocus()
{
  if (window == 0)
    return;
  XSelectInput(dpy, window, KeyPressMask | KeyReleaseMask | FocusChangeMask);
  XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
  XSync(dpy, False);
}

bool HostWindow::hasKeyboardFocus() const
{
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(dpy, &focus, &revert);
  return window != 0 && focus == window;
}

std::vector<KeySym> HostWindow::takeKeys()
{
  std::vector<KeySym> keys;
  for (const XKeyEvent& e : takeKeyPresses())
  {
    XKeyEvent copy = e;
    keys.push_back(XLookupKeysym(&copy, 0));
  }
  return keys;
}

std::vector<XKeyEvent> HostWindow::takeKeyPresses()
{
  std::vector<XKeyEvent> presses;
  if (window == 0)
    return presses;
  XSync(dpy, False);
  XEvent event;
  while (XCheckTypedWindowEvent(dpy, window, KeyPress, &event))
    presses.push_back(event.xkey);
  return presses;
}

void HostWindow::listenForKeys()
{
  if (window == 0)
    return;
  XSelectInput(dpy, window, KeyPressMask | KeyReleaseMask | FocusChangeMask);
  XSync(dpy, False);
}

int HostWindow::forwardKeys(Steinberg::IPlugView* view)
{
  // The SDK's virtual key codes of the keys the tests use; others go as their character.
  struct Code
  {
    KeySym sym;
    Steinberg::int16 code;
  };
  static constexpr Code kCodes[] = {{XK_BackSpace, 1}, {XK_Tab, 2},    {XK_Return, 4}, {XK_Escape, 6}, {XK_space, 7},
                                    {XK_End, 9},       {XK_Home, 10},  {XK_Left, 11},  {XK_Up, 12},    {XK_Right, 13},
                                    {XK_Down, 14},     {XK_Prior, 15}, {XK_Next, 16}};
  int forwarded = 0;
  for (XKeyEvent& e : takeKeyPresses())
  {
    char text[8] = {};
    KeySym sym = NoSymbol;
    XLookupString(&e, text, sizeof(text), &sym, nullptr);
    Steinberg::int16 code = 0;
    for (const Code& c : kCodes)
      if (c.sym == sym)
        code = c.code;
    const Steinberg::int16 modifiers = static_cast<Steinberg::int16>(
      ((e.state & ShiftMask) ? 1 : 0) | ((e.state & Mod1Mask) ? 2 : 0) | ((e.state & ControlMask) ? 4 : 0));
    const auto character = static_cast<Steinberg::char16>(code == 0 ? static_cast<unsigned char>(text[0]) : 0);
    if (view != nullptr && (code != 0 || character != 0))
    {
      view->onKeyDown(character, code, modifiers);
      ++forwarded;
    }
  }
  return forwarded;
}

HostGLContext::HostGLContext(Display* display)
  : dpy(display)
{
  if (dpy == nullptr)
    return;
  const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_RED_SIZE, 8, None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(dpy, DefaultScreen(dpy), attributes, &count);
  if (configs == nullptr || count == 0)
    return;
  const int size[] = {GLX_PBUFFER_WIDTH, 16, GLX_PBUFFER_HEIGHT, 16, None};
  draw = glXCreatePbuffer(dpy, configs[0], size);
  read = glXCreatePbuffer(dpy, configs[0], size);
  context = glXCreateNewContext(dpy, configs[0], GLX_RGBA_TYPE, nullptr, True);
  XFree(configs);
}

HostGLContext::~HostGLContext()
{
  if (dpy == nullptr)
    return;
  if (glXGetCurrentContext() == context && context != nullptr)
    glXMakeContextCurrent(dpy, None, None, nullptr);
  if (context != nullptr)
    glXDestroyContext(dpy, context);
  if (draw != 0)
    glXDestroyPbuffer(dpy, draw);
  if (read != 0)
    glXDestroyPbuffer(dpy, read);
}

bool HostGLContext::makeCurrent() { return ok() && glXMakeContextCurrent(dpy, draw, read, context); }

bool HostGLContext::isCurrent() const
{
  return ok() && glXGetCurrentContext() == context && glXGetCurrentDrawable() == draw &&
         glXGetCurrentReadDrawable() == read && glXGetCurrentDisplay() == dpy;
}

} // namespace vemlor::testhost
