#include "product/ui/SectionLabelControl.h"

namespace vemlor::ui {

void SectionLabelControl::setDisabledAlpha(float alpha)
{
  SetDisabledWeight(alpha);
  if (IsDisabled())
  {
    mBlend.mWeight = alpha;
    SetDirty(false);
  }
}

} // namespace vemlor::ui
