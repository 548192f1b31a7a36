// The NanoVG backend with a do-nothing platform: frames land in an OffscreenGL window framebuffer,
// fonts come through fontconfig and the bundle-less resource lookup, and platform font reads are counted.
#pragma once

#include <functional>
#include <memory>

#include "IGfx/Drawing/IGfxNanoVG.h"
#include "IGfx/IControl.h"
#include "IGfx/Platforms/FontconfigHelpers.h"
#include "tests/support/offscreen_gl.h"

namespace gfx_gl_test {

using namespace plugkit::gfx;

// Draws whatever the test asks.
class LambdaControl : public IControl
{
public:
  LambdaControl(const IRECT& bounds, std::function<void(IGfx&, const IRECT&)> draw)
    : IControl(bounds)
    , mDraw(std::move(draw))
  {}
  void Draw(IGfx& g) override { mDraw(g, GetRECT()); }

private:
  std::function<void(IGfx&, const IRECT&)> mDraw;
};

class OffscreenGfx : public IGfxNanoVG
{
public:
  OffscreenGfx(IGEditorDelegate& dlg, OffscreenGL& gl, int w, int h, float drawScale, float screenScale = 1.f)
    : IGfxNanoVG(dlg, w, h, 60, drawScale)
    , mGL(gl)
  {
    mGL.MakeCurrent();
    OnViewInitialized(nullptr);
    SetOpening(true);
    SetScreenScale(screenScale);
    SetOpening(false);
  }
  ~OffscreenGfx() override
  {
    mGL.MakeCurrent();
    OnViewDestroyed();
  }

  // Draws every dirty control; true when a frame was drawn.
  bool Frame()
  {
    IRECTList rects;
    if (!IsDirty(rects))
      return false;
    SetAllControlsClean();
    Draw(rects);
    return true;
  }

  inline static int sPlatformFontReads = 0;

  void* OpenWindow(void*) override { return this; }
  void CloseWindow() override {}
  void* GetWindow() override { return this; }
  void PlatformResize(bool) override {}
  void ActivateGLContext() override { mGL.MakeCurrent(); }
  void GetMouseLocation(float& x, float& y) const override { x = y = 0.f; }
  void HideMouseCursor(bool, bool) override {}
  void MoveMouseCursor(float, float) override {}
  ECursor SetMouseCursor(ECursor cursor) override { return cursor; }
  void CreatePlatformTextEntry(int, const IText&, const IRECT&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IRECT&, bool& isAsync) override
  {
    isAsync = false;
    return nullptr;
  }
  EMsgBoxResult ShowMessageBox(const char*, const char*, EMsgBoxType, IMsgBoxCompletionHandlerFunc) override
  {
    return EMsgBoxResult::OK;
  }
  void PromptForFile(TextString&, TextString&, EFileAction, const char*, IFileDialogCompletionHandlerFunc) override {}
  void PromptForDirectory(TextString&, IFileDialogCompletionHandlerFunc) override {}
  bool PromptForColor(IColor&, const char*, IColorPickerHandlerFunc) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  bool RevealPathInExplorerOrFinder(TextString&, bool) override { return false; }
  bool GetTextFromClipboard(TextString&) override { return false; }
  bool SetTextInClipboard(const char*) override { return false; }
  bool SetFilePathInClipboard(const char*) override { return false; }
  bool InitiateExternalFileDragDrop(const char*, const IRECT&) override { return false; }
  void UpdateTooltips() override {}
  EUIAppearance GetUIAppearance() const override { return EUIAppearance::Light; }
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override
  {
    ++sPlatformFontReads;
    return FontconfigHelpers::LoadPlatformFont(fontID, fileNameOrResID, GetBundleID(), GetSharedResourcesSubPath());
  }
  PlatformFontPtr LoadPlatformFont(const char* fontID, void* pData, int dataSize) override
  {
    ++sPlatformFontReads;
    return FontconfigHelpers::LoadPlatformFont(fontID, pData, dataSize);
  }
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fontName, ETextStyle style) override
  {
    ++sPlatformFontReads;
    return FontconfigHelpers::LoadPlatformFont(fontID, fontName, style);
  }
  void CachePlatformFont(const char* fontID, const PlatformFontPtr& font) override
  {
    if (font)
      FontconfigHelpers::CachePlatformFont(fontID, *font, FontconfigHelpers::DescriptorCache());
  }

protected:
  unsigned WindowFramebuffer() const override
  {
    return mGL.WindowFramebuffer(static_cast<int>(static_cast<float>(WindowWidth()) * GetScreenScale()),
                                 static_cast<int>(static_cast<float>(WindowHeight()) * GetScreenScale()));
  }

private:
  OffscreenGL& mGL;
};

// The backend on a clock the test moves, so that animations (a bubble's fade-in, a menu's) end when
// the test says.
class ClockedOffscreenGfx : public OffscreenGfx
{
public:
  using OffscreenGfx::OffscreenGfx;
  double GetTimeMs() const override { return nowMs; }
  double nowMs = 1000.;
};

// Pixels light in every channel inside r: text drawn light on a dark fill shows as a count above a few.
inline int CountLightPixels(OffscreenGL& gl, const IRECT& r)
{
  int light = 0;
  for (float y = r.T; y < r.B; y += 1.f)
    for (float x = r.L; x < r.R; x += 1.f)
    {
      const RGBA p = gl.Probe(static_cast<int>(x), static_cast<int>(y));
      light += p.r > 200 && p.g > 200 && p.b > 200 ? 1 : 0;
    }
  return light;
}

} // namespace gfx_gl_test
