// Filter pass types and the filter shapes they select: stage mixes of the main filter and
// output weights of the pre-filters.
#pragma once

#include <array>
#include <span>

#include "utils/filter_mixes.h"

namespace zarvo {

// Shown as "LP", "HP", "AP", "BP", "BR", "P"; P is the input plus a four-pole band-pass.
enum class FilterPassType : int
{
  LP = 0,
  HP,
  AP,
  BP,
  BR,
  P,
};

inline constexpr int kNumPassTypes = 6;

// The pass types the pre-filters offer, by their pre-filter type index 0..4.
inline constexpr std::array<FilterPassType, 5> kPreFltPassTypes = {
  FilterPassType::LP, FilterPassType::HP, FilterPassType::BP, FilterPassType::BR, FilterPassType::P};

namespace detail {

inline constexpr stage_coeffs kLpRows[] = {
  {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}};
inline constexpr stage_coeffs kHpRows[] = {
  {1, 0, 0, 0, 0}, {1, -1, 0, 0, 0}, {1, -2, 1, 0, 0}, {1, -3, 3, -1, 0}, {1, -4, 6, -4, 1}};
inline constexpr stage_coeffs kApRows[] = {{1, -8, 24, -32, 16}};
inline constexpr stage_coeffs kBpRows[] = {{1, 0, 0, 0, 0}, {0, 2, -2, 0, 0}, {0, 0, 4, -8, 4}};
inline constexpr stage_coeffs kBrRows[] = {{1, 0, 0, 0, 0}, {1, -2, 2, 0, 0}, {1, -4, 8, -8, 4}};
inline constexpr stage_coeffs kPRows[] = {{1, 0, 0, 0, 0}, {1, 0, 4, -8, 4}};

inline constexpr stage_coeffs kBpTilt[] = {{0, 0, 0, 2, -2}, {0, 0, 2, -2, 0}, {0, 2, -4, 2, 0}, {0, 2, -6, 6, -2}};
inline constexpr stage_coeffs kBrTilt[] = {{0, 0, 1, -2, 2}, {0, 1, -2, 2, 0}, {1, -3, 4, -2, 0}, {1, -4, 7, -6, 2}};

} // namespace detail

// Per pass type, the stage mixes from flat (depth 0) to the canonical shape (depth 1).
inline constexpr std::array<std::span<const stage_coeffs>, kNumPassTypes> pt_depth_shapes = {
  std::span<const stage_coeffs>(detail::kLpRows), std::span<const stage_coeffs>(detail::kHpRows),
  std::span<const stage_coeffs>(detail::kApRows), std::span<const stage_coeffs>(detail::kBpRows),
  std::span<const stage_coeffs>(detail::kBrRows), std::span<const stage_coeffs>(detail::kPRows)};

// Per pass type, the shapes at tilt -1, -0.5, +0.5 and +1; empty except for BP and BR.
inline constexpr std::array<std::span<const stage_coeffs>, kNumPassTypes> pt_tilt_shapes = {
  std::span<const stage_coeffs>(),
  std::span<const stage_coeffs>(),
  std::span<const stage_coeffs>(),
  std::span<const stage_coeffs>(detail::kBpTilt),
  std::span<const stage_coeffs>(detail::kBrTilt),
  std::span<const stage_coeffs>()};

// The main filter's stage mix for a pass type at a depth (0 flat .. 1 canonical) and a tilt
// (-1 .. 1). Out-of-range types, depths and tilts are clamped into range. Pure; any thread.
stage_coeffs shapeOf(FilterPassType type, double depth, double tilt);

// How much of the resonance feedback's low band the main filter removes for a pass type:
// 1 for LP, BR and P, 0 for HP, AP and BP.
double feedbackOf(FilterPassType type);

// A pre-filter's output weights for a pass type (AP and unknown types read as LP).
svf_coeffs preFilterMixOf(FilterPassType type);

} // namespace zarvo
