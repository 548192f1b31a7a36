#include <gtest/gtest.h>

#include "IGfx/ImageScaleSearch.h"

using namespace plugkit::gfx;

TEST(ImageScaleSearch, OrderForEachTargetScale)
{
  struct Case
  {
    int target;
    std::vector<int> order;
  } cases[] = {{1, {1, 3, 2}}, {2, {2, 3, 1}}, {3, {3, 2, 1}}, {4, {4, 3, 2, 1}}, {5, {5, 3, 2, 1}}, {0, {}}, {-1, {}}};
  for (const Case& c : cases)
    EXPECT_EQ(ImageScaleSearchOrder(c.target), c.order) << "target " << c.target;
}

TEST(ImageScaleSearch, FileNamesTriedForKnobAtScaleTwo)
{
  std::vector<std::string> tried;
  for (int s : ImageScaleSearchOrder(2))
    tried.push_back(ScaledImageName("knob.png", s));
  EXPECT_EQ(tried, (std::vector<std::string>{"knob@2x.png", "knob@3x.png", "knob.png"}));

  struct Case
  {
    const char* name;
    int scale;
    const char* file;
  } cases[] = {
    {"dir/knob.png", 3, "dir/knob@3x.png"}, {"knob", 2, "knob@2x"},
    {"a.b/knob", 2, "a.b/knob@2x"},         {"a.b\\knob", 4, "a.b\\knob@4x"},
    {"knob.tar.png", 2, "knob.tar@2x.png"}, {"knob.png", 1, "knob.png"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScaledImageName(c.name, c.scale), c.file) << c.name;
}
