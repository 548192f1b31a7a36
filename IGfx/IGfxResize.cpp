// Resizing and rescaling the editor, and corner-resizer drags.
#include <algorithm>
#include <cmath>

#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"

namespace plugkit::gfx {

namespace {

int Trunc(float v) { return static_cast<int>(v); }

} // namespace

void IGfx::Resize(int w, int h, float scale, bool needsPlatformResize)
{
  if (!std::isfinite(scale))
    return;
  mDelegate.ConstrainEditorResize(w, h);
  scale = std::clamp(scale, mMinScale, mMaxScale);
  if (w == mWidth && h == mHeight && scale == mDrawScale)
    return;

  ReleaseMouseCapture();
  mDrawScale = scale;
  mWidth = w;
  mHeight = h;
  if (mCornerResizer)
    mCornerResizer->OnRescale();

  bool platformMustResize = false;
  if (!mOpening)
  {
    // The host is not asked while the window opens.
    const float windowScale = GetPlatformWindowScale();
    const int viewW = Trunc(windowScale * static_cast<float>(Trunc(static_cast<float>(w) * scale)));
    const int viewH = Trunc(windowScale * static_cast<float>(Trunc(static_cast<float>(h) * scale)));
    platformMustResize = mDelegate.EditorResizeFromUI(viewW, viewH, needsPlatformResize);
  }
  PlatformResize(platformMustResize);
  ForAllControlsFunc([](IControl* c) { c->OnResize(); });
  SetAllControlsDirty();
  DrawResize();
  if (mLayoutOnResize)
    mDelegate.LayoutUI(this);
}

void IGfx::SetScreenScale(float scale)
{
  mScreenScale = scale;
  bool platformMustResize = false;
  if (!mOpening)
  {
    const float windowScale = GetPlatformWindowScale();
    const int viewW = Trunc(windowScale * static_cast<float>(Trunc(static_cast<float>(mWidth) * mDrawScale)));
    const int viewH = Trunc(windowScale * static_cast<float>(Trunc(static_cast<float>(mHeight) * mDrawScale)));
    platformMustResize = mDelegate.EditorResizeFromUI(viewW, viewH, true);
  }
  PlatformResize(platformMustResize);
  ForAllControlsFunc([](IControl* c) { c->OnRescale(); });
  SetAllControlsDirty();
  DrawResize();
}

void IGfx::SetScaleConstraints(float lo, float hi)
{
  mMinScale = std::min(lo, hi);
  mMaxScale = std::max(lo, hi);
}

void IGfx::OnDragResize(float x, float y)
{
  if (mGUISizeMode == EUIResizerMode::Size)
  {
    Resize(Trunc(x), Trunc(y), mDrawScale, true);
    return;
  }
  // The press position is the reference; a press at the editor's edge would give no ratio.
  if (mMouseDownX <= 0.f || mMouseDownY <= 0.f)
    return;
  const float sx = x * mDrawScale / mMouseDownX;
  const float sy = y * mDrawScale / mMouseDownY;
  Resize(mWidth, mHeight, std::min(sx, sy), true);
}

void IGfx::EndDragResize()
{
  mResizingInProcess = false;
  if (mGUISizeMode == EUIResizerMode::Scale)
  {
    ForAllControlsFunc([](IControl* c) { c->OnRescale(); });
    SetAllControlsDirty();
  }
  else if (mCornerResizer)
    mCornerResizer->SetDirty(false);
}

} // namespace plugkit::gfx
