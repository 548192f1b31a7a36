// The editor's window as an XDND (version 5) drop target for files.
#pragma once

#include <X11/Xlib.h>

#include "IGfx/Platforms/X11/X11EventSink.h"

namespace plugkit::gfx {

// Main thread. Accepts a copy of "text/uri-list"; one local path gives OnDrop, more give one
// OnDropMultiple, none nothing.
class X11DropTarget
{
public:
  static constexpr long kVersion = 5;

  explicit X11DropTarget(IX11EventSink& sink)
    : mSink(sink)
  {}

  // Marks window XdndAware.
  void Attach(Display* display, ::Window window);
  void Detach();
  // Positions are divided by this.
  void SetScale(float scale) { mScale = scale > 0.f ? scale : 1.f; }

  // True when the event was part of a drop (and has been handled).
  bool HandleEvent(const XEvent& event);

private:
  void OnEnter(const XClientMessageEvent& e);
  void OnPosition(const XClientMessageEvent& e);
  void OnDrop(const XClientMessageEvent& e);
  void OnSelection(const XSelectionEvent& e);
  void Send(::Window to, Atom type, long l1, long l2, long l3, long l4);
  void Finish(bool accepted);
  void Reset();

  IX11EventSink& mSink;
  Display* mDisplay = nullptr;
  ::Window mWindow = 0;
  float mScale = 1.f;

  Atom mAware = 0, mEnter = 0, mPosition = 0, mStatus = 0, mLeave = 0, mDrop = 0, mFinished = 0;
  Atom mSelection = 0, mTypeList = 0, mActionCopy = 0, mUriList = 0, mProperty = 0;

  ::Window mSource = 0;
  long mSourceVersion = 0;
  bool mOffersUris = false;
  bool mAwaitingData = false;
  float mX = 0.f; // last position, editor units
  float mY = 0.f;
};

} // namespace plugkit::gfx
