// Text on the X11 CLIPBOARD selection: served from the editor's event handler while the editor owns
// it, read from another owner with a bounded wait.
#pragma once

#include <cstdint>
#include <string>

#include <X11/Xlib.h>

namespace plugkit::gfx {

// Main thread. The text lives only as long as the window: X selections have no store of their own.
class X11Clipboard
{
public:
  static constexpr int kDefaultReadTimeoutMs = 200;

  X11Clipboard() = default;
  ~X11Clipboard() { Detach(); }
  X11Clipboard(const X11Clipboard&) = delete;
  X11Clipboard& operator=(const X11Clipboard&) = delete;

  // The window that owns the selection for us and receives the answers to our requests; its event
  // mask must include PropertyChangeMask for long transfers.
  void Attach(Display* display, ::Window window);
  void Detach();

  // Takes the selection; false when the server gave it to nobody (no window, or refused).
  bool SetText(const std::string& utf8);
  // Our own text when we own the selection; otherwise asks the owner for UTF8_STRING (then STRING)
  // and waits at most timeoutMs for the answer, leaving other events queued. False, text emptied,
  // when nobody offers text in time.
  bool GetText(std::string& utf8, int timeoutMs = kDefaultReadTimeoutMs);
  bool OwnsSelection() const { return mOwned; }
  // Whether anyone holds the clipboard: one short round trip, never a wait on another client. For
  // checks made every few frames, where GetText's wait would stall drawing.
  bool MayHaveText() const;

  // SelectionRequest and SelectionClear for our window; true when handled.
  bool HandleEvent(const XEvent& event);

  // Before the window goes: when we own the clipboard and a clipboard manager runs, asks it to keep
  // our text (SAVE_TARGETS) and answers its requests until it is done or timeoutMs pass. Only the
  // manager's requests are served meanwhile; true when it reported the text saved.
  bool HandOverToManager(int timeoutMs = kDefaultReadTimeoutMs);

private:
  void Serve(const XSelectionRequestEvent& request);
  // Writes target's data to property on requestor; false when we have none for target.
  bool Convert(Atom target, ::Window requestor, Atom property, size_t limit);
  bool Request(Atom target, std::string& out, int64_t deadlineMs);
  // The next event for our window matching type (and, for property events, atom) before the deadline.
  bool WaitFor(int type, Atom property, XEvent& event, int64_t deadlineMs);
  // Waits for the server to send more and moves it into Xlib's queue; false at the deadline.
  bool ReadMore(int64_t deadlineMs);

  Display* mDisplay = nullptr;
  ::Window mWindow = 0;
  std::string mText;
  bool mOwned = false;
  Atom mClipboard = 0, mTargets = 0, mUtf8 = 0, mTextAtom = 0, mIncr = 0, mProperty = 0, mMultiple = 0, mAtomPair = 0;
};

} // namespace plugkit::gfx
