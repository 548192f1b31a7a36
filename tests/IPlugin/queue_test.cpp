#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "IPlugin/IPluginAPIBase.h"
#include "IPlugin/IPluginQueue.h"

namespace plugkit {
namespace {

TEST(QueueTest, MidiQueueHoldsThirtyTwoAndDropsTheNext)
{
  IPluginAPIBase::MidiQueue queue;
  for (int i = 0; i < 32; ++i)
    EXPECT_TRUE(queue.Push({i, 0x90, static_cast<uint8_t>(i), 100}));
  EXPECT_EQ(queue.ElementsAvailable(), 32);
  EXPECT_FALSE(queue.Push({32, 0x90, 32, 100}));

  IMidiMsg msg;
  ASSERT_TRUE(queue.Pop(msg));
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_TRUE(queue.Push({33, 0x90, 33, 100}));
  EXPECT_FALSE(queue.Push({34, 0x90, 34, 100}));

  std::vector<int> order;
  while (queue.Pop(msg))
    order.push_back(msg.mOffset);
  std::vector<int> expected;
  for (int i = 1; i < 32; ++i)
    expected.push_back(i);
  expected.push_back(33);
  EXPECT_EQ(order, expected);
  EXPECT_EQ(queue.ElementsAvailable(), 0);
}

// How many entries a fresh queue takes before it refuses one.
template <typename Queue, typename T>
int FillCount(const T& item)
{
  Queue queue;
  int pushed = 0;
  while (pushed < 10000 && queue.Push(item))
    ++pushed;
  return pushed;
}

TEST(QueueTest, HostApiQueuesHoldTheirCapacity)
{
  struct Case
  {
    const char* name;
    int pushed;
    int expected;
  };
  const Case cases[] = {
    {"parameter changes", FillCount<IPluginAPIBase::ParamChangeQueue>(ParamTuple{1, 0.5}), 512},
    {"MIDI", FillCount<IPluginAPIBase::MidiQueue>(IMidiMsg{}), 32},
    {"system exclusive", FillCount<IPluginAPIBase::SysExQueue>(SysExData{}), 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.pushed, c.expected) << c.name;
}

TEST(QueueTest, CountWrapsAroundTheRing)
{
  IPluginQueue<int, 3> queue;
  int value = 0;
  for (int round = 0; round < 5; ++round)
  {
    EXPECT_TRUE(queue.Push(round * 10));
    EXPECT_TRUE(queue.Push(round * 10 + 1));
    EXPECT_EQ(queue.ElementsAvailable(), 2);
    ASSERT_TRUE(queue.Pop(value));
    EXPECT_EQ(value, round * 10);
    ASSERT_TRUE(queue.Pop(value));
    EXPECT_EQ(value, round * 10 + 1);
    EXPECT_FALSE(queue.Pop(value));
  }
}

// One producer and one consumer thread: every value arrives once and in order.
TEST(QueueTest, TwoThreadsLoseAndReorderNothing)
{
  constexpr int kCount = 200000;
  IPluginQueue<int, 32> queue;
  std::thread producer([&] {
    for (int i = 0; i < kCount;)
    {
      if (queue.Push(i))
        ++i;
      else
        std::this_thread::yield();
    }
  });
  int expected = 0;
  bool inOrder = true;
  while (expected < kCount)
  {
    int value = 0;
    if (queue.Pop(value))
    {
      inOrder = inOrder && value == expected;
      ++expected;
    }
    else
      std::this_thread::yield();
  }
  producer.join();
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(queue.ElementsAvailable(), 0);
}

} // namespace
} // namespace plugkit
