#include "product/audio/modulation_view.h"

namespace zarvo {

bool ModulationView::refresh()
{
  // The count first: a change made after it is counted again, so the next block reads it.
  const uint64_t epoch = mSource.modulationEpoch();
  if (mRead && epoch == mEpoch)
    return false;
  mEpoch = epoch;
  mRead = true;
  mAnyActive = false;
  for (size_t s = 0; s < mSlots.size(); ++s)
  {
    Slot& slot = mSlots[s];
    const int param = mod::kModParams[s].param;
    if (!slot.param)
    {
      slot.param = &mSource.param(param); // the parameter objects live as long as the plug-in
      slot.frequency = mod::kModParams[s].kind == mod::kKindFrequency;
    }
    slot.active = mSource.modulation(param, slot.settings);
    mAnyActive = mAnyActive || slot.active;
  }
  mHeld.fill(0);
  for (int p = 0; p < kNumParams; ++p)
  {
    if (mSource.heldByController(p))
      mHeld[static_cast<size_t>(p) / 64] |= uint64_t{1} << (p % 64);
  }
  return true;
}

bool ModulationView::modulation(int param, SlotModulation& out) const
{
  const int s = modSlotOf(param);
  if (s < 0 || !mSlots[static_cast<size_t>(s)].active)
    return false;
  out = mSlots[static_cast<size_t>(s)].settings;
  return true;
}

} // namespace zarvo
