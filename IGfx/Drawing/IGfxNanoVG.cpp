#include "IGfx/Drawing/IGfxNanoVG.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

#include "IGfx/IControl.h"
#include "IGfx/Drawing/NanoVGBatchedGL3.h"
#include "IGfx/ILayer.h"
#include "IGfx/PlatformFont.h"
#include "IGfx/Platforms/FontconfigHelpers.h"
#include "nanovg.h"
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"

namespace plugkit::gfx {

namespace {
NVGcolor NanoVGColor(const IColor& color, const IBlend* blend)
{
  const float weight = blend ? blend->mWeight : 1.f;
  return nvgRGBAf(static_cast<float>(color.R) / 255.f, static_cast<float>(color.G) / 255.f,
                  static_cast<float>(color.B) / 255.f, static_cast<float>(color.A) * weight / 255.f);
}

void NanoVGSetBlendMode(NVGcontext* vg, const IBlend* blend)
{
  if (!blend)
  {
    nvgGlobalCompositeOperation(vg, NVG_SOURCE_OVER);
    return;
  }
  const int method = static_cast<int>(blend->mMethod);
  if (method >= 0 && method <= 7)
    nvgGlobalCompositeOperation(vg, method);
  else if (method == 8)
    nvgGlobalCompositeBlendFunc(vg, NVG_SRC_ALPHA, NVG_DST_ALPHA);
  else if (method == 9)
    nvgGlobalCompositeOperation(vg, NVG_XOR);
}

NVGpaint NanoVGPaint(NVGcontext* vg, const IPattern& pattern, const IBlend* blend)
{
  const NVGcolor inner = NanoVGColor(pattern.GetStop(0).mColor, blend);
  const NVGcolor outer = NanoVGColor(pattern.GetStop(std::max(pattern.NStops() - 1, 0)).mColor, blend);
  const IMatrix& m = pattern.mTransform;
  double d = m.mXX * m.mYY - m.mYX * m.mXY;
  if (d == 0.0)
    d = 1e-12; // a degenerate transform stretches the gradient to a hard edge instead of dividing by zero
  const double ixx = m.mYY / d, iyx = -m.mYX / d, ixy = -m.mXY / d, iyy = m.mXX / d;
  const double itx = -m.mTX * m.mYY / d + m.mTY * m.mXY / d, ity = m.mTX * m.mYX / d - m.mTY * m.mXX / d;
  const float sx = static_cast<float>(itx), sy = static_cast<float>(ity);
  if (pattern.mType == EPatternType::Radial)
  {
    const float outerR = static_cast<float>(ixx);
    return nvgRadialGradient(vg, sx, sy, pattern.GetStop(0).mOffset * outerR, outerR, inner, outer);
  }
  const float ex = static_cast<float>(ixy + itx), ey = static_cast<float>(iyy + ity);
  (void)iyx;
  return nvgLinearGradient(vg, sx, sy, ex, ey, inner, outer);
}

void NanoVGRect(NVGcontext* vg, const IRECT& r) { nvgRect(vg, r.L, r.T, r.W(), r.H()); }
} // namespace

//------------------------------------------------------------------------------------------------
// Bitmaps

IGfxNanoVG::Bitmap::Bitmap(IGfxNanoVG& owner, int image, float scale, bool sharedTexture)
  : mOwner(owner)
  , mVG(owner.mVG)
  , mSharedTexture(sharedTexture)
{
  int w = 0, h = 0;
  if (image > 0)
    nvgImageSize(mVG, image, &w, &h);
  SetBitmap(image, w, h, scale, 1.f);
}

IGfxNanoVG::Bitmap::Bitmap(IGfxNanoVG& owner, int width, int height, float scale, float drawScale)
  : mOwner(owner)
  , mVG(owner.mVG)
{
  mFBO = mVG ? nvgluCreateFramebuffer(mVG, width, height, 0) : nullptr;
  if (!mFBO)
  {
    SetBitmap(0, 0, 0, scale, drawScale);
    return;
  }
  nvgluBindFramebuffer(mFBO);
  glViewport(0, 0, width, height);
  glClearColor(0.f, 0.f, 0.f, 0.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  nvgBeginFrame(mVG, static_cast<float>(width), static_cast<float>(height), 1.f);
  nvgEndFrame(mVG);
  SetBitmap(mFBO->image, width, height, scale, drawScale);
}

IGfxNanoVG::Bitmap::Bitmap(IGfxNanoVG& owner, int width, int height, const unsigned char* rgba, float scale,
                           float drawScale)
  : mOwner(owner)
  , mVG(owner.mVG)
{
  const int image = mVG ? nvgCreateImageRGBA(mVG, width, height, 0, rgba) : 0;
  SetBitmap(image, width, height, scale, drawScale);
}

IGfxNanoVG::Bitmap::~Bitmap()
{
  if (mSharedTexture)
    return;
  if (mFBO)
    mOwner.DeleteFBO(mFBO);
  else if (GetBitmap() > 0 && mVG)
    nvgDeleteImage(mVG, GetBitmap());
}

//------------------------------------------------------------------------------------------------
// Life cycle

StaticStorage<IFontData>& IGfxNanoVG::FontCache()
{
  static StaticStorage<IFontData> cache;
  return cache;
}

IGfxNanoVG::IGfxNanoVG(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
  : IGfx(dlg, w, h, fps, scale)
{
  StaticStorage<IFontData>::Accessor(FontCache()).Retain();
}

IGfxNanoVG::~IGfxNanoVG()
{
  {
    StaticStorage<IFontData>::Accessor fonts(FontCache());
    fonts.Release();
    ClearFBOStack();
  }
  ClearBitmapCache();
}

void IGfxNanoVG::ClearBitmapCache() { StaticStorage<APIBitmap>::Accessor(mBitmapCache).Clear(); }

void IGfxNanoVG::OnViewInitialized(void*)
{
  if (!mVG)
    mVG = nvgCreateBatchedGL3(NVG_ANTIALIAS);
}

void IGfxNanoVG::OnViewDestroyed()
{
  RemoveAllControls();
  ClearBitmapCache();
  ClearFBOStack();
  if (mMainFrameBuffer)
  {
    nvgluDeleteFramebuffer(mMainFrameBuffer);
    mMainFrameBuffer = nullptr;
  }
  if (mVG)
  {
    nvgDeleteGL3(mVG);
    mVG = nullptr;
  }
}

void IGfxNanoVG::DrawResize()
{
  ActivateGLContext();
  if (mMainFrameBuffer)
  {
    nvgluDeleteFramebuffer(mMainFrameBuffer);
    mMainFrameBuffer = nullptr;
  }
  if (mVG)
  {
    const int w = static_cast<int>(static_cast<float>(WindowWidth()) * GetScreenScale());
    const int h = static_cast<int>(static_cast<float>(WindowHeight()) * GetScreenScale());
    if (w > 0 && h > 0)
      mMainFrameBuffer = nvgluCreateFramebuffer(mVG, w, h, 0);
    if (mMainFrameBuffer)
    {
      // A new target holds nothing yet; every pixel is redrawn by the full first frame.
      BindFramebuffer(mMainFrameBuffer, w, h);
      glClearColor(0.f, 0.f, 0.f, 0.f);
      glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
  }
  DeactivateGLContext();
}

void IGfxNanoVG::BindFramebuffer(NVGLUframebuffer* fbo, int pixelWidth, int pixelHeight)
{
  glBindFramebuffer(GL_FRAMEBUFFER, fbo ? fbo->fbo : WindowFramebuffer());
  glViewport(0, 0, pixelWidth, pixelHeight);
}

void IGfxNanoVG::BindMainFramebuffer()
{
  BindFramebuffer(mMainFrameBuffer, static_cast<int>(static_cast<float>(WindowWidth()) * GetScreenScale()),
                  static_cast<int>(static_cast<float>(WindowHeight()) * GetScreenScale()));
}

//------------------------------------------------------------------------------------------------
// Frames

void IGfxNanoVG::BeginFrame()
{
  mInDraw = true;
  mNFrameRegions = 0;
  IGfx::BeginFrame();
  BindMainFramebuffer();
  nvgBeginFrame(mVG, static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()), GetScreenScale());
}

void IGfxNanoVG::EndFrame()
{
  nvgEndFrame(mVG);
  const int w = static_cast<int>(static_cast<float>(WindowWidth()) * GetScreenScale());
  const int h = static_cast<int>(static_cast<float>(WindowHeight()) * GetScreenScale());
  // The pixels the frame's clips reached (they are aligned to whole pixels already; the rounding only
  // absorbs float error), as GL counts rows. A region that covers the window makes it a whole frame.
  const float s = GetBackingPixelScale();
  for (int i = 0; i < mNFrameRegions; ++i)
  {
    const IRECT& c = mFrameClips[i];
    const int l = std::clamp(static_cast<int>(std::floor(c.L * s + 0.01f)), 0, w);
    const int r = std::clamp(static_cast<int>(std::ceil(c.R * s - 0.01f)), l, w);
    const int t = std::clamp(static_cast<int>(std::floor(c.T * s + 0.01f)), 0, h);
    const int b = std::clamp(static_cast<int>(std::ceil(c.B * s - 0.01f)), t, h);
    int* p = mFramePixels[i];
    p[0] = l;
    p[1] = h - b;
    p[2] = r;
    p[3] = h - t;
    if (l == 0 && t == 0 && r == w && b == h)
      mNFrameRegions = 0;
  }
  if (mMainFrameBuffer)
  {
    // The main framebuffer holds the whole picture at the window's pixel size: a straight copy shows
    // it, with no second NanoVG pass (and its own draw submission) for one textured rectangle.
    // Asked first: a derived class may make (and bind) its window target on demand.
    const unsigned window = WindowFramebuffer();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, mMainFrameBuffer->fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, window);
    glViewport(0, 0, w, h);
    if (mNFrameRegions == 0 || !PresentsChangedPixelsOnly())
      glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    else
      for (int i = 0; i < mNFrameRegions; ++i)
      {
        const int* p = mFramePixels[i];
        glBlitFramebuffer(p[0], p[1], p[2], p[3], p[0], p[1], p[2], p[3], GL_COLOR_BUFFER_BIT, GL_NEAREST);
      }
  }
  BindFramebuffer(nullptr, w, h);
  mInDraw = false;
  ClearFBOStack();
}

void IGfxNanoVG::DeleteFBO(NVGLUframebuffer* fbo)
{
  if (!mInDraw)
  {
    nvgluDeleteFramebuffer(fbo);
    return;
  }
  std::lock_guard<std::mutex> lock(mFBOMutex);
  mFBOStack.push(fbo);
}

void IGfxNanoVG::ClearFBOStack()
{
  std::lock_guard<std::mutex> lock(mFBOMutex);
  while (!mFBOStack.empty())
  {
    nvgluDeleteFramebuffer(mFBOStack.top());
    mFBOStack.pop();
  }
}

void IGfxNanoVG::UpdateLayer()
{
  if (!mVG)
    return;
  nvgEndFrame(mVG);
  const float ds = GetDrawScale();
  if (!mLayers.empty())
  {
    ILayer* layer = mLayers.top();
    auto* bitmap = static_cast<Bitmap*>(layer->GetAPIBitmap());
    if (!bitmap || !bitmap->GetFBO())
      return;
    BindFramebuffer(bitmap->GetFBO(), bitmap->GetWidth(), bitmap->GetHeight());
    nvgBeginFrame(mVG, layer->Bounds().W() * ds, layer->Bounds().H() * ds, GetScreenScale());
  }
  else if (mInDraw)
  {
    BindMainFramebuffer();
    nvgBeginFrame(mVG, static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()), GetScreenScale());
  }
}

//------------------------------------------------------------------------------------------------
// Paths

void IGfxNanoVG::PathClear() { nvgBeginPath(mVG); }

void IGfxNanoVG::PathClose() { nvgClosePath(mVG); }

void IGfxNanoVG::PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding)
{
  constexpr float pi = 3.1415927f;
  nvgArc(mVG, cx, cy, r, (a1 - 90.f) / 180.f * pi, (a2 - 90.f) / 180.f * pi,
         winding == EWinding::CW ? NVG_CW : NVG_CCW);
}

void IGfxNanoVG::PathMoveTo(float x, float y) { nvgMoveTo(mVG, x, y); }

void IGfxNanoVG::PathLineTo(float x, float y) { nvgLineTo(mVG, x, y); }

void IGfxNanoVG::PathSetWinding(bool clockwise) { nvgPathWinding(mVG, clockwise ? NVG_CW : NVG_CCW); }

void IGfxNanoVG::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2)
{
  nvgBezierTo(mVG, c1x, c1y, c2x, c2y, x2, y2);
}

void IGfxNanoVG::PathQuadraticBezierTo(float cx, float cy, float x2, float y2) { nvgQuadTo(mVG, cx, cy, x2, y2); }

void IGfxNanoVG::PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                            const IBlend* blend)
{
  const int cap = static_cast<int>(options.mCapOption);
  if (cap >= 0 && cap <= 2)
    nvgLineCap(mVG, cap);
  switch (options.mJoinOption)
  {
  case ELineJoin::Miter: nvgLineJoin(mVG, NVG_MITER); break;
  case ELineJoin::Round: nvgLineJoin(mVG, NVG_ROUND); break;
  case ELineJoin::Bevel: nvgLineJoin(mVG, NVG_BEVEL); break;
  }
  nvgMiterLimit(mVG, options.mMiterLimit);
  nvgStrokeWidth(mVG, thickness);
  if (pattern.mType == EPatternType::Solid)
    nvgStrokeColor(mVG, NanoVGColor(pattern.GetStop(0).mColor, blend));
  else
    nvgStrokePaint(mVG, NanoVGPaint(mVG, pattern, blend));
  nvgPathWinding(mVG, NVG_CCW);
  NanoVGSetBlendMode(mVG, blend);
  nvgStroke(mVG);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  if (!options.mPreserve)
    nvgBeginPath(mVG);
}

void IGfxNanoVG::PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend)
{
  if (options.mFillRule == EFillRule::Winding)
    nvgPathWinding(mVG, NVG_CCW);
  else if (options.mFillRule == EFillRule::EvenOdd)
    nvgPathWinding(mVG, NVG_CW);
  if (pattern.mType == EPatternType::Solid)
    nvgFillColor(mVG, NanoVGColor(pattern.GetStop(0).mColor, blend));
  else
    nvgFillPaint(mVG, NanoVGPaint(mVG, pattern, blend));
  NanoVGSetBlendMode(mVG, blend);
  nvgFill(mVG);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  if (!options.mPreserve)
    nvgBeginPath(mVG);
}

void IGfxNanoVG::PathTransformSetMatrix(const IMatrix& m)
{
  if (!mVG)
    return;
  nvgResetTransform(mVG);
  nvgScale(mVG, GetDrawScale(), GetDrawScale());
  if (!mLayers.empty())
    nvgTranslate(mVG, -mLayers.top()->Bounds().L, -mLayers.top()->Bounds().T);
  nvgTransform(mVG, static_cast<float>(m.mXX), static_cast<float>(m.mYX), static_cast<float>(m.mXY),
               static_cast<float>(m.mYY), static_cast<float>(m.mTX), static_cast<float>(m.mTY));
}

void IGfxNanoVG::SetClipRegion(const IRECT& r)
{
  nvgScissor(mVG, r.L, r.T, r.W(), r.H());
  // Every draw into the main framebuffer is confined to its clip, so the clips are what the frame can
  // change there: kept as a few rectangles, a clip joining the first one it meets (the controls of one
  // region meet it), the last taking whatever does not fit.
  if (!mInDraw || !mLayers.empty() || !(r.W() > 0.f && r.H() > 0.f))
    return;
  for (int i = 0; i < mNFrameRegions; ++i)
    if (mFrameClips[i].GetPadded(1.f).Intersects(r))
    {
      mFrameClips[i] = mFrameClips[i].Union(r);
      return;
    }
  if (mNFrameRegions < kMaxFrameRegions)
    mFrameClips[mNFrameRegions++] = r;
  else
    mFrameClips[kMaxFrameRegions - 1] = mFrameClips[kMaxFrameRegions - 1].Union(r);
}

void IGfxNanoVG::LastFrameRegion(int i, int& x, int& y, int& w, int& h) const
{
  const int* p = mFramePixels[std::clamp(i, 0, kMaxFrameRegions - 1)];
  x = p[0];
  y = p[1];
  w = p[2] - p[0];
  h = p[3] - p[1];
}

//------------------------------------------------------------------------------------------------
// Dotted lines

void IGfxNanoVG::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                                float thickness, float dashLen)
{
  PathClear();
  PathMoveTo(x1, y1);
  const float length = std::hypot(x2 - x1, y2 - y1);
  // A dash length of 0 (or less) cannot divide the line; nothing is drawn.
  const float count = dashLen > 0.f ? std::round(length / dashLen) : 0.f;
  if (count >= 2.f && count < 1e6f)
  {
    const int n = static_cast<int>(count);
    const float t = 1.f / static_cast<float>(n);
    for (int i = 1; i < n; i += 2)
    {
      PathLineTo(x1 + static_cast<float>(i) * t * (x2 - x1), y1 + static_cast<float>(i) * t * (y2 - y1));
      PathMoveTo(x1 + static_cast<float>(i + 1) * t * (x2 - x1), y1 + static_cast<float>(i + 1) * t * (y2 - y1));
    }
  }
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfxNanoVG::DrawDottedRect(const IColor& color, const IRECT& bounds, const IBlend* blend, float thickness,
                                float dashLen)
{
  PathClear();
  if (!(dashLen > 0.f))
    return;
  const int xs = static_cast<int>(std::ceil(bounds.W() / (2.f * dashLen)));
  const int ys = static_cast<int>(std::ceil(bounds.H() / (2.f * dashLen)));
  float x = bounds.L, y = bounds.T;
  PathMoveTo(x, y);
  auto step = [&](float& v, float d, float lo, float hi, bool draw) {
    v = std::clamp(v + d, lo, hi);
    if (draw)
      PathLineTo(x, y);
    else
      PathMoveTo(x, y);
  };
  for (int i = 0; i < xs; ++i)
  {
    step(x, dashLen, bounds.L, bounds.R, true);
    step(x, dashLen, bounds.L, bounds.R, false);
  }
  for (int i = 0; i < ys; ++i)
  {
    step(y, dashLen, bounds.T, bounds.B, true);
    step(y, dashLen, bounds.T, bounds.B, false);
  }
  for (int i = 0; i < xs; ++i)
  {
    step(x, -dashLen, bounds.L, bounds.R, true);
    step(x, -dashLen, bounds.L, bounds.R, false);
  }
  for (int i = 0; i < ys; ++i)
  {
    step(y, -dashLen, bounds.T, bounds.B, true);
    step(y, -dashLen, bounds.T, bounds.B, false);
  }
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGfxNanoVG::DrawFastDropShadow(const IRECT& inner, const IRECT& outer, float xyDrop, float roundness, float blur,
                                    const IBlend* blend)
{
  const NVGpaint shadow =
    nvgBoxGradient(mVG, inner.L + xyDrop, inner.T + xyDrop, inner.W(), inner.H(), roundness, blur,
                   NanoVGColor(COLOR_BLACK_DROP_SHADOW, blend), NanoVGColor(COLOR_TRANSPARENT, nullptr));
  nvgBeginPath(mVG);
  NanoVGRect(mVG, outer);
  nvgFillPaint(mVG, shadow);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  nvgFill(mVG);
  nvgBeginPath(mVG);
}

//------------------------------------------------------------------------------------------------
// Bitmaps

bool IGfxNanoVG::BitmapExtSupported(const char* ext)
{
  if (!ext)
    return false;
  std::string lower(ext);
  // The test looks at the first 31 characters, as the extension buffer holds no more.
  if (lower.size() > 31)
    lower.resize(31);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower.find("png") != std::string::npos || lower.find("jpg") != std::string::npos ||
         lower.find("jpeg") != std::string::npos;
}

IBitmap IGfxNanoVG::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale)
{
  if (!name)
    return IBitmap();
  if (targetScale == 0)
    targetScale = static_cast<int>(std::ceil(GetScreenScale()));
  StaticStorage<APIBitmap>::Accessor cache(mBitmapCache);
  if (APIBitmap* cached = cache.Find(name, targetScale))
    return IBitmap(cached, nStates, framesAreHorizontal, name);

  const char* dot = std::strrchr(name, '.');
  const std::string ext = dot ? dot + 1 : name;
  int sourceScale = 0;
  TextString path;
  const EResourceLocation found = SearchImageResource(name, ext.c_str(), path, targetScale, sourceScale);
  if (found == EResourceLocation::NotFound || !BitmapExtSupported(ext.c_str()))
    return IBitmap();
  // The file is cached under the scale it was found at; look there before decoding it again.
  APIBitmap* bitmap = cache.Find(name, sourceScale);
  if (!bitmap)
  {
    bitmap = LoadAPIBitmap(path.Get(), sourceScale, found, ext.c_str());
    if (!bitmap)
      return IBitmap();
    cache.Add(bitmap, name, sourceScale);
  }
  return IBitmap(bitmap, nStates, framesAreHorizontal, name);
}

APIBitmap* IGfxNanoVG::LoadAPIBitmap(const char* fileNameOrResID, int scale, EResourceLocation location, const char*)
{
  int image = 0;
  if (location == EResourceLocation::AbsolutePath && mVG)
  {
    ActivateGLContext();
    image = nvgCreateImage(mVG, fileNameOrResID, 0);
    DeactivateGLContext();
    ++mDecodeCount;
  }
  return new Bitmap(*this, image, static_cast<float>(scale), location == EResourceLocation::PreloadedTexture);
}

APIBitmap* IGfxNanoVG::LoadAPIBitmap(const char* name, const void* pData, int dataSize, int scale)
{
  StaticStorage<APIBitmap>::Accessor cache(mBitmapCache);
  if (APIBitmap* cached = cache.Find(name, scale))
    return cached;
  int image = 0;
  if (mVG && pData && dataSize > 0)
  {
    ActivateGLContext();
    image = nvgCreateImageMem(mVG, 0, static_cast<unsigned char*>(const_cast<void*>(pData)), dataSize);
    DeactivateGLContext();
    ++mDecodeCount;
  }
  auto* bitmap = new Bitmap(*this, image, static_cast<float>(scale), false);
  cache.Add(bitmap, name, scale);
  return bitmap;
}

APIBitmap* IGfxNanoVG::FindCachedBitmap(const char* name, int scale)
{
  return StaticStorage<APIBitmap>::Accessor(mBitmapCache).Find(name, scale);
}

void IGfxNanoVG::RetainBitmap(const IBitmap& bitmap, const char* cacheName)
{
  // Scaled copies live in this context's cache, beside the images they were made from.
  if (APIBitmap* b = bitmap.GetAPIBitmap())
    StaticStorage<APIBitmap>::Accessor(mBitmapCache).Add(b, cacheName, b->GetScale());
}

APIBitmap* IGfxNanoVG::CreateAPIBitmap(int width, int height, float scale, double drawScale, bool)
{
  if (mInDraw)
    nvgEndFrame(mVG);
  auto* bitmap = new Bitmap(*this, width, height, scale, static_cast<float>(drawScale));
  if (mInDraw)
  {
    BindMainFramebuffer();
    nvgBeginFrame(mVG, static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()), GetScreenScale());
    // A new NanoVG frame forgets the clip and transform; the control drawing on keeps both.
    if (mLayers.empty())
      PathClipRegion();
  }
  return bitmap;
}

void IGfxNanoVG::DrawBitmap(const IBitmap& bitmap, const IRECT& dest, int srcX, int srcY, const IBlend* blend)
{
  const APIBitmap* b = bitmap.GetAPIBitmap();
  if (!b || b->GetBitmap() <= 0)
    return;
  const float k = 1.f / (b->GetScale() * b->GetDrawScale());
  NVGpaint paint;
  std::memset(&paint, 0, sizeof(paint));
  nvgTransformScale(paint.xform, k, k);
  paint.xform[4] = dest.L - static_cast<float>(srcX);
  paint.xform[5] = dest.T - static_cast<float>(srcY);
  paint.extent[0] = static_cast<float>(bitmap.W()) * b->GetScale();
  paint.extent[1] = static_cast<float>(bitmap.H()) * b->GetScale();
  paint.innerColor = paint.outerColor = nvgRGBAf(1.f, 1.f, 1.f, blend ? blend->mWeight : 1.f);
  paint.image = b->GetBitmap();
  nvgBeginPath(mVG);
  NanoVGRect(mVG, dest);
  nvgFillPaint(mVG, paint);
  NanoVGSetBlendMode(mVG, blend);
  nvgFill(mVG);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  nvgBeginPath(mVG);
}

//------------------------------------------------------------------------------------------------
// Layer pixels

void IGfxNanoVG::GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data)
{
  const APIBitmap* b = layer ? layer->GetAPIBitmap() : nullptr;
  if (!b)
    return;
  const int w = b->GetWidth(), h = b->GetHeight();
  data.resize(static_cast<size_t>(w) * h * 4);
  if (data.size() < static_cast<size_t>(w) * h * 4)
    return;
  PushLayer(layer.get());
  nvgEndFrame(mVG); // finish what the layer holds before reading it
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
  // GL rows run bottom to top; callers get them top to bottom.
  std::vector<uint8_t> row(static_cast<size_t>(w) * 4);
  for (int y = 0; y < h / 2; ++y)
  {
    uint8_t* a = data.data() + static_cast<size_t>(y) * w * 4;
    uint8_t* z = data.data() + static_cast<size_t>(h - 1 - y) * w * 4;
    std::memcpy(row.data(), a, row.size());
    std::memcpy(a, z, row.size());
    std::memcpy(z, row.data(), row.size());
  }
  nvgBeginFrame(mVG, layer->Bounds().W() * GetDrawScale(), layer->Bounds().H() * GetDrawScale(), GetScreenScale());
  PopLayer();
}

void IGfxNanoVG::ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow)
{
  APIBitmap* b = layer ? layer->GetAPIBitmap() : nullptr;
  if (!b)
    return;
  const int w = b->GetWidth(), h = b->GetHeight();
  if (mask.size() < static_cast<size_t>(w) * h * 4)
    return;
  const IRECT r = layer->Bounds();
  if (!shadow.mDrawForeground)
  {
    PushLayer(layer.get());
    nvgGlobalCompositeBlendFunc(mVG, NVG_ZERO, NVG_ZERO);
    PathRect(r);
    PathFill(COLOR_TRANSPARENT, IFillOptions(), nullptr);
    PopLayer();
  }
  Bitmap maskBitmap(*this, w, h, mask.data(), b->GetScale(), b->GetDrawScale());
  ILayer shadowLayer(CreateAPIBitmap(w, h, b->GetScale(), b->GetDrawScale(), false), r, nullptr, IRECT());
  const IBitmap maskImage(&maskBitmap, 1, false);
  const IBlend srcIn(EBlend::SrcIn, 1.f);

  PathTransformSave();
  PushLayer(layer.get());
  PushLayer(&shadowLayer);
  DrawBitmap(maskImage, r, 0, 0, nullptr);
  PathRect(r);
  PathTransformTranslate(-shadow.mXOffset, -shadow.mYOffset);
  PathFill(shadow.mPattern, IFillOptions(), &srcIn);
  PopLayer();
  const IBlend dstOver(EBlend::DstOver, std::clamp(shadow.mOpacity, 0.f, 1.f));
  const IRECT moved(r.L + shadow.mXOffset, r.T + shadow.mYOffset, r.R + shadow.mXOffset, r.B + shadow.mYOffset);
  DrawBitmap(shadowLayer.GetBitmap(), moved, 0, 0, &dstOver);
  PopLayer();
  PathTransformRestore();
}

//------------------------------------------------------------------------------------------------
// Fonts and text

namespace {

// Glyphs a font lacks (a preset named in Chinese, Cyrillic or Greek) come from installed faces,
// which each context reads once for itself.
void AddFallbackFonts(NVGcontext* vg, int fontHandle)
{
  if (!vg || fontHandle < 0)
    return;
  const auto& faces = FontconfigHelpers::FallbackFaces();
  for (size_t i = 0; i < faces.size(); ++i)
  {
    const std::string id = "fallback-" + std::to_string(i);
    int handle = nvgFindFont(vg, id.c_str());
    if (handle < 0)
      handle = nvgCreateFontAtIndex(vg, id.c_str(), faces[i].path.c_str(), faces[i].faceIdx);
    if (handle >= 0 && handle != fontHandle)
      nvgAddFallbackFontId(vg, fontHandle, handle);
  }
}

} // namespace

bool IGfxNanoVG::LoadAPIFont(const char* fontID, const PlatformFontPtr& font)
{
  StaticStorage<IFontData>::Accessor cache(FontCache());
  if (IFontData* cached = cache.Find(fontID, 1.0))
  {
    if (mVG)
      AddFallbackFonts(mVG, nvgCreateFontMemAtIndex(mVG, fontID, const_cast<unsigned char*>(cached->Get()),
                                                    cached->GetSize(), 0, cached->GetFaceIdx()));
    return true;
  }
  if (!font || !mVG)
    return false;
  std::unique_ptr<IFontData> data = font->GetFontData();
  if (!data || !data->IsValid())
    return false;
  const int handle = nvgCreateFontMemAtIndex(mVG, fontID, const_cast<unsigned char*>(data->Get()), data->GetSize(), 0,
                                             data->GetFaceIdx());
  if (handle == -1)
    return false;
  cache.Add(data.release(), fontID, 1.0);
  AddFallbackFonts(mVG, handle);
  return true;
}

void IGfxNanoVG::PrepareAndMeasureText(const IText& text, const char* str, IRECT& r, float& x, float& y) const
{
  int align = 0;
  nvgFontBlur(mVG, 0.f);
  nvgFontSize(mVG, text.mSize);
  nvgFontFace(mVG, text.mFont);
  switch (text.mAlign)
  {
  case EAlign::Near:
    x = r.L;
    align |= NVG_ALIGN_LEFT;
    break;
  case EAlign::Center:
    x = r.MW();
    align |= NVG_ALIGN_CENTER;
    break;
  case EAlign::Far:
    x = r.R;
    align |= NVG_ALIGN_RIGHT;
    break;
  }
  switch (text.mVAlign)
  {
  case EVAlign::Top:
    y = r.T;
    align |= NVG_ALIGN_TOP;
    break;
  case EVAlign::Middle:
    y = r.MH();
    align |= NVG_ALIGN_MIDDLE;
    break;
  case EVAlign::Bottom:
    y = r.B;
    align |= NVG_ALIGN_BOTTOM;
    break;
  }
  nvgTextAlign(mVG, align);
  float b[4] = {};
  nvgTextBounds(mVG, x, y, str, nullptr, b);
  r = IRECT(b[0], b[1], b[2], b[3]);
}

float IGfxNanoVG::DoMeasureText(const IText& text, const char* str, IRECT& bounds) const
{
  if (!mVG)
    return 0.f;
  const IRECT given = bounds;
  float x = 0.f, y = 0.f;
  // Between frames the transform is not the drawing one; fontstash rounds advances at the scaled size,
  // so text measured unscaled would come out narrower than it is drawn at a draw scale above 1.
  if (!mInDraw)
  {
    nvgSave(mVG);
    nvgResetTransform(mVG);
    nvgScale(mVG, GetDrawScale(), GetDrawScale());
  }
  PrepareAndMeasureText(text, str, bounds, x, y);
  if (!mInDraw)
    nvgRestore(mVG);
  DoMeasureTextRotation(text, given, bounds);
  return bounds.W();
}

void IGfxNanoVG::DoDrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend)
{
  if (!mVG)
    return;
  IRECT box = bounds;
  float x = 0.f, y = 0.f;
  PrepareAndMeasureText(text, str, box, x, y);
  PathTransformSave();
  if (text.mAngle != 0.f)
  {
    double tx = 0.0, ty = 0.0;
    CalculateTextRotation(text, bounds, box, tx, ty);
    PathTransformTranslate(static_cast<float>(tx), static_cast<float>(ty));
    PathTransformRotate(text.mAngle);
  }
  nvgFillColor(mVG, NanoVGColor(text.mFGColor, blend));
  NanoVGSetBlendMode(mVG, blend);
  nvgText(mVG, x, y, str, nullptr);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  PathTransformRestore();
}

void IGfxNanoVG::DrawMultiLineText(const IText& text, const char* str, IRECT& bounds, const IBlend* blend)
{
  if (!mVG || !str || !str[0])
    return;
  nvgSave(mVG);
  nvgFontSize(mVG, text.mSize);
  nvgFontFace(mVG, text.mFont);
  float x = 0.f, y = 0.f, factor = 0.f;
  int align = 0;
  switch (text.mAlign)
  {
  case EAlign::Near:
    x = bounds.L;
    align |= NVG_ALIGN_LEFT;
    break;
  case EAlign::Center:
    x = bounds.MW();
    align |= NVG_ALIGN_CENTER;
    break;
  case EAlign::Far:
    x = bounds.R;
    align |= NVG_ALIGN_RIGHT;
    break;
  }
  switch (text.mVAlign)
  {
  case EVAlign::Top:
    y = bounds.T;
    align |= NVG_ALIGN_TOP;
    break;
  case EVAlign::Middle:
    y = bounds.MH();
    align |= NVG_ALIGN_MIDDLE;
    factor = 0.5f;
    break;
  case EVAlign::Bottom:
    y = bounds.B;
    align |= NVG_ALIGN_BOTTOM;
    factor = 1.f;
    break;
  }
  nvgTextAlign(mVG, align);
  float lineHeight = 0.f;
  nvgTextMetrics(mVG, nullptr, nullptr, &lineHeight);
  nvgFillColor(mVG, NanoVGColor(text.mFGColor, blend));
  const float width = bounds.R - bounds.L;
  const char* end = str + std::strlen(str);
  NVGtextRow rows[3];
  int total = 0;
  for (const char* start = str; start < end;)
  {
    const int n = nvgTextBreakLines(mVG, start, end, width, rows, 3);
    if (n <= 0)
      break;
    total += n;
    start = rows[n - 1].next;
  }
  int row = 0;
  for (const char* start = str; start < end;)
  {
    const int n = nvgTextBreakLines(mVG, start, end, width, rows, 3);
    if (n <= 0)
      break;
    for (int i = 0; i < n; ++i, ++row)
      nvgText(mVG, x, y + static_cast<float>(row) * lineHeight - static_cast<float>(total) * lineHeight * factor,
              rows[i].start, rows[i].end);
    start = rows[n - 1].next;
  }
  nvgRestore(mVG);
}

} // namespace plugkit::gfx
