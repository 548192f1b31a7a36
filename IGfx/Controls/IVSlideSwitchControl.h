// A multi-state switch whose handle slides from its state's cell to the next
// one in a 100 ms animation when clicked.
#pragma once

#include "IGfx/Controls/IVSwitchControl.h"

namespace plugkit::gfx {

class IVSlideSwitchControl : public IVSwitchControl
{
public:
  static constexpr double SLIDE_DURATION_MS = 100.;

  IVSlideSwitchControl(const IRECT& bounds, int paramIdx = -1, const char* label = "",
                       const IVStyle& style = DEFAULT_STYLE, bool valueInButton = false,
                       EDirection direction = EDirection::Horizontal);
  // actionFunc runs once the slide has finished.
  IVSlideSwitchControl(const IRECT& bounds, IActionFunction actionFunc, const char* label = "",
                       const IVStyle& style = DEFAULT_STYLE, bool valueInButton = false,
                       EDirection direction = EDirection::Horizontal, int numStates = 2, int initialState = 0);

  virtual void DrawHandle(IGfx& g, const IRECT& bounds);
  virtual void DrawTrack(IGfx& g, const IRECT& bounds);
  void DrawWidget(IGfx& g) override;
  void Draw(IGfx& g) override;
  void SetDirty(bool push = true, int valIdx = -1) override;
  void OnEndAnimation() override;
  void OnResize() override;

  const IRECT& GetHandleBounds() const { return mHandleBounds; }
  const IRECT& GetStartBounds() const { return mStartRect; }
  const IRECT& GetEndBounds() const { return mEndRect; }

private:
  int StateIndex() const;
  IRECT Cell(int idx) const;
  void UpdateRects();
  void Slide();

  IRECT mStartRect;
  IRECT mEndRect;
  IRECT mHandleBounds;
  EDirection mDirection;
};

} // namespace plugkit::gfx
