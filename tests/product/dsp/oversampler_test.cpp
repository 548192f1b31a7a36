#include "product/dsp/oversampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace zarvo {
namespace {

constexpr double kPi = 3.141592653589793;

// Up then down through one oversampler; returns the host-rate result.
std::vector<double> roundTrip(Oversampler& os, const std::vector<double>& in)
{
  const std::size_t n = in.size(), f = static_cast<std::size_t>(os.factor());
  std::vector<double> source = in, up(n * f), out(n);
  double* src[1] = {source.data()};
  double* mid[1] = {up.data()};
  double* dst[1] = {out.data()};
  AudioBuffer a(src, 1, n), b(mid, 1, n * f), c(dst, 1, n);
  os.upsample(a, b);
  os.downsample(b, c);
  return out;
}

TEST(Oversampler, RoundTripImpulsePeaksAtTheReportedLatency)
{
  struct Case
  {
    int factor;
    int latency;
  };
  const Case cases[] = {{2, 6}, {4, 7}, {8, 8}};
  for (const Case& c : cases)
  {
    Oversampler os;
    os.prepare({44100.0, 64, 1});
    os.setFactor(c.factor);
    EXPECT_EQ(Oversampler::latencySamples(c.factor), c.latency);
    std::vector<double> impulse(64, 0.0);
    impulse[0] = 1.0;
    const std::vector<double> out = roundTrip(os, impulse);
    std::size_t peak = 0;
    for (std::size_t i = 1; i < out.size(); ++i)
      if (std::fabs(out[i]) > std::fabs(out[peak]))
        peak = i;
    EXPECT_EQ(peak, static_cast<std::size_t>(c.latency)) << c.factor << "x";
  }
  EXPECT_EQ(Oversampler::latencySamples(1), 0);
}

TEST(Oversampler, FactorOneIsAnExactCopy)
{
  Oversampler os;
  os.prepare({44100.0, 100, 1});
  os.setFactor(1);
  std::vector<double> in(100);
  for (std::size_t i = 0; i < in.size(); ++i)
    in[i] = std::sin(0.37 * static_cast<double>(i)) * 1e300;
  EXPECT_EQ(roundTrip(os, in), in);
}

TEST(Oversampler, UnityGainAtDcAfterSettling)
{
  for (int factor : {2, 4, 8})
  {
    Oversampler os;
    os.prepare({44100.0, 8000, 1});
    os.setFactor(factor);
    // The steepest sections ring at Nyquist for a few thousand samples.
    const std::vector<double> out = roundTrip(os, std::vector<double>(8000, 0.75));
    for (std::size_t i = 7000; i < out.size(); ++i)
      ASSERT_NEAR(out[i], 0.75, 1e-12) << factor << "x at " << i;
  }
}

TEST(Oversampler, FirstStageRejectsTheImageOfA20kHzTone)
{
  // At 44.1 kHz the image of 20 kHz lies at 24.1 kHz, the closest case. A window of 882
  // oversampled samples holds whole periods of both, so no leakage needs windowing away.
  const double rate = 44100.0, tone = 20000.0, image = rate - tone;
  const std::size_t n = 20000, window = 882 * 10;
  Oversampler os;
  os.prepare({rate, static_cast<int>(n), 1});
  os.setFactor(2);
  std::vector<double> in(n), up(2 * n);
  for (std::size_t i = 0; i < n; ++i)
    in[i] = std::sin(2.0 * kPi * tone * static_cast<double>(i) / rate);
  double* src[1] = {in.data()};
  double* dst[1] = {up.data()};
  AudioBuffer a(src, 1, n), b(dst, 1, 2 * n);
  os.upsample(a, b);
  const auto amplitude = [&](double hz) {
    std::complex<double> sum = 0.0;
    for (std::size_t i = 0; i < window; ++i)
      sum += up[2 * n - window + i] * std::polar(1.0, -2.0 * kPi * hz * static_cast<double>(i) / (2.0 * rate));
    return std::abs(sum);
  };
  EXPECT_LT(20.0 * std::log10(amplitude(image) / amplitude(tone)), -140.0);
}

TEST(Oversampler, ChannelsAreIndependentAndNewOnesStartFromSilence)
{
  // Channel 0 alone for a while, then two channels: channel 0 continues where it was and
  // channel 1 behaves as a fresh oversampler, whatever the pairing inside.
  for (int factor : {2, 4, 8})
  {
    const std::size_t n = 32, f = static_cast<std::size_t>(factor);
    Oversampler shared, alone0, alone1;
    for (auto* os : {&shared, &alone0, &alone1})
    {
      os->prepare({44100.0, static_cast<int>(n), 2});
      os->setFactor(factor);
    }
    std::vector<double> x0(3 * n), x1(n);
    for (std::size_t i = 0; i < x0.size(); ++i)
      x0[i] = std::sin(0.1 * static_cast<double>(i));
    for (std::size_t i = 0; i < x1.size(); ++i)
      x1[i] = std::cos(0.23 * static_cast<double>(i));

    const auto run = [&](Oversampler& os, std::vector<double*> ins, std::size_t offset0) {
      std::vector<std::vector<double>> up(ins.size(), std::vector<double>(n * f));
      std::vector<std::vector<double>> out(ins.size(), std::vector<double>(n));
      std::vector<double*> upPtrs, outPtrs, inPtrs;
      for (std::size_t c = 0; c < ins.size(); ++c)
      {
        inPtrs.push_back(ins[c] + (c == 0 ? offset0 : 0));
        upPtrs.push_back(up[c].data());
        outPtrs.push_back(out[c].data());
      }
      AudioBuffer a(inPtrs.data(), ins.size(), n), b(upPtrs.data(), ins.size(), n * f),
        c(outPtrs.data(), ins.size(), n);
      os.upsample(a, b);
      os.downsample(b, c);
      return out;
    };
    run(shared, {x0.data()}, 0);
    run(shared, {x0.data()}, n);
    const auto stereo = run(shared, {x0.data(), x1.data()}, 2 * n);

    for (std::size_t block = 0; block < 3; ++block)
    {
      const auto mono0 = run(alone0, {x0.data()}, block * n);
      if (block == 2)
      {
        EXPECT_EQ(stereo[0], mono0[0]) << factor << "x channel 0";
      }
    }
    EXPECT_EQ(stereo[1], run(alone1, {x1.data()}, 0)[0]) << factor << "x channel 1";
  }
}

} // namespace
} // namespace zarvo
