// The binding's own helpers: the MIDI output queue and the UTF-8 / UTF-16 conversions.
#include "IPlugin/IMidiMsg.h"
#include "IPlugin/VST3/IPluginVST3_MidiQueue.h"
#include "IPlugin/VST3/IPluginVST3_Strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using plugkit::IMidiMsg;

std::vector<std::pair<int, int>> drain(plugkit::IMidiQueueBase<IMidiMsg>& queue)
{
  std::vector<std::pair<int, int>> out; // (offset, data 1)
  for (; !queue.Empty(); queue.Remove())
    out.emplace_back(queue.Peek().mOffset, queue.Peek().mData1);
  return out;
}

struct OrderCase
{
  const char* name;
  std::vector<int> offsets; // added in this order; data 1 is the position added
  std::vector<std::pair<int, int>> drained;
};

TEST(MidiOutputQueue, KeepsMessagesSortedAndEqualOffsetsInArrivalOrder)
{
  const OrderCase cases[] = {
    {"in order", {0, 1, 2}, {{0, 0}, {1, 1}, {2, 2}}},
    {"reversed", {9, 5, 0}, {{0, 2}, {5, 1}, {9, 0}}},
    {"ties", {5, 3, 9, 3, 0, 5}, {{0, 4}, {3, 1}, {3, 3}, {5, 0}, {5, 5}, {9, 2}}},
    {"earlier than all queued", {4, 4, 1}, {{1, 2}, {4, 0}, {4, 1}}},
  };
  for (const OrderCase& c : cases)
  {
    plugkit::IMidiQueueBase<IMidiMsg> queue;
    for (size_t i = 0; i < c.offsets.size(); ++i)
      queue.Add({c.offsets[i], 0x90, static_cast<uint8_t>(i), 100});
    EXPECT_EQ(drain(queue), c.drained) << c.name;
  }
}

TEST(MidiOutputQueue, KeepsItsCapacityDropsAndCountsTheOverflowAndShiftsWhatWaitsByABlock)
{
  plugkit::IMidiQueueBase<IMidiMsg> queue;
  ASSERT_EQ(queue.GetSize(), 512);
  int taken = 0;
  for (int i = 0; i < 600; ++i)
    taken += queue.Add({i, 0xB0, static_cast<uint8_t>(i % 128), 0}) ? 1 : 0;
  EXPECT_EQ(queue.GetSize(), 512);
  EXPECT_EQ(taken, 512);
  EXPECT_EQ(queue.ToDo(), 512);
  EXPECT_EQ(queue.DroppedCount(), 88u);

  // Room made at the front is used again before anything is dropped.
  for (int i = 0; i < 510; ++i)
    queue.Remove();
  EXPECT_TRUE(queue.Add({600, 0xB0, 1, 0}));
  EXPECT_EQ(queue.DroppedCount(), 88u);
  queue.Flush(100);
  EXPECT_EQ(drain(queue), (std::vector<std::pair<int, int>>{{410, 510 % 128}, {411, 511 % 128}, {500, 1}}));

  // A block size becomes the capacity, rounded up to whole 512-message steps.
  queue.Resize(1500);
  EXPECT_EQ(queue.GetSize(), 1536);
}

struct Utf16Case
{
  const char* name;
  const char* utf8;
  int maxUnits;
  std::u16string utf16;
  const char* back; // UTF-8 of the UTF-16 result
};

TEST(VST3Strings, UTF8AndUTF16)
{
  const Utf16Case cases[] = {
    {"ASCII", "Bypass", 128, u"Bypass", "Bypass"},
    {"two-byte letter", "\xc3\x84rger", 128, u"\u00c4rger", "\xc3\x84rger"},
    {"euro sign", "5 \xe2\x82\xac", 128, u"5 \u20ac", "5 \xe2\x82\xac"},
    {"beyond the basic plane", "\xf0\x9f\x8e\xb9!", 128, u"\U0001F3B9!", "\xf0\x9f\x8e\xb9!"},
    {"cut to the room", "abcdef", 4, u"abc", "abc"},
    {"a pair is never split", "a\xf0\x9f\x8e\xb9", 3, u"a", "a"},
    {"malformed bytes",
     "a\xff"
     "b\xc3",
     128, u"a\uFFFDb\uFFFD",
     "a\xef\xbf\xbd"
     "b\xef\xbf\xbd"},
    {"overlong form", "\xc0\xaf", 128, u"\uFFFD", "\xef\xbf\xbd"},
  };
  for (const Utf16Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    Steinberg::char16 buffer[128];
    std::fill(std::begin(buffer), std::end(buffer), static_cast<Steinberg::char16>(0x7777));
    plugkit::UTF8ToUTF16(c.utf8, buffer, c.maxUnits);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer)), c.utf16);
    EXPECT_EQ(plugkit::UTF16ToUTF8(buffer, 128), c.back);
  }
  const Steinberg::char16 lonelySurrogate[] = {0xD83C, 'x', 0};
  EXPECT_EQ(plugkit::UTF16ToUTF8(lonelySurrogate, 128), "\xef\xbf\xbdx");
}

} // namespace
