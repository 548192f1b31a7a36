#include "product/dsp/tail_bound.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>
#include <vector>

#include "product/dsp/vemlor_model.h"

namespace zarvo {
namespace {

const double kSilence = std::pow(10.0, -90.0 / 20.0); // -90 dBFS

// A patch at a worst corner: what the tail bound reads plus what only the model needs.
struct Patch
{
  const char* name;
  TailSettings tail;
  double rate = 48000.0;
  FilterPassType passType = FilterPassType::LP;
  double drive = 0.0;
  double breakCharacter = 1.0;
  double bandMode = 0.0;
  double negBandMix = 0.0;
  double thresholdDb = -100.0;
  // Stage weights of a user blend in place of the pass type's shape, when set.
  std::optional<stage_coeffs> blend = std::nullopt;
  // Linear gain after the model (the output gain).
  double gainAfter = 1.0;
};

void configure(VemlorModel& m, const Patch& p)
{
  using PF = VemlorModel::PreFilter;
  const TailSettings& t = p.tail;
  m.prepare({p.rate, 512, 2});
  m.setMainCutoff(t.mainCutoffHz, 0.0);
  m.setMainResonance(t.mainResonance);
  m.setMainDrive(p.drive);
  m.setSaturationType(2.0);
  m.setStageMix(p.blend.value_or(shapeOf(p.passType, 1.0, 0.0)));
  m.setFeedbackLowCut(t.feedbackLowCut);
  m.setFilterModel(t.diodeModel ? 1 : 0);
  m.setBreakIntensity(t.breakAmount);
  m.setBreakCharacter(p.breakCharacter - 1.0);
  for (PF which : {PF::A, PF::B})
  {
    const size_t i = which == PF::A ? 0 : 1;
    m.setPreFilterCutoff(which, t.preCutoffHz[i], 0.0);
    m.setPreFilterResonance(which, t.preResonance[i]);
    m.setPreFilterMix(which, preFilterMixOf(FilterPassType::BP));
  }
  m.bandMode = p.bandMode;
  m.negBandMix = p.negBandMix;
  m.setDampingRelease(t.dampingReleaseMs);
  m.setDampingThreshold(p.thresholdDb);
  m.setDampingHold(t.dampingHoldMs);
}

// Half a second of full-scale noise or of a sine at the main cutoff, then silence for `seconds`.
// Returns the seconds from the end of the input to the last output sample above -90 dBFS.
double ringAfterBurst(const Patch& p, bool sine, double seconds)
{
  VemlorModel model;
  configure(model, p);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  const size_t burst = static_cast<size_t>(0.5 * p.rate);
  const size_t total = burst + static_cast<size_t>(seconds * p.rate);
  constexpr size_t kBlock = 512;
  std::vector<double> left(kBlock), right(kBlock);
  double* channels[2] = {left.data(), right.data()};
  size_t last = 0;
  for (size_t pos = 0; pos < total; pos += kBlock)
  {
    for (size_t i = 0; i < kBlock; ++i)
    {
      const size_t n = pos + i;
      double x = 0.0;
      const double phase = 2.0 * std::numbers::pi * p.tail.mainCutoffHz * static_cast<double>(n) / p.rate;
      if (n < burst)
        x = sine ? std::sin(phase) : noise(random);
      left[i] = right[i] = x;
    }
    AudioBuffer block(channels, 2, kBlock);
    model.processBuffer(block);
    for (size_t i = 0; i < kBlock; ++i)
    {
      if (p.gainAfter * std::fabs(left[i]) > kSilence || p.gainAfter * std::fabs(right[i]) > kSilence)
        last = pos + i;
    }
  }
  return (static_cast<double>(last) - static_cast<double>(burst)) / p.rate;
}

TailSettings settings(double cutoff, double resonance, double release, double feedbackLowCut = 1.0)
{
  TailSettings t;
  t.mainCutoffHz = cutoff;
  t.mainResonance = resonance;
  t.dampingReleaseMs = release;
  t.dampingHoldMs = 10.0;
  t.feedbackLowCut = feedbackLowCut;
  return t;
}

TailSettings withDiode(TailSettings t)
{
  t.diodeModel = true;
  return t;
}

TailSettings withBreak(TailSettings t, double amount)
{
  t.breakAmount = amount;
  return t;
}

TailSettings withGain(TailSettings t, double gain)
{
  t.outputGain = gain;
  return t;
}

TailSettings withPreFilter(TailSettings t, double hz, double resonance)
{
  t.preFiltersHeard = true;
  t.preCutoffHz = {hz, 20000.0};
  t.preResonance = {resonance, 0.5};
  return t;
}

constexpr double kOff = 2000.0; // "R inf": the damping detector is off

TEST(TailBound, CoversTheRingOutOfTheModelAtItsWorstCorners)
{
  const Patch patches[] = {
    {"HP near self-oscillation at 100 Hz", settings(100.0, 0.99, kOff, 0.0), 48000.0, FilterPassType::HP},
    {"HP at 20 Hz, 44.1 kHz", settings(20.0, 0.98, kOff, 0.0), 44100.0, FilterPassType::HP},
    {"AP near self-oscillation at 100 Hz", settings(100.0, 0.99, kOff, 0.0), 48000.0, FilterPassType::AP},
    {"LP at full resonance and 1 Hz, full drive", settings(1.0, 1.0, kOff), 48000.0, FilterPassType::LP, 1.0},
    {"diode at 20 Hz, 8x of 96 kHz", withDiode(settings(20.0, 0.7, kOff)), 768000.0, FilterPassType::LP, 1.0},
    {"diode just below sustaining, 8x of 48 kHz", withDiode(settings(3000.0, 0.74, kOff)), 384000.0, FilterPassType::LP,
     1.0},
    {"break in the loop, damped in 500 ms", withBreak(settings(1000.0, 1.0, 500.0), 1.0), 48000.0, FilterPassType::LP,
     0.0, 1.0},
    {"HP at full resonance, damped in 1999 ms", settings(1000.0, 1.0, 1999.0, 0.0), 48000.0, FilterPassType::HP},
    {"resonant pre-filter heard through the band", withPreFilter(settings(20000.0, 0.5, kOff), 20.0, 0.99), 48000.0,
     FilterPassType::LP, 0.0, 1.0, 1.0},
    {"undamped pre-filter drained in 300 ms", withPreFilter(settings(20000.0, 0.5, 300.0), 200.0, 1.0), 48000.0,
     FilterPassType::LP, 0.0, 1.0, 0.0, 4.0},
    {"HP near self-oscillation, 24 dB louder after it", withGain(settings(100.0, 0.99, kOff, 0.0), 15.85), 48000.0,
     FilterPassType::HP, 0.0, 1.0, 0.0, 0.0, -100.0, std::nullopt, 15.85},
    {"break damped in 1 s, 48 dB louder after it", withGain(withBreak(settings(1000.0, 1.0, 1000.0), 1.0), 251.0),
     48000.0, FilterPassType::LP, 0.0, 1.0, 0.0, 0.0, -100.0, std::nullopt, 251.0},
    {"user blend of 36 times the fourth stage", withGain(settings(20.0, 0.9, kOff), 36.0), 48000.0, FilterPassType::LP,
     0.0, 1.0, 0.0, 0.0, -100.0, stage_coeffs{0.0, 0.0, 0.0, 0.0, 36.0}},
  };
  for (const Patch& p : patches)
  {
    SCOPED_TRACE(p.name);
    const double bound = tailBoundSeconds(p.tail);
    ASSERT_TRUE(std::isfinite(bound));
    ASSERT_LT(bound, 64.0);
    for (bool sine : {false, true})
    {
      const double ring = ringAfterBurst(p, sine, bound + 0.5);
      EXPECT_LT(ring, bound) << (sine ? "sine" : "noise") << " rings " << ring << " s, bound " << bound << " s";
    }
  }
}

TEST(TailBound, APatchThatSustainsItselfIsInfinite)
{
  const Patch patches[] = {
    {"HP at full resonance", settings(1000.0, 1.0, kOff, 0.0), 48000.0, FilterPassType::HP},
    {"diode at 0.79, 8x of 48 kHz", withDiode(settings(1000.0, 0.79, kOff)), 384000.0, FilterPassType::LP, 1.0},
    {"a little break at half resonance", withBreak(settings(1000.0, 0.5, kOff), 0.05), 48000.0, FilterPassType::LP, 0.0,
     1.0},
    {"undamped pre-filter heard", withPreFilter(settings(20000.0, 0.5, kOff), 200.0, 1.0), 48000.0, FilterPassType::LP,
     0.0, 1.0, 1.0},
  };
  for (const Patch& p : patches)
  {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(tailBoundSeconds(p.tail), std::numeric_limits<double>::infinity());
    // Still sounding at the end of five seconds of silence.
    EXPECT_GT(ringAfterBurst(p, false, 5.0), 4.9);
  }
}

TEST(TailBound, WideningKeepsTheWorseOfEachSetting)
{
  TailSettings a = settings(500.0, 0.2, 100.0);
  TailSettings b = withDiode(withBreak(withPreFilter(settings(2000.0, 0.9, kOff, 0.0), 30.0, 0.8), 0.5));
  b.dampingHoldMs = 4.0;
  a.widen(b);
  EXPECT_EQ(a.mainCutoffHz, 500.0);
  EXPECT_EQ(a.mainResonance, 0.9);
  EXPECT_TRUE(a.diodeModel);
  EXPECT_EQ(a.feedbackLowCut, 0.0);
  EXPECT_EQ(a.breakAmount, 0.5);
  EXPECT_TRUE(a.preFiltersHeard);
  EXPECT_EQ(a.preCutoffHz[0], 30.0);
  EXPECT_EQ(a.preResonance[0], 0.8);
  EXPECT_EQ(a.dampingReleaseMs, kOff);
  EXPECT_EQ(a.dampingHoldMs, 10.0);
}

struct SamplesCase
{
  const char* name;
  double seconds;
  double rate;
  int samples;
};

TEST(TailBound, HostTailsComeInSteps)
{
  const SamplesCase cases[] = {
    {"no ring still gets the first step", 0.0, 48000.0, 6000},
    {"a fifth of a second", 0.2, 48000.0, 12000},
    {"exactly one second", 1.0, 44100.0, 44100},
    {"just over one second", 1.01, 44100.0, 88200},
    {"a minute", 60.0, 48000.0, 64 * 48000},
    {"beyond a minute", 65.0, 48000.0, INT_MAX},
    {"infinite", std::numeric_limits<double>::infinity(), 48000.0, INT_MAX},
    {"not a number", std::nan(""), 48000.0, INT_MAX},
  };
  for (const SamplesCase& c : cases)
    EXPECT_EQ(tailBoundSamples(c.seconds, c.rate), c.samples) << c.name;
}

} // namespace
} // namespace zarvo
