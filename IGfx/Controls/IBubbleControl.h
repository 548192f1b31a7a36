// The floating value label: a rounded box with an arrow toward the point it belongs to, a drop shadow
// and a text, fading in while shown and out once its caller is no longer held.
#pragma once

#include <cstdint>

#include "IGfx/ISpecialControls.h"

namespace plugkit::gfx {

// Main thread only.
class IBubbleControl : public IBubbleControlBase
{
public:
  // The side of the body that carries the arrow.
  enum EArrowDir
  {
    kNorth = 0,
    kEast = 1,
    kSouth = 2,
    kWest = 3
  };

  enum EState
  {
    kCollapsed = 0,
    kExpanding = 1,
    kShown = 2,
    kCollapsing = 3
  };

  static constexpr double kFadeMs = 200.;
  static constexpr double kHoldMs = 1000.;

  IBubbleControl(const IText& text = DEFAULT_TEXT, const IColor& fillColor = COLOR_WHITE,
                 const IColor& strokeColor = COLOR_BLACK, float roundness = 5.f);

  void Draw(IGfx& g) override;
  // Sizes and places the bubble for the point (x, y) of caller, and starts it when it is collapsed.
  void ShowBubble(IControl* caller, float x, float y, const char* str, EDirection dir,
                  const IRECT& minimumContentBounds, uint64_t touchId = 0) override;

  // The text inside the body rectangle r.
  virtual void DrawContent(IGfx& g, const IRECT& r);
  // The body with its arrow: filled, then outlined.
  virtual void DrawBubble(IGfx& g, const IRECT& r);
  // r becomes the extent of str in the control's text style.
  virtual void MeasureText(const char* str, IRECT& r);

  EState GetState() const { return mState; }
  EArrowDir GetArrowDir() const { return mArrowDir; }
  const IRECT& GetBubbleBounds() const { return mBubbleBounds; }
  const char* GetStr() const { return mStr.Get(); }
  IControl* GetCaller() const { return mCaller; }
  uint64_t GetTouchId() const { return mTouchId; }

protected:
  // Puts the body at bounds; the area it leaves stays in the redrawn rectangle.
  void MoveBubble(const IRECT& bounds);
  // The expand step: a collapsed bubble starts fading in, and a new caller redraws every control.
  void Expand(IControl* caller);
  // Runs the animation for ms: a fade, or a hold once shown.
  void StartAnimation(double ms);
  // One animation step: the fade weight while running, the next state once it has run out.
  void Animate();
  // After the fade-in: when it holds, waits a while before testing whether the caller is still held.
  void OnAnimationEnd();
  // A shown bubble that does not hold stays until its owner collapses it.
  virtual bool HoldsWhenShown() const { return true; }

  uint64_t mTouchId = 0;
  EDirection mDirection = EDirection::Horizontal;
  IRECT mMaxBounds;
  IRECT mBubbleBounds;
  IControl* mCaller = nullptr; // not owned; only compared, never dereferenced after it was shown
  EArrowDir mArrowDir = kWest;
  TextString mStr;
  float mRoundness;
  float mDropShadowSize = 10.f;
  float mArrowSize = 10.f;
  float mOpacity = 0.95f;
  float mStrokeWidth = 2.f;
  float mHorizontalPadding = 5.f;
  IColor mFillColor;
  IColor mStrokeColor;
  EState mState = kCollapsed;
};

} // namespace plugkit::gfx
