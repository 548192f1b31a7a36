#include "product/dsp/vemlor_model.h"

#include <algorithm>
#include <cmath>

#include "utils/utils.h"

namespace zarvo {

namespace {

// 1 - exp(-1 / (time in samples)); an instant time gives 1.
double followerCoef(double ms, double rate)
{
  const double samples = ms * rate / 1000.0;
  return samples > 0.0 ? 1.0 - std::exp(-1.0 / samples) : 1.0;
}

} // namespace

void VemlorModel::EnvelopeFollower::setRateKeepingState(double rate) noexcept
{
  sampleRate = rate;
  attackCoef = followerCoef(attackMs, rate);
  releaseCoef = followerCoef(releaseMs, rate);
}

void VemlorModel::EnvelopeFollower::setTimes(double attack, double release)
{
  attackMs = attack;
  releaseMs = release;
  setRateKeepingState(sampleRate);
}

VemlorModel::VemlorModel() { setRateKeepingState(44100.0); }

void VemlorModel::prepare(const ProcessSetup& setup)
{
  setRateKeepingState(setup.sampleRate);
  reset();
}

void VemlorModel::setRateKeepingState(double sampleRate) noexcept
{
  mSampleRate = sampleRate;
  mPreA.setRateKeepingState(sampleRate);
  mPreB.setRateKeepingState(sampleRate);
  mMain.setRateKeepingState(sampleRate);
  for (auto& f : mDamping.followers)
    f.setRateKeepingState(sampleRate);
  updateDecay();
  updateRecovery();
}

void VemlorModel::reset() noexcept
{
  mPreA.reset();
  mPreB.reset();
  mMain.reset();
  mLimiter.reset();
  for (auto& f : mDamping.followers)
    f.envelope = 0.0;
  mDamping.feedbackGain = {1.0, 1.0};
}

void VemlorModel::updateDecay() noexcept
{
  const double ms = mDamping.releaseMs;
  mDamping.enabled = ms < 2000.0;
  const double samples = ms * mSampleRate;
  mDamping.decay = samples > 0.0 ? std::exp(-1000.0 / samples) : 0.0;
}

void VemlorModel::updateRecovery() noexcept
{
  const double half = mDamping.holdMs / 2.0;
  mDamping.recovery = half > 0.0 ? 1.0 - std::exp(-1000.0 / (mSampleRate * half)) : 1.0;
}

void VemlorModel::setPreFilterCutoff(PreFilter which, double hz, double detuneCents)
{
  preFilterLanes(which).setCutoff(v2d{hz * utils::centsFactorFast(static_cast<float>(-detuneCents / 2.0)),
                                      hz * utils::centsFactorFast(static_cast<float>(detuneCents / 2.0))});
}

void VemlorModel::setPreFilterResonance(PreFilter which, double q) { preFilterLanes(which).setResonance(both(q)); }

void VemlorModel::setPreFilterMix(PreFilter which, const svf_coeffs& mix) { preFilterLanes(which).setMix(mix); }

void VemlorModel::setMainCutoff(double hz, double detuneCents)
{
  mMainCutoff = hz;
  mMain.setFreq(v2d{hz * utils::centsFactorFast(static_cast<float>(-detuneCents / 2.0)),
                    hz * utils::centsFactorFast(static_cast<float>(detuneCents / 2.0))});
}

void VemlorModel::setMainResonance(double q) { mMain.setResonance(q); }
void VemlorModel::setMainDrive(double d) { mMain.setDrive(d); }
void VemlorModel::setSaturationType(double type) { mMain.setSaturationType(type); }
void VemlorModel::setStageMix(const stage_coeffs& mix) { mMain.setStageMix(mix); }
void VemlorModel::setFeedbackLowCut(double fb) { mMain.setFeedbackLowCut(fb); }
void VemlorModel::setBreakIntensity(double amount) { mMain.setBreakIntensity(amount); }
void VemlorModel::setBreakCharacter(double v) { mMain.setBreakCharacter(v); }
void VemlorModel::setBreakParam(double p) { mMain.setBreakParam(p); }
void VemlorModel::setBreakDouble(double amount) { mMain.setBreakDouble(amount); }
void VemlorModel::setInvertFeedback(bool invert) { mMain.setInvertFeedback(invert); }
void VemlorModel::setFilterModel(int model) { mMain.setDiodeModel(model != 0); }
void VemlorModel::setResonanceCompensation(int mode) { mMain.setResonanceCompensation(mode); }

void VemlorModel::setDampingRelease(double ms)
{
  mDamping.releaseMs = ms;
  updateDecay();
}

void VemlorModel::setDampingThreshold(double dB) { mDamping.threshold = utils::dbToLinear(static_cast<float>(dB)); }

void VemlorModel::setDampingHold(double ms)
{
  mDamping.holdMs = ms;
  for (auto& f : mDamping.followers)
    f.setTimes(0.0005 * ms, ms);
  updateRecovery();
}

// What changes from frame to frame, held in locals for a stretch of frames so that the stores to
// the block cannot alias it and it stays in registers: the damping detector's values for both
// channels and the filters' states.
struct VemlorModel::Running
{
  v2d envelope;
  v2d gain;
  v2d attack;
  v2d release;
  std::array<v2d, 2> preA;
  std::array<v2d, 2> preB;
  MainFilterLanes::State main;
};

template <bool Damping>
[[gnu::always_inline]] inline VemlorModel::BandSplit VemlorModel::splitBand(v2d x, Running& run) const
{
  // Damping detector: below the threshold the pre-filters' states and the resonance feedback
  // decay by the release factor; above it the feedback gain recovers toward 1.
  const v2d d = v2d{std::fabs(x[0]), std::fabs(x[1])} - run.envelope;
  run.envelope += d * (d > 0.0 ? run.attack : run.release);
  run.envelope = run.envelope < 1e-15 ? both(0.0) : run.envelope;
  if constexpr (Damping)
  {
    const auto quiet = mDamping.threshold > run.envelope;
    const v2d stateGain = quiet ? both(mDamping.decay) : both(1.0);
    run.gain = quiet ? run.gain * mDamping.decay : run.gain + (1.0 - run.gain) * mDamping.recovery;
    // The state gain drains the pre-filters' states before the sample; a gain of 1 is skipped.
    run.preA[0] *= stateGain;
    run.preA[1] *= stateGain;
    run.preB[0] *= stateGain;
    run.preB[1] *= stateGain;
  }
  else
    run.gain = both(1.0);

  // The band: at order 0 the mean of A and B applied in parallel to the input, at order 1 B
  // applied after A.
  const double order = processingOrder;
  const v2d a = mPreA.processUndrained(run.preA, x);
  v2d w = mPreB.processUndrained(run.preB, a * order + x * (1.0 - order));
  w = (w + a * (1.0 - order)) * (1.0 / (2.0 - order));

  // Band mode: +1 passes only the band, -1 only the remainder, 0 both (the input itself).
  v2d rest = x - w;
  if (bandMode > 0.0)
    rest *= 1.0 - bandMode;
  if (bandMode < 0.0)
    w *= 1.0 + bandMode;
  w += rest;
  return {w, x - w, run.gain};
}

template <std::size_t Channels>
void VemlorModel::processFrames(double* left, double* right, std::size_t n)
{
  // A stretch of frames goes through the chain in three passes: everything before the main
  // filter, the main filter, everything after. The main filter's sample-to-sample path is long;
  // kept apart, the short work around it does not queue up behind it.
  constexpr std::size_t kChunk = 16;
  auto& [leftFollower, rightFollower] = mDamping.followers;
  Running run{{leftFollower.envelope, rightFollower.envelope},
              {mDamping.feedbackGain[0], mDamping.feedbackGain[1]},
              {leftFollower.attackCoef, rightFollower.attackCoef},
              {leftFollower.releaseCoef, rightFollower.releaseCoef},
              mPreA.state()[0],
              mPreB.state()[0],
              mMain.state()};
  BandSplit split[kChunk];
  v2d out[kChunk];
  for (std::size_t pos = 0; pos < n; pos += kChunk)
  {
    const std::size_t len = std::min(kChunk, n - pos);
    const auto frame = [&](std::size_t i) { return v2d{left[pos + i], Channels == 2 ? right[pos + i] : 0.0}; };
    if (mDamping.enabled)
      for (std::size_t i = 0; i < len; ++i)
        split[i] = splitBand<true>(frame(i), run);
    else
      for (std::size_t i = 0; i < len; ++i)
        split[i] = splitBand<false>(frame(i), run);
    mMain.withBreakKind([&](auto kind) {
      constexpr int kKind = decltype(kind)::value;
      if (mMain.isDiodeModel())
        for (std::size_t i = 0; i < len; ++i)
          out[i] = mMain.template processDiode<kKind>(run.main, split[i].mainInput, split[i].feedbackGain);
      else
        for (std::size_t i = 0; i < len; ++i)
          out[i] = mMain.template process<kKind>(run.main, split[i].mainInput, split[i].feedbackGain);
    });
    for (std::size_t i = 0; i < len; ++i)
    {
      v2d y = out[i];
      if (negBandMix > 0.0)
        y += split[i].removed * negBandMix;
      const v2d limited = mLimiter.process(y);
      left[pos + i] = limited[0];
      if constexpr (Channels == 2)
        right[pos + i] = limited[1];
    }
  }
  leftFollower.envelope = run.envelope[0];
  rightFollower.envelope = run.envelope[1];
  mDamping.feedbackGain = {run.gain[0], run.gain[1]};
  mPreA.setState({run.preA});
  mPreB.setState({run.preB});
  mMain.setState(run.main);
}

void VemlorModel::processBuffer(AudioBuffer& block) noexcept
{
  const std::size_t n = block.numFrames();
  if (block.numChannels() >= 2)
    processFrames<2>(block.channel(0), block.channel(1), n);
  else if (block.numChannels() == 1)
  {
    // The right lane runs on silence and is then put back as it was.
    const auto preA = mPreA.state();
    const auto preB = mPreB.state();
    const auto main = mMain.state();
    const double envelope = mDamping.followers[1].envelope;
    const double gain = mDamping.feedbackGain[1];
    processFrames<1>(block.channel(0), nullptr, n);
    mPreA.restoreLane1(preA);
    mPreB.restoreLane1(preB);
    mMain.restoreLane1(main);
    mDamping.followers[1].envelope = envelope;
    mDamping.feedbackGain[1] = gain;
  }

  for (std::size_t c = 2; c < block.numChannels(); ++c)
  {
    double* const extra[1] = {block.channel(c)};
    mLimiter.processBuffer(extra, 1, n);
  }
}

} // namespace zarvo
