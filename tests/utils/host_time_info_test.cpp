// The host information snapshot: beat and clock texts, and which change flags a block raises.
#include <string>

#include <gtest/gtest.h>

#include "IPlugin/IPluginThreadRole.h"
#include "utils/host_time_info.h"

namespace zarvo {
namespace {

TEST(HostTime, BeatCountsTheSignaturesUnitWithinTheBar)
{
  struct Row
  {
    const char* name;
    double tempo;
    int numerator;
    int denominator;
    double quarters;
    int beat;
  };
  const Row rows[] = {
    {"At120In4/4", 120.0, 4, 4, 5.5, 2},
    {"At60In4/4", 60.0, 4, 4, 5.5, 2},
    {"ThreeFourWrapsAtThree", 120.0, 3, 4, 3.5, 1},
    {"ThreeFourThirdBeat", 120.0, 3, 4, 2.0, 3},
    {"SixEightCountsEighths", 90.0, 6, 8, 1.0, 3},
    {"ZeroTempo", 0.0, 4, 4, 1.0, 2},
    {"BeforeTheTransportRan", 120.0, 4, 4, -1.0, 1},
    {"ZeroNumerator", 120.0, 0, 4, 7.0, 1},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    plugkit::ITimeInfo t;
    t.mTempo = r.tempo;
    t.mNumerator = r.numerator;
    t.mDenominator = r.denominator;
    t.mPPQPos = r.quarters;
    t.mSamplePos = 0.0;
    EXPECT_EQ(buildTimeInfo(t, 48000.0).beat, r.beat);
  }
}

TEST(HostTime, ClockFromTheSamplePosition)
{
  struct Row
  {
    const char* name;
    double position;
    double rate;
    uint32_t hours;
    int minutes;
    int seconds;
    uint64_t samples;
  };
  const Row rows[] = {
    {"AtZero", 0.0, 48000.0, 0, 0, 0, 0},
    {"Unknown", -1.0, 48000.0, 0, 0, 0, 0},
    {"NinetySeconds", 90.0 * 48000.0, 48000.0, 0, 1, 30, 4320000},
    // The position is a 32-bit float: past 2^24 samples it is rounded.
    {"OneHourTwoMinutesThirty", 3750.5 * 44100.0, 44100.0, 1, 2, 30,
     static_cast<uint64_t>(static_cast<float>(3750.5 * 44100.0))},
  };
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    plugkit::ITimeInfo t;
    t.mSamplePos = r.position;
    t.mPPQPos = 0.0;
    const TimeInfo info = buildTimeInfo(t, r.rate);
    EXPECT_EQ(info.hours, r.hours);
    EXPECT_EQ(info.minutes, r.minutes);
    EXPECT_EQ(info.seconds, r.seconds);
    EXPECT_EQ(info.samples, r.samples);
  }
}

TEST(HostTime, TimeText)
{
  struct Row
  {
    const char* name;
    TimeInfo time;
    const char* text;
  };
  TimeInfo beat2{};
  beat2.beat = 2;
  beat2.minutes = 1;
  beat2.seconds = 5;
  beat2.milliseconds = 40;
  TimeInfo withHours{};
  withHours.beat = 1;
  withHours.hours = 1;
  withHours.minutes = 2;
  withHours.seconds = 3;
  withHours.milliseconds = 4;
  TimeInfo start{};
  const Row rows[] = {
    {"NoHoursPart", beat2, "2 1:5.40"}, {"WithHours", withHours, "1 1h:2:3.4"}, {"Start", start, "1 0:0.0"}};
  for (const Row& r : rows)
    EXPECT_EQ(buildTimeString(r.time), r.text) << r.name;
}

// The processor-side data the model reads, set by the test.
struct FakeProcessor
{
  plugkit::ITimeInfo time;
  double rate = 48000.0;
  int ins = 2;
  int outs = 2;
  int notified = 0;

  const plugkit::ITimeInfo& GetTimeInfo() const { return time; }
  double GetSampleRate() const { return rate; }
  int NChannelsConnected(plugkit::ERoute direction) const { return direction == plugkit::kInput ? ins : outs; }
  void notify() { ++notified; }
};

TEST(HostInfoModel, RaisesOneFlagPerChangedGroup)
{
  struct Row
  {
    const char* name;
    void (*change)(FakeProcessor&, int& frames);
    uint32_t flags;
  };
  const Row rows[] = {
    {"NothingChanged", [](FakeProcessor&, int&) {}, 0u},
    {"BlockSizeAlone", [](FakeProcessor&, int& frames) { frames = 256; }, kHostBlockSizeChanged},
    {"OutputDisconnected", [](FakeProcessor& p, int&) { p.outs = 1; }, kHostChannelsChanged},
    {"TransportMoved", [](FakeProcessor& p, int&) { p.time.mSamplePos += 512.0; }, kHostTimeChanged},
    {"RateChanged", [](FakeProcessor& p, int&) { p.rate = 96000.0; }, kHostSampleRateChanged},
    {"RateFractionIgnored", [](FakeProcessor& p, int&) { p.rate = 48000.4; }, 0u},
  };
  plugkit::AudioThreadScope audio;
  for (const Row& r : rows)
  {
    SCOPED_TRACE(r.name);
    FakeProcessor proc;
    proc.time.mSamplePos = 1024.0;
    HostInfoModel<FakeProcessor> model(proc, &FakeProcessor::notify);
    int frames = 512;
    model.updateAll(frames);
    EXPECT_EQ(model.takeFlags(),
              kHostTimeChanged | kHostSampleRateChanged | kHostBlockSizeChanged | kHostChannelsChanged);
    proc.notified = 0;

    r.change(proc, frames);
    model.updateAll(frames);
    EXPECT_EQ(model.takeFlags(), r.flags);
    EXPECT_EQ(proc.notified, r.flags != 0u ? 1 : 0);
    HostInfo info;
    ASSERT_TRUE(model.read(info));
    EXPECT_EQ(info.blockSize, static_cast<uint64_t>(frames));
    EXPECT_EQ(info.outputsConnected, static_cast<uint64_t>(proc.outs));
    EXPECT_EQ(info.sampleRate, static_cast<uint64_t>(proc.rate));
  }
}

TEST(HostInfoModel, ResetRaisesTimeRateAndBlockFlagsWithoutNotifying)
{
  FakeProcessor proc;
  HostInfoModel<FakeProcessor> model(proc, &FakeProcessor::notify);
  proc.rate = 44100.0;
  model.refreshOnReset();
  EXPECT_EQ(model.takeFlags(), kHostTimeChanged | kHostSampleRateChanged | kHostBlockSizeChanged);
  EXPECT_EQ(proc.notified, 0);
  HostInfo info;
  ASSERT_TRUE(model.read(info));
  EXPECT_EQ(info.sampleRate, 44100u);
}

} // namespace
} // namespace zarvo
