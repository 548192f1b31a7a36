#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "IGfx/IRECTList.h"

namespace plugkit::gfx {
namespace {

std::vector<IRECT> Optimized(std::initializer_list<IRECT> in)
{
  IRECTList list;
  for (const IRECT& r : in)
    list.Add(r);
  list.Optimize();
  return std::vector<IRECT>(list.begin(), list.end());
}

TEST(IRECTListTest, OptimizeCases)
{
  struct Case
  {
    const char* name;
    std::vector<IRECT> in;
    std::vector<IRECT> expected;
  };
  const Case cases[] = {
    {"contained later entry dropped", {{0, 0, 100, 100}, {10, 10, 20, 20}}, {{0, 0, 100, 100}}},
    {"contained earlier entry dropped", {{10, 10, 20, 20}, {0, 0, 100, 100}}, {{0, 0, 100, 100}}},
    {"stacked pair merged", {{0, 0, 10, 10}, {0, 10, 10, 20}}, {{0, 0, 10, 20}}},
    {"overlap trimmed then merged", {{0, 0, 10, 10}, {5, 0, 20, 10}}, {{0, 0, 20, 10}}},
    {"apart pair kept", {{0, 0, 10, 10}, {50, 50, 60, 60}}, {{0, 0, 10, 10}, {50, 50, 60, 60}}},
    {"duplicates collapse", {{0, 0, 10, 10}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
  };
  for (const Case& c : cases)
  {
    IRECTList list;
    for (const IRECT& r : c.in)
      list.Add(r);
    list.Optimize();
    ASSERT_EQ(c.expected.size(), static_cast<size_t>(list.Size())) << c.name;
    for (size_t i = 0; i < c.expected.size(); ++i)
      EXPECT_EQ(c.expected[i], list.Get(static_cast<int>(i))) << c.name << " entry " << i;
  }
}

// Area of the union of a list of rectangles on an integer grid, by counting unit cells.
int CoveredCells(const std::vector<IRECT>& rects, int extent, std::vector<int>* counts = nullptr)
{
  std::vector<int> cells(static_cast<size_t>(extent * extent), 0);
  for (const IRECT& r : rects)
    for (int y = static_cast<int>(r.T); y < static_cast<int>(r.B); ++y)
      for (int x = static_cast<int>(r.L); x < static_cast<int>(r.R); ++x)
        ++cells[static_cast<size_t>(y * extent + x)];
  int covered = 0;
  for (int c : cells)
    covered += c > 0;
  if (counts)
    *counts = cells;
  return covered;
}

TEST(IRECTListTest, CrossingBandsKeepEveryPart)
{
  // A horizontal band crossing a vertical one: no part of either may be lost.
  const std::vector<IRECT> in{{0, 40, 100, 60}, {40, 0, 60, 100}};
  const std::vector<IRECT> out = Optimized({in[0], in[1]});
  std::vector<int> counts;
  EXPECT_EQ(CoveredCells(in, 100), CoveredCells(out, 100, &counts));
  for (int c : counts)
    EXPECT_LE(c, 1);
}

TEST(IRECTListTest, SplitAppendsWhatRemains)
{
  IRECTList list;
  // Overlap in the middle of r's left edge: above, below and right of it remain.
  const IRECT kept = list.Split(IRECT(0, 0, 100, 100), IRECT(0, 40, 30, 60));
  std::vector<IRECT> all{kept};
  all.insert(all.end(), list.begin(), list.end());
  std::vector<int> counts;
  EXPECT_EQ(100 * 100 - 30 * 20, CoveredCells(all, 100, &counts));
  for (int y = 40; y < 60; ++y)
    for (int x = 0; x < 30; ++x)
      EXPECT_EQ(0, counts[static_cast<size_t>(y * 100 + x)]);
}

TEST(IRECTListTest, OptimizeKeepsCoverageRemovesOverlapAndEnds)
{
  std::mt19937 rng(1234);
  constexpr int kExtent = 64;
  std::uniform_int_distribution<int> coord(0, kExtent - 1);
  std::uniform_int_distribution<int> count(1, 12);
  for (int round = 0; round < 500; ++round)
  {
    std::vector<IRECT> in;
    const int n = count(rng);
    for (int i = 0; i < n; ++i)
    {
      int l = coord(rng);
      int t = coord(rng);
      int r = coord(rng);
      int b = coord(rng);
      if (l > r)
        std::swap(l, r);
      if (t > b)
        std::swap(t, b);
      in.push_back(
        IRECT(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r + 1), static_cast<float>(b + 1)));
    }
    IRECTList list;
    for (const IRECT& r : in)
      list.Add(r);
    list.Optimize(); // termination: a loop that never ends fails the test by timeout
    const std::vector<IRECT> out(list.begin(), list.end());

    std::vector<int> inCounts;
    std::vector<int> outCounts;
    CoveredCells(in, kExtent, &inCounts);
    CoveredCells(out, kExtent, &outCounts);
    for (size_t c = 0; c < inCounts.size(); ++c)
    {
      ASSERT_EQ(inCounts[c] > 0, outCounts[c] > 0) << "round " << round << " cell " << c;
      ASSERT_LE(outCounts[c], 1) << "round " << round << " cell " << c;
    }
    for (const IRECT& r : out)
      ASSERT_TRUE(r.W() > 0 && r.H() > 0) << "round " << round;
  }
}

} // namespace
} // namespace plugkit::gfx
