// The snapshot under a writer that never stops: every successful read is one whole record.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "utils/rt_snapshot.h"

namespace {

// Several cache lines, so a torn copy would mix records.
struct Record
{
  std::array<uint64_t, 95> words{};
  uint32_t stamp = 0;
};

Record recordOf(uint32_t stamp)
{
  Record r;
  for (size_t i = 0; i < r.words.size(); ++i)
    r.words[i] = (uint64_t{stamp} << 16) ^ i;
  r.stamp = stamp;
  return r;
}

bool isWhole(const Record& r)
{
  for (size_t i = 0; i < r.words.size(); ++i)
  {
    if (r.words[i] != ((uint64_t{r.stamp} << 16) ^ i))
      return false;
  }
  return true;
}

TEST(RTSnapshot, LoadWithoutWriterReturnsTheLastRecord)
{
  zarvo::RTSnapshot<Record> snapshot(recordOf(1));
  snapshot.publish(recordOf(1));
  snapshot.publish(recordOf(7));
  EXPECT_EQ(snapshot.sequence(), 4u);

  Record out = recordOf(0);
  ASSERT_TRUE(snapshot.load(out));
  EXPECT_EQ(out.stamp, 7u);
  EXPECT_TRUE(isWhole(out));
}

TEST(RTSnapshot, ConcurrentReadsAreNeverTorn)
{
  constexpr int kReads = 1'000'000;
  constexpr uint32_t kFinal = 0xFFFFFFu;
  zarvo::RTSnapshot<Record> snapshot(recordOf(0));
  snapshot.publish(recordOf(0));

  std::atomic<bool> stop{false};
  std::thread writer([&] {
    uint32_t stamp = 1;
    while (!stop.load(std::memory_order_relaxed) && stamp < kFinal)
      snapshot.publish(recordOf(stamp++));
    snapshot.publish(recordOf(kFinal));
  });

  Record out = recordOf(0);
  uint32_t lastStamp = 0;
  int torn = 0;
  int backwards = 0;
  for (int i = 0; i < kReads; ++i)
  {
    // A failed load leaves the previous whole record in place.
    snapshot.load(out);
    torn += isWhole(out) ? 0 : 1;
    backwards += out.stamp < lastStamp ? 1 : 0;
    lastStamp = out.stamp;
  }
  stop.store(true, std::memory_order_relaxed);
  writer.join();

  EXPECT_EQ(torn, 0);
  EXPECT_EQ(backwards, 0);
  ASSERT_TRUE(snapshot.load(out));
  EXPECT_EQ(out.stamp, kFinal);
  EXPECT_TRUE(isWhole(out));
}

} // namespace
