// The plug-in's parameters as the morph field sees them: the rows a morph point carries, with how
// each is blended, and the parameters the field drives by their role.
#pragma once

#include "product/params/params.h"
#include "utils/morph/morph_params.h"

namespace zarvo::morph {

inline constexpr std::array<MorphParamRow, kNumMorphParams> kMorphParams = {{
  {par_dry_wet, 0, 0, 0},
  {par_main_cutoff_hz, 0, 0, 1},
  {par_main_resonance, 0, 0, 0},
  {par_main_drive, 0, 0, 0},
  {par_main_saturation_type, 2, 0, 0},
  {par_main_pass_type, 0, 0, 0},
  {par_main_pt_depth, 0, 0, 0},
  {par_main_pt_tilt, 0, 0, 0},
  {par_break_intensity, 0, 0, 0},
  {par_break_character, 0, 0, 0},
  {par_break_param, 0, 0, 0},
  {par_preFlt_A_hz, 0, 0, 1},
  {par_preFlt_A_res, 0, 0, 0},
  {par_preFlt_B_hz, 0, 0, 1},
  {par_preFlt_B_res, 0, 0, 0},
  {par_preFlt_band_mode, 0, 0, 0},
  {par_preFlt_processing_order, 0, 0, 0},
  {par_neg_band_mix, 0, 0, 0},
  {par_main_detune, 0, 0, 0},
  {par_preFlt_A_detune, 0, 0, 0},
  {par_preFlt_B_detune, 0, 0, 0},
  {par_damping_release, 0, 0, 0},
  {par_break_double, 0, 0, 0},
  {par_break_invert_fb, 1, 0, 0},
  {par_preFlt_A_pt, 1, 0, 0},
  {par_preFlt_B_pt, 1, 0, 0},
  {par_damping_thresh, 0, 0, 0},
  {par_main_gain, 0, 0, 0},
  {par_gain_on_dry, 0, 0, 0},
  {par_main_ub_u, 0, 0, 0},
  {par_main_ub_y1, 0, 0, 0},
  {par_main_ub_y2, 0, 0, 0},
  {par_main_ub_y3, 0, 0, 0},
  {par_main_ub_y4, 0, 0, 0},
  {par_main_ub_fb, 0, 0, 0},
  {par_main_ub_on, 1, 0, 0},
  {par_preFlt_A_ub_lp, 0, 0, 0},
  {par_preFlt_A_ub_hp, 0, 0, 0},
  {par_preFlt_A_ub_bp, 0, 0, 0},
  {par_preFlt_A_ub_on, 1, 0, 0},
  {par_preFlt_B_ub_lp, 0, 0, 0},
  {par_preFlt_B_ub_hp, 0, 0, 0},
  {par_preFlt_B_ub_bp, 0, 0, 0},
  {par_preFlt_B_ub_on, 1, 0, 0},
  {par_damping_hold, 0, 0, 0},
  {par_main_note_oct_shift, 0, 0, 0},
  {par_main_note_semi_shift, 1, 0, 0},
  {par_main_note_cent_shift, 0, 0, 0},
  {par_main_glide_ms, 0, 0, 0},
  {par_main_glide_always, 1, 0, 0},
  {par_preA_note_oct_shift, 0, 0, 0},
  {par_preA_note_semi_shift, 1, 0, 0},
  {par_preA_note_cent_shift, 0, 0, 0},
  {par_preA_glide_ms, 0, 0, 0},
  {par_preA_glide_always, 1, 0, 0},
  {par_preB_note_oct_shift, 0, 0, 0},
  {par_preB_note_semi_shift, 1, 0, 0},
  {par_preB_note_cent_shift, 0, 0, 0},
  {par_preB_glide_ms, 0, 0, 0},
  {par_preB_glide_always, 1, 0, 0},
}};

// The row of a parameter (the first match), or -1 when the parameter is never morphed. Any thread.
constexpr int rowOf(int param) { return rowOf(kMorphParams, param); }

// Rows whose value can be read as a played note, and the switch that anchors each.
inline constexpr int kRowMainCutoff = rowOf(par_main_cutoff_hz);
inline constexpr int kRowPreACutoff = rowOf(par_preFlt_A_hz);
inline constexpr int kRowPreBCutoff = rowOf(par_preFlt_B_hz);
static_assert(kRowMainCutoff == 1 && kRowPreACutoff == 11 && kRowPreBCutoff == 13);

inline constexpr std::array<NoteAnchor, 3> kNoteAnchors = {{
  {kRowMainCutoff, par_main_cutoff_note_anchored},
  {kRowPreACutoff, par_preA_cutoff_note_anchored},
  {kRowPreBCutoff, par_preB_cutoff_note_anchored},
}};

// The only bits a point's note mask may hold.
inline constexpr uint32_t kNoteMaskBits = (1u << kRowMainCutoff) | (1u << kRowPreACutoff) | (1u << kRowPreBCutoff);

inline constexpr PreFltShapeIds kPreFltAShape = {par_preFlt_A_ub_lp, par_preFlt_A_ub_hp, par_preFlt_A_ub_bp,
                                                 par_preFlt_A_ub_on, par_preFlt_A_pt};
inline constexpr PreFltShapeIds kPreFltBShape = {par_preFlt_B_ub_lp, par_preFlt_B_ub_hp, par_preFlt_B_ub_bp,
                                                 par_preFlt_B_ub_on, par_preFlt_B_pt};

inline constexpr MorphParamTable kMorphParamTable = {
  .rows = kMorphParams,
  .noteAnchors = kNoteAnchors,
  .numParams = kNumParams,
  .morphActive = par_morph_active,
  .morphX = par_morph_x,
  .morphY = par_morph_y,
  .mainPassType = par_main_pass_type,
  .mainDepth = par_main_pt_depth,
  .mainTilt = par_main_pt_tilt,
  .mainVariation = par_main_pt_variation,
  .mainUbOn = par_main_ub_on,
  .mainUbFb = par_main_ub_fb,
  .mainUbCoeffs = {par_main_ub_u, par_main_ub_y1, par_main_ub_y2, par_main_ub_y3, par_main_ub_y4},
  .gainOnDry = par_gain_on_dry,
  .preFltA = kPreFltAShape,
  .preFltB = kPreFltBShape,
  .stableIdOf = &stableIdOf,
  .paramFromStableId = &paramIndexFromStableId,
};
static_assert(kMorphParamTable.noteMaskBits() == kNoteMaskBits);
static_assert(
  [] {
    for (size_t r = 0; r < kNumMorphParams; ++r)
    {
      if (kMorphParamTable.isCutoffRow(r) != (kMorphParams[r].weightSet == kWeightsCutoff))
        return false;
    }
    return true;
  }(),
  "the note-anchored rows are the rows that follow the cutoff weights");

} // namespace zarvo::morph
