#include "IGfx/Platforms/X11/X11EmbedWindow.h"

#include <algorithm>
#include <cstring>

#include <GL/gl.h>
#include <GL/glxext.h>
#include <X11/Xatom.h>

#include "IGfx/Platforms/X11/GLDriverHold.h"
#include "IGfx/Platforms/X11/X11ErrorTrap.h"

namespace plugkit::gfx {

namespace {

// No key events: while the window selects none, X passes the keys typed over it on to the host's
// window as if the editor were not there. They are selected only while the editor holds the focus.
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                            LeaveWindowMask | StructureNotifyMask | FocusChangeMask | PropertyChangeMask;
constexpr long kKeyMask = KeyPressMask | KeyReleaseMask;

bool HasExtension(const char* list, const char* name)
{
  const size_t n = std::strlen(name);
  for (const char* p = list; p != nullptr && (p = std::strstr(p, name)) != nullptr; p += n)
  {
    const bool startOk = p == list || p[-1] == ' ';
    const bool endOk = p[n] == ' ' || p[n] == '\0';
    if (startOk && endOk)
      return true;
  }
  return false;
}

} // namespace

SavedGLCurrent::SavedGLCurrent(Display* ours, GLXContext mine)
  : mOurs(ours)
{
  const GLXContext current = glXGetCurrentContext();
  if (current == nullptr || current == mine)
    return;
  mContext = current;
  mDisplay = glXGetCurrentDisplay();
  mDraw = glXGetCurrentDrawable();
  mRead = glXGetCurrentReadDrawable();
}

SavedGLCurrent::~SavedGLCurrent()
{
  if (mContext != nullptr && mDisplay != nullptr)
    glXMakeContextCurrent(mDisplay, mDraw, mRead, mContext);
  else if (mOurs != nullptr)
    glXMakeCurrent(mOurs, None, nullptr);
}

bool X11EmbedWindow::Fail(const char* why)
{
  mError = why;
  return false;
}

bool X11EmbedWindow::Open(unsigned long parent, int width, int height)
{
  Close();
  mError.clear();
  if (parent == 0)
    return Fail("no parent window");
  // A busy server may refuse a connection for a moment (EAGAIN); a second attempt gets through.
  for (int attempt = 0; attempt < 3 && mDisplay == nullptr; ++attempt)
    mDisplay = XOpenDisplay(nullptr);
  if (mDisplay == nullptr)
    return Fail("cannot open the X display");
  mParent = parent;
  // The error trap inside Create must be gone before the connection closes.
  if (Create(width, height))
    return true;
  const std::string error = mError;
  Close();
  mError = error;
  return false;
}

bool X11EmbedWindow::Create(int width, int height)
{
  mWidth = std::max(width, 1);
  mHeight = std::max(height, 1);

  X11ErrorTrap trap(mDisplay);
  const int screen = DefaultScreen(mDisplay);
  int major = 0;
  int minor = 0;
  if (!glXQueryVersion(mDisplay, &major, &minor) || major < 1 || (major == 1 && minor < 3))
    return Fail("GLX 1.3 is not available");

  const int attributes[] = {GLX_X_RENDERABLE,
                            True,
                            GLX_DRAWABLE_TYPE,
                            GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE,
                            GLX_RGBA_BIT,
                            GLX_X_VISUAL_TYPE,
                            GLX_TRUE_COLOR,
                            GLX_RED_SIZE,
                            8,
                            GLX_GREEN_SIZE,
                            8,
                            GLX_BLUE_SIZE,
                            8,
                            GLX_ALPHA_SIZE,
                            8,
                            GLX_STENCIL_SIZE,
                            8,
                            GLX_DOUBLEBUFFER,
                            True,
                            None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(mDisplay, screen, attributes, &count);
  if (configs == nullptr || count == 0)
    return Fail("no RGBA8 + stencil double-buffered GLX config");
  const GLXFBConfig config = configs[0];
  XFree(configs);
  XVisualInfo* visual = glXGetVisualFromFBConfig(mDisplay, config);
  if (visual == nullptr)
    return Fail("the GLX config has no visual");

  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(mDisplay, mParent, &parentAttributes) || trap.Errors() > 0)
  {
    XFree(visual);
    return Fail("the parent window does not exist");
  }
  mColormap = XCreateColormap(mDisplay, parentAttributes.root, visual->visual, AllocNone);
  XSetWindowAttributes set{};
  set.colormap = mColormap;
  set.event_mask = kEventMask;
  set.background_pixmap = None; // the GL frame covers everything; no flash of background on resize
  set.border_pixel = 0;
  mWindow = XCreateWindow(mDisplay, mParent, 0, 0, static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight), 0,
                          visual->depth, InputOutput, visual->visual,
                          CWColormap | CWEventMask | CWBackPixmap | CWBorderPixel, &set);
  XFree(visual);
  if (trap.Errors() > 0)
  {
    mWindow = 0;
    return Fail("cannot create the child window");
  }

  // XEmbed: version 0, mapped. Hosts that embed through XEmbed map us themselves; others see it mapped.
  const Atom xembedInfo = XInternAtom(mDisplay, "_XEMBED_INFO", False);
  const long info[2] = {0, 1};
  XChangeProperty(mDisplay, mWindow, xembedInfo, xembedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);

  if (!CreateContext(config))
    return false;
  XMapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  if (trap.Errors() > 0)
    return Fail("X error while opening the window");
  return true;
}

bool X11EmbedWindow::CreateContext(GLXFBConfig config)
{
  const char* extensions = glXQueryExtensionsString(mDisplay, DefaultScreen(mDisplay));
  if (!HasExtension(extensions, "GLX_ARB_create_context") ||
      !HasExtension(extensions, "GLX_ARB_create_context_profile"))
    return Fail("GLX_ARB_create_context is not available");
  auto create = reinterpret_cast<PFNGLXCREATECONTEXTATTRIBSARBPROC>(
    glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
  if (create == nullptr)
    return Fail("glXCreateContextAttribsARB is missing");
  const int attributes[] = {
    GLX_CONTEXT_MAJOR_VERSION_ARB,    3,   GLX_CONTEXT_MINOR_VERSION_ARB, 2, GLX_CONTEXT_PROFILE_MASK_ARB,
    GLX_CONTEXT_CORE_PROFILE_BIT_ARB, None};
  {
    // An unsupported version is reported as an X error, not only as a null context.
    X11ErrorTrap trap(mDisplay);
    mContext = create(mDisplay, config, nullptr, True, attributes);
    if (trap.Errors() > 0 && mContext != nullptr)
    {
      glXDestroyContext(mDisplay, mContext);
      mContext = nullptr;
    }
  }
  if (mContext == nullptr)
    return Fail("cannot create an OpenGL 3.2 core context");

  if (!ActivateGLContext())
    return Fail("cannot make the OpenGL context current");
  GLint major = 0;
  GLint minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  mGLVersion = major * 10 + minor;
  // Never wait for vertical blank: one editor must not hold up the host's UI thread.
  if (HasExtension(extensions, "GLX_EXT_swap_control"))
  {
    auto interval = reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
    if (interval != nullptr)
      interval(mDisplay, mWindow, 0);
  }
  else if (HasExtension(extensions, "GLX_MESA_swap_control"))
  {
    auto interval = reinterpret_cast<int (*)(unsigned)>(
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
    if (interval != nullptr)
      interval(0);
  }
  // A frame that changed a few controls then reaches the window as those pixels alone.
  if (HasExtension(extensions, "GLX_MESA_copy_sub_buffer"))
    mCopySubBuffer = reinterpret_cast<void (*)(Display*, GLXDrawable, int, int, int, int)>(
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
  DeactivateGLContext();
  // The next editor's connection then finds the driver still loaded.
  HoldLoadedGLDrivers();
  return true;
}

void X11EmbedWindow::TakeKeyboardFocus(long extraEvents)
{
  if (!IsOpen() || mFocusTaken)
    return;
  X11ErrorTrap trap(mDisplay);
  XGetInputFocus(mDisplay, &mPreviousFocus, &mPreviousRevert);
  XSelectInput(mDisplay, mWindow, kEventMask | kKeyMask | extraEvents);
  // Focus notices about older requests (our own earlier hand-back) must not end this hold.
  mFocusSerial = NextRequest(mDisplay);
  XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
  mFocusTaken = trap.Errors() == 0;
  if (!mFocusTaken)
    XSelectInput(mDisplay, mWindow, kEventMask);
}

bool X11EmbedWindow::TakeFocusOut(const XFocusChangeEvent& event)
{
  // Grabs take the keyboard only for a while (a window manager's shortcut); focus moved into our
  // own subwindows or notices about the pointer's window are not a loss either.
  if (!mFocusTaken || event.type != FocusOut || event.window != mWindow || event.serial < mFocusSerial ||
      event.mode == NotifyGrab || event.mode == NotifyUngrab || event.detail == NotifyInferior ||
      event.detail == NotifyPointer)
    return false;
  mFocusTaken = false;
  X11ErrorTrap trap(mDisplay);
  XSelectInput(mDisplay, mWindow, kEventMask);
  return true;
}

void X11EmbedWindow::ReturnKeyboardFocus()
{
  if (!IsOpen() || !mFocusTaken)
    return;
  mFocusTaken = false;
  X11ErrorTrap trap(mDisplay);
  XSelectInput(mDisplay, mWindow, kEventMask);
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(mDisplay, &focus, &revert);
  if (focus != mWindow)
    return; // someone else took it meanwhile: theirs to keep
  auto shows = [&](::Window w) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(mDisplay, w, &attributes) && attributes.map_state == IsViewable;
  };
  // The parent is where the host's own key handling starts when the previous window is gone.
  ::Window to = PointerRoot;
  if (mPreviousFocus == None || mPreviousFocus == PointerRoot)
    to = mPreviousFocus;
  else if (shows(mPreviousFocus))
    to = mPreviousFocus;
  else if (shows(mParent))
    to = mParent;
  XSetInputFocus(mDisplay, to, mPreviousRevert, CurrentTime);
}

void X11EmbedWindow::Close()
{
  if (mDisplay == nullptr)
    return;
  ReturnKeyboardFocus();
  {
    // The host may have destroyed the parent, and with it our window, before telling us.
    X11ErrorTrap trap(mDisplay);
    if (mContext != nullptr)
    {
      if (mOuterGL)
        mOuterGL.reset(); // what was current before ours comes back
      else if (glXGetCurrentContext() == mContext)
        glXMakeCurrent(mDisplay, None, nullptr);
      glXDestroyContext(mDisplay, mContext);
    }
    if (mWindow != 0)
      XDestroyWindow(mDisplay, mWindow);
    if (mColormap != 0)
      XFreeColormap(mDisplay, mColormap);
  }
  XCloseDisplay(mDisplay);
  mDisplay = nullptr;
  mContext = nullptr;
  mWindow = 0;
  mColormap = 0;
  mParent = 0;
  mGLVersion = 0;
  mFocusTaken = false;
}

int X11EmbedWindow::ConnectionFD() const { return mDisplay ? ConnectionNumber(mDisplay) : -1; }

void X11EmbedWindow::Resize(int width, int height)
{
  if (!IsOpen())
    return;
  mWidth = std::max(width, 1);
  mHeight = std::max(height, 1);
  X11ErrorTrap trap(mDisplay);
  XResizeWindow(mDisplay, mWindow, static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight));
}

bool X11EmbedWindow::TakeConfigure(const XConfigureEvent& event)
{
  if (event.window != mWindow || (event.width == mWidth && event.height == mHeight))
    return false;
  mWidth = event.width;
  mHeight = event.height;
  return true;
}

bool X11EmbedWindow::ActivateGLContext()
{
  if (mContext == nullptr)
    return false;
  if (!mOuterGL)
    mOuterGL.emplace(mDisplay, mContext);
  return glXMakeCurrent(mDisplay, mWindow, mContext);
}

void X11EmbedWindow::DeactivateGLContext()
{
  if (mOuterGL)
    mOuterGL.reset();
  else if (mDisplay != nullptr && mContext != nullptr && glXGetCurrentContext() == mContext)
    glXMakeCurrent(mDisplay, None, nullptr);
}

void X11EmbedWindow::SwapBuffers()
{
  if (mContext != nullptr)
    glXSwapBuffers(mDisplay, mWindow);
}

bool X11EmbedWindow::PresentRegion(int x, int y, int w, int h)
{
  if (mContext == nullptr || mCopySubBuffer == nullptr)
    return false;
  mCopySubBuffer(mDisplay, mWindow, x, y, w, h);
  return true;
}

} // namespace plugkit::gfx
