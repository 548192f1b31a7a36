#include "utils/audio_buffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace zarvo {
namespace {

// Sample value c * 1000 + f, so every sample says where it came from.
void fillIndexed(AudioBuffer& b)
{
  for (std::size_t c = 0; c < b.numChannels(); ++c)
    for (std::size_t f = 0; f < b.numFrames(); ++f)
      b.channel(c)[f] = static_cast<double>(c * 1000 + f);
}

TEST(AudioBuffer, ChannelCountsAreLimitedTo16)
{
  struct Case
  {
    const char* name;
    std::size_t requested;
    std::size_t expected;
  };
  const Case cases[] = {{"none", 0, 0}, {"two", 2, 2}, {"sixteen", 16, 16}, {"twenty", 20, 16}};
  std::vector<double> storage(20 * 4);
  std::vector<double*> ptrs(20);
  for (std::size_t c = 0; c < ptrs.size(); ++c)
    ptrs[c] = storage.data() + c * 4;
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AudioBuffer(c.requested, 4).numChannels(), c.expected);
    const AudioBuffer wrapped(ptrs.data(), c.requested, 4);
    EXPECT_EQ(wrapped.numChannels(), c.expected);
    for (std::size_t i = 0; i < AudioBuffer::kMaxChannels; ++i)
      EXPECT_EQ(wrapped.channel(i), i < c.expected ? ptrs[i] : nullptr) << i;
  }
}

TEST(AudioBuffer, ViewsPointIntoTheirSource)
{
  AudioBuffer source(2, 512);
  fillIndexed(source);
  struct Case
  {
    const char* name;
    AudioBuffer view;
    std::size_t channels;
    std::size_t frames;
    double first[2]; // first sample of each viewed channel
  };
  const Case cases[] = {
    {"sub-block to the end", source.subBuffer(100, 0), 2, 412, {100, 1100}},
    {"sub-block of 16", source.subBuffer(32, 16), 2, 16, {32, 1032}},
    {"channel 1", source.getChan(1), 1, 512, {1000, 0}},
    {"channel 5 of two is channel 0", source.getChan(5), 1, 512, {0, 0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.view.isWrapped());
    ASSERT_EQ(c.view.numChannels(), c.channels);
    EXPECT_EQ(c.view.numFrames(), c.frames);
    for (std::size_t ch = 0; ch < c.channels; ++ch)
      EXPECT_EQ(c.view.channel(ch)[0], c.first[ch]);
  }
  // Writing through a view writes the source.
  AudioBuffer tail = source.subBuffer(500);
  tail *= 0.0;
  EXPECT_EQ(source.channel(1)[499], 1499.0);
  EXPECT_EQ(source.channel(1)[500], 0.0);
}

TEST(AudioBuffer, ArithmeticCoversOnlyTheCommonRegion)
{
  AudioBuffer big(2, 128);
  fillIndexed(big);
  AudioBuffer small(1, 64);
  for (std::size_t f = 0; f < 64; ++f)
    small.channel(0)[f] = 0.5;
  AudioBuffer expected(big);
  for (std::size_t f = 0; f < 64; ++f)
    expected.channel(0)[f] += 0.5;

  big += small;
  for (std::size_t c = 0; c < 2; ++c)
    for (std::size_t f = 0; f < 128; ++f)
      ASSERT_EQ(big.channel(c)[f], expected.channel(c)[f]) << c << "," << f;

  // Copy-assignment copies the common region and keeps the sizes.
  AudioBuffer target(1, 256);
  target = big;
  EXPECT_EQ(target.numChannels(), 1u);
  EXPECT_EQ(target.numFrames(), 256u);
  EXPECT_EQ(target.channel(0)[127], 127.0);
  EXPECT_EQ(target.channel(0)[128], 0.0);
}

TEST(AudioBuffer, OwnershipOperations)
{
  std::vector<double> a(8), b(8);
  std::iota(a.begin(), a.end(), 0.0);
  std::iota(b.begin(), b.end(), 100.0);
  double* ptrs[2] = {a.data(), b.data()};

  AudioBuffer view(ptrs, 2, 8);
  view.setNumFrames(4); // ignored by a view
  EXPECT_EQ(view.numFrames(), 8u);

  view.unwrap();
  EXPECT_FALSE(view.isWrapped());
  EXPECT_NE(view.channel(0), a.data());
  a[3] = -1.0;
  EXPECT_EQ(view.channel(0)[3], 3.0);
  EXPECT_EQ(view.channel(1)[7], 107.0);

  view.setNumFrames(16); // owning now: grows
  EXPECT_EQ(view.numFrames(), 16u);
  EXPECT_EQ(view.channel(1), view.channel(0) + 16);

  AudioBuffer moved(std::move(view));
  EXPECT_EQ(moved.numFrames(), 16u);
  EXPECT_EQ(view.numFrames(), 0u);

  double out0[8] = {}, out1[8] = {};
  double* outs[2] = {out0, out1};
  AudioBuffer(ptrs, 2, 8).copyTo(outs, 2, 5);
  EXPECT_EQ(out1[4], 104.0);
  EXPECT_EQ(out1[5], 0.0);
}

} // namespace
} // namespace zarvo
