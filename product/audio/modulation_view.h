// The controller modulation and the controller holds as the audio thread last read them. Reading
// every slot and hold costs more than a block of a few samples can afford, so they are read again
// only when the plug-in's count of changes moved.
#pragma once

#include <array>
#include <cstdint>

#include "product/params/mod_params.h"
#include "product/audio/relative_mod.h"
#include "product/params/params.h"

namespace zarvo {

class ModulationView final : public ParamModulator
{
public:
  // One modulation slot as the ticks use it.
  struct Slot
  {
    const plugkit::IParam* param = nullptr;
    SlotModulation settings;
    bool active = false; // the parameter's controller modulates it
    bool frequency = false;
  };

  explicit ModulationView(const ParamModulator& source)
    : mSource(source)
  {}
  ModulationView(const ModulationView&) = delete;
  ModulationView& operator=(const ModulationView&) = delete;

  // Audio thread: reads the source again when its count of changes moved since the last read (or
  // always after forget()); true when it did.
  bool refresh();
  // The next refresh reads the source whatever its count says.
  void forget() { mRead = false; }

  const Slot& slot(size_t index) const { return mSlots[index]; }
  // Some slot's controller modulates its parameter.
  bool anyActive() const { return mAnyActive; }
  bool held(int param) const
  {
    const auto p = static_cast<unsigned>(param);
    return p < static_cast<unsigned>(kNumParams) && ((mHeld[p / 64] >> (p % 64)) & 1u) != 0;
  }

  // The source's parameters; modulation and holds as last read.
  const plugkit::IParam& param(int index) const override { return mSource.param(index); }
  bool modulation(int param, SlotModulation& out) const override;
  bool heldByController(int param) const override { return held(param); }
  uint64_t modulationEpoch() const override { return mEpoch; }

private:
  const ParamModulator& mSource;
  std::array<Slot, mod::kNumModSlots> mSlots{};
  std::array<uint64_t, (kNumParams + 63) / 64> mHeld{};
  uint64_t mEpoch = 0;
  bool mRead = false;
  bool mAnyActive = false;
};

} // namespace zarvo
