#include "product/dsp/tail_bound.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numbers>

// The constants below come from rendering the model itself: half a second of full-scale noise or of
// a sine at the cutoff, then silence, timing until the output stays below -90 dBFS, at 44.1 kHz to
// 768 kHz (8x oversampling of 96 kHz), cutoffs 1 Hz to 20 kHz, with and without full drive.
//
// - Main filter, no resonance build-up (ladder with the low band cut from the feedback, any q): the
//   four stages and the output DC blocker ring for at most 11.6 s at 1 Hz and 0.41 s at 1 kHz:
//   0.5 s + 12 / f covers them.
// - Ladder with low band in the feedback (HP, AP, BP, any blend below 1): near self-oscillation the
//   ring grows as 1 / (f (1 - q)); f (1 - q) T stayed below 7.2 (AP the longest) at q 0.8 to 0.999,
//   5 Hz to 1 kHz; 8 / (f (1 - q)) is taken. It oscillates on its own at q = 1.
// - Diode model: at most 9.7 s at 1 Hz and 0.87 s at 1 kHz up to q 0.75; from q 0.79 it oscillates
//   on its own at 384 kHz, so 0.75 is where it is taken to sustain.
// - The break stage sits in the feedback loop: with the detector off it sustained the output from
//   q 0.1 at intensity 0.05 for some characters, so any break with any resonance is taken to sustain.
// - Pre-filters (heard only through band mode or the negative band mix): a state-variable filter of
//   damping ratio z = 2 (1 - q) decays at z w (w - w sqrt(z^2 - 1) when overdamped); twelve time
//   constants plus the log of its resonant gain reach -90 dBFS. At q = 1 it never decays.
// - Damping detector on: its follower falls from +24 dBFS to a -100 dB threshold in 14.3 hold times;
//   then the feedback and the pre-filter states decay with the release time. Over every case above,
//   including the self-sustaining ones, the ring stayed below the main filter's own ring plus 9.1
//   release times (18.5 s at 1 kHz with a release of 1999 ms).
// - A gain G after the ring lengthens the time to -90 dBFS by ln G time constants: measured at G = 16
//   and 250, every case above stayed within its bound times 1 + ln G / 9.5.
// The sum of the stage bounds is taken with a quarter more as a margin.

namespace zarvo {
namespace {

constexpr double kInfinite = std::numeric_limits<double>::infinity();
constexpr double kDampingOffMs = 2000.0;
constexpr double kMinCutoffHz = 1.0;
constexpr double kDiodeSustainResonance = 0.75;
constexpr double kDecayTimeConstants = 12.0;   // e^-12 is -104 dB: from above 0 dBFS to -90 dBFS
constexpr double kMaxResonantGainLog = 13.8;   // an undamped pre-filter taken at +120 dB
constexpr double kHoldTimesToThreshold = 14.3; // ln(16 / 1e-5)
constexpr double kReleasesToSilence = 9.5;
constexpr double kMargin = 1.25;
constexpr double kFirstStepSeconds = 0.125;
constexpr double kLongestFiniteSeconds = 64.0;

double cutoff(double hz) { return std::max(hz, kMinCutoffHz); }

// The main filter's ring while its resonance cannot build up.
double passiveRing(const TailSettings& s)
{
  const double f = cutoff(s.mainCutoffHz);
  return s.diodeModel ? 1.0 + 20.0 / f : 0.5 + 12.0 / f;
}

// The main filter's ring without the damping detector; infinite where it sustains itself.
double mainRing(const TailSettings& s)
{
  const double q = std::clamp(s.mainResonance, 0.0, 1.0);
  if (s.diodeModel)
    return q >= kDiodeSustainResonance ? kInfinite : passiveRing(s);
  if (s.feedbackLowCut >= 1.0)
    return passiveRing(s);
  return q >= 1.0 ? kInfinite : passiveRing(s) + 8.0 / (cutoff(s.mainCutoffHz) * (1.0 - q));
}

// The slowest decay rate (1/s) of a pre-filter and the log of its resonant gain.
void preDecay(double hz, double resonance, double& rate, double& gainLog)
{
  const double w = 2.0 * std::numbers::pi * cutoff(hz);
  const double z = 2.0 * (1.0 - std::clamp(resonance, 0.0, 1.0));
  rate = z >= 1.0 ? w * (z - std::sqrt(z * z - 1.0)) : z * w;
  gainLog = z > 0.0 ? std::min(std::log(std::max(1.0, 1.0 / z)), kMaxResonantGainLog) : kMaxResonantGainLog;
}

} // namespace

void TailSettings::widen(const TailSettings& o)
{
  mainCutoffHz = std::min(mainCutoffHz, o.mainCutoffHz);
  mainResonance = std::max(mainResonance, o.mainResonance);
  diodeModel = diodeModel || o.diodeModel;
  feedbackLowCut = std::min(feedbackLowCut, o.feedbackLowCut);
  breakAmount = std::max(breakAmount, o.breakAmount);
  preFiltersHeard = preFiltersHeard || o.preFiltersHeard;
  for (size_t i = 0; i < preCutoffHz.size(); ++i)
  {
    preCutoffHz[i] = std::min(preCutoffHz[i], o.preCutoffHz[i]);
    preResonance[i] = std::max(preResonance[i], o.preResonance[i]);
  }
  dampingReleaseMs = std::max(dampingReleaseMs, o.dampingReleaseMs);
  dampingHoldMs = std::max(dampingHoldMs, o.dampingHoldMs);
  outputGain = std::max(outputGain, o.outputGain);
}

double tailBoundSeconds(const TailSettings& s)
{
  const bool breakInLoop = s.breakAmount > 0.0 && s.mainResonance > 0.0;
  const double main = breakInLoop ? kInfinite : mainRing(s);

  double free = main;     // the ring without the damping detector
  double preDamped = 0.0; // what the pre-filters add while the detector drains them
  const double releaseS = std::max(s.dampingReleaseMs, 0.0) / 1000.0;
  if (s.preFiltersHeard)
  {
    for (size_t i = 0; i < s.preCutoffHz.size(); ++i)
    {
      double rate = 0.0;
      double gainLog = 0.0;
      preDecay(s.preCutoffHz[i], s.preResonance[i], rate, gainLog);
      const double ring = rate > 0.0 ? (kDecayTimeConstants + gainLog) / rate : kInfinite;
      free += ring;
      preDamped += std::min(ring, releaseS * (kDecayTimeConstants + gainLog));
    }
  }

  double bound = free;
  if (s.dampingReleaseMs < kDampingOffMs)
  {
    const double fall = kHoldTimesToThreshold * std::max(s.dampingHoldMs, 0.0) / 1000.0;
    const double damped = fall + passiveRing(s) + kReleasesToSilence * releaseS + preDamped;
    bound = std::min(free, damped);
  }
  return kMargin * bound * (1.0 + std::log(std::max(s.outputGain, 1.0)) / kReleasesToSilence);
}

int tailBoundSamples(double seconds, double hostRate)
{
  if (!(seconds <= kLongestFiniteSeconds))
    return INT_MAX;
  double step = kFirstStepSeconds;
  while (step < seconds)
    step *= 2.0;
  const double samples = std::ceil(step * std::max(hostRate, 0.0));
  return samples < static_cast<double>(INT_MAX) ? static_cast<int>(samples) : INT_MAX;
}

} // namespace zarvo
