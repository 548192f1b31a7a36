// A memoryless limiter with a quadratic soft knee below its ceiling.
#pragma once

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "utils/audio_buffer.h"
#include "utils/process_setup.h"

namespace zarvo {

// Samples up to the knee start K pass unchanged, the knee bends them toward the ceiling T with
// slope 1 at K and 0 at its end b, and beyond b they are held at T. Softness 0 is a hard clip.
// Settings are main-thread or set-up time; processing is audio thread.
class SoftLimiter
{
public:
  SoftLimiter(double thresholdDb, double softnessDb);

  void setThreshold(double dB);
  void setSoftness(double dB);

  // Memoryless and the same at every rate: there is nothing to set up or clear.
  void prepare(const ProcessSetup&) {}
  void reset() noexcept {}

  double process(double x) const noexcept
  {
    // Beyond the knee end min(|x|, b) - b is 0, which leaves the ceiling itself; written without
    // branches because noisy material crosses the knee unpredictably.
    const double m = std::fabs(x);
    const double d = std::min(m, mKneeEnd) - mKneeEnd;
    const double bent = std::copysign(mCurve * d * d + mThreshold, x);
    return m <= mKneeStart ? x : bent;
  }

  // Two samples side by side (a channel pair), each exactly as process() computes it.
  __m128d process(__m128d x) const noexcept
  {
    const __m128d sign = _mm_set1_pd(-0.0);
    const __m128d m = _mm_andnot_pd(sign, x);
    const __m128d kneeEnd = _mm_set1_pd(mKneeEnd);
    // min(b, m) keeps m when it is NaN, as std::min(m, b) does.
    const __m128d d = _mm_sub_pd(_mm_min_pd(kneeEnd, m), kneeEnd);
    const __m128d magnitude = _mm_add_pd(_mm_mul_pd(_mm_mul_pd(_mm_set1_pd(mCurve), d), d), _mm_set1_pd(mThreshold));
    const __m128d bent = _mm_or_pd(_mm_andnot_pd(sign, magnitude), _mm_and_pd(sign, x));
    const __m128d pass = _mm_cmple_pd(m, _mm_set1_pd(mKneeStart));
    return _mm_or_pd(_mm_and_pd(pass, x), _mm_andnot_pd(pass, bent));
  }

  void processBuffer(AudioBuffer& buffer) const noexcept;
  void processBuffer(double* const* channels, std::size_t numChannels, std::size_t numFrames) const noexcept;

  double threshold() const { return mThreshold; }
  double softness() const { return mSoftness; }
  double curve() const { return mCurve; }
  double kneeEnd() const { return mKneeEnd; }
  double kneeStart() const { return mKneeStart; }

private:
  void update();

  double mThreshold = 1.0; // linear ceiling T
  double mSoftness = 0.0;  // knee width as a fraction of T
  double mCurve = 0.0;     // a = -0.25 / (s T)
  double mKneeEnd = 0.0;   // b = (1 + s) T
  double mKneeStart = 1.0; // K = (1 - s) T
};

} // namespace zarvo
