// Text from the keyboard through an X input method: keyboard layouts beyond Latin-1, dead keys and
// compose sequences type what the user expects.
#pragma once

#include <string>

#include <X11/Xlib.h>

namespace plugkit::gfx {

// Main thread. Opened on first use; without an input method (the locale unsupported by Xlib, or
// none opens) key events are read with the plain keysym lookup.
class X11InputMethod
{
public:
  X11InputMethod() = default;
  ~X11InputMethod() { Close(); }
  X11InputMethod(const X11InputMethod&) = delete;
  X11InputMethod& operator=(const X11InputMethod&) = delete;

  // Opens the method and an input context for window, once per window; true when they are there.
  bool Open(Display* display, ::Window window);
  void Close();
  bool IsOpen() const { return mIC != nullptr; }
  // Events the context needs on the window besides the key events.
  long FilterEvents() const { return mFilterEvents; }
  // Tells the method whether our window has the keyboard.
  void SetFocus(bool focused);

  // Whether the method took the event (a dead key, a step of a compose sequence): then nobody
  // else may see it. Every event of the connection must pass here while the method is open.
  bool Filter(XEvent& event);
  // A key event's symbol and the UTF-8 text it types (empty for none). A press finished by the
  // method may carry text and no symbol.
  void Lookup(XKeyEvent& event, KeySym& keysym, std::string& text);

private:
  static void OnDestroyed(XIM im, XPointer self, XPointer);

  Display* mDisplay = nullptr;
  ::Window mWindow = 0;
  XIM mIM = nullptr;
  XIC mIC = nullptr;
  long mFilterEvents = 0;
  bool mTried = false;
};

} // namespace plugkit::gfx
