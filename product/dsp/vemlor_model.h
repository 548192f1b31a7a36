// The effect's signal chain for one (oversampled) block: damping detector, pre-filters A and B,
// band-mode mix, main filter, negative band mix and soft limiter.
#pragma once

#include <array>
#include <cstddef>

#include "product/dsp/lanes.h"
#include "product/dsp/pass_types.h"
#include "product/dsp/state_variable_zdf.h"
#include "product/dsp/transistor_fractal.h"
#include "utils/audio_buffer.h"
#include "utils/process_setup.h"
#include "utils/soft_limiter.h"

namespace zarvo {

// Handles one or two channels: the left and right channel run side by side as the two lanes of
// each filter. A one-channel block leaves the right channel's filters and detector as they were;
// channels beyond the second are only limited. Audio thread, except prepare() (set-up time):
// settings are written between ticks, processBuffer reads them. Nothing allocates after
// construction.
class VemlorModel
{
public:
  enum class PreFilter
  {
    A,
    B
  };

  using PreFilterLanes = StateVariableZDF<v2d, 1>;
  using MainFilterLanes = BasicTransistorFractal<v2d>;

  // Follows the level of one channel with separate attack and release.
  struct EnvelopeFollower
  {
    double sampleRate = 48000.0;
    double attackMs = 0.001;
    double releaseMs = 2.0;
    double attackCoef = 0.9999999991042263;
    double releaseCoef = 0.01036260108500342;
    double envelope = 0.0;

    void setRateKeepingState(double rate) noexcept;
    void setTimes(double attack, double release);
  };

  // While the input stays below the threshold, the pre-filters' states and the main filter's
  // resonance feedback decay with the release time; above it the feedback recovers in ~hold/2.
  struct DampingDetector
  {
    std::array<EnvelopeFollower, 2> followers;
    double holdMs = 2.0;
    double releaseMs = 2000.0; // 2000 and above switch the detector off
    double threshold = 0.0001; // linear amplitude
    double decay = 1.0;        // per sample
    bool enabled = false;
    std::array<double, 2> feedbackGain = {1.0, 1.0};
    double recovery = 0.0;
  };

  VemlorModel();

  // Set-up time: the (oversampled) rate processBuffer runs at, then cleared states. Blocks of any
  // size are processed in place, so the block size and channel count need no room.
  void prepare(const ProcessSetup& setup);
  // Recomputes every rate-dependent value and keeps the running state: the audio path changes the
  // oversampling factor between blocks without a reset.
  void setRateKeepingState(double sampleRate) noexcept;
  // Clears filter states, envelopes and damping gains; settings stay.
  void reset() noexcept;

  // Processes the block in place at the prepared rate (or the one set since).
  void processBuffer(AudioBuffer& block) noexcept;

  // Settings. Detune d (cents) puts the left channel at f 2^(-d/2400), the right at f 2^(+d/2400).
  void setPreFilterCutoff(PreFilter which, double hz, double detuneCents);
  void setPreFilterResonance(PreFilter which, double q);
  void setPreFilterMix(PreFilter which, const svf_coeffs& mix);
  void setMainCutoff(double hz, double detuneCents);
  void setMainResonance(double q);
  void setMainDrive(double d);
  void setSaturationType(double type);
  void setStageMix(const stage_coeffs& mix);
  void setFeedbackLowCut(double fb);
  void setBreakIntensity(double amount);
  // v = break character - 1, 0..10.
  void setBreakCharacter(double v);
  void setBreakParam(double p);
  void setBreakDouble(double amount);
  void setInvertFeedback(bool invert);
  void setFilterModel(int model);
  void setResonanceCompensation(int mode);
  void setDampingRelease(double ms);
  void setDampingThreshold(double dB);
  void setDampingHold(double ms);

  const PreFilterLanes& preFilter(PreFilter which) const { return which == PreFilter::A ? mPreA : mPreB; }
  const MainFilterLanes& mainFilter() const { return mMain; }
  const DampingDetector& damping() const { return mDamping; }
  double sampleRate() const { return mSampleRate; }
  double mainCutoff() const { return mMainCutoff; }

  // Plain settings, read per sample.
  double negBandMix = 0.0;      // 0 or more: how much of what the band mode removed returns unfiltered
  double bandMode = 0.0;        // -1 only the remainder, 0 everything, +1 only the band
  double processingOrder = 1.0; // 0 the pre-filters in parallel, 1 in sequence

private:
  PreFilterLanes& preFilterLanes(PreFilter which) { return which == PreFilter::A ? mPreA : mPreB; }
  void updateDecay() noexcept;
  void updateRecovery() noexcept;
  struct Running;
  // One frame before the main filter: its input, what the band mode removed, the feedback gain.
  struct BandSplit
  {
    v2d mainInput;
    v2d removed;
    v2d feedbackGain;
  };
  template <bool Damping>
  BandSplit splitBand(v2d x, Running& run) const;
  template <std::size_t Channels>
  void processFrames(double* left, double* right, std::size_t n);

  PreFilterLanes mPreA{{1, 0, 0}};
  PreFilterLanes mPreB{{0, 1, 0}};
  double mSampleRate = 44100.0;
  double mMainCutoff = 22000.0;
  MainFilterLanes mMain;
  SoftLimiter mLimiter{6.0, 6.0};
  DampingDetector mDamping;
};

} // namespace zarvo
