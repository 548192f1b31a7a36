// A plug-in stand-in for the audio path: the real parameter table, modulation settings the test
// sets, and a record of the controller messages dispatched to it.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "IPlugin/IMidiMsg.h"
#include "IPlugin/IPluginParameter.h"
#include "product/audio/audio_path.h"
#include "product/params/param_init.h"
#include "product/params/params.h"

namespace zarvo::test {

class FakeHost final : public AudioPathHost
{
public:
  FakeHost()
  {
    for (int i = 0; i < kNumParams; ++i)
    {
      mParams[static_cast<size_t>(i)] = std::make_unique<plugkit::IParam>();
      initParam(*mParams[static_cast<size_t>(i)], i);
    }
  }

  const plugkit::IParam& param(int index) const override { return *mParams[static_cast<size_t>(index)]; }

  bool modulation(int p, SlotModulation& out) const override
  {
    if (!modulating[static_cast<size_t>(p)])
      return false;
    out = slots[static_cast<size_t>(p)];
    return true;
  }

  bool heldByController(int p) const override { return held[static_cast<size_t>(p)]; }

  // The tests set modulation and holds directly: every block reads them again.
  uint64_t modulationEpoch() const override { return ++mEpoch; }

  bool refreshMorph(const ParamModulator&) override { return true; }

  void applyMorph(const ModulationView&, ParamSnapshot& snap, OutputStage& out,
                  NoteModeController::Snapshots& notes) override
  {
    if (morph)
      morph(snap, out, notes);
  }

  void dispatchController(const plugkit::IMidiMsg& msg) override { controllers.push_back(msg); }

  // Plain parameter values into the block record, as parameter-change handling stores them.
  void storeDefaults(BlockParamRecord& record) const
  {
    for (int i = 0; i < kNumParams; ++i)
      record.store(i, param(i).GetDefault());
  }

  std::array<bool, kNumParams> modulating{};
  std::array<SlotModulation, kNumParams> slots{};
  std::array<bool, kNumParams> held{};
  std::function<void(ParamSnapshot&, OutputStage&, NoteModeController::Snapshots&)> morph;
  std::vector<plugkit::IMidiMsg> controllers;

private:
  std::array<std::unique_ptr<plugkit::IParam>, kNumParams> mParams;
  mutable uint64_t mEpoch = 0;
};

} // namespace zarvo::test
