#include "utils/utils.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace zarvo::utils {

namespace fast_approx {

PowFast::PowFast(unsigned precision)
  : mPrecision(std::min(precision, kMaxPrecision))
  , mTable(std::size_t{1} << mPrecision)
{
  powFastSetTable(mTable.data(), mPrecision);
}

void PowFast::powFastSetTable(unsigned* table, unsigned precision)
{
  if (precision >= 31)
    return;
  const std::uint32_t count = 1u << precision;
  const float width = static_cast<float>(count);
  for (std::uint32_t i = 0; i < count; ++i)
  {
    // The position in single precision, the power in double, truncated.
    const float x = (static_cast<float>(i) + 0.5f) / width;
    const double v = (std::pow(2.0, static_cast<double>(x)) - 1.0) * 8388608.0;
    table[i] = v < 8388608.0 ? static_cast<unsigned>(v) : 8388607u;
  }
}

float PowFast::lookup(float scaledExponent) const
{
  // Clamped so the float-to-integer conversion is defined; the result is meaningless out there.
  const float biased = std::clamp(scaledExponent + 1065353216.0f, -2147483648.0f, 2147483520.0f);
  const auto i = static_cast<std::uint32_t>(static_cast<std::int64_t>(biased));
  const std::uint32_t bits = (i & 0xFF800000u) | mTable[(i & 0x7FFFFFu) >> (23 - mPrecision)];
  return std::bit_cast<float>(bits);
}

} // namespace fast_approx

const fast_approx::PowFast fastPowf{12};

float fastLog2f(float x)
{
  const std::uint32_t b = std::bit_cast<std::uint32_t>(x);
  const float m = std::bit_cast<float>((b & 0x7FFFFFu) | 0x3F000000u);
  return static_cast<float>(b) * 1.1920929e-7f - 124.22552f - 1.4980303f * m - 1.72588f / (m + 0.35208872f);
}

float fastLog10f(float x) { return fastLog2f(x) * baseChange2_10f; }

float linearToDB(float x) { return x > minLinLoudness ? 20.0f * std::log10(x) : -140.0f; }

float linearToDBFast(float x) { return 20.0f * fastLog10f(x); }

float dbToLinear(float dB) { return dB > -140.0f ? std::pow(10.0f, dB / 20.0f) : 0.0f; }

float dbToLinearFast(float dB) { return fastPowf.ten(dB / 20.0f); }

float msToSamplesFloat(float ms, float sampleRate) { return ms * sampleRate / 1000.0f; }

std::uint64_t msToSamples(float ms, float sampleRate)
{
  const float samples = ms * sampleRate / 1000.0f;
  const float rounded = samples + (samples < 0.0f ? -0.49999997f : 0.49999997f);
  // Anything below one sample (negative or NaN included) is one sample.
  if (!(rounded >= 1.0f))
    return 1;
  if (rounded >= 18446744073709551616.0f)
    return UINT64_MAX;
  return static_cast<std::uint64_t>(rounded);
}

float samplesToMs(std::size_t samples, float sampleRate) { return static_cast<float>(samples) * 1000.0f / sampleRate; }

float noteToFreqFast(float note, float referenceHz) { return fastPowf.two((note - 69.0f) / 12.0f) * referenceHz; }

float centsFactorFast(float cents) { return fastPowf.two(cents / 1200.0f); }

void interleave(const AudioBuffer& in, AudioBuffer& out)
{
  if (out.numChannels() == 0)
    return;
  const std::size_t n = in.numChannels();
  const std::size_t frames = n == 0 ? 0 : std::min(in.numFrames(), out.numFrames() / n);
  double* dst = out.channel(0);
  for (std::size_t f = 0; f < frames; ++f)
    for (std::size_t c = 0; c < n; ++c)
      dst[f * n + c] = in.channel(c)[f];
}

void deinterleave(const AudioBuffer& in, AudioBuffer& out)
{
  if (in.numChannels() == 0)
    return;
  const std::size_t n = out.numChannels();
  const std::size_t frames = n == 0 ? 0 : std::min(out.numFrames(), in.numFrames() / n);
  const double* src = in.channel(0);
  for (std::size_t f = 0; f < frames; ++f)
    for (std::size_t c = 0; c < n; ++c)
      out.channel(c)[f] = src[f * n + c];
}

} // namespace zarvo::utils
