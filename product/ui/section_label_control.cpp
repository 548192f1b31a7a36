#include "product/ui/section_label_control.h"

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
