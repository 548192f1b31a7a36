// A panel that fades in over the editor with its children and closes on a click or Escape.
#pragma once

#include "IGfx/Controls/IPanelControl.h"

namespace plugkit::gfx {

// Main thread only.
class IAboutBoxControl : public IPanelControl
{
public:
  IAboutBoxControl(const IRECT& bounds, const IPattern& pattern, IContainerFunction attachFunc = nullptr,
                   IContainerFunction resizeFunc = nullptr, int animationTime = 200);

  // Shows the box and its children, fading them in over the animation time.
  void Show();
  // Any press on the box itself (not on a child) hides it at once.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  // Escape hides it and is handled; other keys are left to others.
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;

private:
  void FadeIn();

  int mAnimationTime;
};

} // namespace plugkit::gfx
