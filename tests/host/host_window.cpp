#include "tests/host/host_window.h"

#include <X11/Xutil.h>

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

} // namespace vemlor::testhost
