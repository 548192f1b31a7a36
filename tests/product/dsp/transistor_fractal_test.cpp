#include "product/dsp/transistor_fractal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "product/dsp/state_variable_zdf.h"

namespace zarvo {
namespace {

int gBreakCalls = 0;
double countingBreak(double x, double, double)
{
  ++gBreakCalls;
  return x;
}

TEST(TransistorFractal, SettingEdgeCases)
{
  TransistorFractal f;
  f.prepare({44100.0, 512, 2});

  f.setFreq(30000.0);
  EXPECT_EQ(f.requestedCutoff(), 30000.0);
  EXPECT_EQ(f.effectiveCutoff(), 22050.0);
  f.prepare({96000.0, 512, 2});
  EXPECT_EQ(f.effectiveCutoff(), 30000.0);

  f.setFreq(-5.0);
  EXPECT_EQ(f.requestedCutoff(), 0.0);
  EXPECT_EQ(f.g(), 0.0);

  f.setFreq(4800.0);
  f.setResonance(1.0);
  EXPECT_EQ(f.feedback(), 4.0);
  EXPECT_EQ(f.cleanMix(), 1.0);
  const double x = 2.0 * 4800.0 / 96000.0;
  EXPECT_NEAR(f.diodeFeedback(), (1.0 - 0.14 * x * x) * 17.0 * (1.4 - 0.6 * std::sqrt(x)), 1e-12);
  f.setResonance(0.875);
  EXPECT_EQ(f.cleanMix(), 0.5);
  f.setResonance(0.5);
  EXPECT_EQ(f.cleanMix(), 0.0);

  for (double type : {0.0, 1.0, 2.0, 2.5})
  {
    f.setSaturationType(type);
    f.setDrive(0.0);
    EXPECT_EQ(f.inputGain(), 1.0);
    EXPECT_DOUBLE_EQ(f.outputGain(), 1.0 / saturate(0.5, type)) << type;
    f.setDrive(1.0);
    EXPECT_EQ(f.inputGain(), 32.0);
    EXPECT_DOUBLE_EQ(f.outputGain(), 1.0 / saturate(16.0, type)) << type;
  }
}

TEST(TransistorFractal, ZeroCutoffHoldsTheStages)
{
  for (bool diode : {false, true})
  {
    TransistorFractal f;
    f.prepare({48000.0, 512, 2});
    f.setDiodeModel(diode);
    f.setResonance(0.3);
    f.setFreq(2000.0);
    for (int i = 0; i < 100; ++i)
      f.processSample(std::sin(i * 0.3), 1.0);
    const auto held = f.state().stages;
    f.setFreq(0.0);
    for (int i = 0; i < 100; ++i)
      EXPECT_TRUE(std::isfinite(f.processSample(std::sin(i * 0.7), 1.0)));
    EXPECT_EQ(f.state().stages, held) << (diode ? "diode" : "ladder");
  }
}

TEST(TransistorFractal, BreakRunsOnlyWithIntensity)
{
  struct Case
  {
    const char* name;
    double amount;
    bool called;
  };
  const Case cases[] = {{"intensity 0 skips the break", 0.0, false}, {"intensity 0.5 runs it", 0.5, true}};
  for (const Case& c : cases)
  {
    TransistorFractal f;
    f.setBreakFunctions(countingBreak, countingBreak, 0.5);
    f.setBreakDouble(1.0);
    f.setBreakIntensity(c.amount);
    gBreakCalls = 0;
    for (int i = 0; i < 10; ++i)
      f.process(0.1, 1.0);
    EXPECT_EQ(gBreakCalls > 0, c.called) << c.name;
  }
}

// The model runs left and right as the lanes of one filter; each lane must do exactly what a
// one-channel filter does.
TEST(TransistorFractal, LanesMatchSeparateChannels)
{
  struct Case
  {
    const char* name;
    bool diode;
    int compensation;
    double resonance;
    double breakAmount;
  };
  const Case cases[] = {
    {"ladder", false, 0, 0.4, 0.0},
    {"ladder, self-oscillating, boosted, broken", false, 1, 1.0, 0.6},
    {"ladder, fixed low-cut", false, 2, 0.9, 0.3},
    {"diode", true, 0, 0.7, 0.0},
    {"diode, boosted, broken", true, 1, 1.0, 0.8},
  };
  for (const Case& c : cases)
  {
    BasicTransistorFractal<v2d> lanes;
    TransistorFractal left, right;
    const auto setUp = [&](auto& f) {
      f.prepare({96000.0, 512, 2});
      f.setDiodeModel(c.diode);
      f.setResonanceCompensation(c.compensation);
      f.setResonance(c.resonance);
      f.setDrive(0.6);
      f.setSaturationType(2.5);
      f.setStageMix(shapeOf(FilterPassType::BR, 0.8, 0.4));
      f.setFeedbackLowCut(0.5);
      f.setBreakIntensity(c.breakAmount);
      f.setBreakCharacter(6.4);
      f.setBreakParam(0.7);
      f.setBreakDouble(0.5);
      f.setInvertFeedback(true);
    };
    setUp(lanes);
    setUp(left);
    setUp(right);
    lanes.setFreq(v2d{700.0, 1300.0});
    left.setFreq(700.0);
    right.setFreq(1300.0);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int i = 0; i < 2000; ++i)
    {
      const double a = noise(rng), b = noise(rng), g = i % 300 < 150 ? 1.0 : 0.9;
      const v2d y = lanes.processSample(v2d{a, b}, v2d{g, 1.0});
      ASSERT_EQ(y[0], left.processSample(a, g)) << c.name << " sample " << i;
      ASSERT_EQ(y[1], right.processSample(b, 1.0)) << c.name << " sample " << i;
    }
  }
}

TEST(StateVariableZDF, LanesMatchSeparateChannels)
{
  StateVariableZDF<v2d, 1> lanes({0.5, -1, 2});
  StateVariableZDF<double, 1> left({0.5, -1, 2}), right({0.5, -1, 2});
  for (auto* f : {&left, &right})
  {
    f->prepare({88200.0, 512, 2});
    f->setResonance(0.9);
  }
  lanes.prepare({88200.0, 512, 2});
  lanes.setResonance(both(0.9));
  lanes.setCutoff(v2d{300.0, 45000.0}); // the right lane above Nyquist
  left.setCutoff(300.0);
  right.setCutoff(45000.0);
  for (int i = 0; i < 500; ++i)
  {
    const double a = std::sin(i * 0.05), b = std::cos(i * 0.11), g = i % 50 < 25 ? 1.0 : 0.95;
    const v2d y = lanes.processSample(v2d{a, b}, v2d{g, g});
    ASSERT_EQ(y[0], left.processSample(a, g)) << i;
    ASSERT_EQ(y[1], right.processSample(b, g)) << i;
  }
}

} // namespace
} // namespace zarvo
