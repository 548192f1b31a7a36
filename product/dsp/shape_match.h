// Pass-type matching: how far apart two filter shapes sound, and the nearest pass type to a shape.
#pragma once

#include <array>
#include <optional>

#include "product/dsp/pass_types.h"

namespace zarvo {

namespace shape_match {

// Levels are compared on an analogue prototype with its cutoff at 1000 Hz, over 240 points
// from 20 Hz to 20 kHz spaced logarithmically, in dB floored at -60.
inline constexpr int kGridPoints = 240;
inline constexpr double kFloorDb = -60.0;
inline constexpr std::array<double, 2> kSvfQs = {0.7071, 4.0};

double gridFrequency(int n);

// Level of a main-filter stage mix with ladder feedback k at a frequency.
double ladderDb(const stage_coeffs& c, double k, double frequency);
// Level of a state-variable mix at quality factor q and a frequency.
double svfDb(const svf_coeffs& c, double q, double frequency);
// RMS level difference of two state-variable mixes over the grid at both quality factors.
double rmsDb(const std::array<double, 2>& qs, const svf_coeffs& a, const svf_coeffs& b);

} // namespace shape_match

// The RMS level difference of two pre-filter mixes at the quality factors kSvfQs.
double shapeDistanceDb(const svf_coeffs& a, const svf_coeffs& b);

// The present candidate nearest to the target (ties keep the lower index), 0 when none is
// present. Main thread; costs a few thousand complex evaluations.
int nearestPassType(const stage_coeffs& target,
                    const std::array<std::optional<stage_coeffs>, kNumPassTypes>& candidates);

} // namespace zarvo
