// Controller modulation laid over a parameter value, and morphed values written into the block
// snapshot.
#pragma once

#include <array>
#include <cstdint>

#include "IPlugin/IPluginParameter.h"
#include "product/params/mod_params.h"
#include "product/params/params.h"

namespace zarvo {

struct ParamSnapshot;
struct OutputStage;
struct NoteModeSnapshot;

namespace detail {
inline constexpr std::array<int, kNumParams> kModSlotOfParam = [] {
  std::array<int, kNumParams> slots{};
  for (int p = 0; p < kNumParams; ++p)
    slots[static_cast<size_t>(p)] = mod::indexOf(static_cast<EParams>(p));
  return slots;
}();
} // namespace detail

// The modulation slot of a parameter index, or -1; a table look-up for the audio thread's ticks.
constexpr int modSlotOf(int param)
{
  return param >= 0 && param < kNumParams ? detail::kModSlotOfParam[static_cast<size_t>(param)] : -1;
}

// One modulation slot as the audio thread reads it.
struct SlotModulation
{
  double controllerValue = 0.0; // 0..1: data 2 / 127 of the last controller message
  double depth = 0.0;           // octaves for a frequency slot
  bool bipolar = false;         // the controller value is centred: 2 (value - 0.5)
  bool multiply = false;        // proportional instead of additive
  bool shaped = false;          // the parameter's shape is not linear: work on the normalised value
};

// The value v of a parameter with one slot's modulation applied, on the parameter's own scale.
// Pure; any thread.
double composeRelativeCC(const plugkit::IParam& param, bool frequencySlot, const SlotModulation& slot, double v);

// What the audio path reads of the parameters and of their controller modulation. The plug-in
// implements it over its parameter objects and modulation settings.
class ParamModulator
{
public:
  // Audio thread: the parameter of this index (range, step and shape only; never its value).
  virtual const plugkit::IParam& param(int index) const = 0;
  // Audio thread: true, with its slot's settings, when the parameter has a slot and its controller
  // modulates it (mode 1); false otherwise.
  virtual bool modulation(int param, SlotModulation& out) const = 0;
  // Audio thread: a controller in absolute mode holds the parameter, so the morph field leaves it.
  virtual bool heldByController(int param) const = 0;
  // Audio thread: a count that moves whenever what modulation() or heldByController() give may
  // have changed (read before them: a change made later moves it again).
  virtual uint64_t modulationEpoch() const = 0;

  // Audio thread: v with the parameter's modulation, or v unchanged when it has none.
  double composeRelativeCC(int param, double v) const;

protected:
  ~ParamModulator() = default;
};

// Writes one morphed parameter (normalised value) into the block snapshot, the output stage or a
// stage's note-mode snapshot (stages main, A, B). Parameters without a destination change nothing.
// Audio thread.
void applyMorphedNormalized(ParamSnapshot& snap, OutputStage& out, std::array<NoteModeSnapshot, 3>& notes,
                            const ParamModulator& modulator, int param, double normalized);
// The same with the value already mapped to the parameter's plain value (its shape, step and range).
void applyMorphedValue(ParamSnapshot& snap, OutputStage& out, std::array<NoteModeSnapshot, 3>& notes,
                       const ParamModulator& modulator, int param, double value);

} // namespace zarvo
