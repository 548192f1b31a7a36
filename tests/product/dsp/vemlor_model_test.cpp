#include "product/dsp/vemlor_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "utils/utils.h"

namespace zarvo {
namespace {

struct Patch
{
  const char* name;
  double order;
  double bandMode;
  double negBandMix;
  double dampingRelease; // 2000 switches the detector off
  double dampingThreshold;
};

// The chain as buffer passes over one channel at a time, with one-channel filters: the block
// in W, the band in A, the remainder in R.
class ReferenceChain
{
public:
  explicit ReferenceChain(const Patch& p, double rate)
    : mPatch(p)
    , mRate(rate)
  {
    for (int c = 0; c < 2; ++c)
    {
      for (auto* f : {&mPreA[c], &mPreB[c]})
        f->prepare({rate, 512, 2});
      mPreA[c].setMix(preFilterMixOf(FilterPassType::BP));
      mPreB[c].setMix(preFilterMixOf(FilterPassType::LP));
      mPreA[c].setResonance(0.7);
      mPreB[c].setResonance(0.2);
      mMain[c].prepare({rate, 512, 2});
      mMain[c].setResonance(0.85);
      mMain[c].setDrive(0.5);
      mMain[c].setSaturationType(2.0);
      mMain[c].setStageMix(shapeOf(FilterPassType::LP, 1.0, 0.0));
      mMain[c].setBreakIntensity(0.3);
      mMain[c].setBreakCharacter(2.5);
      mEnvRelease[c] = 1.0 - std::exp(-1.0 / (5.0 * rate / 1000.0));
      mEnvAttack[c] = 1.0 - std::exp(-1.0 / (0.0025 * rate / 1000.0));
    }
    mPreA[0].setCutoff(800.0 * utils::centsFactorFast(-10.0f));
    mPreA[1].setCutoff(800.0 * utils::centsFactorFast(10.0f));
    mPreB[0].setCutoff(3000.0 * utils::centsFactorFast(0.0f));
    mPreB[1].setCutoff(3000.0 * utils::centsFactorFast(0.0f));
    mMain[0].setFreq(1500.0 * utils::centsFactorFast(-5.0f));
    mMain[1].setFreq(1500.0 * utils::centsFactorFast(5.0f));
  }

  static void configure(VemlorModel& m, const Patch& p)
  {
    using PF = VemlorModel::PreFilter;
    m.setPreFilterMix(PF::A, preFilterMixOf(FilterPassType::BP));
    m.setPreFilterMix(PF::B, preFilterMixOf(FilterPassType::LP));
    m.setPreFilterResonance(PF::A, 0.7);
    m.setPreFilterResonance(PF::B, 0.2);
    m.setPreFilterCutoff(PF::A, 800.0, 20.0);
    m.setPreFilterCutoff(PF::B, 3000.0, 0.0);
    m.setMainCutoff(1500.0, 10.0);
    m.setMainResonance(0.85);
    m.setMainDrive(0.5);
    m.setSaturationType(2.0);
    m.setStageMix(shapeOf(FilterPassType::LP, 1.0, 0.0));
    m.setBreakIntensity(0.3);
    m.setBreakCharacter(2.5);
    m.setDampingRelease(p.dampingRelease);
    m.setDampingThreshold(p.dampingThreshold);
    m.setDampingHold(5.0);
    m.processingOrder = p.order;
    m.bandMode = p.bandMode;
    m.negBandMix = p.negBandMix;
  }

  void process(AudioBuffer& block)
  {
    const std::size_t n = block.numFrames(), channels = block.numChannels();
    AudioBuffer work(channels, n), band(channels, n), rest(channels, n), fbGains(channels, n), stateGains(channels, n);
    work.copyContentFrom(block);
    const bool enabled = mPatch.dampingRelease < 2000.0;
    const double decay = std::exp(-1000.0 / (mPatch.dampingRelease * mRate));
    const double threshold = utils::dbToLinear(static_cast<float>(mPatch.dampingThreshold));
    const double recovery = 1.0 - std::exp(-1000.0 / (mRate * 2.5));
    for (std::size_t c = 0; c < channels; ++c)
      for (std::size_t i = 0; i < n; ++i)
      {
        const double d = std::fabs(block.channel(c)[i]) - mEnv[c];
        mEnv[c] += d * (d > 0.0 ? mEnvAttack[c] : mEnvRelease[c]);
        if (mEnv[c] < 1e-15)
          mEnv[c] = 0.0;
        stateGains.channel(c)[i] = 1.0;
        if (!enabled)
          mGain[c] = 1.0;
        else if (threshold > mEnv[c])
        {
          stateGains.channel(c)[i] = decay;
          mGain[c] *= decay;
        }
        else
          mGain[c] += (1.0 - mGain[c]) * recovery;
        fbGains.channel(c)[i] = mGain[c];
      }
    for (std::size_t c = 0; c < channels; ++c)
      mPreA[c].processChannel(work.channel(c), n, 0, stateGains.channel(c));
    const double order = mPatch.order, mode = mPatch.bandMode;
    band.copyContentFrom(work);
    rest.copyContentFrom(block);
    rest *= 1.0 - order;
    work *= order;
    work += rest;
    for (std::size_t c = 0; c < channels; ++c)
      mPreB[c].processChannel(work.channel(c), n, 0, stateGains.channel(c));
    band *= 1.0 - order;
    work += band;
    work *= 1.0 / (2.0 - order);
    rest.copyContentFrom(block);
    rest -= work;
    if (mode > 0.0)
      rest *= 1.0 - mode;
    if (mode < 0.0)
      work *= 1.0 + mode;
    work += rest;
    rest.copyContentFrom(block);
    rest -= work;
    for (std::size_t c = 0; c < channels; ++c)
      for (std::size_t i = 0; i < n; ++i)
        block.channel(c)[i] = mMain[c].process(work.channel(c)[i], fbGains.channel(c)[i]);
    if (mPatch.negBandMix > 0.0)
    {
      rest *= mPatch.negBandMix;
      block += rest;
    }
    mLimiter.processBuffer(block);
  }

private:
  Patch mPatch;
  double mRate;
  StateVariableZDF<double, 1> mPreA[2], mPreB[2];
  TransistorFractal mMain[2];
  SoftLimiter mLimiter{6.0, 6.0};
  double mEnv[2] = {0, 0}, mGain[2] = {1, 1}, mEnvAttack[2], mEnvRelease[2];
};

std::vector<double> noise(std::size_t n, unsigned seed, double amplitude)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> d(-amplitude, amplitude);
  std::vector<double> v(n);
  for (double& x : v)
    x = d(rng);
  return v;
}

TEST(VemlorModel, MatchesTheChainComputedPassByPass)
{
  const Patch patches[] = {
    {"B after A, all of the input", 1.0, 0.0, 0.0, 2000.0, -60.0},
    {"parallel, only the band", 0.0, 1.0, 0.0, 2000.0, -60.0},
    {"half and half, only the remainder plus the band", 0.5, -1.0, 1.0, 2000.0, -60.0},
    {"mostly band, some returned", 0.3, 0.6, 0.4, 2000.0, -60.0},
    {"damping engaged by quiet passages", 1.0, -0.4, 0.7, 20.0, -12.0},
  };
  const double rate = 96000.0;
  for (const Patch& p : patches)
  {
    VemlorModel model;
    model.prepare({rate, 512, 2});
    ReferenceChain::configure(model, p);
    ReferenceChain reference(p, rate);
    // Loud and quiet stretches, in ticks of 16 frames as the audio path runs them.
    std::vector<double> left = noise(4096, 1, 1.0), right = noise(4096, 2, 1.0);
    for (std::size_t i = 1024; i < 2048; ++i)
    {
      left[i] *= 0.01;
      right[i] *= 0.01;
    }
    std::vector<double> refLeft = left, refRight = right;
    for (std::size_t pos = 0; pos < left.size(); pos += 16)
    {
      double* chans[2] = {left.data() + pos, right.data() + pos};
      double* refChans[2] = {refLeft.data() + pos, refRight.data() + pos};
      AudioBuffer tick(chans, 2, 16), refTick(refChans, 2, 16);
      model.processBuffer(tick);
      reference.process(refTick);
    }
    for (std::size_t i = 0; i < left.size(); ++i)
    {
      ASSERT_EQ(left[i], refLeft[i]) << p.name << " left " << i;
      ASSERT_EQ(right[i], refRight[i]) << p.name << " right " << i;
    }
  }
}

TEST(VemlorModel, NeutralBandModeFeedsTheInputToTheMainFilter)
{
  VemlorModel model;
  model.prepare({48000.0, 512, 2});
  const Patch p = {"", 0.4, 0.0, 0.0, 2000.0, -60.0};
  ReferenceChain::configure(model, p);
  TransistorFractal main;
  main.prepare({48000.0, 512, 2});
  main.setFreq(1500.0 * utils::centsFactorFast(-5.0f));
  main.setResonance(0.85);
  main.setDrive(0.5);
  main.setSaturationType(2.0);
  main.setStageMix(shapeOf(FilterPassType::LP, 1.0, 0.0));
  main.setBreakIntensity(0.3);
  main.setBreakCharacter(2.5);
  const SoftLimiter limiter(6.0, 6.0);
  std::vector<double> x = noise(512, 5, 0.5), y = x;
  double* chans[1] = {y.data()};
  AudioBuffer block(chans, 1, y.size());
  model.processBuffer(block);
  for (std::size_t i = 0; i < x.size(); ++i)
    ASSERT_NEAR(y[i], limiter.process(main.process(x[i], 1.0)), 1e-9) << i;
}

TEST(VemlorModel, DampingSettings)
{
  VemlorModel model;
  model.prepare({48000.0, 512, 2});

  model.setDampingThreshold(-100.0);
  EXPECT_NEAR(model.damping().threshold, 1e-5, 1e-12);
  model.setDampingThreshold(-150.0);
  EXPECT_EQ(model.damping().threshold, 0.0);

  model.setDampingHold(0.0);
  EXPECT_EQ(model.damping().recovery, 1.0);
  EXPECT_EQ(model.damping().followers[0].attackCoef, 1.0);
  EXPECT_EQ(model.damping().followers[1].releaseCoef, 1.0);

  // Quiet input under a high threshold decays the feedback gains...
  model.setDampingHold(10.0);
  model.setDampingThreshold(0.0);
  model.setDampingRelease(50.0);
  EXPECT_TRUE(model.damping().enabled);
  EXPECT_DOUBLE_EQ(model.damping().decay, std::exp(-1000.0 / (50.0 * 48000.0)));
  std::vector<double> left(480, 0.01), right(480, 0.01);
  double* chans[2] = {left.data(), right.data()};
  AudioBuffer block(chans, 2, 480);
  model.processBuffer(block);
  EXPECT_LT(model.damping().feedbackGain[0], 0.9);
  EXPECT_LT(model.damping().feedbackGain[1], 0.9);

  // ...and the top of the release range switches the detector off and the gains back to 1.
  model.setDampingRelease(2000.0);
  EXPECT_FALSE(model.damping().enabled);
  model.processBuffer(block);
  EXPECT_EQ(model.damping().feedbackGain[0], 1.0);
  EXPECT_EQ(model.damping().feedbackGain[1], 1.0);
}

TEST(VemlorModel, OneChannelBlocksLeaveTheRightChannelAlone)
{
  VemlorModel model;
  model.prepare({48000.0, 512, 2});
  ReferenceChain::configure(model, {"", 0.5, 0.3, 0.5, 30.0, -20.0});
  std::vector<double> left = noise(256, 7, 1.0), right = noise(256, 8, 1.0);
  double* chans[2] = {left.data(), right.data()};
  AudioBuffer stereo(chans, 2, 256);
  model.processBuffer(stereo);

  const auto main = model.mainFilter().state();
  const auto preA = model.preFilter(VemlorModel::PreFilter::A).state();
  const double envelope = model.damping().followers[1].envelope;
  const double gain = model.damping().feedbackGain[1];
  std::vector<double> mono = noise(256, 9, 1.0);
  double* monoChans[1] = {mono.data()};
  AudioBuffer block(monoChans, 1, 256);
  model.processBuffer(block);

  EXPECT_NE(model.mainFilter().state().stages[0][0], main.stages[0][0]);
  for (std::size_t k = 0; k < 4; ++k)
    EXPECT_EQ(model.mainFilter().state().stages[k][1], main.stages[k][1]) << k;
  EXPECT_EQ(model.mainFilter().state().outputLowPass[1], main.outputLowPass[1]);
  EXPECT_EQ(model.preFilter(VemlorModel::PreFilter::A).state()[0][1][1], preA[0][1][1]);
  EXPECT_EQ(model.damping().followers[1].envelope, envelope);
  EXPECT_EQ(model.damping().feedbackGain[1], gain);
}

TEST(VemlorModel, ResetClearsStatesAndExtraChannelsAreOnlyLimited)
{
  VemlorModel model;
  model.prepare({48000.0, 512, 2});
  ReferenceChain::configure(model, {"", 1.0, 0.0, 0.0, 30.0, -20.0});
  std::vector<std::vector<double>> data(3, noise(64, 4, 3.0));
  double* chans[3] = {data[0].data(), data[1].data(), data[2].data()};
  const std::vector<double> third = data[2];
  AudioBuffer block(chans, 3, 64);
  model.processBuffer(block);
  const SoftLimiter limiter(6.0, 6.0);
  for (std::size_t i = 0; i < 64; ++i)
    EXPECT_EQ(data[2][i], limiter.process(third[i])) << i;

  model.reset();
  for (std::size_t k = 0; k < 4; ++k)
    EXPECT_EQ(model.mainFilter().state().stages[k][0], 0.0);
  EXPECT_EQ(model.preFilter(VemlorModel::PreFilter::B).state()[0][0][1], 0.0);
  EXPECT_EQ(model.damping().followers[0].envelope, 0.0);
  EXPECT_EQ(model.damping().feedbackGain[1], 1.0);
}

} // namespace
} // namespace zarvo
