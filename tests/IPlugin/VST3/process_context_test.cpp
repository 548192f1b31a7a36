// The binding's process-call helpers on their own: the host's process context turned into the
// framework's time information, and host buffers attached by their sample size.
#include <gtest/gtest.h>

#include <vector>

#include "IPlugin/IPluginAPIBase.h"
#include "IPlugin/IPluginThreadRole.h"
#include "IPlugin/VST3/IPluginVST3_ProcessorBase.h"

namespace plugkit {
namespace {

using namespace Steinberg::Vst;

Config ProbeConfig()
{
  Config config;
  config.nParams = 0;
  config.channelIOStr = "1-1 2-2";
  config.pluginName = "Probe";
  return config;
}

// The processor base over a plug-in without parameters; the default block copies inputs to outputs.
class Probe : public IPluginAPIBase, public IPluginVST3ProcessorBase
{
public:
  Probe()
    : IPluginAPIBase(ProbeConfig(), kAPIVST3)
    , IPluginVST3ProcessorBase(ProbeConfig(), *this)
  {}
};

ProcessContext PlayingContext()
{
  ProcessContext ctx{};
  ctx.state = ProcessContext::kPlaying | ProcessContext::kCycleActive | ProcessContext::kProjectTimeMusicValid;
  ctx.tempo = 140.0;
  ctx.projectTimeSamples = 96000;
  ctx.projectTimeMusic = 11.5;
  ctx.barPositionMusic = 8.0;
  ctx.cycleStartMusic = 4.0;
  ctx.cycleEndMusic = 20.0;
  ctx.timeSigNumerator = 7;
  ctx.timeSigDenominator = 8;
  return ctx;
}

void ExpectTimeOf(const ITimeInfo& t, const ProcessContext& ctx)
{
  EXPECT_EQ(t.mTempo, ctx.tempo);
  EXPECT_EQ(t.mSamplePos, static_cast<double>(ctx.projectTimeSamples));
  EXPECT_EQ(t.mPPQPos, ctx.projectTimeMusic);
  EXPECT_EQ(t.mLastBar, ctx.barPositionMusic);
  EXPECT_EQ(t.mCycleStart, ctx.cycleStartMusic);
  EXPECT_EQ(t.mCycleEnd, ctx.cycleEndMusic);
  EXPECT_EQ(t.mNumerator, ctx.timeSigNumerator);
  EXPECT_EQ(t.mDenominator, ctx.timeSigDenominator);
  EXPECT_TRUE(t.mTransportIsRunning);
  EXPECT_TRUE(t.mTransportLoopEnabled);
}

TEST(ProcessContext, ABlockWithoutAContextKeepsTheLastOne)
{
  Probe probe;
  ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
  ProcessContext ctx = PlayingContext();
  ProcessData data;
  data.processContext = &ctx;
  AudioThreadScope audio;
  probe.PrepareProcessContext(data, setup);
  ExpectTimeOf(probe.GetTimeInfo(), ctx);

  const ProcessContext seen = ctx;
  ctx.tempo = 60.0; // the host's record changes after the call: what was kept is a copy
  data.processContext = nullptr;
  probe.PrepareProcessContext(data, setup);
  ExpectTimeOf(probe.GetTimeInfo(), seen);
}

TEST(ProcessContext, SamplePositionOnlyWithTheProjectTimeBitAndTheTransportBits)
{
  struct Case
  {
    const char* what;
    uint32_t state;
    double samplePos;
    bool running;
    bool loop;
  };
  const Case cases[] = {
    {"project time valid", ProcessContext::kProjectTimeMusicValid, 96000.0, false, false},
    {"no project time", ProcessContext::kPlaying | ProcessContext::kCycleActive, -1.0, true, true},
    {"other time bits only", ProcessContext::kSystemTimeValid | ProcessContext::kContTimeValid, -1.0, false, false},
    {"playing with project time", ProcessContext::kPlaying | ProcessContext::kProjectTimeMusicValid, 96000.0, true,
     false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    Probe probe;
    ProcessContext ctx = PlayingContext();
    ctx.state = c.state;
    ProcessData data;
    data.processContext = &ctx;
    ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
    AudioThreadScope audio;
    probe.PrepareProcessContext(data, setup);
    EXPECT_EQ(probe.GetTimeInfo().mSamplePos, c.samplePos);
    EXPECT_EQ(probe.GetTimeInfo().mTransportIsRunning, c.running);
    EXPECT_EQ(probe.GetTimeInfo().mTransportLoopEnabled, c.loop);
  }
}

TEST(ProcessContext, OfflineOnlyInTheOfflineProcessMode)
{
  Probe probe;
  ProcessData data; // no context at all: the flag still follows the set-up
  AudioThreadScope audio;
  for (const auto& [mode, offline] : {std::pair{kOffline, true}, {kRealtime, false}, {kPrefetch, false}})
  {
    ProcessSetup setup{mode, kSample32, 512, 48000.0};
    probe.PrepareProcessContext(data, setup);
    EXPECT_EQ(probe.GetRenderingOffline(), offline) << mode;
  }
}

TEST(ProcessContext, BuffersAreAttachedBySampleSize)
{
  struct Case
  {
    const char* what;
    Steinberg::int32 sampleSize;
    bool doubles; // which kind of buffers the bus carries
    bool attached;
  };
  const Case cases[] = {{"32-bit", kSample32, false, true},
                        {"64-bit", kSample64, true, true},
                        {"unknown size over 32-bit buffers", 7, false, false},
                        {"unknown size over 64-bit buffers", 7, true, false}};
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    Probe probe;
    probe.SetBlockSize(4);
    std::vector<float> in32{0.5f, -0.25f, 0.125f, 1.f}, out32(4, 9.f);
    std::vector<double> in64{-0.5, 0.25, -0.125, -1.0}, out64(4, 9.0);
    float* ins32[] = {in32.data(), in32.data()};
    float* outs32[] = {out32.data(), out32.data()};
    double* ins64[] = {in64.data(), in64.data()};
    double* outs64[] = {out64.data(), out64.data()};
    AudioBusBuffers input;
    AudioBusBuffers output;
    input.numChannels = output.numChannels = 2;
    if (c.doubles)
    {
      input.channelBuffers64 = ins64;
      output.channelBuffers64 = outs64;
    }
    else
    {
      input.channelBuffers32 = ins32;
      output.channelBuffers32 = outs32;
    }
    {
      AudioThreadScope audio;
      probe.AttachBuffers(kInput, 0, 2, input, 4, c.sampleSize);
      probe.AttachBuffers(kOutput, 0, 2, output, 4, c.sampleSize);
      if (c.doubles)
        probe.ProcessBuffers(0.0, 4);
      else
        probe.ProcessBuffers(0.f, 4);
    }
    if (c.doubles)
      EXPECT_EQ(out64, c.attached ? in64 : std::vector<double>(4, 9.0));
    else
      EXPECT_EQ(out32, c.attached ? in32 : std::vector<float>(4, 9.f));
  }
}

} // namespace
} // namespace plugkit
