#include "IGfx/Controls/IBubbleControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IBubbleControl::IBubbleControl(const IText& text, const IColor& fillColor, const IColor& strokeColor, float roundness)
  : IBubbleControlBase(IRECT())
  , mRoundness(roundness)
  , mFillColor(fillColor)
  , mStrokeColor(strokeColor)
{
  mText = text;
  mBlend.mWeight = 0.f;
  mHide = true;
  mIgnoreMouse = true;
  SetActionFunction([](IControl* c) { static_cast<IBubbleControl*>(c)->StartAnimation(kFadeMs); });
  SetAnimationEndActionFunction([](IControl* c) { static_cast<IBubbleControl*>(c)->OnAnimationEnd(); });
}

void IBubbleControl::StartAnimation(double ms)
{
  SetAnimation([](IControl* a) { static_cast<IBubbleControl*>(a)->Animate(); }, ms);
}

void IBubbleControl::Animate()
{
  const double p = GetAnimationProgress();
  if (p <= 1.)
  {
    switch (mState)
    {
    case kExpanding: mBlend.mWeight = static_cast<float>(p) * mOpacity; break;
    case kShown: mBlend.mWeight = mOpacity; break;
    case kCollapsing: mBlend.mWeight = static_cast<float>(1. - p) * mOpacity; break;
    default: break;
    }
    return;
  }
  switch (mState)
  {
  case kExpanding:
    mBlend.mWeight = mOpacity;
    mState = kShown;
    OnEndAnimation();
    break;
  case kShown:
    // Still held: look again after another fade period; otherwise fade out.
    if (!(mGraphics && mGraphics->ControlIsCaptured(mCaller)))
    {
      mBlend.mWeight = mOpacity;
      mState = kCollapsing;
    }
    SetDirty(true);
    break;
  case kCollapsing:
    mBlend.mWeight = 0.f;
    Hide(true);
    mState = kCollapsed;
    mTouchId = 0;
    SetDirty(false);
    OnEndAnimation();
    break;
  default: OnEndAnimation(); break;
  }
}

void IBubbleControl::OnAnimationEnd()
{
  if (mState == kShown && HoldsWhenShown())
    StartAnimation(kHoldMs);
}

void IBubbleControl::ShowBubble(IControl* caller, float x, float y, const char* str, EDirection dir,
                                const IRECT& minimumContentBounds, uint64_t touchId)
{
  if (mMaxBounds.W() == 0.f && mGraphics)
    mMaxBounds = mGraphics->GetBounds();
  mDirection = dir;
  mTouchId = touchId;
  mStr.Set(str ? str : "");

  IRECT content;
  MeasureText(mStr.Get(), content);
  if (!minimumContentBounds.Empty())
  {
    content.R = content.L + std::max(content.W(), minimumContentBounds.W());
    content.B = content.T + std::max(content.H(), minimumContentBounds.H());
  }
  const float sidePad = mHorizontalPadding + mDropShadowSize;
  content = content.GetPadded(-sidePad, -mDropShadowSize, sidePad, mDropShadowSize);
  const float w = content.W();
  const float h = content.H();
  const IRECT callerRect = caller ? caller->GetRECT() : IRECT(x, y, x, y);

  IRECT bubble;
  if (dir == EDirection::Horizontal)
  {
    bubble = IRECT(x, y - h / 2.f, x + w, y + h / 2.f);
    if (bubble.R > mMaxBounds.R - sidePad)
    {
      bubble = bubble.GetTranslated(callerRect.L - bubble.R, 0.f);
      mArrowDir = kEast;
    }
    else
      mArrowDir = kWest;
  }
  else
  {
    bubble = IRECT(x - w / 2.f, y - h, x + w / 2.f, y);
    mArrowDir = kSouth;
    if (bubble.T < mMaxBounds.T)
    {
      bubble = bubble.GetTranslated(0.f, h + callerRect.H());
      mArrowDir = kNorth;
    }
  }

  MoveBubble(bubble);
  Expand(caller);
}

void IBubbleControl::MoveBubble(const IRECT& bounds)
{
  mBubbleBounds = bounds;
  // The union keeps the area the bubble leaves in the redrawn rectangle.
  SetTargetAndDrawRECTs(mRECT.Union(mBubbleBounds));
  ClearMouseIsOver();
  OnResize();
}

void IBubbleControl::Expand(IControl* caller)
{
  if (mState == kCollapsed)
  {
    Hide(false);
    mState = kExpanding;
    SetDirty(true);
  }
  if (caller != mCaller)
  {
    SetTargetAndDrawRECTs(mBubbleBounds);
    if (mGraphics)
      mGraphics->SetAllControlsDirty();
  }
  mCaller = caller;
}

void IBubbleControl::Draw(IGfx& g)
{
  const IRECT r = mBubbleBounds.GetPadded(-mDropShadowSize);
  g.DrawFastDropShadow(r, mBubbleBounds, 2.f, mRoundness, 10.f, &mBlend);
  DrawBubble(g, r);
  DrawContent(g, r);
}

void IBubbleControl::DrawContent(IGfx& g, const IRECT& r) { g.DrawText(mText, mStr.Get(), r, &mBlend); }

void IBubbleControl::MeasureText(const char* str, IRECT& r)
{
  if (mGraphics)
    mGraphics->MeasureText(mText, str, r);
}

void IBubbleControl::DrawBubble(IGfx& g, const IRECT& r)
{
  const float c = mRoundness;
  const float a = mArrowSize;
  const float h = a / 2.f;
  const float cx = r.MW();
  const float cy = r.MH();

  g.PathClear();
  g.PathMoveTo(r.L, r.T + c);
  g.PathArc(r.L + c, r.T + c, c, 270.f, 360.f);
  if (mArrowDir == kNorth)
  {
    g.PathLineTo(cx - h, r.T);
    g.PathLineTo(cx, r.T - a);
    g.PathLineTo(cx + h, r.T);
  }
  g.PathArc(r.R - c, r.T + c, c, 0.f, 90.f);
  if (mArrowDir == kEast)
  {
    g.PathLineTo(r.R, cy - h);
    g.PathLineTo(r.R + a, cy);
    g.PathLineTo(r.R, cy + h);
  }
  g.PathArc(r.R - c, r.B - c, c, 90.f, 180.f);
  if (mArrowDir == kSouth)
  {
    g.PathLineTo(cx + h, r.B);
    g.PathLineTo(cx, r.B + a);
    g.PathLineTo(cx - h, r.B);
  }
  g.PathArc(r.L + c, r.B - c, c, 180.f, 270.f);
  if (mArrowDir == kWest)
  {
    g.PathLineTo(r.L, cy + h);
    g.PathLineTo(r.L - a, cy);
    g.PathLineTo(r.L, cy - h);
  }
  g.PathClose();
  g.PathFill(mFillColor, IFillOptions(EFillRule::Winding, true), &mBlend);
  g.PathStroke(mStrokeColor, mStrokeWidth, IStrokeOptions(), &mBlend);
}

//------------------------------------------------------------------------------------------------
// The context's making form

void IGfx::AttachBubbleControl(const IText& text)
{
  AttachBubbleControl(new IBubbleControl(text, COLOR_WHITE, COLOR_BLACK, 5.f));
}

} // namespace plugkit::gfx
