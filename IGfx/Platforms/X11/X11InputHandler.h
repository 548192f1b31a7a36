// Pointer, wheel, crossing and key events of the editor's child window to editor events, with click
// counting and the hidden, locked cursor of knob drags.
#pragma once

#include <X11/Xlib.h>

#include "IGfx/Platforms/X11/ClickCounter.h"
#include "IGfx/Platforms/X11/X11EventSink.h"
#include "IGfx/Platforms/X11/X11InputMethod.h"

namespace plugkit::gfx {

// Main thread.
class X11InputHandler
{
public:
  explicit X11InputHandler(IX11EventSink& sink)
    : mSink(sink)
  {}
  ~X11InputHandler() { Detach(); }
  X11InputHandler(const X11InputHandler&) = delete;
  X11InputHandler& operator=(const X11InputHandler&) = delete;

  // The window whose events arrive here; the display is also used to warp and hide the pointer.
  void Attach(Display* display, ::Window window);
  void Detach();

  // Pointer positions are divided by drawScale × screenScale.
  void SetScale(float drawScale, float screenScale);
  float Scale() const { return mScale; }
  void SetDoubleClickMs(uint32_t ms) { mClicks.SetDoubleClickMs(ms); }

  // True when the event was an input event of our window (and has been delivered).
  bool HandleEvent(const XEvent& event);

  // Text input while the editor holds the keyboard: opens the input method on first use and
  // returns the events it needs selected besides the keys.
  long BeginTextInput();
  void EndTextInput();
  // Whether the input method took the event; call for every event before HandleEvent.
  bool FilterEvent(XEvent& event) { return mInputMethod.Filter(event); }

  // With lock, the pointer is held where it was hidden and each drag reports only its movement.
  // Showing it again leaves the window's cursor undefined (the parent's): set the shape after.
  void HideMouseCursor(bool hide, bool lock);
  bool CursorHidden() const { return mHidden; }
  // The pointer in editor units relative to the window; false without a window.
  bool GetMouseLocation(float& x, float& y) const;
  // Moves the pointer to (x, y) in editor units; a locked cursor is then held there.
  void MoveMouseCursor(float x, float y);
  // The last pointer position in editor units.
  float PrevX() const { return mPrevX; }
  float PrevY() const { return mPrevY; }

private:
  PlatformMouse Record(int x, int y, unsigned state, bool right) const;
  // Locked: warps back and returns the movement since the previous event; else the same for an
  // unlocked pointer. Sets mPrevX/Y. False for the event the warp itself produced.
  bool TrackPointer(int x, int y, int xRoot, int yRoot, float& dX, float& dY);
  void OnButtonPress(const XButtonEvent& e);
  void OnButtonRelease(const XButtonEvent& e);
  void OnMotion(const XMotionEvent& e);
  void OnCrossing(const XCrossingEvent& e);
  void OnKey(const XKeyEvent& e);
  // The pointer's position now becomes the lock point and the previous position.
  void StoreCursorPosition();

  IX11EventSink& mSink;
  X11InputMethod mInputMethod;
  Display* mDisplay = nullptr;
  ::Window mWindow = 0;
  Cursor mBlankCursor = 0;
  float mScale = 1.f;
  ClickCounter mClicks;
  float mPrevX = 0.f;
  float mPrevY = 0.f;
  bool mMouseOutDuringDrag = false;
  bool mHidden = false;
  bool mLocked = false;
  int mLockRootX = 0; // where the locked pointer is held, root pixels
  int mLockRootY = 0;
  int mLastRootX = 0; // the previous pointer event, root pixels
  int mLastRootY = 0;
};

} // namespace plugkit::gfx
