// Layers: offscreen bitmaps drawing is redirected into, drawn back later, and drop shadows on them.
#include <algorithm>
#include <cmath>

#include "IGfx/IControl.h"
#include "IGfx/IGfx.h"
#include "IGfx/ILayer.h"
#include "IGfx/ShadowBlur.h"

namespace plugkit::gfx {

void IGfx::StartLayer(IControl* control, const IRECT& r, bool cacheable)
{
  const float s = GetBackingPixelScale();
  const IRECT aligned(std::floor(r.L * s) / s, std::floor(r.T * s) / s, std::ceil(r.R * s) / s, std::ceil(r.B * s) / s);
  const int w = static_cast<int>(std::ceil(s * std::ceil(aligned.W())));
  const int h = static_cast<int>(std::ceil(s * std::ceil(aligned.H())));
  APIBitmap* bitmap = CreateAPIBitmap(w, h, GetScreenScale(), GetDrawScale(), cacheable);
  PushLayer(new ILayer(bitmap, aligned, control, control ? control->GetRECT() : IRECT()));
}

ILayerPtr IGfx::EndLayer() { return ILayerPtr(PopLayer()); }

void IGfx::ResumeLayer(ILayerPtr& layer)
{
  if (layer)
    PushLayer(layer.release());
}

void IGfx::PushLayer(ILayer* layer)
{
  mLayers.push(layer);
  UpdateLayer();
  PathTransformReset();
  PathClipRegion(layer->Bounds());
  PathClear();
}

ILayer* IGfx::PopLayer()
{
  ILayer* layer = nullptr;
  if (!mLayers.empty())
  {
    layer = mLayers.top();
    mLayers.pop();
  }
  UpdateLayer();
  PathTransformReset();
  PathClipRegion();
  PathClear();
  return layer;
}

void IGfx::PathClipRegion(const IRECT& r)
{
  const IRECT area = mLayers.empty() ? mClipRECT : mLayers.top()->Bounds();
  IRECT clip = area;
  if (!r.Empty())
  {
    // Rectangles that do not meet leave nothing to draw.
    clip = IRECT(std::max(r.L, area.L), std::max(r.T, area.T), std::min(r.R, area.R), std::min(r.B, area.B));
    if (!(clip.W() > 0.f && clip.H() > 0.f))
      clip = IRECT(area.L, area.T, area.L, area.T);
  }
  PathTransformSetMatrix(IMatrix());
  SetClipRegion(clip);
  PathTransformSetMatrix(mTransform);
}

bool IGfx::CheckLayer(const ILayerPtr& layer)
{
  if (!layer || !layer->GetAPIBitmap())
    return false;
  if (IControl* control = layer->GetControl(); control && control->GetRECT() != layer->GetControlRECT())
  {
    layer->SetControlRECT(control->GetRECT());
    layer->Invalidate();
  }
  const APIBitmap* b = layer->GetAPIBitmap();
  return !layer->IsInvalid() && b->GetDrawScale() == GetDrawScale() && b->GetScale() == GetScreenScale();
}

void IGfx::DrawLayer(const ILayerPtr& layer, const IBlend* blend)
{
  if (!layer)
    return;
  PathTransformSave();
  PathTransformReset();
  DrawBitmap(layer->GetBitmap(), layer->Bounds(), 0, 0, blend);
  PathTransformRestore();
}

void IGfx::DrawFittedLayer(const ILayerPtr& layer, const IRECT& bounds, const IBlend* blend)
{
  if (!layer)
    return;
  const IRECT& r = layer->Bounds();
  if (!(r.W() > 0.f && r.H() > 0.f))
    return;
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(bounds.W() / r.W(), bounds.H() / r.H());
  DrawBitmap(layer->GetBitmap(), IRECT(0.f, 0.f, r.W(), r.H()), 0, 0, blend);
  PathTransformRestore();
}

void IGfx::DrawRotatedLayer(const ILayerPtr& layer, double angle)
{
  if (!layer)
    return;
  PathTransformSave();
  PathTransformReset();
  DrawRotatedBitmap(layer->GetBitmap(), layer->Bounds().MW(), layer->Bounds().MH(), angle);
  PathTransformRestore();
}

void IGfx::ApplyLayerDropShadow(ILayerPtr& layer, const IShadow& shadow)
{
  if (!layer || !layer->GetAPIBitmap())
    return;
  RawBitmapData pixels;
  GetLayerBitmapData(layer, pixels);
  if (pixels.empty())
    return;
  const APIBitmap* b = layer->GetAPIBitmap();
  ShadowBlur blur;
  blur.SetSize(shadow.mBlurSize, b->GetScale(), b->GetDrawScale());
  blur.Apply(pixels.data(), static_cast<int>(pixels.size()), b->GetWidth(), b->GetHeight(), AlphaChannel(),
             FlippedBitmap());
  ApplyShadowMask(layer, pixels, shadow);
}

} // namespace plugkit::gfx
