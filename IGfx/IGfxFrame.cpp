// The frame loop: collecting dirty rectangles and drawing the controls that meet them.
#include "IGfx/IGfx.h"
#include "IGfx/IGfxEditorDelegate.h"

namespace plugkit::gfx {

bool IGfx::IsDirty(IRECTList& rects)
{
  mDelegate.ApplyPendingParameterValues();
  if (mDisplayTickFunc)
    mDisplayTickFunc();
  VisitAllControls([](IControl* c) { c->Animate(); });

  bool dirty = false;
  VisitAllControls([&rects, &dirty](IControl* c) {
    if (!c->IsDirty())
      return;
    IRECT r = c->GetRECT().GetPadded(kControlPadding);
    if (const IControl* parent = c->GetParent())
      r = r.GetShiftedInto(parent->GetRECT().GetPadded(kControlPadding));
    rects.Add(r);
    dirty = true;
  });
  return dirty;
}

void IGfx::Draw(IRECTList& rects)
{
  if (rects.Size() == 0)
    return;
  const float scale = GetBackingPixelScale();
  BeginFrame();
  if (mStrict)
  {
    Draw(rects.Bounds().GetPixelAligned(scale), scale);
  }
  else
  {
    rects.PixelAlign(scale);
    rects.Optimize();
    for (const IRECT& r : rects)
      Draw(r, scale);
  }
  EndFrame();
}

void IGfx::Draw(const IRECT& region, float scale)
{
  VisitAllControls([this, &region, scale](IControl* c) { DrawControl(c, region, scale); });
}

void IGfx::DrawControl(IControl* control, const IRECT& region, float scale)
{
  // A hidden background is still drawn.
  if (!control || (control->IsHidden() && control != GetControl(0)))
    return;
  IRECT clip = region.Intersect(control->GetRECT().GetPadded(kControlPadding).GetPixelAligned(scale));
  if (!(clip.W() > 0.f && clip.H() > 0.f))
    return;
  for (const IControl* p = control->GetParent(); p; p = p->GetParent())
  {
    const IRECT pr = p->GetRECT().GetPadded(kControlPadding).GetPixelAligned(scale);
    if (!clip.Intersects(pr))
      return;
    clip = clip.GetShiftedInto(pr);
  }
  PrepareRegion(clip);
  control->Draw(*this);
  CompleteRegion(clip);
}

void IGfx::PrepareRegion(const IRECT& r)
{
  while (!mTransformStates.empty())
    mTransformStates.pop();
  mTransform = IMatrix();
  PathTransformSetMatrix(mTransform);
  PathClear();
  SetClipRegion(r);
  mClipRECT = r;
}

void IGfx::BeginFrame()
{
  if (mPerfDisplay)
  {
    const double t = GetTimeMs() / 1000.;
    mPerfDisplay->Update(static_cast<float>(t - mPrevTimestamp));
    mPrevTimestamp = t;
  }
}

void IGfx::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

} // namespace plugkit::gfx
