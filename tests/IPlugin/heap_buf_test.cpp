#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "IPlugin/HeapBuf.h"

namespace {

struct ResizeStep
{
  int size;
  bool shrink;
  int expectedAllocated;
};

struct ResizeCase
{
  const char* name;
  int growStep;
  std::vector<ResizeStep> steps;
};

const ResizeCase kResizeCases[] = {
  {"SmallStepGrowsByHalfOrStep", 128, {{100, false, 228}, {200, false, 228}, {300, false, 450}}},
  {"PageStepAllocatesPagesMinusSlack", 4096, {{10, false, 4000}, {4000, false, 4000}, {4001, false, 8096}}},
  {"PageStepGrowthFollowsHalfTheRequest", 4096, {{20000, false, 24480}}},
  {"PageStepGrowthCappedAtFourMiB", 4096, {{20000000, false, 24190880}}},
  {"ShrinkWithoutRequestKeepsAllocation", 128, {{1000, false, 1500}, {10, false, 1500}, {0, false, 1500}}},
  {"ShrinkAboveThresholdKeepsAllocation", 128, {{1000, false, 1500}, {800, true, 1500}}},
  {"ShrinkBelowThresholdReallocates", 128, {{1000, false, 1500}, {100, true, 228}}},
  {"ShrinkToZeroReleases", 4096, {{10, false, 4000}, {0, true, 0}}},
  {"NegativeSizeCountsAsZero", 128, {{100, false, 228}, {-5, true, 0}}},
};

class HeapBufResize : public testing::TestWithParam<ResizeCase>
{};

TEST_P(HeapBufResize, AllocationFollowsGrowthPolicy)
{
  const ResizeCase& c = GetParam();
  HeapBuf buf(c.growStep);
  for (const ResizeStep& step : c.steps)
  {
    void* data = buf.Resize(step.size, step.shrink);
    const int used = step.size < 0 ? 0 : step.size;
    EXPECT_EQ(buf.GetSize(), used) << "resize to " << step.size;
    EXPECT_EQ(buf.GetAllocated(), step.expectedAllocated) << "resize to " << step.size;
    EXPECT_EQ(data == nullptr, used == 0) << "resize to " << step.size;
    EXPECT_EQ(buf.Get() == nullptr, buf.GetAllocated() == 0) << "resize to " << step.size;
  }
}

INSTANTIATE_TEST_SUITE_P(Policy, HeapBufResize, testing::ValuesIn(kResizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeapBuf, BytesSurviveReallocationAndCopiesAreIndependent)
{
  HeapBuf buf(16);
  buf.Resize(8, false);
  std::memcpy(buf.Get(), "abcdefgh", 8);
  buf.Resize(5000, false);
  ASSERT_EQ(std::memcmp(buf.Get(), "abcdefgh", 8), 0);

  HeapBuf copy(buf);
  static_cast<char*>(buf.Get())[0] = 'X';
  buf.Resize(1, true);
  ASSERT_EQ(copy.GetSize(), 5000);
  EXPECT_EQ(std::memcmp(copy.Get(), "abcdefgh", 8), 0);
  EXPECT_EQ(copy.GetGrowStep(), 16);
}

} // namespace
