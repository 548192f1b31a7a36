// Long runs of the whole engine through every extreme: outputs stay finite, states stay bounded,
// and DC dies away through the output high-pass.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "product/dsp/oversampler.h"
#include "product/dsp/vemlor_model.h"

namespace zarvo {
namespace {

constexpr std::size_t kHostBlock = 256;
constexpr std::size_t kTick = 16;

// Denormals flushed for the scope, as the audio path runs.
class FlushDenormals
{
public:
  FlushDenormals()
    : mSaved(_mm_getcsr())
  {
    _mm_setcsr(mSaved | 0x8040);
  }
  ~FlushDenormals() { _mm_setcsr(mSaved); }

private:
  unsigned mSaved;
};

// The block path around the model: upsample, 16-frame ticks with new settings before each,
// downsample.
class Engine
{
public:
  Engine(double hostRate, int factor)
    : mFactor(factor)
  {
    mOversampler.setFactor(factor);
    mOversampler.prepare({hostRate, static_cast<int>(kHostBlock), 2});
    mModel.prepare({hostRate * factor, static_cast<int>(kHostBlock) * factor, 2});
  }

  VemlorModel& model() { return mModel; }

  template <typename EachTick>
  void process(AudioBuffer& block, EachTick eachTick)
  {
    AudioBuffer up = mUp.subBuffer(0, block.numFrames() * static_cast<std::size_t>(mFactor));
    AudioBuffer& p = mFactor > 1 ? up : block;
    if (mFactor > 1)
      mOversampler.upsample(block, p);
    for (std::size_t pos = 0; pos < p.numFrames(); pos += kTick)
    {
      eachTick(mModel);
      AudioBuffer tick = p.subBuffer(pos, std::min(kTick, p.numFrames() - pos));
      mModel.processBuffer(tick);
      for (std::size_t c = 0; c < tick.numChannels(); ++c)
        for (std::size_t i = 0; i < tick.numFrames(); ++i)
          mLargestInside = std::max(mLargestInside, std::fabs(tick.channel(c)[i]));
    }
    if (mFactor > 1)
      mOversampler.downsample(p, block);
  }

  // NaN compares false, so a NaN anywhere makes this NaN-proof maximum stay below the bound test.
  double largestInside() const { return mLargestInside; }

private:
  int mFactor;
  Oversampler mOversampler;
  VemlorModel mModel;
  AudioBuffer mUp{2, kHostBlock* Oversampler::kMaxFactor};
  double mLargestInside = 0.0;
};

bool finiteAndBelow(double x, double bound) { return std::isfinite(x) && std::fabs(x) < bound; }

TEST(Soak, SixtySecondsThroughEveryExtreme)
{
  FlushDenormals flush;
  const double rates[] = {44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0};
  const int factors[] = {1, 2, 4, 8};
  const double satTypes[] = {0.0, 1.0, 2.0, 2.5, 2.99};
  constexpr int kSegments = 240; // a quarter second each: 60 s of host audio in all
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);

  for (int seg = 0; seg < kSegments; ++seg)
  {
    const double rate = rates[seg % 6];
    const int factor = factors[(seg / 6) % 4];
    const bool diode = (seg / 24) % 2 == 1;
    const double breakChar = (seg * 7 % 21) * 0.5; // every character and the blends between
    const double satType = satTypes[(seg / 2) % 5];
    const int compensation = (seg / 3) % 3;
    const double loudness = seg % 4 == 3 ? 4.0 : 1.0;
    SCOPED_TRACE(testing::Message() << "segment " << seg << ": " << rate << " Hz x" << factor
                                    << (diode ? " diode" : " ladder") << ", break " << breakChar << ", saturation "
                                    << satType << ", compensation " << compensation);

    Engine engine(rate, factor);
    VemlorModel& m = engine.model();
    m.setFilterModel(diode ? 1 : 0);
    m.setResonanceCompensation(compensation);
    m.setMainResonance(1.0);
    m.setMainDrive(1.0);
    m.setSaturationType(satType);
    m.setStageMix(shapeOf(static_cast<FilterPassType>(seg % kNumPassTypes), 1.0, (seg % 3) - 1.0));
    m.setFeedbackLowCut(seg % 2);
    m.setBreakIntensity(seg % 5 == 0 ? 0.0 : 1.0);
    m.setBreakCharacter(breakChar);
    m.setBreakDouble(seg % 2 == 0 ? 1.0 : 0.0);
    m.setInvertFeedback(seg % 3 == 0);
    m.setPreFilterResonance(VemlorModel::PreFilter::A, 1.0);
    m.setPreFilterResonance(VemlorModel::PreFilter::B, seg % 2 == 0 ? 1.0 : 0.0);
    m.setPreFilterMix(VemlorModel::PreFilter::A, preFilterMixOf(kPreFltPassTypes[seg % 5]));
    m.setPreFilterMix(VemlorModel::PreFilter::B, preFilterMixOf(kPreFltPassTypes[(seg + 2) % 5]));
    m.bandMode = (seg % 3) - 1.0;
    m.processingOrder = (seg % 5) * 0.25;
    m.negBandMix = (seg % 4) * 0.5;
    m.setDampingRelease(seg % 3 == 0 ? 2000.0 : seg % 3 == 1 ? 10.0 : 500.0);
    m.setDampingThreshold(-100.0 + (seg % 6) * 20.0);
    m.setDampingHold((seg % 4) * 15.0);

    const std::size_t hostFrames = static_cast<std::size_t>(rate / 4.0);
    const double top = rate * factor / 2.0;
    const std::size_t ticks = hostFrames * static_cast<std::size_t>(factor) / kTick;
    std::size_t tick = 0;
    const auto eachTick = [&](VemlorModel& model) {
      // Cutoffs sweep from 1 Hz to the oversampled Nyquist (pre-filters the other way round),
      // the break parameter over its range.
      const double t = std::min(1.0, static_cast<double>(tick++) / static_cast<double>(ticks));
      model.setMainCutoff(std::pow(top, t), 100.0);
      model.setPreFilterCutoff(VemlorModel::PreFilter::A, std::pow(top, 1.0 - t), -100.0);
      model.setPreFilterCutoff(VemlorModel::PreFilter::B, std::pow(top, 0.5 + 0.5 * t), 50.0);
      model.setBreakParam(t);
    };

    std::vector<double> left(kHostBlock), right(kHostBlock);
    double* chans[2] = {left.data(), right.data()};
    for (std::size_t done = 0; done < hostFrames; done += kHostBlock)
    {
      const std::size_t n = std::min(kHostBlock, hostFrames - done);
      for (std::size_t i = 0; i < n; ++i)
      {
        left[i] = loudness * noise(rng);
        right[i] = loudness * noise(rng);
      }
      AudioBuffer block(chans, seg % 7 == 6 ? 1 : 2, n);
      engine.process(block, eachTick);
      // Inside, the limiter holds every sample to its ceiling; the downsampler's ringing on
      // limited full-scale noise may overshoot that a little, never by a factor of 5.
      for (std::size_t i = 0; i < n; ++i)
      {
        ASSERT_TRUE(finiteAndBelow(left[i], 10.0)) << left[i] << " at " << done + i;
        ASSERT_TRUE(finiteAndBelow(right[i], 10.0)) << right[i] << " at " << done + i;
      }
    }
    EXPECT_TRUE(finiteAndBelow(engine.largestInside(), 1.9952623149688795 + 1e-12));
    const auto& state = m.mainFilter().state();
    for (const v2d s : state.stages)
      EXPECT_TRUE(finiteAndBelow(s[0], 1e6) && finiteAndBelow(s[1], 1e6)) << s[0] << ", " << s[1];
    for (const auto& s : m.preFilter(VemlorModel::PreFilter::A).state()[0])
      EXPECT_TRUE(finiteAndBelow(s[0], 1e6) && finiteAndBelow(s[1], 1e6)) << s[0] << ", " << s[1];
  }
}

TEST(Soak, DcStepDecaysThroughTheOutputHighPass)
{
  FlushDenormals flush;
  struct Case
  {
    const char* name;
    int factor;
    bool diode;
  };
  const Case cases[] = {{"ladder 1x", 1, false}, {"ladder 4x", 4, false}, {"diode 2x", 2, true}, {"diode 8x", 8, true}};
  const double rate = 48000.0;
  for (const Case& c : cases)
  {
    Engine engine(rate, c.factor);
    VemlorModel& m = engine.model();
    m.setFilterModel(c.diode ? 1 : 0);
    m.setMainCutoff(1000.0, 0.0);
    m.setMainResonance(0.5);
    m.setMainDrive(0.3);
    m.setSaturationType(2.0);
    m.setStageMix(shapeOf(FilterPassType::LP, 1.0, 0.0));
    m.setFeedbackLowCut(feedbackOf(FilterPassType::LP));

    std::vector<double> left(kHostBlock), right(kHostBlock);
    double* chans[2] = {left.data(), right.data()};
    double first = 0.0, last = 0.0;
    for (std::size_t done = 0; done < static_cast<std::size_t>(2.0 * rate); done += kHostBlock)
    {
      std::fill(left.begin(), left.end(), 0.5);
      std::fill(right.begin(), right.end(), -0.5);
      AudioBuffer block(chans, 2, kHostBlock);
      engine.process(block, [](VemlorModel&) {});
      if (done == 4 * kHostBlock)
        first = std::fabs(left[0]);
      last = std::max(std::fabs(left.back()), std::fabs(right.back()));
    }
    EXPECT_GT(first, 0.1) << c.name; // the step passes at first...
    EXPECT_LT(last, 1e-6) << c.name; // ...and two seconds later it has gone
  }
}

} // namespace
} // namespace zarvo
