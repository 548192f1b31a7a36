// Numeric helpers of the audio path: decibels, times, note and cent factors, fast powers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "utils/audio_buffer.h"

namespace zarvo::utils {

namespace fast_approx {

// Powers of 2, e and 10 by replacing a float's exponent and mantissa bits from a table of 2^p
// mantissas, each the value at the middle of its interval (so exact powers come out slightly high).
// Built at start-up; afterwards read-only and safe from any thread.
class PowFast
{
public:
  static constexpr unsigned kMaxPrecision = 18;

  explicit PowFast(unsigned precision);

  float two(float x) const { return lookup(x * 8388608.0f); }
  float e(float x) const { return lookup(x * 12102203.0f); }
  float ten(float x) const { return lookup(x * 27866352.0f); }
  // r^x for logr = ln r.
  float r(float logr, float x) const { return lookup(logr * x * 1.442695f * 8388608.0f); }
  unsigned precision() const { return mPrecision; }

  // Fills an external table of 2^precision entries; does nothing for precision 31 and above.
  static void powFastSetTable(unsigned* table, unsigned precision);

private:
  float lookup(float scaledExponent) const;

  unsigned mPrecision;
  std::vector<unsigned> mTable;
};

} // namespace fast_approx

// Set up before main; read-only afterwards.
extern const fast_approx::PowFast fastPowf;        // precision 12
inline constexpr float baseChange2_10f = 0.30103f; // log10(2)
inline constexpr float minLinLoudness = 1e-7f;

float fastLog2f(float x);
float fastLog10f(float x);
// 20 log10(x), or -140 at and below minLinLoudness.
float linearToDB(float x);
float linearToDBFast(float x);
// 10^(dB/20), or 0 at and below -140 dB.
float dbToLinear(float dB);
float dbToLinearFast(float dB);
float msToSamplesFloat(float ms, float sampleRate);
// Rounded half away from zero, at least 1.
std::uint64_t msToSamples(float ms, float sampleRate);
float samplesToMs(std::size_t samples, float sampleRate);
float noteToFreqFast(float note, float referenceHz);
float centsFactorFast(float cents);

// All channels of `in` into channel 0 of `out`, frame by frame: out[0][f*n + c] = in[c][f].
// Frames that do not fit into `out` are left out.
void interleave(const AudioBuffer& in, AudioBuffer& out);
// The reverse, with the channel and frame counts taken from `out`; stops where `in` ends.
void deinterleave(const AudioBuffer& in, AudioBuffer& out);

} // namespace zarvo::utils
