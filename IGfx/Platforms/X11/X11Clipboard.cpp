#include "IGfx/Platforms/X11/X11Clipboard.h"

#include <poll.h>

#include <chrono>

#include <X11/Xatom.h>

#include "IGfx/Platforms/X11/X11ErrorTrap.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit::gfx {

namespace {

int64_t NowMs()
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
    .count();
}

// Latin-1 bytes to UTF-8.
std::string FromLatin1(const std::string& text)
{
  std::string out;
  for (unsigned char c : text)
  {
    if (c < 0x80)
    {
      out += static_cast<char>(c);
    }
    else
    {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// UTF-8 to Latin-1, characters outside it as '?'.
std::string ToLatin1(const std::string& text)
{
  std::string out;
  for (size_t i = 0; i < text.size();)
  {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (c < 0x80)
    {
      out += static_cast<char>(c);
    }
    else if (length == 2 && i + 1 < text.size())
    {
      const unsigned value = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      out += value < 0x100 ? static_cast<char>(value) : '?';
    }
    else
    {
      out += '?';
    }
    i += length;
  }
  return out;
}

} // namespace

void X11Clipboard::Attach(Display* display, ::Window window)
{
  Detach();
  mDisplay = display;
  mWindow = window;
  mClipboard = XInternAtom(display, "CLIPBOARD", False);
  mTargets = XInternAtom(display, "TARGETS", False);
  mUtf8 = XInternAtom(display, "UTF8_STRING", False);
  mTextAtom = XInternAtom(display, "TEXT", False);
  mIncr = XInternAtom(display, "INCR", False);
  mProperty = XInternAtom(display, "PLUGKIT_CLIPBOARD", False);
  mMultiple = XInternAtom(display, "MULTIPLE", False);
  mAtomPair = XInternAtom(display, "ATOM_PAIR", False);
}

void X11Clipboard::Detach()
{
  mDisplay = nullptr;
  mWindow = 0;
  mOwned = false;
  mText.clear();
}

bool X11Clipboard::SetText(const std::string& utf8)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mDisplay == nullptr)
    return false;
  mText = utf8;
  X11ErrorTrap trap(mDisplay);
  XSetSelectionOwner(mDisplay, mClipboard, mWindow, CurrentTime);
  mOwned = XGetSelectionOwner(mDisplay, mClipboard) == mWindow;
  return mOwned;
}

bool X11Clipboard::GetText(std::string& utf8, int timeoutMs)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  utf8.clear();
  if (mDisplay == nullptr)
    return false;
  if (mOwned)
  {
    utf8 = mText;
    return true;
  }
  if (XGetSelectionOwner(mDisplay, mClipboard) == None)
    return false;
  const int64_t deadline = NowMs() + timeoutMs;
  std::string text;
  if (Request(mUtf8, text, deadline))
  {
    utf8 = std::move(text);
    return true;
  }
  if (Request(XA_STRING, text, deadline))
  {
    utf8 = FromLatin1(text);
    return true;
  }
  return false;
}

bool X11Clipboard::MayHaveText() const
{
  if (mDisplay == nullptr)
    return false;
  return mOwned || XGetSelectionOwner(mDisplay, mClipboard) != None;
}

bool X11Clipboard::WaitFor(int type, Atom property, XEvent& event, int64_t deadlineMs)
{
  for (;;)
  {
    // Only the awaited event leaves the queue; the editor's handler sees all others afterwards.
    if (XCheckTypedWindowEvent(mDisplay, mWindow, type, &event))
    {
      if (type != PropertyNotify || (event.xproperty.atom == property && event.xproperty.state == PropertyNewValue))
        return true;
      continue;
    }
    if (!ReadMore(deadlineMs))
      return false;
  }
}

bool X11Clipboard::ReadMore(int64_t deadlineMs)
{
  const int64_t left = deadlineMs - NowMs();
  if (left <= 0)
    return false;
  pollfd fd{ConnectionNumber(mDisplay), POLLIN, 0};
  if (poll(&fd, 1, static_cast<int>(left)) < 0)
    return false;
  XEventsQueued(mDisplay, QueuedAfterReading);
  return true;
}

bool X11Clipboard::Request(Atom target, std::string& out, int64_t deadlineMs)
{
  out.clear();
  X11ErrorTrap trap(mDisplay);
  // An answer that came too late for an earlier read must not pass for this one's.
  XEvent stale;
  while (XCheckTypedWindowEvent(mDisplay, mWindow, SelectionNotify, &stale))
  {}
  XDeleteProperty(mDisplay, mWindow, mProperty);
  XConvertSelection(mDisplay, mClipboard, target, mProperty, mWindow, CurrentTime);
  XFlush(mDisplay);
  XEvent event;
  do
  {
    if (!WaitFor(SelectionNotify, None, event, deadlineMs))
      return false;
  } while (event.xselection.selection != mClipboard || event.xselection.target != target);
  if (event.xselection.property == None)
    return false;

  auto readProperty = [&](Atom& type, std::string& bytes) {
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bytes.clear();
    if (XGetWindowProperty(mDisplay, mWindow, mProperty, 0, 0x7FFFFFF, True, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success)
      return false;
    if (data != nullptr)
    {
      if (format == 8)
        bytes.assign(reinterpret_cast<const char*>(data), count);
      XFree(data);
    }
    return true;
  };

  Atom type = None;
  std::string bytes;
  if (!readProperty(type, bytes))
    return false;
  if (type != mIncr)
  {
    out = std::move(bytes);
    return type != None;
  }
  // A long text comes in pieces: each deleted piece makes room for the next; an empty one ends it.
  for (;;)
  {
    if (!WaitFor(PropertyNotify, mProperty, event, deadlineMs))
      return false;
    if (!readProperty(type, bytes))
      return false;
    if (type == None)
      continue; // the notice of a write we already read (the INCR marker itself)
    if (bytes.empty())
      return true;
    out += bytes;
  }
}

bool X11Clipboard::HandleEvent(const XEvent& event)
{
  if (mWindow == 0)
    return false;
  if (event.type == SelectionClear && event.xselectionclear.window == mWindow &&
      event.xselectionclear.selection == mClipboard)
  {
    mOwned = false;
    mText.clear();
    return true;
  }
  if (event.type == SelectionRequest && event.xselectionrequest.owner == mWindow)
  {
    Serve(event.xselectionrequest);
    return true;
  }
  return false;
}

bool X11Clipboard::Convert(Atom target, ::Window requestor, Atom property, size_t limit)
{
  if (target == mTargets)
  {
    const Atom targets[] = {mTargets, mUtf8, XA_STRING, mTextAtom, mMultiple};
    XChangeProperty(mDisplay, requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(targets), 5);
    return true;
  }
  if (target != mUtf8 && target != mTextAtom && target != XA_STRING)
    return false;
  const bool latin1 = target == XA_STRING;
  const std::string bytes = latin1 ? ToLatin1(mText) : mText;
  if (bytes.size() > limit)
    return false;
  XChangeProperty(mDisplay, requestor, property, latin1 ? XA_STRING : mUtf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  return true;
}

void X11Clipboard::Serve(const XSelectionRequestEvent& request)
{
  XSelectionEvent answer{};
  answer.type = SelectionNotify;
  answer.display = request.display;
  answer.requestor = request.requestor;
  answer.selection = request.selection;
  answer.target = request.target;
  answer.time = request.time;
  answer.property = None;
  // Clients from before ICCCM 2 leave the property out: answer in the target's name.
  const Atom property = request.property != None ? request.property : request.target;
  // One request carries at most this many bytes; a longer text is refused rather than cut.
  const size_t limit = static_cast<size_t>(XExtendedMaxRequestSize(mDisplay) > 0 ? XExtendedMaxRequestSize(mDisplay)
                                                                                 : XMaxRequestSize(mDisplay)) *
                         4 -
                       1024;

  X11ErrorTrap trap(mDisplay);
  if (mOwned && request.selection == mClipboard)
  {
    if (request.target == mMultiple && request.property != None)
    {
      // Several targets at once (clipboard managers ask so): pairs of target and property, each
      // property replaced by None where that target has nothing.
      Atom type = None;
      int format = 0;
      unsigned long count = 0, after = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(mDisplay, request.requestor, property, 0, 0x10000, False, mAtomPair, &type, &format,
                             &count, &after, &data) == Success &&
          data != nullptr && format == 32)
      {
        auto* pairs = reinterpret_cast<Atom*>(data);
        for (unsigned long i = 0; i + 1 < count; i += 2)
          if (pairs[i + 1] == None || !Convert(pairs[i], request.requestor, pairs[i + 1], limit))
            pairs[i + 1] = None;
        XChangeProperty(mDisplay, request.requestor, property, mAtomPair, 32, PropModeReplace, data,
                        static_cast<int>(count));
        answer.property = property;
      }
      if (data != nullptr)
        XFree(data);
    }
    else if (Convert(request.target, request.requestor, property, limit))
    {
      answer.property = property;
    }
  }
  XSendEvent(mDisplay, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&answer));
  XFlush(mDisplay);
}

bool X11Clipboard::HandOverToManager(int timeoutMs)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  if (mDisplay == nullptr || !mOwned)
    return false;
  const Atom manager = XInternAtom(mDisplay, "CLIPBOARD_MANAGER", False);
  const Atom saveTargets = XInternAtom(mDisplay, "SAVE_TARGETS", False);
  if (XGetSelectionOwner(mDisplay, manager) == None || XGetSelectionOwner(mDisplay, mClipboard) != mWindow)
    return false;
  const int64_t deadline = NowMs() + timeoutMs;
  {
    X11ErrorTrap trap(mDisplay);
    // The targets worth keeping; the manager asks us for each before it answers.
    const Atom keep[] = {mUtf8, XA_STRING, mTextAtom};
    XChangeProperty(mDisplay, mWindow, mProperty, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(keep), 3);
    XConvertSelection(mDisplay, manager, saveTargets, mProperty, mWindow, CurrentTime);
    XFlush(mDisplay);
  }
  // The editor is going away: a short bounded wait here is the last thing it does, and nothing else
  // is served meanwhile.
  for (;;)
  {
    XEvent event;
    while (XCheckTypedWindowEvent(mDisplay, mWindow, SelectionRequest, &event))
      HandleEvent(event);
    while (XCheckTypedWindowEvent(mDisplay, mWindow, SelectionNotify, &event))
      if (event.xselection.selection == manager)
        return event.xselection.property != None;
    if (!ReadMore(deadline))
      return false;
  }
}

} // namespace plugkit::gfx
