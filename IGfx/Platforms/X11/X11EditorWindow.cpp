#include "IGfx/Platforms/X11/X11EditorWindow.h"

#include <vector>

#include "IPlugin/IPluginSpawn.h"
#include "IGfx/Platforms/X11/X11ErrorTrap.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit::gfx {

bool X11EditorWindow::Open(unsigned long parent, int width, int height, Steinberg::Linux::IRunLoop* loop)
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  Close();
  if (loop == nullptr || !mWindow.Open(parent, width, height))
    return false;
  Display* display = mWindow.GetDisplay();
  const ::Window window = mWindow.GetWindow();
  mInput.Attach(display, window);
  mDrop.Attach(display, window);
  mClipboard.Attach(display, window);
  mCursors.Attach(display, window);
  // The frame tick reads the connection too, so a loop that takes no descriptors only adds up to
  // one frame of latency to input.
  if (!mFrameTimer.Start(loop, kFrameIntervalMs, [this] { OnFrame(); }))
  {
    Close();
    return false;
  }
  mConnectionWatch.Start(loop, mWindow.ConnectionFD(), [this](int) { ProcessEvents(); });
  mLoop = loop;
  XFlush(display);
  return true;
}

void X11EditorWindow::OnFrame()
{
  // Any round trip (an error trap's sync, a clipboard read) moves waiting events into Xlib's queue,
  // where the descriptor no longer shows them: look there every frame too.
  ProcessEvents();
  // Helpers started without waiting (choosers, the URL opener) are collected here once they end.
  ChildProcess::ReapFinished();
  if (mWindow.IsOpen())
    mListener.OnFrameTimer();
}

void X11EditorWindow::Close()
{
  PLUGKIT_ASSERT_MAIN_THREAD();
  ReturnKeyboard();
  mFrameTimer.Stop();
  mConnectionWatch.Stop();
  // Our selection dies with the window: a clipboard manager may keep the text.
  if (mWindow.IsOpen())
    mClipboard.HandOverToManager();
  mClipboard.Detach();
  mCursors.Detach();
  mDrop.Detach();
  mInput.Detach();
  mWindow.Close();
  mLoop = nullptr;
}

int X11EditorWindow::SetMouseCursor(int shape)
{
  const int previous = mCursorShape;
  mCursorShape = (shape >= 0 && shape < X11Cursors::kShapes) ? shape : 0;
  if (!mInput.CursorHidden())
    mCursors.Set(mCursorShape);
  return previous;
}

void X11EditorWindow::HideMouseCursor(bool hide, bool lock)
{
  mInput.HideMouseCursor(hide, lock);
  if (!hide)
    mCursors.Set(mCursorShape);
}

void X11EditorWindow::SetScale(float drawScale, float screenScale)
{
  mInput.SetScale(drawScale, screenScale);
  mDrop.SetScale(mInput.Scale());
}

void X11EditorWindow::TakeKeyboard()
{
  if (!mWindow.IsOpen() || mWindow.HoldsKeyboardFocus())
    return;
  mWindow.TakeKeyboardFocus(mInput.BeginTextInput());
  if (!mWindow.HoldsKeyboardFocus())
    mInput.EndTextInput();
}

void X11EditorWindow::ReturnKeyboard()
{
  if (!mWindow.HoldsKeyboardFocus())
    return;
  mInput.EndTextInput();
  mWindow.ReturnKeyboardFocus();
}

void X11EditorWindow::ProcessEvents()
{
  // An input method puts the key it finished back into Xlib's queue while its event is handled:
  // a few rounds deliver that too, without waiting for the next frame.
  for (int round = 0; round < 4; ++round)
  {
    // Nothing waiting is the common case at rest: no trap, so no round trip to the server.
    if (!mWindow.IsOpen() || XPending(mWindow.GetDisplay()) == 0)
      return;
    // Take the batch first: a handler may close the window, and with it the connection.
    std::vector<XEvent> events;
    {
      X11ErrorTrap trap(mWindow.GetDisplay());
      while (XPending(mWindow.GetDisplay()) > 0)
      {
        events.emplace_back();
        XNextEvent(mWindow.GetDisplay(), &events.back());
      }
    }
    for (XEvent& event : events)
    {
      if (!mWindow.IsOpen())
        return;
      if (!mInput.FilterEvent(event))
        Dispatch(event);
    }
  }
}

void X11EditorWindow::Dispatch(const XEvent& event)
{
  if (event.type == MappingNotify)
  {
    // The user switched the keyboard layout: read keys with the new one.
    XMappingEvent mapping = event.xmapping;
    XRefreshKeyboardMapping(&mapping);
    return;
  }
  if (mInput.HandleEvent(event) || mDrop.HandleEvent(event) || mClipboard.HandleEvent(event))
    return;
  if (event.xany.window != mWindow.GetWindow())
    return;
  switch (event.type)
  {
  case Expose:
    if (event.xexpose.count == 0) // the last of a series covers the rest
      mListener.OnExpose();
    break;
  case ConfigureNotify:
    if (mWindow.TakeConfigure(event.xconfigure))
      mListener.OnWindowResized(mWindow.Width(), mWindow.Height());
    break;
  case FocusOut:
    if (mWindow.TakeFocusOut(event.xfocus))
    {
      mInput.EndTextInput();
      mListener.OnKeyboardFocusLost();
    }
    break;
  case DestroyNotify:
    if (event.xdestroywindow.window == mWindow.GetWindow())
      mListener.OnWindowLost();
    break;
  default: break;
  }
}

} // namespace plugkit::gfx
