// The NanoVG drawing backend on OpenGL 3: every operation that touches pixels. Abstract: a platform
// class derives from it, owns the view and its GL context, and calls OnViewInitialized with the
// context current.
#pragma once

#include <mutex>
#include <stack>

#include "IGfx/IBitmap.h"
#include "IGfx/IFontData.h"
#include "IGfx/IGfx.h"
#include "IGfx/StaticStorage.h"

struct NVGcontext;
struct NVGLUframebuffer;

namespace plugkit::gfx {

// Main thread; the platform makes the GL context current around every call that reaches GL.
class IGfxNanoVG : public IGfx
{
public:
  // A NanoVG image: a decoded file, a framebuffer (layers) or raw pixels (shadow masks).
  class Bitmap : public APIBitmap
  {
  public:
    Bitmap(IGfxNanoVG& owner, int image, float scale, bool sharedTexture);
    Bitmap(IGfxNanoVG& owner, int width, int height, float scale, float drawScale);
    Bitmap(IGfxNanoVG& owner, int width, int height, const unsigned char* rgba, float scale, float drawScale);
    ~Bitmap() override;
    NVGLUframebuffer* GetFBO() const { return mFBO; }

  private:
    IGfxNanoVG& mOwner;
    NVGcontext* mVG;
    NVGLUframebuffer* mFBO = nullptr;
    bool mSharedTexture = false;
  };

  IGfxNanoVG(IGEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);
  ~IGfxNanoVG() override;

  // Process-wide font bytes, shared by every NanoVG context; keyed by font id at scale 1.
  static StaticStorage<IFontData>& FontCache();

  void BeginFrame() override;
  void OnViewInitialized(void* pContext) override;
  void OnViewDestroyed() override;
  void EndFrame() override;
  void DrawResize() override;

  void DrawBitmap(const IBitmap& bitmap, const IRECT& dest, int srcX, int srcY, const IBlend* blend) override;
  using IGfx::DrawBitmap;
  void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend, float thickness,
                      float dashLen) override;
  void DrawDottedRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness,
                      float dashLen) override;
  void DrawMultiLineText(const IText& text, const char* str, IRECT& bounds, const IBlend* blend) override;
  IColor GetPoint(int, int) override { return COLOR_BLACK; }
  void* GetDrawContext() override { return mVG; }
  const char* GetDrawingAPIStr() override { return "NanoVG | GL3"; }
  void RetainBitmap(const IBitmap& bitmap, const char* cacheName) override;
  void ReleaseBitmap(const IBitmap&) override {}
  bool BitmapExtSupported(const char* ext) override;
  void DrawFastDropShadow(const IRECT& innerBounds, const IRECT& outerBounds, float xyDrop, float roundness, float blur,
                          const IBlend* blend) override;
  void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) override;
  void ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow) override;
  void UpdateLayer() override;

  void PathClear() override;
  void PathClose() override;
  void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathSetWinding(bool clockwise) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                  const IBlend* blend) override;
  void PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) override;
  void PathTransformSetMatrix(const IMatrix& m) override;
  void SetClipRegion(const IRECT& r) override;

  IBitmap LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale) override;
  using IGfx::LoadBitmap;
  APIBitmap* LoadAPIBitmap(const char* fileNameOrResID, int scale, EResourceLocation location,
                           const char* ext) override;
  APIBitmap* LoadAPIBitmap(const char* name, const void* pData, int dataSize, int scale) override;
  APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale, bool cacheable) override;
  bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) override;
  int AlphaChannel() const override { return 3; }
  bool FlippedBitmap() const override { return false; }
  float DoMeasureText(const IText& text, const char* str, IRECT& bounds) const override;
  void DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) override;
  bool KeepsDecodedBitmaps() const override { return true; }
  APIBitmap* FindCachedBitmap(const char* name, int scale) override;

  // How many images this context decoded from files or memory since it was made.
  int NDecodedBitmaps() const { return mDecodeCount; }
  // The offscreen framebuffer every frame is drawn into; null without a view.
  NVGLUframebuffer* GetMainFramebuffer() const { return mMainFrameBuffer; }
  // The window pixels the last frame changed, as a few rectangles (x, y, w, h, rows counted from the
  // bottom as GL does); none when it redrew the whole window.
  int NLastFrameRegions() const { return mNFrameRegions; }
  void LastFrameRegion(int i, int& x, int& y, int& w, int& h) const;

protected:
  // The GL framebuffer that shows a frame: 0 is the window's own.
  virtual unsigned WindowFramebuffer() const { return 0; }
  // Whether the platform shows a frame's changed pixels alone (LastFramePixels): then only those are
  // copied to the window's framebuffer, the rest of which is never shown.
  virtual bool PresentsChangedPixelsOnly() const { return false; }

private:
  void DeleteFBO(NVGLUframebuffer* fbo);
  void ClearFBOStack();
  void BindFramebuffer(NVGLUframebuffer* fbo, int pixelWidth, int pixelHeight);
  void BindMainFramebuffer();
  void PrepareAndMeasureText(const IText& text, const char* str, IRECT& r, float& x, float& y) const;
  void ClearBitmapCache();

  bool mInDraw = false;
  std::mutex mFBOMutex;
  std::stack<NVGLUframebuffer*> mFBOStack;
  StaticStorage<APIBitmap> mBitmapCache;
  NVGcontext* mVG = nullptr;
  NVGLUframebuffer* mMainFrameBuffer = nullptr;
  int mDecodeCount = 0;
  // What the frame being drawn clipped to in the main framebuffer (UI units), merged where they meet,
  // then the same in window pixels (left, bottom, right, top, GL's rows) once the frame is drawn.
  static constexpr int kMaxFrameRegions = 8;
  IRECT mFrameClips[kMaxFrameRegions];
  int mFramePixels[kMaxFrameRegions][4] = {};
  int mNFrameRegions = 0;
};

} // namespace plugkit::gfx
