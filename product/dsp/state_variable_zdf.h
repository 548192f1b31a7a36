// The pre-filters' zero-delay-feedback (trapezoidal) state-variable filter.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "product/dsp/lanes.h"
#include "product/dsp/pass_types.h"
#include "utils/process_setup.h"

namespace zarvo {

// Output = low-pass, high-pass and band-pass outputs weighted by `mix`. T is double for one
// channel or v2d for a channel pair in lanes (each lane may have its own cutoff and resonance).
// Settings take effect at the next sample; everything but prepare() runs on the audio thread.
template <typename T, std::size_t NumChannels>
class StateVariableZDF
{
public:
  // The two integrator states (band-pass and low-pass memories) of each channel.
  using State = std::array<std::array<T, 2>, NumChannels>;

  explicit StateVariableZDF(const svf_coeffs& mix = {1, 0, 0})
    : mMix(mix)
  {
    update();
  }

  // Set-up time: the rate, then cleared states. Nothing here depends on the block size.
  void prepare(const ProcessSetup& setup)
  {
    setRateKeepingState(setup.sampleRate);
    reset();
  }
  // The owner's oversampling factor may change between blocks without a reset.
  void setRateKeepingState(double sampleRate) noexcept
  {
    mSampleRate = sampleRate;
    update();
  }
  // Stored as requested; g is computed at no more than 0.9999 x Nyquist.
  void setCutoff(T hz)
  {
    mCutoff = hz;
    update();
  }
  // q 0..1: damping k = 4 (1 - q).
  void setResonance(T q)
  {
    mResonance = q;
    mDamping = 4.0 * (1.0 - q);
    mH = 1.0 / (mG * mG + mDamping * mG + 1.0);
  }
  void setMix(const svf_coeffs& mix) { mMix = mix; }
  void reset() noexcept { mState = State{}; }

  // Filters `count` samples in place; stateGains holds one factor per sample that scales both
  // states before it (1 leaves a plain trapezoidal filter).
  void processChannel(T* samples, std::size_t count, std::size_t channel, const T* stateGains) noexcept
  {
    for (std::size_t i = 0; i < count; ++i)
      samples[i] = processSample(samples[i], stateGains[i], channel);
  }

  [[gnu::always_inline]] T processSample(T x, T stateGain, std::size_t channel = 0) noexcept
  {
    return processSample(mState[channel], x, stateGain);
  }

  // The same on one channel's states held by the caller (a copy of state()[channel] that a loop
  // keeps in registers, handed back with setState()).
  [[gnu::always_inline]] T processSample(std::array<T, 2>& states, T x, T stateGain) const noexcept
  {
    states[0] *= stateGain;
    states[1] *= stateGain;
    return processUndrained(states, x);
  }

  // The same with a state gain of 1, which leaves the states as they are.
  [[gnu::always_inline]] T processUndrained(std::array<T, 2>& states, T x) const noexcept
  {
    T& s1 = states[0];
    T& s2 = states[1];
    const T hp = (x - s2 - (mDamping + mG) * s1) * mH;
    const T bp = s1 + mG * hp;
    s1 = mG * hp + bp;
    const T lp = s2 + mG * bp;
    s2 = mG * bp + lp;
    return lp * mMix[0] + hp * mMix[1] + bp * mMix[2];
  }

  const State& state() const { return mState; }
  void setState(const State& s) { mState = s; }
  // Puts back lane 1 of saved states (a one-channel block leaves lane 1 as it was).
  void restoreLane1(const State& saved)
  {
    for (std::size_t c = 0; c < NumChannels; ++c)
      for (std::size_t k = 0; k < 2; ++k)
        lanes::keepLane1(mState[c][k], saved[c][k]);
  }

  double sampleRate() const { return mSampleRate; }
  T cutoff() const { return mCutoff; }
  T resonance() const { return mResonance; }
  T damping() const { return mDamping; }
  T g() const { return mG; }
  T h() const { return mH; }
  const svf_coeffs& mix() const { return mMix; }

private:
  void update() noexcept
  {
    const double limit = 0.9999 * mSampleRate / 2.0;
    const double rate = mSampleRate;
    mG = lanes::map(mCutoff, [=](double hz) { return std::tan(3.141592653589793 * std::min(hz, limit) / rate); });
    mH = 1.0 / (mG * mG + mDamping * mG + 1.0);
  }

  State mState{};
  T mResonance = lanes::splat<T>(0.5);
  T mDamping = lanes::splat<T>(2.0);
  T mG{};
  T mH = lanes::splat<T>(1.0);
  svf_coeffs mMix;
  double mSampleRate = 48000.0;
  T mCutoff = lanes::splat<T>(22000.0);
};

} // namespace zarvo
