#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "IPlugin/IPluginBase.h"
#include "recording_plugin.h"

namespace plugkit {
namespace {

using test::RecordingPlugin;
using test::TestConfig;
using Calls = std::vector<std::string>;

IByteChunk ChunkOf(const std::vector<double>& values, int leadingBytes = 0)
{
  IByteChunk chunk;
  for (int i = 0; i < leadingBytes; ++i)
    chunk.Put(uint8_t{0xAB});
  for (double v : values)
    chunk.Put(v);
  return chunk;
}

std::vector<double> ValuesOf(const IPluginBase& plug)
{
  std::vector<double> values;
  for (int i = 0; i < plug.NParams(); ++i)
    values.push_back(plug.GetParam(i)->Value());
  return values;
}

const Calls kResetCalls{"change 0 recall -1", "changeUI 0 recall",  "change 1 recall -1",
                        "changeUI 1 recall",  "change 2 recall -1", "changeUI 2 recall"};

TEST(PluginBaseTest, StateRoundTripsThroughAChunk)
{
  for (int lead : {0, 4})
  {
    SCOPED_TRACE(lead);
    RecordingPlugin source;
    source.GetParam(0)->Set(0.75);
    source.GetParam(1)->Set(-3);
    source.GetParam(2)->Set(42.5);
    IByteChunk chunk = ChunkOf({}, lead);
    ASSERT_TRUE(source.SerializeState(chunk));
    EXPECT_EQ(chunk.Size(), lead + 3 * 8);

    RecordingPlugin target;
    EXPECT_EQ(target.UnserializeState(chunk, lead), chunk.Size());
    EXPECT_EQ(ValuesOf(target), (std::vector<double>{0.75, -3, 42.5}));
    EXPECT_EQ(target.calls, kResetCalls);
  }
}

TEST(PluginBaseTest, StoredValuesAreSteppedAndClamped)
{
  // Parameter 2 is 0..100 in steps of 0.5 with default 10.
  struct Case
  {
    const char* name;
    double stored;
    double expected;
  };
  const Case cases[] = {
    {"in range", 42.5, 42.5},      {"between steps", 12.3, 12.5}, {"half step rounds away", 12.25, 12.5},
    {"above the range", 200, 100}, {"below the range", -5, 0},    {"not a number", std::nan(""), 10},
  };
  for (const Case& c : cases)
  {
    RecordingPlugin plug;
    EXPECT_EQ(plug.UnserializeParams(ChunkOf({0.5, 0.0, c.stored}), 0), 24) << c.name;
    EXPECT_DOUBLE_EQ(plug.GetParam(2)->Value(), c.expected) << c.name;
  }
}

TEST(PluginBaseTest, ShortOrMisplacedStateReportsFailureAfterReset)
{
  struct Case
  {
    const char* name;
    IByteChunk chunk;
    int startPos;
    int expectedPos;
    std::vector<double> expectedValues;
  };
  const Case cases[] = {
    {"one value short", ChunkOf({0.25, 4.0}), 0, -1, {0.25, 4.0, 10.0}},
    {"partial last value", ChunkOf({0.25, 4.0, 1.0}), 1, -1, {}},
    {"negative start", ChunkOf({0.25, 4.0, 1.0}), -1, -1, {0.5, 0.0, 10.0}},
    {"empty chunk", IByteChunk(), 0, -1, {0.5, 0.0, 10.0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    RecordingPlugin plug;
    EXPECT_EQ(plug.UnserializeParams(c.chunk, c.startPos), c.expectedPos);
    if (!c.expectedValues.empty())
    {
      EXPECT_EQ(ValuesOf(plug), c.expectedValues);
    }
    EXPECT_EQ(plug.calls, kResetCalls);
  }
  RecordingPlugin noParams(TestConfig(true, 0));
  EXPECT_EQ(noParams.UnserializeParams(IByteChunk(), 5), 5);
}

TEST(PluginBaseTest, PresetsFillTheFirstFreeSlots)
{
  RecordingPlugin plug; // four slots
  EXPECT_EQ(plug.NPresets(), 4);
  EXPECT_STREQ(plug.GetPresetName(0), "empty");
  const std::string longName(300, 'x');
  const char* names[] = {"Warm", "Bright", longName.c_str(), "Dark", "One too many"};
  for (int i = 0; i < 5; ++i)
    plug.MakePresetFromChunk(names[i], ChunkOf({0.1 * i, 0.0, 0.0}));

  EXPECT_STREQ(plug.GetPresetName(0), "Warm");
  EXPECT_STREQ(plug.GetPresetName(1), "Bright");
  EXPECT_EQ(std::string(plug.GetPresetName(2)), std::string(255, 'x'));
  EXPECT_STREQ(plug.GetPresetName(3), "Dark");
  EXPECT_STREQ(plug.GetPresetName(4), "");
  EXPECT_STREQ(plug.GetPresetName(-1), "");
  ASSERT_NE(plug.GetPreset(3), nullptr);
  EXPECT_TRUE(plug.GetPreset(3)->mChunk.IsEqual(ChunkOf({0.1 * 3, 0.0, 0.0})));
}

TEST(PluginBaseTest, RestoringAPresetSlot)
{
  RecordingPlugin plug;
  plug.MakePresetFromChunk("Factory", ChunkOf({0.9, 7.0, 55.0}));

  // A fresh slot takes the current state and a user preset name, numbered in restore order.
  plug.GetParam(0)->Set(0.2);
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 1");
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 2");
  EXPECT_TRUE(plug.GetPreset(3)->mChunk.IsEqual(ChunkOf({0.2, 0.0, 10.0})));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.calls, (Calls{"presetsModified", "restore", "presetsModified", "restore"}));

  // An initialised slot is applied.
  plug.calls.clear();
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(ValuesOf(plug), (std::vector<double>{0.9, 7.0, 55.0}));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  Calls expected = kResetCalls;
  expected.insert(expected.end(), {"presetsModified", "restore"});
  EXPECT_EQ(plug.calls, expected);

  // Going back to a user slot restores what it captured.
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_EQ(ValuesOf(plug), (std::vector<double>{0.2, 0.0, 10.0}));

  for (int idx : {-1, 4})
    EXPECT_FALSE(plug.RestorePreset(idx)) << idx;
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
}

TEST(PluginBaseTest, ASlotWhoseStateCannotBeReadIsNotRestored)
{
  RecordingPlugin plug;
  plug.MakePresetFromChunk("Broken", ChunkOf({0.9}));
  plug.RestorePreset(2);
  plug.calls.clear();
  EXPECT_FALSE(plug.RestorePreset(0));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(plug.calls, kResetCalls); // the reader ran, nothing announced the preset
}

} // namespace
} // namespace plugkit
