#include <gtest/gtest.h>

#include <vector>

#include "IPlugin/IPluginProcessor.h"
#include "IPlugin/IPluginThreadRole.h"

namespace plugkit {
namespace {

// Doubles each input sample into its output, so accumulation is visible.
class ExtrasProcessor : public IPluginProcessor
{
public:
  explicit ExtrasProcessor(const char* channelIO, int plugType = kPlugTypeEffect, bool midiIn = false)
    : IPluginProcessor(MakeConfig(channelIO, plugType, midiIn), kAPIVST3)
  {}

  bool SendMidiMsg(const IMidiMsg&) override { return true; }

  void ProcessBlock(double** inputs, double** outputs, int nFrames) override
  {
    for (int c = 0; c < MaxNChannels(kOutput); ++c)
      for (int i = 0; i < nFrames; ++i)
        outputs[c][i] = inputs && c < MaxNChannels(kInput) && inputs[c] ? 2.0 * inputs[c][i] : 0.5;
  }

private:
  static Config MakeConfig(const char* channelIO, int plugType, bool midiIn)
  {
    Config config;
    config.channelIOStr = channelIO;
    config.plugType = plugType;
    config.midiIn = midiIn;
    return config;
  }
};

TEST(ProcessorExtras, SamplesPerBeat)
{
  struct Case
  {
    double sampleRate, tempo, expected;
  };
  for (const Case& c : {Case{48000, 120, 24000}, Case{44100, 60, 44100}, Case{48000, 0, 0}, Case{48000, -5, 0}})
  {
    ExtrasProcessor proc("2-2");
    proc.SetSampleRate(c.sampleRate);
    ITimeInfo info;
    info.mTempo = c.tempo;
    proc.SetTimeInfo(info);
    EXPECT_DOUBLE_EQ(proc.GetSamplesPerBeat(), c.expected) << c.sampleRate << " Hz at " << c.tempo;
  }
}

TEST(ProcessorExtras, LegalChannelCounts)
{
  struct Case
  {
    const char* channelIO;
    int nIn, nOut;
    bool legal;
  };
  const Case cases[] = {
    {"1-1 2-2", -1, 2, true}, {"1-1 2-2", 1, 2, false},  {"1-1 2-2", -1, -1, true}, {"1-1 2-2", 2, -1, true},
    {"1-1 2-2", 1, 1, true},  {"1-1 2-2", 3, -1, false}, {"2.2-2", 4, 2, true},     {"2.2-2", 2, 2, false},
    {"0-2", 0, 2, true},      {"", -1, -1, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExtrasProcessor(c.channelIO).LegalIO(c.nIn, c.nOut), c.legal)
      << "\"" << c.channelIO << "\" " << c.nIn << " in, " << c.nOut << " out";
}

TEST(ProcessorExtras, AudioUnitTypeCodes)
{
  struct Case
  {
    int plugType;
    bool midiIn;
    const char* code;
  };
  for (const Case& c : {Case{kPlugTypeEffect, false, "aufx"}, Case{kPlugTypeEffect, true, "aumf"},
                        Case{kPlugTypeInstrument, true, "aumu"}, Case{kPlugTypeMidiEffect, true, "aumi"},
                        Case{kPlugTypeGenerator, false, "augn"}, Case{9, false, "aufx"}})
  {
    const uint32_t code = ExtrasProcessor("2-2", c.plugType, c.midiIn).GetAUPluginType();
    const char text[] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code), '\0'};
    EXPECT_STREQ(text, c.code) << c.plugType << (c.midiIn ? " with MIDI in" : "");
  }
}

TEST(ProcessorExtras, ChannelLabelsCountFromOneOrZero)
{
  ExtrasProcessor proc("2-2");
  proc.SetChannelLabel(kInput, 0, "In %i");
  proc.SetChannelLabel(kInput, 1, "In %i", true);
  proc.SetChannelLabel(kOutput, 1, "A long output channel label number %02d");
  proc.SetChannelLabel(kOutput, 2, "Out %i"); // no such channel
  EXPECT_STREQ(proc.GetChannelLabel(kInput, 0), "In 1");
  EXPECT_STREQ(proc.GetChannelLabel(kInput, 1), "In 1");
  EXPECT_STREQ(proc.GetChannelLabel(kOutput, 1), "A long output channel label num");
  EXPECT_STREQ(proc.GetChannelLabel(kOutput, 2), "");
}

TEST(ProcessorExtras, AccumulatesIntoHostBuffersAndSkipsMissingOnes)
{
  ExtrasProcessor proc("2-2");
  proc.SetBlockSize(4);
  proc.SetChannelConnections(kInput, 0, 2, true);
  proc.SetChannelConnections(kOutput, 0, 2, true);
  std::vector<float> in0(4, 0.25f), in1(4, 0.5f), out0(4, 0.25f);
  float* inputs[] = {in0.data(), in1.data()};
  float* outputs[] = {out0.data(), nullptr}; // the host gave no buffer for the second output
  {
    AudioThreadScope audio;
    proc.AttachBuffers(kInput, 0, 2, inputs, 4);
    proc.AttachBuffers(kOutput, 0, 2, outputs, 4);
    proc.ProcessBuffersAccumulating(3);
  }
  EXPECT_EQ(out0, (std::vector<float>{0.75f, 0.75f, 0.75f, 0.25f})) << "0.25 held plus 2 x 0.25 processed";
}

TEST(ProcessorExtras, StereoLimitDisconnectsExtraInputsAndConnectsExtraOutputs)
{
  ExtrasProcessor proc("4-4");
  proc.SetBlockSize(8);
  proc.SetChannelConnections(kInput, 0, 4, true);
  proc.LimitToStereoIO();
  EXPECT_EQ(proc.NChannelsConnected(kInput), 2);
  EXPECT_EQ(proc.NChannelsConnected(kOutput), 2);
  EXPECT_TRUE(proc.IsChannelConnected(kOutput, 3));
  EXPECT_FALSE(proc.IsChannelConnected(kOutput, 1));

  ExtrasProcessor stereo("2-2");
  stereo.SetChannelConnections(kInput, 0, 2, true);
  stereo.LimitToStereoIO();
  EXPECT_EQ(stereo.NChannelsConnected(kInput), 2);
  EXPECT_EQ(stereo.NChannelsConnected(kOutput), 0);
}

} // namespace
} // namespace plugkit
