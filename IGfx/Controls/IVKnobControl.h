// The rotary knob: an ellipse handle, a pointer at the value's angle and an arc
// track from an anchor angle, with label and value text placed by the style.
// Angles in degrees, 0 at twelve o'clock, clockwise.
#pragma once

#include "IGfx/Controls/IVectorBase.h"
#include "IGfx/IControlBases.h"

namespace plugkit::gfx {

inline constexpr double DEFAULT_GEARING = 4.;

class IVKnobControl : public IKnobControlBase, public IVectorBase
{
public:
  IVKnobControl(const IRECT& bounds, int paramIdx, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                bool valueIsEditable = false, bool valueInWidget = false, float a1 = -135.f, float a2 = 135.f,
                float aAnchor = -135.f, EDirection direction = EDirection::Vertical, double gearing = DEFAULT_GEARING,
                float trackSize = 2.f);
  IVKnobControl(const IRECT& bounds, IActionFunction actionFunc, const char* label = "",
                const IVStyle& style = DEFAULT_STYLE, bool valueIsEditable = false, bool valueInWidget = false,
                float a1 = -135.f, float a2 = 135.f, float aAnchor = -135.f,
                EDirection direction = EDirection::Vertical, double gearing = DEFAULT_GEARING, float trackSize = 2.f);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnResize() override;
  void OnInit() override;
  void Draw(IGfx& g) override;
  bool IsHit(float x, float y) const override;
  // Also refreshes the value text from the parameter.
  void SetDirty(bool push = true, int valIdx = -1) override;
  IRECT GetKnobDragBounds() override;

  void DrawWidget(IGfx& g) override;
  virtual void DrawHandle(IGfx& g, const IRECT& bounds);
  virtual void DrawIndicatorTrack(IGfx& g, float angle, float cx, float cy, float radius);
  virtual void DrawPointer(IGfx& g, float angle, float cx, float cy, float radius);

  // Of the track, in the widget rectangle.
  float GetRadius() const;
  IRECT GetTrackBounds() const;
  bool GetValueMouseOver() const { return mValueMouseOver; }

protected:
  float mTrackToHandleDistance = 1.f;
  float mInnerPointerFrac = 0.35f;
  float mOuterPointerFrac = 1.f;
  float mPointerThickness = 2.5f;
  float mAngle1;
  float mAngle2;
  float mAnchorAngle;
  bool mValueMouseOver = false;
  bool mValueIsEditable;
};

} // namespace plugkit::gfx
