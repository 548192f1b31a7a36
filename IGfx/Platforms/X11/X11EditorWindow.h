// Everything the Linux graphics context needs of X11 while its editor is open: the embedded GL
// window, the frame timer and the connection's events on the host's run loop, input and drop
// translation and the clipboard.
#pragma once

#include <cstdint>

#include "IPlugin/VST3/sdk/runloophooks.h"
#include "IGfx/Platforms/X11/X11Clipboard.h"
#include "IGfx/Platforms/X11/X11Cursors.h"
#include "IGfx/Platforms/X11/X11DropTarget.h"
#include "IGfx/Platforms/X11/X11EmbedWindow.h"
#include "IGfx/Platforms/X11/X11EventSink.h"
#include "IGfx/Platforms/X11/X11InputHandler.h"

namespace plugkit::gfx {

// What the window asks of the graphics context besides input.
class IX11WindowListener : public IX11EventSink
{
public:
  // The frame timer: draw what is dirty.
  virtual void OnFrameTimer() = 0;
  // The window lost its content: present the last frame again without drawing controls.
  virtual void OnExpose() = 0;
  // The host resized the window (device pixels).
  virtual void OnWindowResized(int width, int height) { (void)width, (void)height; }
  // The window is gone (the host destroyed it or its parent): close the editor.
  virtual void OnWindowLost() = 0;
  // Another window took the keyboard focus the editor held for its text entry.
  virtual void OnKeyboardFocusLost() {}

protected:
  ~IX11WindowListener() = default;
};

// Main thread.
class X11EditorWindow
{
public:
  // 1/60 s is not a whole number of milliseconds; 16 is the nearest the run loop can take.
  static constexpr uint32_t kFrameIntervalMs = 16;

  explicit X11EditorWindow(IX11WindowListener& listener)
    : mListener(listener)
    , mInput(listener)
    , mDrop(listener)
  {}
  ~X11EditorWindow() { Close(); }
  X11EditorWindow(const X11EditorWindow&) = delete;
  X11EditorWindow& operator=(const X11EditorWindow&) = delete;

  // Opens the child window inside parent and registers the frame timer and the connection on loop.
  // False, with nothing left open or registered, when the window cannot open or the loop refuses
  // the timer.
  bool Open(unsigned long parent, int width, int height, Steinberg::Linux::IRunLoop* loop);
  void Close();
  bool IsOpen() const { return mWindow.IsOpen(); }

  // Pointer and drop positions are divided by drawScale × screenScale.
  void SetScale(float drawScale, float screenScale);
  // Shows shape (also remembered while the cursor is hidden or no window is open); returns the
  // shape shown before.
  int SetMouseCursor(int shape);
  // Hides the pointer (held in place with lock); showing it again brings back the current shape.
  void HideMouseCursor(bool hide, bool lock);

  // The keyboard for the editor's text entry: X focus, key events and the input method. Keys reach
  // the host's window at all other times.
  void TakeKeyboard();
  void ReturnKeyboard();
  bool HoldsKeyboard() const { return mWindow.HoldsKeyboardFocus(); }

  // Handles every event already queued on the connection (what the run loop calls when it is readable).
  void ProcessEvents();
  // One event; public for tests that feed made-up events.
  void Dispatch(const XEvent& event);

  X11EmbedWindow& Window() { return mWindow; }
  const X11EmbedWindow& Window() const { return mWindow; }
  X11InputHandler& Input() { return mInput; }
  X11Clipboard& Clipboard() { return mClipboard; }
  X11Cursors& Cursors() { return mCursors; }
  Steinberg::Linux::IRunLoop* RunLoop() const { return mLoop; }

private:
  void OnFrame();

  IX11WindowListener& mListener;
  X11EmbedWindow mWindow;
  X11InputHandler mInput;
  X11DropTarget mDrop;
  X11Clipboard mClipboard;
  X11Cursors mCursors;
  RunLoopTimer mFrameTimer;
  RunLoopWatch mConnectionWatch;
  Steinberg::Linux::IRunLoop* mLoop = nullptr;
  int mCursorShape = 0;
};

} // namespace plugkit::gfx
