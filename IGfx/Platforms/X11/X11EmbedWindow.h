// The editor's X11 child window inside the host's parent window, with its own X connection and an
// OpenGL 3.2+ core context.
#pragma once

#include <optional>
#include <string>

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace plugkit::gfx {

// The GL context, drawables and display current on this thread when it is made, current again when
// it ends: the host and other plug-ins draw with their own contexts on the same thread, and must
// find theirs where they left it after every piece of our drawing.
class SavedGLCurrent
{
public:
  // ours and mine: our connection and context; mine being current counts as nothing current.
  SavedGLCurrent(Display* ours, GLXContext mine);
  ~SavedGLCurrent();
  SavedGLCurrent(const SavedGLCurrent&) = delete;
  SavedGLCurrent& operator=(const SavedGLCurrent&) = delete;

private:
  Display* mOurs;
  Display* mDisplay = nullptr;
  GLXContext mContext = nullptr;
  GLXDrawable mDraw = 0;
  GLXDrawable mRead = 0;
};

// Main thread. Sizes are device pixels. Every X request that may meet a window the host already
// destroyed runs inside an error trap, so a vanished parent never ends the host.
class X11EmbedWindow
{
public:
  X11EmbedWindow() = default;
  ~X11EmbedWindow() { Close(); }
  X11EmbedWindow(const X11EmbedWindow&) = delete;
  X11EmbedWindow& operator=(const X11EmbedWindow&) = delete;

  // Opens a private connection to the default display and maps a width × height child of parent at
  // its origin, with a double-buffered RGBA8 + stencil 8 visual and a current-able GL context. On
  // failure nothing stays open and LastError() says why.
  bool Open(unsigned long parent, int width, int height);
  // Destroys context, window and connection; nothing when not open.
  void Close();
  bool IsOpen() const { return mWindow != 0; }

  // The connection's descriptor, for the host's run loop; -1 when not open.
  int ConnectionFD() const;
  Display* GetDisplay() const { return mDisplay; }
  ::Window GetWindow() const { return mWindow; }
  ::Window GetParent() const { return mParent; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

  void Resize(int width, int height);
  // A ConfigureNotify of our own window: records the size the host gave it; true when it changed.
  bool TakeConfigure(const XConfigureEvent& event);

  // Keyboard focus, taken only while the editor's text entry is open: an embedded window would
  // otherwise keep the host's shortcuts from the host. Key events (and extraEvents, what an input
  // method asks for) are selected only while it is held. Return gives it to whoever had it, when
  // that window still shows; nothing when we do not hold it.
  void TakeKeyboardFocus(long extraEvents = 0);
  void ReturnKeyboardFocus();
  // A FocusOut of our window: true when it took away the focus we held (we then hold nothing, and
  // give nothing back).
  bool TakeFocusOut(const XFocusChangeEvent& event);
  bool HoldsKeyboardFocus() const { return mFocusTaken; }

  // Bracket every GL call: the host and other plug-ins share this thread's current context, which
  // Deactivate makes current again (or none, when none was).
  bool ActivateGLContext();
  void DeactivateGLContext();
  // Presents the back buffer; the context must be current.
  void SwapBuffers();
  // Shows only the back buffer's pixels (x, y, w, h), counted from the bottom left, leaving the rest of
  // the window as it is; false when the driver cannot (then SwapBuffers shows the whole).
  bool PresentRegion(int x, int y, int w, int h);
  bool CanPresentRegions() const { return mCopySubBuffer != nullptr; }
  // The context's version, e.g. 45 for 4.5; 0 when not open.
  int GLVersion() const { return mGLVersion; }

  const std::string& LastError() const { return mError; }

private:
  bool Fail(const char* why);
  bool Create(int width, int height);
  bool CreateContext(GLXFBConfig config);

  Display* mDisplay = nullptr;
  ::Window mParent = 0;
  ::Window mWindow = 0;
  Colormap mColormap = 0;
  GLXContext mContext = nullptr;
  void (*mCopySubBuffer)(Display*, GLXDrawable, int, int, int, int) = nullptr;
  // What was current before Activate, put back by Deactivate.
  std::optional<SavedGLCurrent> mOuterGL;
  int mWidth = 0;
  int mHeight = 0;
  int mGLVersion = 0;
  std::string mError;
  ::Window mPreviousFocus = 0;
  int mPreviousRevert = 0;
  unsigned long mFocusSerial = 0;
  bool mFocusTaken = false;
};

} // namespace plugkit::gfx
