#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "IPlugin/IPluginAPIBase.h"
#include "IPlugin/IPluginRunLoop.h"
#include "recording_plugin.h"

namespace plugkit {
namespace {

using test::RecordingPlugin;
using test::TestConfig;
using Calls = std::vector<std::string>;

TEST(APIBaseTest, IdentifiesHostsByName)
{
  struct Case
  {
    const char* name;
    EHost expected;
  };
  const Case cases[] = {
    {"REAPER", kHostReaper},
    {"Steinberg Cubase 12", kHostCubase},
    {"WaveLab Elements 11", kHostWaveLabElements},
    {"WAVELAB ELEMENTS", kHostWaveLabElements},
    {"Steinberg WaveLab Pro", kHostWaveLab},
    {"Ableton Live 11", kHostAbletonLive},
    {"Olive Video Editor", kHostAbletonLive}, // any name holding "live" and no earlier text
    {"Harrison Mixbus 32C", kHostMixbus},
    {"Ardour", kHostArdour},
    {"Mixbus built on Ardour", kHostArdour}, // the earlier table text wins
    {"VST3PluginTestHost", kHostVST3TestHost},
    {"Bitwig Studio", kHostBitwig},
    {"Blue Cat's VST Host", kHostBlueCat},
    {"REAPER standalone", kHostReaper},
    {"Some Standalone Wrapper", kHostStandalone},
    {"www.example.org player", kHostWWW},
    {"A New DAW", kHostUnknown},
    {"", kHostUnknown},
  };
  for (const Case& c : cases)
  {
    RecordingPlugin plug;
    EXPECT_EQ(plug.GetHost(), kHostUninit);
    plug.SetHost(c.name, 0x00070300);
    EXPECT_EQ(plug.GetHost(), c.expected) << c.name;
    EXPECT_STREQ(plug.GetHostName(), c.name);
    EXPECT_EQ(plug.GetHostVersion(), 0x00070300);
    EXPECT_EQ(plug.calls, (Calls{"hostInit " + std::to_string(c.expected), "hostIdentified"}));
  }
}

TEST(APIBaseTest, EditorChangeReachesParameterHostAndPlugin)
{
  RecordingPlugin plug;
  // Parameter 2 is 0..100 in steps of 0.5: normalised 0.123 is 12.3, stored as 12.5.
  plug.BeginInformHostOfParamChangeFromUI(2);
  plug.SendParameterValueFromUI(2, 0.123);
  plug.EndInformHostOfParamChangeFromUI(2);
  EXPECT_DOUBLE_EQ(plug.GetParam(2)->Value(), 12.5);
  EXPECT_EQ(plug.calls, (Calls{"beginEdit 2", "performEdit 2 0.1230", "change 2 ui -1", "changeUI 2 ui", "endEdit 2"}));

  plug.calls.clear();
  plug.SendParameterValueFromUI(7, 0.5); // no such parameter
  EXPECT_TRUE(plug.calls.empty());
}

TEST(APIBaseTest, DirtyParametersReportsEveryValue)
{
  RecordingPlugin plug;
  plug.GetParam(1)->Set(5.0); // -10..10
  plug.DirtyParametersFromUI();
  EXPECT_EQ(plug.calls, (Calls{"performEdit 0 0.5000", "performEdit 1 0.7500", "performEdit 2 0.1000"}));
}

TEST(APIBaseTest, EditorResizeAsksTheHostOnlyForAPlatformResize)
{
  RecordingPlugin plug;
  EXPECT_TRUE(plug.EditorResizeFromUI(1000, 300, false));
  EXPECT_TRUE(plug.calls.empty());
  EXPECT_TRUE(plug.EditorResizeFromUI(1000, 300, true));
  EXPECT_EQ(plug.calls, (Calls{"editorResize 1000 300"}));
}

TEST(APIBaseTest, ConfigurationIsStoredWithSizeLimitsRepaired)
{
  Config config = TestConfig();
  config.minWidth = 3760;
  config.maxWidth = 470;
  config.minHeight = 2480;
  config.maxHeight = 100;
  const std::string longName(200, 'n');
  config.makerName = longName.c_str();
  RecordingPlugin plug(config);
  EXPECT_EQ(plug.GetMinWidth(), 470);
  EXPECT_EQ(plug.GetMaxWidth(), 3760);
  EXPECT_EQ(plug.GetMinHeight(), 100);
  EXPECT_EQ(plug.GetMaxHeight(), 2480);
  EXPECT_EQ(plug.GetEditorWidth(), 940);
  EXPECT_EQ(plug.GetEditorHeight(), 200);
  EXPECT_EQ(std::string(plug.GetMakerName()), std::string(128, 'n'));
  EXPECT_STREQ(plug.GetPluginName(), "Vemlor");
  EXPECT_EQ(plug.GetUniqueID(), MakeFourCC("Vmlr"));
  EXPECT_EQ(plug.GetMakerID(), MakeFourCC("ZrvA"));
  EXPECT_EQ(plug.GetPluginVersion(true), 10300);
  EXPECT_EQ(plug.GetAPI(), kAPIVST3);
}

TEST(APIBaseTest, IdleTimerDrainsProcessorQueuesThenCallsOnIdle)
{
  ManualRunLoop loop; // outlives the plug-in, whose destruction detaches the timer from it
  RecordingPlugin plug;
  plug.CreateTimer();
  ASSERT_NE(plug.GetTimer(), nullptr);
  ASSERT_TRUE(plug.GetTimer()->AttachRunLoop(&loop));

  const uint8_t bytes[] = {0xF0, 0x7E, 0xF7};
  {
    AudioThreadScope audio;
    plug.MidiMsgsFromProcessor().Push({3, 0x90, 60, 100});
    plug.MidiMsgsFromProcessor().Push({9, 0x80, 60, 0});
    SysExData sysex;
    sysex.mOffset = 5;
    sysex.mSize = 3;
    std::memcpy(sysex.mData, bytes, 3);
    plug.SysExDataFromProcessor().Push(sysex);
  }
  loop.Advance(IPluginAPIBase::kIdleTimerIntervalMs);
  EXPECT_EQ(plug.calls, (Calls{"midi 90 60 100 @3", "midi 80 60 0 @9", "sysex 3 bytes @5 first 240", "idle"}));

  plug.calls.clear();
  loop.Advance(IPluginAPIBase::kIdleTimerIntervalMs);
  EXPECT_EQ(plug.calls, (Calls{"idle"}));
}

TEST(APIBaseTest, EditorMidiAndSysExAreQueuedForTheProcessor)
{
  RecordingPlugin plug;
  plug.SendMidiMsgFromUI({0, 0xB0, 7, 64});
  IMidiMsg msg;
  ASSERT_TRUE(plug.MidiMsgsFromEditor().Pop(msg));
  EXPECT_EQ(msg.mStatus, 0xB0);
  EXPECT_EQ(msg.mData2, 64);

  struct Case
  {
    const char* name;
    ISysEx message;
    bool queued;
  };
  const uint8_t bytes[] = {0xF0, 0x43, 0x10, 0xF7};
  const std::vector<uint8_t> tooLong(SysExData::kMaxSize + 1, 0x01);
  const std::vector<uint8_t> full(SysExData::kMaxSize, 0x02);
  const Case cases[] = {
    {"short message", {7, bytes, 4}, true},
    {"no data", {1, nullptr, 0}, true},
    {"exactly the cell size", {2, full.data(), SysExData::kMaxSize}, true},
    {"too long for a cell", {3, tooLong.data(), SysExData::kMaxSize + 1}, false},
    {"negative size", {4, bytes, -1}, false},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    plug.SendSysexMsgFromUI(c.message);
    SysExData data;
    ASSERT_EQ(plug.SysExDataFromEditor().Pop(data), c.queued);
    if (!c.queued)
      continue;
    EXPECT_EQ(data.mOffset, c.message.mOffset);
    EXPECT_EQ(data.mSize, c.message.mSize);
    for (int i = 0; i < SysExData::kMaxSize; ++i)
      ASSERT_EQ(data.mData[i], i < c.message.mSize ? c.message.mData[i] : 0) << "byte " << i;
  }
}

TEST(APIBaseTest, ArbitraryEditorMessagesReachOnMessageAtOnce)
{
  RecordingPlugin plug;
  const int32_t payload[2] = {11, 0};
  plug.SendArbitraryMsgFromUI(7785, -1, sizeof(payload), payload);
  EXPECT_EQ(plug.calls, (Calls{"message 7785 -1 8"}));
}

TEST(APIBaseTest, CompareStateChecksValuesWithinBounds)
{
  RecordingPlugin plug; // values 0.5, 0, 10
  const auto bytesOf = [](std::vector<double> values) {
    std::vector<uint8_t> bytes(values.size() * 8);
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
  };
  struct Case
  {
    const char* name;
    std::vector<uint8_t> data;
    int startPos;
    bool expected;
  };
  const Case cases[] = {
    {"equal", bytesOf({0.5, 0.0, 10.0}), 0, true},
    {"equal at float precision", bytesOf({0.5 + 1e-9, 0.0, 10.0}), 0, true},
    {"one differs", bytesOf({0.5, 1.0, 10.0}), 0, false},
    {"after a leading value", bytesOf({99.0, 0.5, 0.0, 10.0}), 1, true},
    {"one value short", bytesOf({0.5, 0.0}), 0, false},
    {"start past the data", bytesOf({0.5, 0.0, 10.0}), 1, false},
    {"negative start", bytesOf({0.5, 0.0, 10.0}), -1, false},
    {"NaN stored", bytesOf({0.5, std::nan(""), 10.0}), 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(plug.CompareState(c.data.data(), static_cast<int>(c.data.size()), c.startPos), c.expected) << c.name;
  EXPECT_FALSE(plug.CompareState(nullptr, 0, 0));
  EXPECT_TRUE(RecordingPlugin(TestConfig(true, 0)).CompareState(nullptr, 0, 0));
}

TEST(APIBaseTest, NeutralAnswersToHostRequests)
{
  RecordingPlugin plug; // three parameters
  struct Case
  {
    int count;
    std::vector<int> expected;
  };
  const Case cases[] = {{0, {}}, {1, {0}}, {2, {0, 1}}, {3, {}}, {-1, {}}};
  for (const Case& c : cases)
  {
    std::vector<int> results;
    plug.OnHostRequestingImportantParameters(c.count, results);
    EXPECT_EQ(results, c.expected) << "count " << c.count;
  }
  EXPECT_TRUE(plug.OnHostRequestingSupportedViewConfiguration(0, 0));
  EXPECT_FALSE(plug.OnHostRequestingSupportedViewConfiguration(940, 200));
  TextString text("C4");
  EXPECT_FALSE(plug.GetMidiNoteText(60, text));
  EXPECT_STREQ(text.Get(), "");
}

TEST(APIBaseTest, ParameterChangesFromTheProcessorAreQueuedAsPlainValues)
{
  RecordingPlugin plug;
  AudioThreadScope audio;
  plug.SendParameterValueFromAPI(2, 0.5, true);
  plug.SendParameterValueFromAPI(1, 3.0, false);
  ParamTuple change;
  ASSERT_TRUE(plug.ParamChangesFromProcessor().Pop(change));
  EXPECT_EQ(change.idx, 2);
  EXPECT_DOUBLE_EQ(change.value, 50.0);
  ASSERT_TRUE(plug.ParamChangesFromProcessor().Pop(change));
  EXPECT_EQ(change.idx, 1);
  EXPECT_DOUBLE_EQ(change.value, 3.0);
}

} // namespace
} // namespace plugkit
