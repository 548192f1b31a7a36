// The filters' small-signal magnitude responses against their analogue prototypes.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "product/dsp/shape_match.h"
#include "product/dsp/state_variable_zdf.h"
#include "product/dsp/transistor_fractal.h"

namespace zarvo {
namespace {

// Level in dB of an impulse response at a frequency.
double levelDb(const std::vector<double>& h, double hz, double rate)
{
  std::complex<double> sum = 0.0;
  for (std::size_t n = 0; n < h.size(); ++n)
    sum += h[n] * std::polar(1.0, -2.0 * 3.141592653589793 * hz * static_cast<double>(n) / rate);
  return 20.0 * std::log10(std::abs(sum));
}

TEST(StateVariableZDF, MatchesTheAnalogueResponseAtLowFrequencies)
{
  struct Case
  {
    const char* name;
    svf_coeffs mix;
    double resonance; // damping 4 (1 - q), Q = 1 / damping
  };
  const Case cases[] = {
    {"low-pass, Q 0.5", {1, 0, 0}, 0.5},  {"low-pass, Q 1", {1, 0, 0}, 0.75},   {"high-pass, Q 0.5", {0, 1, 0}, 0.5},
    {"high-pass, Q 2", {0, 1, 0}, 0.875}, {"band-pass, Q 0.5", {0, 0, 1}, 0.5}, {"band-pass, Q 1.25", {0, 0, 1}, 0.8},
  };
  const double rate = 96000.0; // cutoff 1000 Hz: f/fs at most 0.021 below
  for (const Case& c : cases)
  {
    StateVariableZDF<double, 1> filter(c.mix);
    filter.prepare({rate, 512, 2});
    filter.setCutoff(1000.0);
    filter.setResonance(c.resonance);
    std::vector<double> h(1 << 15, 0.0), gains(h.size(), 1.0);
    h[0] = 1.0;
    filter.processChannel(h.data(), h.size(), 0, gains.data());
    const double q = 1.0 / (4.0 * (1.0 - c.resonance));
    for (double hz : {50.0, 100.0, 300.0, 700.0, 1000.0, 1400.0, 2000.0})
      EXPECT_NEAR(levelDb(h, hz, rate), shape_match::svfDb(c.mix, q, hz), 0.05) << c.name << " at " << hz;
  }
}

TEST(StateVariableZDF, StateGainsDrainTheStates)
{
  struct Case
  {
    const char* name;
    double gain;
    bool silentAfterwards;
  };
  const Case cases[] = {{"gain 1 keeps ringing", 1.0, false}, {"gain 0 empties both states", 0.0, true}};
  for (const Case& c : cases)
  {
    StateVariableZDF<double, 1> filter({1, 0, 0});
    filter.prepare({48000.0, 512, 2});
    filter.setCutoff(500.0);
    std::vector<double> x(64, 1.0), gains(64, 1.0);
    filter.processChannel(x.data(), x.size(), 0, gains.data());
    std::vector<double> silence(8, 0.0), drain(8, c.gain);
    filter.processChannel(silence.data(), silence.size(), 0, drain.data());
    EXPECT_EQ(silence[7] == 0.0, c.silentAfterwards) << c.name;
    EXPECT_EQ(filter.state()[0][0] == 0.0 && filter.state()[0][1] == 0.0, c.silentAfterwards) << c.name;
  }
}

TEST(TransistorFractal, SmallSignalLadderMatchesItsAnaloguePrototype)
{
  struct Case
  {
    const char* name;
    FilterPassType type;
    double resonance;
  };
  const Case cases[] = {
    {"LP", FilterPassType::LP, 0.0}, {"LP, k 2", FilterPassType::LP, 0.5}, {"HP", FilterPassType::HP, 0.0},
    {"BP", FilterPassType::BP, 0.0}, {"BP, k 2", FilterPassType::BP, 0.5}, {"BR", FilterPassType::BR, 0.0},
    {"P", FilterPassType::P, 0.0},
  };
  const double rate = 192000.0, amplitude = 1e-4;
  for (const Case& c : cases)
  {
    TransistorFractal filter;
    filter.prepare({rate, 512, 2});
    filter.setFreq(1000.0);
    filter.setResonance(c.resonance);
    filter.setSaturationType(0.0);
    filter.setDrive(0.0);
    filter.setFeedbackLowCut(0.0);
    const stage_coeffs shape = shapeOf(c.type, 1.0, 0.0);
    filter.setStageMix(shape);
    std::vector<double> h(1 << 16);
    for (std::size_t n = 0; n < h.size(); ++n)
      h[n] = filter.process(n == 0 ? amplitude : 0.0, 1.0) / amplitude;
    // Small signals see the output saturation's slope at 0 and the output gain.
    const double gainDb = 20.0 * std::log10(0.5 * filter.outputGain());
    for (double hz : {200.0, 500.0, 1000.0, 2000.0, 5000.0})
    {
      const double expected = shape_match::ladderDb(shape, 4.0 * c.resonance, hz);
      if (expected < -30.0) // deep stop bands are dominated by the curves' interpolation
        continue;
      EXPECT_NEAR(levelDb(h, hz, rate) - gainDb, expected, 0.25) << c.name << " at " << hz;
    }
  }
}

} // namespace
} // namespace zarvo
