// What a host without a run loop learns of the latency and the tail: at once from its own main-thread
// calls, never from the audio thread, and a tail that covers what the plug-in rings out.
#include "IPlugin/VST3/IPluginVST3.h"
#include "tests/IPlugin/VST3/host_session.h"
#include "product/params/params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

namespace vemlor::testhost {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using Kind = HandlerCall::Kind;

constexpr int32 kTailChanged = plugkit::IPluginVST3::kTailChanged;
const double kSilence = std::pow(10.0, -90.0 / 20.0); // -90 dBFS
constexpr double kRate = 48000.0;
constexpr int32 kBlock = 512;

// Restart requests with this flag; each must have come from the main thread.
int restarts(HostSession& s, int32 flag)
{
  int n = 0;
  for (const HandlerCall& call : s.host.handler().calls())
  {
    if (call.kind == Kind::RestartComponent && (call.flags & flag))
    {
      EXPECT_TRUE(call.onMainThread);
      ++n;
    }
  }
  return n;
}

// A plain value as a host sets it: on the controller, and to the processor with the next block.
void set(HostSession& s, ParamID id, double plain)
{
  const double normalized = s.controller().plainParamToNormalized(id, plain);
  ASSERT_EQ(s.controller().setParamNormalized(id, normalized), kResultOk);
  s.plugin->addParameterChange(id, 0, normalized);
}

struct OversamplingCase
{
  const char* name;
  double factorIndex; // 0 1x, 1 2x, 2 4x, 3 8x
  uint32 latency;
  int restartsAfter; // latency restarts the host has heard by then
};

TEST(VemlorLatency, OversamplingSetThroughTheControllerIsReportedAtOnce)
{
  const OversamplingCase steps[] = {
    {"2x", 1, 6, 1}, {"4x", 2, 7, 2}, {"8x", 3, 8, 3}, {"8x again", 3, 8, 3}, {"back to 1x", 0, 0, 4},
  };
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_EQ(s.host.runLoop().timerCount(), 0) << "this host offers no run loop";
  ASSERT_EQ(s.plugin->processor()->getLatencySamples(), 0u);
  s.host.handler().clearCalls();
  for (const OversamplingCase& step : steps)
  {
    SCOPED_TRACE(step.name);
    ASSERT_EQ(s.controller().setParamNormalized(zarvo::par_oversampling, step.factorIndex / 3.0), kResultOk);
    EXPECT_EQ(s.plugin->processor()->getLatencySamples(), step.latency);
    EXPECT_EQ(restarts(s, kLatencyChanged), step.restartsAfter);
  }
}

TEST(VemlorLatency, AHostThatSetsValuesWhileHandlingARestartHearsTheNewLatencyAfterItsCallReturns)
{
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  s.host.handler().clearCalls();
  // Such a host writes the values it reads back into the controller from inside its handler.
  bool raised = false;
  s.host.handler().whileRestarting = [&](int32) {
    if (!std::exchange(raised, true))
      s.controller().setParamNormalized(zarvo::par_oversampling, 2.0 / 3.0);
  };
  ASSERT_EQ(s.controller().setParamNormalized(zarvo::par_oversampling, 1.0 / 3.0), kResultOk);
  EXPECT_EQ(s.host.handler().reenteredRestarts(), 0) << "a restart from inside the host's handler";
  EXPECT_EQ(restarts(s, kLatencyChanged), 2);
  // The host's own 2x is in before idle work runs; then 4x from inside the handler: both heard, the
  // last one holds.
  EXPECT_EQ(s.plugin->processor()->getLatencySamples(), 7u);
  s.host.handler().whileRestarting = nullptr;
}

TEST(VemlorLatency, AStateSavedAtFourTimesOversamplingRestoresItsLatencyBeforeTheFirstBlock)
{
  std::vector<uint8_t> saved;
  {
    HostSession source(VEMLOR_BUNDLE_PATH);
    ASSERT_TRUE(source) << source.error;
    ASSERT_EQ(source.controller().setParamNormalized(zarvo::par_oversampling, 2.0 / 3.0), kResultOk);
    saved = source.plugin->getState().value_or(std::vector<uint8_t>{});
  }
  ASSERT_FALSE(saved.empty());

  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_EQ(s.plugin->processor()->getLatencySamples(), 0u);
  s.host.handler().clearCalls();
  ASSERT_TRUE(s.plugin->setState(saved));
  EXPECT_EQ(s.plugin->processor()->getLatencySamples(), 7u);
  EXPECT_EQ(restarts(s, kLatencyChanged), 1);
  ASSERT_TRUE(s.plugin->startProcessing({}));
  EXPECT_EQ(s.plugin->processor()->getLatencySamples(), 7u);
}

TEST(VemlorLatency, OversamplingThatArrivedOnlyThroughProcessIsReportedAtTheNextActivation)
{
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing({}));
  s.host.handler().clearCalls();
  s.plugin->addParameterChange(zarvo::par_oversampling, 0, 1.0);
  ASSERT_TRUE(s.plugin->process(kBlock).clean());
  EXPECT_EQ(restarts(s, kLatencyChanged), 0) << "nothing is reported from the audio thread";

  s.plugin->stopProcessing();
  ASSERT_TRUE(s.plugin->startProcessing({}));
  EXPECT_EQ(s.plugin->processor()->getLatencySamples(), 8u);
  EXPECT_EQ(restarts(s, kLatencyChanged), 1);
}

// A patch that only the main filter colours: morph field off, no break, pre-filters unheard. The
// field is switched off by a block first: until then it may still play any of its points.
void resonantHighPass(HostSession& s, double cutoff, double resonance, double releaseMs)
{
  using namespace zarvo;
  set(s, par_morph_active, 0.0);
  set(s, par_dry_wet, 1.0);
  set(s, par_main_gain, 0.0);
  set(s, par_main_midi_note_on, 0.0);
  set(s, par_main_filter_model, 0.0);
  set(s, par_main_ub_on, 0.0);
  set(s, par_main_pass_type, 1.0); // HP
  set(s, par_main_pt_depth, 1.0);
  set(s, par_main_pt_tilt, 0.0);
  set(s, par_main_drive, 0.0);
  set(s, par_break_intensity, 0.0);
  set(s, par_preFlt_band_mode, 0.0);
  set(s, par_neg_band_mix, 0.0);
  for (int32 ch = 0; ch < 2; ++ch)
    std::fill(s.plugin->input(0, ch), s.plugin->input(0, ch) + kBlock, 0.0);
  ASSERT_TRUE(s.plugin->process(kBlock).clean());
  set(s, par_main_cutoff_hz, cutoff);
  set(s, par_main_resonance, resonance);
  set(s, par_damping_release, releaseMs);
}

// Half a second of full-scale noise, then silence for `seconds`; the seconds from the end of the
// noise to the last output sample above -90 dBFS.
double ringAfterNoise(Plugin& plugin, double seconds)
{
  std::mt19937 random(5);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  const int64_t burst = static_cast<int64_t>(0.5 * kRate);
  const int64_t total = burst + static_cast<int64_t>(seconds * kRate);
  int64_t last = 0;
  for (int64_t pos = 0; pos < total; pos += kBlock)
  {
    for (int32 ch = 0; ch < 2; ++ch)
      for (int32 i = 0; i < kBlock; ++i)
        plugin.input(0, ch)[i] = pos + i < burst ? noise(random) : 0.0;
    EXPECT_TRUE(plugin.process(kBlock).clean());
    for (int32 ch = 0; ch < 2; ++ch)
      for (int32 i = 0; i < kBlock; ++i)
        if (std::fabs(plugin.output(0, ch)[i]) > kSilence)
          last = pos + i;
  }
  return static_cast<double>(last - burst) / kRate;
}

ProcessConfig config48k()
{
  ProcessConfig config;
  config.sampleRate = kRate;
  config.maxBlockSize = kBlock;
  config.sampleSize = kSample64;
  return config;
}

TEST(VemlorTail, AtHighResonanceTheReportedTailCoversTheRingOut)
{
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing(config48k()));
  resonantHighPass(s, 100.0, 0.99, 2000.0); // damping release "R inf"
  const uint32 tail = s.plugin->processor()->getTailSamples();
  ASSERT_NE(tail, kInfiniteTail);
  const double tailSeconds = tail / kRate;
  const double ring = ringAfterNoise(*s.plugin, tailSeconds + 1.0);
  EXPECT_GT(ring, 0.2) << "the patch rings";
  EXPECT_LT(ring, tailSeconds);
}

TEST(VemlorTail, APatchThatSustainsItselfHasAnInfiniteTail)
{
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing(config48k()));
  resonantHighPass(s, 1000.0, 1.0, 2000.0);
  EXPECT_EQ(s.plugin->processor()->getTailSamples(), kInfiniteTail);
  EXPECT_GT(ringAfterNoise(*s.plugin, 3.0), 2.9) << "still sounding at the end";
}

TEST(VemlorTail, TheHostHearsWhenTheTailChanges)
{
  HostSession s(VEMLOR_BUNDLE_PATH);
  ASSERT_TRUE(s) << s.error;
  ASSERT_TRUE(s.plugin->startProcessing(config48k()));
  resonantHighPass(s, 1000.0, 0.5, 2000.0);
  const uint32 before = s.plugin->processor()->getTailSamples();
  ASSERT_NE(before, kInfiniteTail);
  s.host.handler().clearCalls();

  set(s, zarvo::par_main_resonance, 1.0);
  EXPECT_EQ(restarts(s, kTailChanged), 1);
  EXPECT_EQ(s.plugin->processor()->getTailSamples(), kInfiniteTail);
  set(s, zarvo::par_main_resonance, 1.0);
  EXPECT_EQ(restarts(s, kTailChanged), 1) << "an unchanged tail is not announced again";

  set(s, zarvo::par_damping_release, 100.0);
  EXPECT_EQ(restarts(s, kTailChanged), 2);
  EXPECT_NE(s.plugin->processor()->getTailSamples(), kInfiniteTail) << "the damping detector ends the ring";
  EXPECT_EQ(restarts(s, kLatencyChanged), 0);
}

} // namespace
} // namespace vemlor::testhost
