// An OpenGL 3.3 core context without a window (EGL on Mesa's surfaceless platform), a framebuffer
// standing in for the window, pixel probes and PNG output of what it shows.
#pragma once

#include <string>
#include <vector>

#include <EGL/egl.h>

namespace gfx_gl_test {

struct RGBA
{
  int r, g, b, a;
};

class OffscreenGL
{
public:
  OffscreenGL();
  ~OffscreenGL();
  OffscreenGL(const OffscreenGL&) = delete;
  OffscreenGL& operator=(const OffscreenGL&) = delete;

  bool Ok() const { return mContext != EGL_NO_CONTEXT; }
  void MakeCurrent();
  // The stand-in window: w × h device pixels (made again when the size changes).
  unsigned WindowFramebuffer(int w, int h);
  // The window's pixel at (x, y), counted from the top left.
  RGBA Probe(int x, int y);
  // The whole window, rows top to bottom.
  std::vector<unsigned char> ReadWindow();
  int Width() const { return mW; }
  int Height() const { return mH; }
  // Writes the window as a PNG under the test artifacts folder; returns the path.
  std::string WritePNG(const std::string& name);

private:
  EGLDisplay mDisplay = EGL_NO_DISPLAY;
  EGLContext mContext = EGL_NO_CONTEXT;
  unsigned mFBO = 0, mTexture = 0, mStencil = 0;
  int mW = 0, mH = 0;
};

} // namespace gfx_gl_test
