#include "product/audio/relative_mod.h"

#include <algorithm>
#include <cmath>

#include "product/params/mod_params.h"
#include "product/audio/model_params.h"
#include "product/audio/note_mode_controller.h"

namespace zarvo {

namespace {

double limited(double r, double min, double max) { return r < min ? min : std::min(r, max); }

// std::lround without the library call, for the small values of the note parameters.
long roundHalfAway(double v)
{
  if (!(std::fabs(v) < 1e15))
    return std::lround(v);
  const auto whole = static_cast<long>(v);
  const double rest = v - static_cast<double>(whole);
  return whole + (rest >= 0.5 ? 1 : 0) - (rest <= -0.5 ? 1 : 0);
}

} // namespace

double composeRelativeCC(const plugkit::IParam& param, bool frequencySlot, const SlotModulation& slot, double v)
{
  const double c = slot.bipolar ? 2.0 * (slot.controllerValue - 0.5) : slot.controllerValue;
  const double d = c * slot.depth;
  const double min = param.GetMin();
  const double max = param.GetMax();
  if (frequencySlot)
    return limited(v * std::exp2(d), min, max);
  if (!slot.shaped)
    return limited(slot.multiply ? v * (1.0 + d) : v + (max - min) * d, min, max);
  // A non-linear parameter is modulated along its control's travel, not its value scale.
  const double n = param.ToNormalized(v);
  const double moved = slot.multiply ? n * (1.0 + d) : n + d;
  return param.FromNormalized(std::clamp(moved, 0.0, 1.0));
}

double ParamModulator::composeRelativeCC(int param, double v) const
{
  const int slot = modSlotOf(param);
  SlotModulation settings;
  if (slot < 0 || !modulation(param, settings))
    return v;
  const bool frequency = mod::kModParams[static_cast<size_t>(slot)].kind == mod::kKindFrequency;
  return zarvo::composeRelativeCC(this->param(param), frequency, settings, v);
}

void applyMorphedNormalized(ParamSnapshot& snap, OutputStage& out, std::array<NoteModeSnapshot, 3>& notes,
                            const ParamModulator& modulator, int param, double normalized)
{
  if (param < 0 || param >= kNumParams)
    return;
  // Mapped by the shape, snapped to the step and limited to the range, as the parameter itself does.
  applyMorphedValue(snap, out, notes, modulator, param, modulator.param(param).FromNormalized(normalized));
}

void applyMorphedValue(ParamSnapshot& snap, OutputStage& out, std::array<NoteModeSnapshot, 3>& notes,
                       const ParamModulator& modulator, int param, double value)
{
  const auto integer = [value] { return static_cast<int>(roundHalfAway(value)); };

  if (param >= par_main_note_oct_shift && param <= par_preB_midi_cc_channel)
  {
    const int offset = param - par_main_midi_note_on;
    const int stage = offset / NoteModeController::kParamsPerStage;
    NoteModeSnapshot& note = notes[static_cast<size_t>(stage)];
    switch (offset % NoteModeController::kParamsPerStage)
    {
    case 2: note.octave = integer(); break;
    case 3: note.semitone = integer(); break;
    case 4: note.cent = integer(); break;
    case 5: note.glideMs = modulator.composeRelativeCC(param, value); break;
    case 6: note.legatoOnly = integer() == 0; break;
    default: break;
    }
    return;
  }

  using namespace ramp;
  switch (param)
  {
  case par_preFlt_A_hz: snap[kPreAFreq] = value; break;
  case par_preFlt_A_res: snap[kPreARes] = value; break;
  case par_preFlt_B_hz: snap[kPreBFreq] = value; break;
  case par_preFlt_B_res: snap[kPreBRes] = value; break;
  case par_preFlt_A_detune: snap[kPreADetune] = value; break;
  case par_preFlt_B_detune: snap[kPreBDetune] = value; break;
  case par_main_detune: snap[kMainDetune] = value; break;
  case par_preFlt_A_pt: snap.preAPassType = static_cast<int>(value); break;
  case par_preFlt_B_pt: snap.preBPassType = static_cast<int>(value); break;
  case par_main_pass_type: snap.mainPassType = static_cast<int>(value); break;
  case par_preFlt_processing_order: snap[kProcessingOrder] = value; break;
  case par_preFlt_band_mode: snap[kBandMode] = value; break;
  case par_neg_band_mix: snap[kNegBandMix] = value; break;
  case par_main_cutoff_hz: snap[kMainCutoff] = value; break;
  case par_main_resonance: snap[kMainResonance] = value; break;
  case par_main_drive: snap[kMainDrive] = value; break;
  case par_main_saturation_type: snap[kSaturationType] = value; break;
  case par_break_intensity: snap[kBreakIntensity] = value; break;
  case par_break_character: snap[kBreakCharacter] = value - 1.0; break;
  case par_break_param: snap[kBreakParam] = value; break;
  case par_break_double: snap[kBreakDouble] = value; break;
  case par_break_invert_fb: snap.breakInvert = value != 0.0 ? 1 : 0; break;
  case par_damping_release: snap.dampingRelease = value; break;
  case par_damping_thresh: snap.dampingThreshold = value; break;
  case par_damping_hold: snap.dampingHold = value; break;
  case par_dry_wet: out.dryWet = value; break;
  case par_main_gain: out.gain = std::exp(kDbToLinear * value); break;
  case par_gain_on_dry: out.gainOnDry = value; break;
  case par_main_pt_depth: snap.passTypeDepth = value; break;
  case par_main_pt_tilt: snap.passTypeTilt = value; break;
  default: break;
  }
}

} // namespace zarvo
