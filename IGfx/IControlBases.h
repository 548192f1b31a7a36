// The mouse behaviour shared by buttons, multi-state switches, knobs and
// sliders. Concrete controls derive from one of these and supply Draw. All of
// them work on value index 0. Main thread only.
#pragma once

#include <vector>

#include "IGfx/IControl.h"

namespace plugkit::gfx {

// Shift or control held; the wheel flag is accepted for callers that pass it
// and not used.
inline bool IsFineControl(const IMouseMod &mod, bool /*wheel*/) {
  return mod.S || mod.C;
}

// Shows 1 from the press until its click animation ends; a button without an
// animation stays at 1.
class IButtonControlBase : public IControl {
public:
  IButtonControlBase(const IRECT &bounds, IActionFunction actionFunc);

  void OnMouseDown(float x, float y, const IMouseMod &mod) override;
  void OnEndAnimation() override;
};

// Steps through its states on each press: 0, 1/(n-1), ... 1, 0.
class ISwitchControlBase : public IControl {
public:
  ISwitchControlBase(const IRECT &bounds, int paramIdx = -1,
                     IActionFunction actionFunc = nullptr, int nStates = 2);

  void OnInit() override;
  void OnMouseDown(float x, float y, const IMouseMod &mod) override;
  void OnMouseUp(float x, float y, const IMouseMod &mod) override;

  int GetNStates() const { return mNumStates; }
  // Only marks states for drawing: a press still steps onto a disabled state.
  void SetStateDisabled(int stateIdx, bool disabled);
  void SetAllStatesDisabled(bool disabled);
  // False for a state outside the list.
  bool GetStateDisabled(int stateIdx) const;
  bool GetMouseDown() const { return mMouseDown; }

protected:
  int mNumStates;
  std::vector<bool> mDisabledState;
  bool mMouseDown = false;
};

// Relative dragging: a drag over the whole drag bounds at gearing 1 sweeps the
// full range.
class IKnobControlBase : public IControl {
public:
  IKnobControlBase(const IRECT &bounds, int paramIdx = -1,
                   EDirection direction = EDirection::Vertical,
                   double gearing = 4.);

  // The rectangle whose height (or width) a drag is measured against.
  virtual IRECT GetKnobDragBounds() { return mTargetRECT; }

  void OnMouseDown(float x, float y, const IMouseMod &mod) override;
  void OnMouseUp(float x, float y, const IMouseMod &mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY,
                   const IMouseMod &mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod &mod, float d) override;

  void SetGearing(double gearing) { mGearing = gearing; }
  double GetGearing() const { return mGearing; }
  bool GetMouseDown() const { return mMouseDown; }

protected:
  bool mHideCursorOnDrag = true;
  EDirection mDirection;
  double mGearing;
  double mFineGearingFactor = 20.;
  bool mMouseDown = false;
  double mMouseDragValue = 0.;
};

// Jumps to the pointer on a press unless its parameter is stepped, then drags
// relatively while the cursor is hidden (or follows the pointer for a touch or
// a slider that shows the cursor).
class ISliderControlBase : public IControl {
public:
  ISliderControlBase(const IRECT &bounds, int paramIdx = -1,
                     EDirection dir = EDirection::Vertical, double gearing = 1.,
                     float handleSize = 0.f);
  ISliderControlBase(const IRECT &bounds, IActionFunction actionFunc,
                     EDirection dir = EDirection::Vertical, double gearing = 1.,
                     float handleSize = 0.f);

  void OnResize() override;
  void OnMouseDown(float x, float y, const IMouseMod &mod) override;
  void OnMouseUp(float x, float y, const IMouseMod &mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY,
                   const IMouseMod &mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod &mod, float d) override;

  const IRECT &GetTrackBounds() const { return mTrackBounds; }
  bool GetMouseDown() const { return mMouseDown; }

protected:
  bool mHideCursorOnDrag = true;
  EDirection mDirection;
  IRECT mTrackBounds;
  float mHandleSize;
  double mGearing;
  double mFineGearingFactor = 10.;
  bool mMouseDown = false;
  double mMouseDragValue = 0.;
};

} // namespace plugkit::gfx
