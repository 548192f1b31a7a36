// Ten thousand host blocks of random automation, MIDI and bypass toggles at every oversampling
// factor and block sizes 1 to 4096: no allocation or lock in process, the caller's floating-point
// mode kept, and every output sample a normal finite number.
#include <cmath>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "tests/audio_it/lock_counter.h"
#include "tests/IPlugin/VST3/host_session.h"

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr ParamID kOversampling = 28;
constexpr ParamID kBypass = 65536;
constexpr ParamID kFirstControllerParam = 65538;
constexpr int kEffectParams = 79;

TEST(AudioRealTime, RandomAutomationMidiAndBypassStayRealTimeSafe)
{
  beginCountingLocks(true);
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_GT(endCountingLocks(), 0u) << "the plug-in's locks must reach the counter";
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing({48000.0, 4096, kSample64}));
  Plugin& p = *s.plugin;

  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_real_distribution<double> logFrames(0.0, std::log(4096.0));
  std::uniform_int_distribution<int> param(0, kEffectParams - 1);
  std::uniform_int_distribution<int> pitch(0, 127);
  std::uniform_int_distribution<int> controller(0, 129);

  int blocks = 0;
  std::set<uint32> latencies; // one per oversampling factor the plug-in took on
  double outputEnergy = 0.0;
  beginCountingLocks();
  for (; blocks < 10000; ++blocks)
  {
    const int32 frames = std::min(4096, 1 + static_cast<int32>(std::exp(logFrames(random))));
    const auto offset = [&] { return static_cast<int32>(unit(random) * frames); };
    const double level = blocks % 97 == 0 ? 0.0 : unit(random);
    for (int32 ch = 0; ch < p.channelCount(kInput, 0); ++ch)
      for (int32 i = 0; i < frames; ++i)
        p.input(0, ch)[i] = level * (2.0 * unit(random) - 1.0);

    for (int n = static_cast<int>(unit(random) * 4); n > 0; --n)
      p.addParameterChange(static_cast<ParamID>(param(random)), offset(), unit(random));
    const bool switchesFactor = blocks % 50 == 0;
    if (switchesFactor)
      p.addParameterChange(kOversampling, 0, ((blocks / 50) % 4) / 3.0);
    if (unit(random) < 0.02)
      p.addParameterChange(kBypass, offset(), unit(random) < 0.5 ? 1.0 : 0.0);
    if (unit(random) < 0.3)
      p.addEvent(noteOnEvent(offset(), static_cast<int16>(pitch(random)), static_cast<float>(unit(random))));
    if (unit(random) < 0.3)
      p.addEvent(noteOffEvent(offset(), static_cast<int16>(pitch(random))));
    if (unit(random) < 0.2)
      p.addParameterChange(kFirstControllerParam + static_cast<ParamID>(controller(random)), offset(), unit(random));

    const BlockReport report = p.process(frames);
    ASSERT_EQ(report.result, kResultOk) << "block " << blocks;
    ASSERT_EQ(report.allocations, 0u) << "block " << blocks << " of " << frames << " frames";
    ASSERT_TRUE(report.fpModeKept()) << "block " << blocks;
    for (int32 ch = 0; ch < p.channelCount(kOutput, 0); ++ch)
      for (int32 i = 0; i < frames; ++i)
      {
        const double x = p.output(0, ch)[i];
        ASSERT_TRUE(std::isfinite(x) && std::fpclassify(x) != FP_SUBNORMAL)
          << "block " << blocks << " channel " << ch << " frame " << i << ": " << x;
        outputEnergy += x * x;
      }
    if (switchesFactor)
    {
      // A host call on the main thread runs the plug-in's idle work, which reports the new latency.
      s.controller().getParamNormalized(kOversampling);
      latencies.insert(p.processor()->getLatencySamples());
    }
  }
  EXPECT_EQ(endCountingLocks(), 0u);
  EXPECT_GT(outputEnergy, 0.0) << "the blocks carried sound, not silence throughout";
  EXPECT_EQ(latencies.size(), 4u) << "each oversampling factor reached the plug-in";
}

} // namespace
} // namespace vemlor::testhost
