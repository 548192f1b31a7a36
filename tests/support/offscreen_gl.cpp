#include "tests/support/offscreen_gl.h"

#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <filesystem>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace gfx_gl_test {

namespace {
// One display for the process, never terminated: the driver stays loaded, so what it keeps for the
// process is still attributed to it when the leak checker looks at exit.
EGLDisplay SharedDisplay()
{
  static const EGLDisplay display = [] {
    auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay)
      return EGL_NO_DISPLAY;
    EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    return (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) ? d : EGL_NO_DISPLAY;
  }();
  return display;
}
} // namespace

OffscreenGL::OffscreenGL()
{
  mDisplay = SharedDisplay();
  if (mDisplay == EGL_NO_DISPLAY || !eglBindAPI(EGL_OPENGL_API))
    return;
  const EGLint configAttribs[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint n = 0;
  if (!eglChooseConfig(mDisplay, configAttribs, &config, 1, &n) || n < 1)
    config = nullptr;
  const EGLint contextAttribs[] = {
    EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
    EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
  mContext = eglCreateContext(mDisplay, config, EGL_NO_CONTEXT, contextAttribs);
  if (mContext != EGL_NO_CONTEXT)
    MakeCurrent();
}

OffscreenGL::~OffscreenGL()
{
  if (mContext != EGL_NO_CONTEXT)
  {
    MakeCurrent();
    glDeleteFramebuffers(1, &mFBO);
    glDeleteTextures(1, &mTexture);
    glDeleteRenderbuffers(1, &mStencil);
    eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(mDisplay, mContext);
  }
}

void OffscreenGL::MakeCurrent() { eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, mContext); }

unsigned OffscreenGL::WindowFramebuffer(int w, int h)
{
  if (mFBO && w == mW && h == mH)
    return mFBO;
  if (mFBO)
  {
    glDeleteFramebuffers(1, &mFBO);
    glDeleteTextures(1, &mTexture);
    glDeleteRenderbuffers(1, &mStencil);
  }
  mW = w;
  mH = h;
  glGenTextures(1, &mTexture);
  glBindTexture(GL_TEXTURE_2D, mTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glGenRenderbuffers(1, &mStencil);
  glBindRenderbuffer(GL_RENDERBUFFER, mStencil);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_STENCIL_INDEX8, w, h);
  glGenFramebuffers(1, &mFBO);
  glBindFramebuffer(GL_FRAMEBUFFER, mFBO);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mTexture, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, mStencil);
  return mFBO;
}

std::vector<unsigned char> OffscreenGL::ReadWindow()
{
  std::vector<unsigned char> px(static_cast<size_t>(mW) * mH * 4);
  glBindFramebuffer(GL_FRAMEBUFFER, mFBO);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, mW, mH, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  std::vector<unsigned char> flipped(px.size());
  const size_t row = static_cast<size_t>(mW) * 4;
  for (int y = 0; y < mH; ++y)
    std::memcpy(&flipped[y * row], &px[(mH - 1 - y) * row], row);
  return flipped;
}

RGBA OffscreenGL::Probe(int x, int y)
{
  unsigned char p[4] = {};
  glBindFramebuffer(GL_FRAMEBUFFER, mFBO);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, mH - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2], p[3]};
}

std::string OffscreenGL::WritePNG(const std::string& name)
{
  const std::filesystem::path dir(VEMLOR_TEST_ARTIFACTS);
  std::filesystem::create_directories(dir);
  const std::string path = (dir / (name + ".png")).string();
  const std::vector<unsigned char> px = ReadWindow();
  stbi_write_png(path.c_str(), mW, mH, 4, px.data(), mW * 4);
  return path;
}

} // namespace gfx_gl_test
