#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "IPlugin/IPluginProcessor.h"
#include "IPlugin/IPluginThreadRole.h"
#include "recording_plugin.h"

namespace plugkit {
namespace {

Config ProcessorConfig(const char* channelIO, int latency = 0)
{
  Config config;
  config.channelIOStr = channelIO;
  config.latency = latency;
  config.midiIn = true;
  return config;
}

class TestProcessor : public IPluginProcessor
{
public:
  explicit TestProcessor(const char* channelIO, int latency = 0)
    : IPluginProcessor(ProcessorConfig(channelIO, latency), kAPIVST3)
  {}

  bool SendMidiMsg(const IMidiMsg& msg) override
  {
    sent.push_back(msg);
    return msg.mStatus != 0xF8; // refuses clock messages, to show partial failure
  }

  void ProcessBlock(double** inputs, double** outputs, int nFrames) override
  {
    seenInputs.assign(inputs, inputs + MaxNChannels(kInput));
    seenFrames = nFrames;
    IPluginProcessor::ProcessBlock(inputs, outputs, nFrames);
  }

  std::vector<IMidiMsg> sent;
  std::vector<double*> seenInputs;
  int seenFrames = -1;
};

struct Buses
{
  std::vector<int> in;
  std::vector<int> out;
  bool operator==(const Buses&) const = default;
};

std::vector<Buses> BusesOf(const std::vector<IOConfig>& configs)
{
  std::vector<Buses> result;
  for (const IOConfig& config : configs)
  {
    Buses buses;
    for (const IBusInfo& bus : config.mBuses[kInput])
      buses.in.push_back(bus.mNChans);
    for (const IBusInfo& bus : config.mBuses[kOutput])
      buses.out.push_back(bus.mNChans);
    result.push_back(buses);
  }
  return result;
}

TEST(ProcessorTest, ParsesChannelIOText)
{
  struct Case
  {
    const char* name;
    const char* text;
    std::vector<Buses> configs;
    int maxInChans, maxOutChans, maxInBuses, maxOutBuses;
  };
  const Case cases[] = {
    {"mono and stereo", "1-1 2-2", {{{1}, {1}}, {{2}, {2}}}, 2, 2, 1, 1},
    {"stereo only", "2-2", {{{2}, {2}}}, 2, 2, 1, 1},
    {"no input bus", "0-2", {{{}, {2}}}, 0, 2, 0, 1},
    {"side chain", "2.2-2", {{{2, 2}, {2}}}, 4, 2, 2, 1},
    {"repeated blanks", "1-1  2-2", {{{1}, {1}}, {{2}, {2}}}, 2, 2, 1, 1},
    {"not a number is no bus", "x-2", {{{}, {2}}}, 0, 2, 0, 1},
    {"wildcard bus", "*-2", {{{kWildcardChannels}, {2}}}, 0, 2, 1, 1},
    {"token without dash is skipped", "2 1-1", {{{1}, {1}}}, 1, 1, 1, 1},
    {"empty text", "", {}, 0, 0, 0, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::vector<IOConfig> configs;
    int maxIn = -1, maxOut = -1, maxInBuses = -1, maxOutBuses = -1;
    const int n = IPluginProcessor::ParseChannelIOStr(c.text, configs, maxIn, maxOut, maxInBuses, maxOutBuses);
    EXPECT_EQ(n, static_cast<int>(c.configs.size()));
    EXPECT_EQ(BusesOf(configs), c.configs);
    EXPECT_EQ(maxIn, c.maxInChans);
    EXPECT_EQ(maxOut, c.maxOutChans);
    EXPECT_EQ(maxInBuses, c.maxInBuses);
    EXPECT_EQ(maxOutBuses, c.maxOutBuses);
  }
}

TEST(ProcessorTest, AnswersBusQueriesForMonoAndStereo)
{
  TestProcessor proc("1-1 2-2");
  EXPECT_EQ(proc.MaxNChannels(kInput), 2);
  EXPECT_EQ(proc.MaxNChannels(kOutput), 2);
  EXPECT_EQ(proc.NChannelsConnected(kInput), 0);

  int configIdx = -1;
  EXPECT_EQ(proc.MaxNBuses(kInput, &configIdx), 1);
  EXPECT_EQ(configIdx, 1);
  EXPECT_EQ(proc.MaxNChannelsForBus(kInput, 0), 2);
  EXPECT_EQ(proc.MaxNChannelsForBus(kOutput, 1), 0);

  struct Lookup
  {
    const char* name;
    std::vector<int> in, out;
    int expected;
  };
  const Lookup lookups[] = {
    {"stereo", {2}, {2}, 1},
    {"mono", {1}, {1}, 0},
    {"mono in, stereo out", {1}, {2}, -1},
    {"two input buses", {2, 2}, {2}, -1},
    {"no buses", {}, {}, -1},
  };
  for (const Lookup& l : lookups)
    EXPECT_EQ(proc.GetIOConfigWithChanCounts(l.in, l.out), l.expected) << l.name;

  EXPECT_EQ(TestProcessor("*-2").MaxNChannelsForBus(kInput, 0), -1);
  EXPECT_EQ(TestProcessor("").MaxNBuses(kOutput, &configIdx), 0);
  EXPECT_EQ(configIdx, 0);
}

TEST(ProcessorTest, NamesBuses)
{
  struct Case
  {
    ERoute direction;
    int bus, nBuses;
    const char* expected;
  };
  const Case cases[] = {
    {kOutput, 0, 1, "Output"}, {kOutput, 1, 2, "Output 1"}, {kInput, 0, 2, "Main"},
    {kInput, 1, 2, "Aux"},     {kInput, 0, 1, "Input"},     {kInput, 2, 3, "Input 2"},
  };
  TestProcessor proc("1-1 2-2");
  for (const Case& c : cases)
  {
    TextString name;
    proc.GetBusName(c.direction, c.bus, c.nBuses, name);
    EXPECT_STREQ(name.Get(), c.expected);
  }
}

// Feeds two consecutive blocks of a counting signal through the bypass path of a stereo processor.
std::vector<std::vector<double>> PassTwoBlocks(TestProcessor& proc, bool float32, int blockSize, int firstValue = 1)
{
  std::vector<std::vector<double>> out(2);
  for (int block = 0; block < 2; ++block)
  {
    std::vector<double> in64[2], out64[2];
    std::vector<float> in32[2], out32[2];
    for (int c = 0; c < 2; ++c)
    {
      for (int f = 0; f < blockSize; ++f)
        in64[c].push_back(firstValue + block * blockSize + f + 100.0 * c);
      in32[c].assign(in64[c].begin(), in64[c].end());
      out64[c].assign(blockSize, -7.0);
      out32[c].assign(blockSize, -7.0f);
    }
    AudioThreadScope audio;
    proc.SetChannelConnections(kInput, 0, 2, true);
    proc.SetChannelConnections(kOutput, 0, 2, true);
    if (float32)
    {
      float* ins[] = {in32[0].data(), in32[1].data()};
      float* outs[] = {out32[0].data(), out32[1].data()};
      proc.AttachBuffers(kInput, 0, 2, ins, blockSize);
      proc.AttachBuffers(kOutput, 0, 2, outs, blockSize);
      proc.PassThroughBuffers(0.0f, blockSize);
      for (int c = 0; c < 2; ++c)
        out64[c].assign(out32[c].begin(), out32[c].end());
    }
    else
    {
      double* ins[] = {in64[0].data(), in64[1].data()};
      double* outs[] = {out64[0].data(), out64[1].data()};
      proc.AttachBuffers(kInput, 0, 2, ins, blockSize);
      proc.AttachBuffers(kOutput, 0, 2, outs, blockSize);
      proc.PassThroughBuffers(0.0, blockSize);
    }
    for (int c = 0; c < 2; ++c)
      out[c].insert(out[c].end(), out64[c].begin(), out64[c].end());
  }
  return out;
}

// The counting signal of PassTwoBlocks delayed by latency, silence before it.
std::vector<double> Delayed(int channel, int latency, int nFrames, int firstValue = 1)
{
  std::vector<double> expected;
  for (int f = 0; f < nFrames; ++f)
    expected.push_back(f < latency ? 0.0 : firstValue + (f - latency) + 100.0 * channel);
  return expected;
}

TEST(ProcessorTest, PassThroughDelaysByTheLatency)
{
  struct Case
  {
    const char* name;
    int latency;
    bool float32;
  };
  const Case cases[] = {
    {"no latency", 0, false},        {"one sample", 1, false},           {"three samples", 3, false},
    {"whole block", 8, false},       {"longer than a block", 11, false}, {"32-bit, three samples", 3, true},
    {"32-bit, no latency", 0, true},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    TestProcessor proc("1-1 2-2", c.latency);
    proc.SetBlockSize(8);
    proc.InitLatencyDelay();
    const auto out = PassTwoBlocks(proc, c.float32, 8);
    EXPECT_EQ(out[0], Delayed(0, c.latency, 16));
    EXPECT_EQ(out[1], Delayed(1, c.latency, 16));
  }
}

TEST(ProcessorTest, LatencyChangedWhileRunningTakesEffectWithFreshSilence)
{
  TestProcessor proc("1-1 2-2", 2);
  proc.SetBlockSize(8);
  proc.InitLatencyDelay();
  PassTwoBlocks(proc, false, 8);

  proc.SetLatency(5);
  EXPECT_EQ(proc.GetLatency(), 5);
  auto out = PassTwoBlocks(proc, false, 8, 50);
  EXPECT_EQ(out[0], Delayed(0, 5, 16, 50));

  // Two changes before the audio thread runs again: only the last one counts.
  proc.SetLatency(7);
  proc.SetLatency(1);
  out = PassTwoBlocks(proc, false, 8, 20);
  EXPECT_EQ(out[0], Delayed(0, 1, 16, 20));
  EXPECT_EQ(out[1], Delayed(1, 1, 16, 20));
}

// The main thread changes the latency while the audio thread keeps running bypassed blocks.
TEST(ProcessorTest, LatencyChangesRaceNothingWithBypassedBlocks)
{
  TestProcessor proc("1-1 2-2", 4);
  proc.SetBlockSize(16);
  proc.InitLatencyDelay();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<double> in(16, 1.0), out(16);
    double* ins[] = {in.data(), in.data()};
    double* outs[] = {out.data(), out.data()};
    AudioThreadScope scope;
    proc.SetChannelConnections(kInput, 0, 2, true);
    proc.SetChannelConnections(kOutput, 0, 1, true);
    while (!stop.load())
    {
      proc.AttachBuffers(kInput, 0, 2, ins, 16);
      proc.AttachBuffers(kOutput, 0, 1, outs, 16);
      proc.PassThroughBuffers(0.0, 16);
    }
  });
  for (int i = 0; i < 2000; ++i)
    proc.SetLatency(i % 37);
  stop = true;
  audio.join();

  proc.SetLatency(6);
  const auto out = PassTwoBlocks(proc, false, 8);
  EXPECT_EQ(out[0], Delayed(0, 6, 16));
}

TEST(ProcessorTest, DefaultProcessBlockCopiesCommonChannelsAndSilencesTheRest)
{
  struct Case
  {
    const char* name;
    const char* channelIO;
    std::vector<std::vector<double>> expected;
  };
  const Case cases[] = {
    {"fewer outputs", "2-1", {{1, 2, 3}}},
    {"more outputs", "1-2", {{1, 2, 3}, {0, 0, 0}}},
    {"no inputs", "0-2", {{0, 0, 0}, {0, 0, 0}}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    TestProcessor proc(c.channelIO);
    proc.SetBlockSize(3);
    std::vector<double> in[2] = {{1, 2, 3}, {4, 5, 6}};
    std::vector<std::vector<double>> out(c.expected.size(), std::vector<double>(3, 9.0));
    double* ins[] = {in[0].data(), in[1].data()};
    std::vector<double*> outs;
    for (auto& o : out)
      outs.push_back(o.data());

    AudioThreadScope audio;
    proc.SetChannelConnections(kInput, 0, proc.MaxNChannels(kInput), true);
    proc.SetChannelConnections(kOutput, 0, proc.MaxNChannels(kOutput), true);
    proc.AttachBuffers(kInput, 0, proc.MaxNChannels(kInput), ins, 3);
    proc.AttachBuffers(kOutput, 0, proc.MaxNChannels(kOutput), outs.data(), 3);
    proc.ProcessBuffers(0.0, 3);
    EXPECT_EQ(out, c.expected);
  }
}

TEST(ProcessorTest, HostPointersGoToConnectedChannelsOnly)
{
  TestProcessor proc("4-4");
  proc.SetBlockSize(4);
  std::vector<double> host[4] = {std::vector<double>(4, 1.0), std::vector<double>(4, 2.0), std::vector<double>(4, 3.0),
                                 std::vector<double>(4, 4.0)};
  double* ptrs[] = {host[0].data(), host[1].data(), host[2].data(), host[3].data()};
  std::vector<double> out[4] = {std::vector<double>(4), std::vector<double>(4), std::vector<double>(4),
                                std::vector<double>(4)};
  double* outs[] = {out[0].data(), out[1].data(), out[2].data(), out[3].data()};

  AudioThreadScope audio;
  proc.SetChannelConnections(kInput, 0, 4, true);
  proc.SetChannelConnections(kInput, 1, 1, false);
  proc.SetChannelConnections(kOutput, 0, 4, true);
  proc.AttachBuffers(kInput, 0, 4, ptrs, 4);
  proc.AttachBuffers(kOutput, 0, 4, outs, 4);
  proc.ProcessBuffers(0.0, 4);

  ASSERT_EQ(proc.seenInputs.size(), 4u);
  EXPECT_EQ(proc.seenInputs[0], host[0].data());
  EXPECT_EQ(proc.seenInputs[2], host[1].data());
  EXPECT_EQ(proc.seenInputs[3], host[2].data());
  ASSERT_NE(proc.seenInputs[1], nullptr);
  EXPECT_EQ(std::vector<double>(proc.seenInputs[1], proc.seenInputs[1] + 4), std::vector<double>(4, 0.0));
}

TEST(ProcessorTest, AnInputTheHostStopsFeedingIsSilent)
{
  TestProcessor proc("2-2");
  proc.SetBlockSize(4);
  std::vector<float> in[2] = {std::vector<float>(4, 0.5f), std::vector<float>(4, 0.25f)};
  std::vector<float> out[2] = {std::vector<float>(4), std::vector<float>(4)};
  float* ins[] = {in[0].data(), in[1].data()};
  float* outs[] = {out[0].data(), out[1].data()};

  AudioThreadScope audio;
  proc.SetChannelConnections(kInput, 0, 2, true);
  proc.SetChannelConnections(kOutput, 0, 2, true);
  proc.AttachBuffers(kInput, 0, 2, ins, 4);
  proc.AttachBuffers(kOutput, 0, 2, outs, 4);
  proc.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(out[1], std::vector<float>(4, 0.25f));

  // Next block the host sends mono: the second channel's converted samples must not come back.
  proc.SetChannelConnections(kInput, 0, 2, false);
  proc.SetChannelConnections(kInput, 0, 1, true);
  proc.AttachBuffers(kInput, 0, 1, ins, 4);
  proc.AttachBuffers(kOutput, 0, 2, outs, 4);
  proc.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(out[0], std::vector<float>(4, 0.5f));
  EXPECT_EQ(out[1], std::vector<float>(4, 0.0f));
}

TEST(ProcessorTest, FramesBeyondTheBlockSizeAreSilentNotOverrun)
{
  for (bool float32 : {false, true})
  {
    SCOPED_TRACE(float32 ? "32-bit" : "64-bit");
    TestProcessor proc("1-1");
    proc.SetBlockSize(4);
    std::vector<double> in64(10, 1.0), out64(10, 9.0);
    std::vector<float> in32(10, 1.0f), out32(10, 9.0f);
    AudioThreadScope audio;
    proc.SetChannelConnections(kInput, 0, 1, true);
    proc.SetChannelConnections(kOutput, 0, 1, true);
    if (float32)
    {
      float* ins[] = {in32.data()};
      float* outs[] = {out32.data()};
      proc.AttachBuffers(kInput, 0, 1, ins, 10);
      proc.AttachBuffers(kOutput, 0, 1, outs, 10);
      proc.ProcessBuffers(0.0f, 10);
      out64.assign(out32.begin(), out32.end());
    }
    else
    {
      double* ins[] = {in64.data()};
      double* outs[] = {out64.data()};
      proc.AttachBuffers(kInput, 0, 1, ins, 10);
      proc.AttachBuffers(kOutput, 0, 1, outs, 10);
      proc.ProcessBuffers(0.0, 10);
    }
    EXPECT_EQ(proc.seenFrames, 4);
    EXPECT_EQ(out64, (std::vector<double>{1, 1, 1, 1, 0, 0, 0, 0, 0, 0}));
  }
}

TEST(ProcessorTest, MidiToTheProcessorIsPassedOnByDefault)
{
  TestProcessor proc("2-2");
  AudioThreadScope audio;
  proc.ProcessMidiMsg({12, 0x90, 60, 100});
  ASSERT_EQ(proc.sent.size(), 1u);
  EXPECT_EQ(proc.sent[0].mOffset, 12);
  EXPECT_EQ(proc.sent[0].mData1, 60);

  const IMidiMsg accepted[] = {{0, 0xB0, 7, 127}, {1, 0x80, 60, 0}};
  EXPECT_TRUE(proc.SendMidiMsgs(accepted));
  const IMidiMsg oneRefused[] = {{0, 0xF8, 0, 0}, {1, 0x80, 60, 0}};
  EXPECT_FALSE(proc.SendMidiMsgs(oneRefused));
  EXPECT_EQ(proc.sent.size(), 5u); // the message after the refused one was still sent
  EXPECT_FALSE(proc.SendSysEx({}));
}

TEST(ProcessorTest, ThreadRoleChecksCatchCallsFromTheWrongThread)
{
  test::ViolationRecorder recorder;
  TestProcessor proc("2-2");
  proc.SetBlockSize(4);
  double buffer[4] = {};
  double* ptrs[] = {buffer, buffer};

  proc.AttachBuffers(kInput, 0, 2, ptrs, 4); // outside any audio-thread scope
  {
    AudioThreadScope audio;
    proc.AttachBuffers(kInput, 0, 2, ptrs, 4);
    proc.SetLatency(3); // main-thread work inside a process call
  }
  EXPECT_EQ(test::ViolationRecorder::Violations(), (std::vector<std::string>{"AttachBuffers", "SetLatency"}));
}

} // namespace
} // namespace plugkit
