#include "IGfx/Platforms/X11/X11DropTarget.h"

#include <X11/Xatom.h>

#include <string>

#include "IGfx/Platforms/X11/UriList.h"
#include "IGfx/Platforms/X11/X11ErrorTrap.h"

namespace plugkit::gfx {

namespace {

// Longest list read from a drop source, in 32-bit units (16 MB): more is not a list of paths.
constexpr long kMaxListWords = 4 * 1024 * 1024;

} // namespace

void X11DropTarget::Attach(Display* display, ::Window window)
{
  Detach();
  mDisplay = display;
  mWindow = window;
  mAware = XInternAtom(display, "XdndAware", False);
  mEnter = XInternAtom(display, "XdndEnter", False);
  mPosition = XInternAtom(display, "XdndPosition", False);
  mStatus = XInternAtom(display, "XdndStatus", False);
  mLeave = XInternAtom(display, "XdndLeave", False);
  mDrop = XInternAtom(display, "XdndDrop", False);
  mFinished = XInternAtom(display, "XdndFinished", False);
  mSelection = XInternAtom(display, "XdndSelection", False);
  mTypeList = XInternAtom(display, "XdndTypeList", False);
  mActionCopy = XInternAtom(display, "XdndActionCopy", False);
  mUriList = XInternAtom(display, "text/uri-list", False);
  mProperty = XInternAtom(display, "PLUGKIT_XDND_DATA", False);
  const long version = kVersion;
  XChangeProperty(display, window, mAware, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
}

void X11DropTarget::Detach()
{
  Reset();
  mDisplay = nullptr;
  mWindow = 0;
}

void X11DropTarget::Reset()
{
  mSource = 0;
  mSourceVersion = 0;
  mOffersUris = false;
  mAwaitingData = false;
}

bool X11DropTarget::HandleEvent(const XEvent& event)
{
  if (mWindow == 0 || event.xany.window != mWindow)
    return false;
  if (event.type == SelectionNotify)
  {
    if (event.xselection.selection != mSelection)
      return false;
    OnSelection(event.xselection);
    return true;
  }
  if (event.type != ClientMessage || event.xclient.format != 32)
    return false;
  const XClientMessageEvent& e = event.xclient;
  if (e.message_type == mEnter)
    OnEnter(e);
  else if (e.message_type == mPosition)
    OnPosition(e);
  else if (e.message_type == mDrop)
    OnDrop(e);
  else if (e.message_type == mLeave)
    Reset();
  else
    return false;
  return true;
}

void X11DropTarget::OnEnter(const XClientMessageEvent& e)
{
  Reset();
  mSource = static_cast<::Window>(e.data.l[0]);
  mSourceVersion = (e.data.l[1] >> 24) & 0xFF;
  if (e.data.l[1] & 1)
  {
    // More than three types: the source lists them on its window.
    X11ErrorTrap trap(mDisplay);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(mDisplay, mSource, mTypeList, 0, 1024, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr)
    {
      if (type == XA_ATOM && format == 32)
      {
        const Atom* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i)
          mOffersUris = mOffersUris || atoms[i] == mUriList;
      }
      XFree(data);
    }
  }
  else
  {
    for (int i = 2; i <= 4; ++i)
      mOffersUris = mOffersUris || static_cast<Atom>(e.data.l[i]) == mUriList;
  }
}

void X11DropTarget::OnPosition(const XClientMessageEvent& e)
{
  const ::Window source = static_cast<::Window>(e.data.l[0]);
  if (source != mSource)
    return;
  const int rootX = static_cast<int>((e.data.l[2] >> 16) & 0xFFFF);
  const int rootY = static_cast<int>(e.data.l[2] & 0xFFFF);
  X11ErrorTrap trap(mDisplay);
  int x = 0;
  int y = 0;
  ::Window child = 0;
  if (XTranslateCoordinates(mDisplay, DefaultRootWindow(mDisplay), mWindow, rootX, rootY, &x, &y, &child))
  {
    mX = static_cast<float>(x) / mScale;
    mY = static_cast<float>(y) / mScale;
  }
  // Whatever the source proposes, a file drop is a copy. An empty rectangle asks for every move.
  Send(mSource, mStatus, mOffersUris ? 1 : 0, 0, 0, mOffersUris ? static_cast<long>(mActionCopy) : None);
}

void X11DropTarget::OnDrop(const XClientMessageEvent& e)
{
  const ::Window source = static_cast<::Window>(e.data.l[0]);
  if (source != mSource)
    return;
  if (!mOffersUris)
  {
    Finish(false);
    return;
  }
  const Time time = mSourceVersion >= 1 ? static_cast<Time>(e.data.l[2]) : CurrentTime;
  XDeleteProperty(mDisplay, mWindow, mProperty);
  XConvertSelection(mDisplay, mSelection, mUriList, mProperty, mWindow, time);
  XFlush(mDisplay);
  mAwaitingData = true;
}

void X11DropTarget::OnSelection(const XSelectionEvent& e)
{
  if (!mAwaitingData)
    return;
  mAwaitingData = false;
  std::string list;
  if (e.property != None)
  {
    X11ErrorTrap trap(mDisplay);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(mDisplay, mWindow, mProperty, 0, kMaxListWords, True, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr)
    {
      if (format == 8)
        list.assign(reinterpret_cast<const char*>(data), count);
      XFree(data);
    }
  }
  const std::vector<std::string> paths = ParseUriList(list);
  if (paths.size() == 1)
    mSink.OnDrop(paths.front(), mX, mY);
  else if (paths.size() > 1)
    mSink.OnDropMultiple(paths, mX, mY);
  Finish(!paths.empty());
}

void X11DropTarget::Finish(bool accepted)
{
  if (mSource != 0)
    Send(mSource, mFinished, accepted ? 1 : 0, accepted ? static_cast<long>(mActionCopy) : None, 0, 0);
  Reset();
}

void X11DropTarget::Send(::Window to, Atom type, long l1, long l2, long l3, long l4)
{
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = mDisplay;
  event.xclient.window = to;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(mWindow);
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  event.xclient.data.l[4] = l4;
  X11ErrorTrap trap(mDisplay);
  XSendEvent(mDisplay, to, False, NoEventMask, &event);
  XFlush(mDisplay);
}

} // namespace plugkit::gfx
