// The audio path as a host sees it: the dry-only mix, both sample sizes, and the latency report.
#include <cmath>
#include <cstdint>
#include <vector>
#include <random>

#include <gtest/gtest.h>

#include "tests/IPlugin/VST3/host_session.h"
#include "product/params/params.h"

#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr ParamID kOversampling = zarvo::par_oversampling;
constexpr ParamID kDryWet = zarvo::par_dry_wet;
constexpr ParamID kMorphActive = zarvo::par_morph_active;
constexpr ParamID kGain = 30;

void fillNoise(Plugin& p, int32 frames, std::mt19937& random)
{
  std::uniform_int_distribution<int> level(-32768, 32767);
  for (int32 ch = 0; ch < p.channelCount(kInput, 0); ++ch)
    for (int32 i = 0; i < frames; ++i)
      p.input(0, ch)[i] = level(random) / 32768.0; // exact in 32 bits too
}

TEST(AudioThroughHost, DryOnlyMixPassesTheInputBitForBitLateByTheLatency)
{
  for (int factor = 0; factor <= 3; ++factor)
  {
    SCOPED_TRACE("oversampling index " + std::to_string(factor));
    HostSession s(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    ASSERT_TRUE(s.plugin->startProcessing({48000.0, 512, kSample64}));
    std::mt19937 random(11);
    std::vector<double> played[2];
    for (int32 frames : {512, 33, 1, 256})
    {
      fillNoise(*s.plugin, frames, random);
      s.plugin->addParameterChange(kOversampling, 0, factor / 3.0);
      s.plugin->addParameterChange(kDryWet, 0, 0.0);
      s.plugin->addParameterChange(kMorphActive, 0, 0.0);
      ASSERT_TRUE(s.plugin->process(frames).clean());
      // What the host is told at the next idle tick (LatencyFollowsOversamplingAtTheNextIdleTick).
      const int64_t latency = factor == 0 ? 0 : 5 + factor;
      for (int32 ch = 0; ch < 2; ++ch)
      {
        std::vector<double>& in = played[ch];
        in.insert(in.end(), s.plugin->input(0, ch), s.plugin->input(0, ch) + frames);
        for (int32 i = 0; i < frames; ++i)
        {
          const int64_t from = static_cast<int64_t>(in.size()) - frames + i - latency;
          ASSERT_EQ(s.plugin->output(0, ch)[i], from < 0 ? 0.0 : in[static_cast<size_t>(from)])
            << "channel " << ch << " frame " << i;
        }
      }
    }
  }
}

TEST(AudioThroughHost, ThirtyTwoBitOutputIsTheRoundedSixtyFourBitOutput)
{
  std::vector<double> outputs[2];
  // A new instance starts on a random starter preset: both runs start from one patch.
  std::vector<uint8_t> patch;
  {
    HostSession first(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(first) << first.error;
    patch = first.plugin->getState().value_or(std::vector<uint8_t>{});
  }
  for (int32 size : {kSample32, kSample64})
  {
    HostSession s(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(s) << s.error;
    ASSERT_TRUE(s.plugin->setState(patch));
    ASSERT_TRUE(s.plugin->startProcessing({96000.0, 256, size}));
    std::mt19937 random(5);
    for (int32 frames : {1, 255, 100, 0, 7, 256})
    {
      fillNoise(*s.plugin, frames, random);
      s.plugin->addParameterChange(kGain, 0, 0.6);
      s.plugin->addParameterChange(kOversampling, 0, 1.0 / 3.0);
      ASSERT_TRUE(s.plugin->process(frames).clean());
      for (int32 ch = 0; ch < 2; ++ch)
        outputs[size].insert(outputs[size].end(), s.plugin->output(0, ch), s.plugin->output(0, ch) + frames);
    }
  }
  ASSERT_EQ(outputs[kSample32].size(), outputs[kSample64].size());
  double energy = 0.0;
  for (size_t i = 0; i < outputs[kSample64].size(); ++i)
  {
    ASSERT_EQ(outputs[kSample32][i], static_cast<double>(static_cast<float>(outputs[kSample64][i]))) << i;
    energy += outputs[kSample64][i] * outputs[kSample64][i];
  }
  EXPECT_GT(energy, 0.0) << "the default patch is audible";
}

TEST(AudioThroughHost, LatencyFollowsOversamplingAtTheNextIdleTick)
{
  struct Step
  {
    int factorIndex;
    uint32 latency;
    bool restarts;
  };
  const Step steps[] = {{2, 7, true}, {0, 0, true}, {1, 6, true}, {3, 8, true}, {3, 8, false}, {0, 0, true}};
  HostSession s(VEMLOR_BUNDLE_PATH, true);
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing({48000.0, 64, kSample64}));
  s.host.pump(20);
  for (const Step& step : steps)
  {
    SCOPED_TRACE("oversampling index " + std::to_string(step.factorIndex));
    s.host.handler().clearCalls();
    s.plugin->addParameterChange(kOversampling, 10, step.factorIndex / 3.0);
    ASSERT_TRUE(s.plugin->process(64).clean());
    EXPECT_TRUE(s.host.handler().calls().empty()) << "nothing is reported from process";

    s.host.pump(20);
    int restarts = 0;
    for (const HandlerCall& call : s.host.handler().calls())
    {
      if (call.kind != HandlerCall::Kind::RestartComponent)
        continue;
      ++restarts;
      EXPECT_EQ(call.flags & kLatencyChanged, kLatencyChanged);
      EXPECT_TRUE(call.onMainThread);
    }
    EXPECT_EQ(restarts, step.restarts ? 1 : 0);
    EXPECT_EQ(s.plugin->processor()->getLatencySamples(), step.latency);
  }
}

} // namespace
} // namespace vemlor::testhost
