// The product's parameter indices, internal names and stable ids, with lookups between them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace zarvo {

// Indices of the 79 parameters; the enumerators are the internal names that stored data uses.
enum EParams : int
{
  par_preFlt_A_hz = 0,
  par_preFlt_A_detune,
  par_preFlt_A_res,
  par_preFlt_A_pt,
  par_preFlt_B_hz,
  par_preFlt_B_detune,
  par_preFlt_B_res,
  par_preFlt_B_pt,
  par_preFlt_processing_order,
  par_preFlt_band_mode,
  par_neg_band_mix,
  par_main_cutoff_hz,
  par_main_detune,
  par_main_resonance,
  par_main_drive,
  par_main_saturation_type,
  par_main_pass_type,
  par_main_pt_variation,
  par_main_filter_model,
  par_main_res_comp,
  par_break_intensity,
  par_break_character,
  par_break_param,
  par_break_double,
  par_break_invert_fb,
  par_damping_release,
  par_damping_thresh,
  par_damping_hold,
  par_oversampling,
  par_dry_wet,
  par_main_gain,
  par_gain_on_dry,
  par_main_midi_note_on,
  par_main_midi_note_channel,
  par_main_note_oct_shift,
  par_main_note_semi_shift,
  par_main_note_cent_shift,
  par_main_glide_ms,
  par_main_glide_always,
  par_main_midi_cc_channel,
  par_preA_midi_note_on,
  par_preA_midi_note_channel,
  par_preA_note_oct_shift,
  par_preA_note_semi_shift,
  par_preA_note_cent_shift,
  par_preA_glide_ms,
  par_preA_glide_always,
  par_preA_midi_cc_channel,
  par_preB_midi_note_on,
  par_preB_midi_note_channel,
  par_preB_note_oct_shift,
  par_preB_note_semi_shift,
  par_preB_note_cent_shift,
  par_preB_glide_ms,
  par_preB_glide_always,
  par_preB_midi_cc_channel,
  par_morph_active,
  par_morph_x,
  par_morph_y,
  par_main_ub_u,
  par_main_ub_y1,
  par_main_ub_y2,
  par_main_ub_y3,
  par_main_ub_y4,
  par_main_ub_fb,
  par_main_ub_on,
  par_preFlt_A_ub_lp,
  par_preFlt_A_ub_hp,
  par_preFlt_A_ub_bp,
  par_preFlt_A_ub_on,
  par_preFlt_B_ub_lp,
  par_preFlt_B_ub_hp,
  par_preFlt_B_ub_bp,
  par_preFlt_B_ub_on,
  par_main_cutoff_note_anchored,
  par_preA_cutoff_note_anchored,
  par_preB_cutoff_note_anchored,
  par_main_pt_depth,
  par_main_pt_tilt,
  kNumParams
};

static_assert(kNumParams == 79);

struct ParamNameRow
{
  int32_t index;
  const char* name;
  int32_t length;
};

namespace detail {
template <size_t N>
constexpr ParamNameRow nameRow(EParams index, const char (&name)[N])
{
  return {index, name, static_cast<int32_t>(N - 1)};
}
} // namespace detail

// Internal names; the row order is historical and is not the index order.
inline constexpr std::array<ParamNameRow, kNumParams> kParamNames = {{
  detail::nameRow(par_main_cutoff_hz, "par_main_cutoff_hz"),
  detail::nameRow(par_main_resonance, "par_main_resonance"),
  detail::nameRow(par_main_drive, "par_main_drive"),
  detail::nameRow(par_main_saturation_type, "par_main_saturation_type"),
  detail::nameRow(par_main_pass_type, "par_main_pass_type"),
  detail::nameRow(par_main_pt_variation, "par_main_pt_variation"),
  detail::nameRow(par_main_filter_model, "par_main_filter_model"),
  detail::nameRow(par_main_res_comp, "par_main_res_comp"),
  detail::nameRow(par_break_intensity, "par_break_intensity"),
  detail::nameRow(par_break_character, "par_break_character"),
  detail::nameRow(par_break_param, "par_break_param"),
  detail::nameRow(par_break_double, "par_break_double"),
  detail::nameRow(par_break_invert_fb, "par_break_invert_fb"),
  detail::nameRow(par_preFlt_A_hz, "par_preFlt_A_hz"),
  detail::nameRow(par_preFlt_A_res, "par_preFlt_A_res"),
  detail::nameRow(par_preFlt_A_pt, "par_preFlt_A_pt"),
  detail::nameRow(par_preFlt_B_hz, "par_preFlt_B_hz"),
  detail::nameRow(par_preFlt_B_res, "par_preFlt_B_res"),
  detail::nameRow(par_preFlt_B_pt, "par_preFlt_B_pt"),
  detail::nameRow(par_preFlt_band_mode, "par_preFlt_band_mode"),
  detail::nameRow(par_preFlt_processing_order, "par_preFlt_processing_order"),
  detail::nameRow(par_neg_band_mix, "par_neg_band_mix"),
  detail::nameRow(par_dry_wet, "par_dry_wet"),
  detail::nameRow(par_oversampling, "par_oversampling"),
  detail::nameRow(par_main_detune, "par_main_detune"),
  detail::nameRow(par_preFlt_A_detune, "par_preFlt_A_detune"),
  detail::nameRow(par_preFlt_B_detune, "par_preFlt_B_detune"),
  detail::nameRow(par_main_midi_note_on, "par_main_midi_note_on"),
  detail::nameRow(par_main_midi_note_channel, "par_main_midi_note_channel"),
  detail::nameRow(par_main_note_oct_shift, "par_main_note_oct_shift"),
  detail::nameRow(par_main_note_semi_shift, "par_main_note_semi_shift"),
  detail::nameRow(par_main_note_cent_shift, "par_main_note_cent_shift"),
  detail::nameRow(par_main_glide_ms, "par_main_glide_ms"),
  detail::nameRow(par_main_glide_always, "par_main_glide_always"),
  detail::nameRow(par_main_midi_cc_channel, "par_main_midi_cc_channel"),
  detail::nameRow(par_preA_midi_note_on, "par_preA_midi_note_on"),
  detail::nameRow(par_preA_midi_note_channel, "par_preA_midi_note_channel"),
  detail::nameRow(par_preA_note_oct_shift, "par_preA_note_oct_shift"),
  detail::nameRow(par_preA_note_semi_shift, "par_preA_note_semi_shift"),
  detail::nameRow(par_preA_note_cent_shift, "par_preA_note_cent_shift"),
  detail::nameRow(par_preA_glide_ms, "par_preA_glide_ms"),
  detail::nameRow(par_preA_glide_always, "par_preA_glide_always"),
  detail::nameRow(par_preA_midi_cc_channel, "par_preA_midi_cc_channel"),
  detail::nameRow(par_preB_midi_note_on, "par_preB_midi_note_on"),
  detail::nameRow(par_preB_midi_note_channel, "par_preB_midi_note_channel"),
  detail::nameRow(par_preB_note_oct_shift, "par_preB_note_oct_shift"),
  detail::nameRow(par_preB_note_semi_shift, "par_preB_note_semi_shift"),
  detail::nameRow(par_preB_note_cent_shift, "par_preB_note_cent_shift"),
  detail::nameRow(par_preB_glide_ms, "par_preB_glide_ms"),
  detail::nameRow(par_preB_glide_always, "par_preB_glide_always"),
  detail::nameRow(par_preB_midi_cc_channel, "par_preB_midi_cc_channel"),
  detail::nameRow(par_damping_release, "par_damping_release"),
  detail::nameRow(par_damping_thresh, "par_damping_thresh"),
  detail::nameRow(par_damping_hold, "par_damping_hold"),
  detail::nameRow(par_morph_active, "par_morph_active"),
  detail::nameRow(par_morph_x, "par_morph_x"),
  detail::nameRow(par_morph_y, "par_morph_y"),
  detail::nameRow(par_main_cutoff_note_anchored, "par_main_cutoff_note_anchored"),
  detail::nameRow(par_preA_cutoff_note_anchored, "par_preA_cutoff_note_anchored"),
  detail::nameRow(par_preB_cutoff_note_anchored, "par_preB_cutoff_note_anchored"),
  detail::nameRow(par_main_pt_depth, "par_main_pt_depth"),
  detail::nameRow(par_main_pt_tilt, "par_main_pt_tilt"),
  detail::nameRow(par_main_gain, "par_main_gain"),
  detail::nameRow(par_gain_on_dry, "par_gain_on_dry"),
  detail::nameRow(par_main_ub_u, "par_main_ub_u"),
  detail::nameRow(par_main_ub_y1, "par_main_ub_y1"),
  detail::nameRow(par_main_ub_y2, "par_main_ub_y2"),
  detail::nameRow(par_main_ub_y3, "par_main_ub_y3"),
  detail::nameRow(par_main_ub_y4, "par_main_ub_y4"),
  detail::nameRow(par_main_ub_fb, "par_main_ub_fb"),
  detail::nameRow(par_main_ub_on, "par_main_ub_on"),
  detail::nameRow(par_preFlt_A_ub_lp, "par_preFlt_A_ub_lp"),
  detail::nameRow(par_preFlt_A_ub_hp, "par_preFlt_A_ub_hp"),
  detail::nameRow(par_preFlt_A_ub_bp, "par_preFlt_A_ub_bp"),
  detail::nameRow(par_preFlt_A_ub_on, "par_preFlt_A_ub_on"),
  detail::nameRow(par_preFlt_B_ub_lp, "par_preFlt_B_ub_lp"),
  detail::nameRow(par_preFlt_B_ub_hp, "par_preFlt_B_ub_hp"),
  detail::nameRow(par_preFlt_B_ub_bp, "par_preFlt_B_ub_bp"),
  detail::nameRow(par_preFlt_B_ub_on, "par_preFlt_B_ub_on"),
}};

// 32-bit FNV-1a of the bytes of a text.
constexpr uint32_t fnv1a32(std::string_view text)
{
  uint32_t hash = 0x811C9DC5u;
  for (char c : text)
  {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x01000193u;
  }
  return hash;
}

// Stable id of each parameter, in index order: what stored data names a parameter by.
inline constexpr std::array<uint32_t, kNumParams> kStableParamIds = [] {
  std::array<uint32_t, kNumParams> ids{};
  for (const ParamNameRow& row : kParamNames)
    ids[static_cast<size_t>(row.index)] = fnv1a32(std::string_view(row.name, static_cast<size_t>(row.length)));
  return ids;
}();

struct StableIdEntry
{
  uint32_t id;
  uint32_t index;
};

// (stable id, index) pairs in ascending id order, for binary search.
inline constexpr std::array<StableIdEntry, kNumParams> kStableIdSorted = [] {
  std::array<StableIdEntry, kNumParams> entries{};
  for (uint32_t i = 0; i < kNumParams; ++i)
    entries[i] = {kStableParamIds[i], i};
  std::sort(entries.begin(), entries.end(), [](const StableIdEntry& a, const StableIdEntry& b) { return a.id < b.id; });
  return entries;
}();

namespace detail {
constexpr bool namesCoverEveryIndexOnce()
{
  std::array<int, kNumParams> seen{};
  for (const ParamNameRow& row : kParamNames)
  {
    if (row.index < 0 || row.index >= kNumParams || ++seen[static_cast<size_t>(row.index)] != 1)
      return false;
  }
  return true;
}
constexpr bool stableIdsUnique()
{
  for (size_t i = 1; i < kStableIdSorted.size(); ++i)
  {
    if (kStableIdSorted[i - 1].id == kStableIdSorted[i].id)
      return false;
  }
  return true;
}
} // namespace detail

static_assert(detail::namesCoverEveryIndexOnce(), "every parameter index needs exactly one internal name");
static_assert(detail::stableIdsUnique(), "stored data cannot tell two parameters with the same stable id apart");

// The lookups below allocate nothing and may run on any thread.

// Stable id of a parameter index; 0 for an index outside the table.
constexpr uint32_t stableIdOf(int index)
{
  return index >= 0 && index < kNumParams ? kStableParamIds[static_cast<size_t>(index)] : 0u;
}

// Parameter index of a stable id, or -1 when no parameter has it (the reader skips the entry).
constexpr int paramIndexFromStableId(uint32_t id)
{
  const auto it = std::lower_bound(kStableIdSorted.begin(), kStableIdSorted.end(), id,
                                   [](const StableIdEntry& e, uint32_t wanted) { return e.id < wanted; });
  if (it == kStableIdSorted.end() || it->id != id || it->index >= static_cast<uint32_t>(kNumParams))
    return -1;
  return static_cast<int>(it->index);
}

// Internal name of a parameter index; empty for an unknown index.
constexpr std::string_view paramName(int index)
{
  for (const ParamNameRow& row : kParamNames)
  {
    if (row.index == index)
      return {row.name, static_cast<size_t>(row.length)};
  }
  return {};
}

// Parameter index of an internal name (exact, case-sensitive), or -1.
constexpr int paramIndexFromName(std::string_view name)
{
  for (const ParamNameRow& row : kParamNames)
  {
    if (std::string_view(row.name, static_cast<size_t>(row.length)) == name)
      return row.index;
  }
  return -1;
}

} // namespace zarvo
