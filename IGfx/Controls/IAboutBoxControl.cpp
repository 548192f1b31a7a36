#include "IGfx/Controls/IAboutBoxControl.h"

#include <algorithm>

#include "IGfx/IGfx.h"

namespace plugkit::gfx {

namespace {
constexpr int kVKEscape = 27;
}

IAboutBoxControl::IAboutBoxControl(const IRECT& bounds, const IPattern& pattern, IContainerFunction attachFunc,
                                   IContainerFunction resizeFunc, int animationTime)
  : IPanelControl(bounds, pattern, false, std::move(attachFunc), std::move(resizeFunc))
  , mAnimationTime(animationTime)
{
  mIgnoreMouse = false;
}

void IAboutBoxControl::Show()
{
  Hide(false);
  SetAnimation([](IControl* c) { static_cast<IAboutBoxControl*>(c)->FadeIn(); }, mAnimationTime);
  SetDirty(true);
}

void IAboutBoxControl::FadeIn()
{
  const double p = GetAnimationProgress();
  const IBlend blend(EBlend::Default, static_cast<float>(std::clamp(p, 0., 1.)));
  SetBlend(blend);
  ForAllChildrenFunc([&blend](int, IControl* child) { child->SetBlend(blend); });
  if (p > 1.)
  {
    OnEndAnimation();
    if (mGraphics)
      mGraphics->SetAllControlsDirty();
  }
}

void IAboutBoxControl::OnMouseDown(float, float, const IMouseMod&) { Hide(true); }

bool IAboutBoxControl::OnKeyDown(float, float, const IKeyPress& key)
{
  if (key.VK != kVKEscape)
    return false;
  Hide(true);
  return true;
}

} // namespace plugkit::gfx
