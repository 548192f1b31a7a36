// A clipboard manager for the clipboard tests: owns CLIPBOARD_MANAGER, and on SAVE_TARGETS reads the
// clipboard (asking for several targets at once, as managers do), confirms, and serves the text from
// then on. Writes one byte to its output once it owns the selection; runs until killed.
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

int main()
{
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr)
    return 1;
  const Atom manager = XInternAtom(d, "CLIPBOARD_MANAGER", False);
  const Atom save = XInternAtom(d, "SAVE_TARGETS", False);
  const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  const Atom targets = XInternAtom(d, "TARGETS", False);
  const Atom multiple = XInternAtom(d, "MULTIPLE", False);
  const Atom pair = XInternAtom(d, "ATOM_PAIR", False);
  const Atom pairs = XInternAtom(d, "FAKE_MANAGER_PAIRS", False);
  const Atom kept = XInternAtom(d, "FAKE_MANAGER_KEPT", False);
  const ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(d, manager, w, CurrentTime);
  XSync(d, False);
  // Ready: the test waits for this byte on our output.
  (void)!write(1, "1", 1);
  std::string text;
  auto reply = [&](const XSelectionRequestEvent& r, Atom property) {
    XSelectionEvent n{};
    n.type = SelectionNotify;
    n.requestor = r.requestor;
    n.selection = r.selection;
    n.target = r.target;
    n.property = property;
    n.time = r.time;
    XSendEvent(d, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&n));
    XFlush(d);
  };
  for (;;)
  {
    XEvent e;
    XNextEvent(d, &e);
    if (e.type != SelectionRequest)
      continue;
    const XSelectionRequestEvent r = e.xselectionrequest;
    if (r.selection == manager && r.target == save)
    {
      // Asks for several targets at once, as managers do, and keeps the text.
      const Atom wanted[2] = {utf8, kept};
      XChangeProperty(d, w, pairs, pair, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(wanted), 2);
      XConvertSelection(d, clipboard, multiple, pairs, w, CurrentTime);
      XEvent answer;
      do
        XNextEvent(d, &answer);
      while (answer.type != SelectionNotify);
      Atom type = None;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      XGetWindowProperty(d, w, kept, 0, 0x10000, True, AnyPropertyType, &type, &format, &count, &after, &data);
      if (data != nullptr)
      {
        if (type == utf8)
          text.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
      }
      XSetSelectionOwner(d, clipboard, w, CurrentTime);
      reply(r, text.empty() ? None : r.property);
    }
    else if (r.selection == clipboard && (r.target == utf8 || r.target == targets))
    {
      if (r.target == utf8)
        XChangeProperty(d, r.requestor, r.property, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
      else
        XChangeProperty(d, r.requestor, r.property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&utf8), 1);
      reply(r, r.property);
    }
    else
    {
      reply(r, None);
    }
  }
}
