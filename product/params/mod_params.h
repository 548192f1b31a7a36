// The parameters a MIDI controller can modulate; a parameter's row number is its modulation slot.
#pragma once

#include <array>

#include "product/params/params.h"

namespace zarvo::mod {

// Kind 1: a cutoff frequency, modulated in octaves; kind 0: any other parameter.
inline constexpr int kKindOther = 0;
inline constexpr int kKindFrequency = 1;

struct ModParam
{
  EParams param;
  int kind;
};

inline constexpr int kNumModSlots = 27;

inline constexpr std::array<ModParam, kNumModSlots> kModParams = {{
  {par_main_cutoff_hz, kKindFrequency},
  {par_main_resonance, kKindOther},
  {par_preFlt_A_hz, kKindFrequency},
  {par_preFlt_B_hz, kKindFrequency},
  {par_main_drive, kKindOther},
  {par_break_intensity, kKindOther},
  {par_break_param, kKindOther},
  {par_preFlt_A_res, kKindOther},
  {par_preFlt_B_res, kKindOther},
  {par_neg_band_mix, kKindOther},
  {par_break_character, kKindOther},
  {par_break_double, kKindOther},
  {par_preFlt_band_mode, kKindOther},
  {par_preFlt_processing_order, kKindOther},
  {par_damping_release, kKindOther},
  {par_damping_thresh, kKindOther},
  {par_damping_hold, kKindOther},
  {par_dry_wet, kKindOther},
  {par_main_gain, kKindOther},
  {par_main_detune, kKindOther},
  {par_preFlt_A_detune, kKindOther},
  {par_preFlt_B_detune, kKindOther},
  {par_main_saturation_type, kKindOther},
  {par_main_pt_depth, kKindOther},
  {par_main_glide_ms, kKindOther},
  {par_preA_glide_ms, kKindOther},
  {par_preB_glide_ms, kKindOther},
}};

// Modulation slot of a parameter, or -1 when it has none. Any thread.
constexpr int indexOf(EParams param)
{
  for (int slot = 0; slot < kNumModSlots; ++slot)
  {
    if (kModParams[static_cast<size_t>(slot)].param == param)
      return slot;
  }
  return -1;
}

} // namespace zarvo::mod
