#include "IGfx/Controls/IVGroupControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

IVGroupControl::IVGroupControl(const IRECT& bounds, const char* label, float labelOffset, const IVStyle& style,
                               IContainerFunction attachFunc, IContainerFunction resizeFunc)
  : IContainerBase(bounds, std::move(attachFunc), std::move(resizeFunc))
  , IVectorBase(style)
  , mLabelOffset(labelOffset)
{
  mIgnoreMouse = true;
  AttachIControl(this, label);
}

IVGroupControl::IVGroupControl(const char* label, const char* groupName, float padL, float padT, float padR, float padB,
                               const IVStyle& style)
  : IContainerBase(IRECT())
  , IVectorBase(style)
  , mGroupName(groupName ? groupName : "")
  , mPadL(padL)
  , mPadT(padT)
  , mPadR(padR)
  , mPadB(padB)
{
  mIgnoreMouse = true;
  AttachIControl(this, label);
}

void IVGroupControl::OnInit()
{
  IContainerBase::OnInit();
  if (!mGroupName.empty())
    SetBoundsBasedOnGroup(mGroupName.c_str(), mPadL, mPadT, mPadR, mPadB);
}

void IVGroupControl::SetBoundsBasedOnGroup(const char* groupName, float padL, float padT, float padR, float padB)
{
  mGroupName = groupName ? groupName : "";
  mPadL = padL;
  mPadT = padT;
  mPadR = padR;
  mPadB = padB;
  IRECT bounds;
  if (mGraphics)
    mGraphics->ForControlInGroup(mGroupName.c_str(), [&bounds](IControl* control) {
      bounds = bounds.Union(control->GetRECT()); // empty rectangles are skipped
    });
  SetTargetAndDrawRECTs(IRECT(bounds.L - padL, bounds.T - padT, bounds.R + padR, bounds.B + padB));
  OnResize();
}

void IVGroupControl::OnResize()
{
  IContainerBase::OnResize();
  SetTargetRECT(MakeRects(mRECT, false));
  ClearMouseIsOver();
  const float halfFrame = mStyle.frameThickness / 2.f;
  // The frame line runs through the middle of the title.
  mWidgetBounds.T -= mLabelBounds.H() / 2.f + halfFrame;
  const float r = mStyle.roundness * std::min(mWidgetBounds.W(), mWidgetBounds.H()) / 2.f;
  if (!mLabelBounds.Empty())
  {
    const float w = mLabelBounds.W() + 2.f * mLabelPadding;
    const float l = mRECT.L + mStyle.frameThickness + mLabelOffset + r;
    mLabelBounds = IRECT(l, mLabelBounds.T, l + w, mLabelBounds.B);
  }
  SetDirty(false);
}

void IVGroupControl::Draw(IGfx& g)
{
  DrawLabel(g);
  DrawWidget(g);
}

void IVGroupControl::DrawWidget(IGfx& g)
{
  const float h = mStyle.frameThickness / 2.f;
  const IRECT& w = mWidgetBounds;
  const float r = mStyle.roundness * std::min(w.W(), w.H()) / 2.f;
  const float y = w.T + h;
  const float inset = r + h;
  const bool titled = !mLabelBounds.Empty();
  const float start = titled ? mLabelBounds.R : mRECT.MW();
  const float end = titled ? mLabelBounds.L : mRECT.MW();
  g.PathClear();
  g.PathMoveTo(start, y);
  g.PathArc(w.R - inset, w.T + inset, r, 0.f, 90.f);
  g.PathArc(w.R - inset, w.B - inset, r, 90.f, 180.f);
  g.PathArc(w.L + inset, w.B - inset, r, 180.f, 270.f);
  g.PathArc(w.L + inset, w.T + inset, r, 270.f, 360.f);
  g.PathLineTo(end, y);
  g.PathStroke(mStyle.drawShadows ? GetColor(EVColor::SH) : GetColor(EVColor::FR), mStyle.frameThickness);
}

} // namespace plugkit::gfx
