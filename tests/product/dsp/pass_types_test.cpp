#include "product/dsp/pass_types.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

TEST(PassTypes, ShapeOf)
{
  struct Case
  {
    const char* name;
    FilterPassType type;
    double depth;
    double tilt;
    stage_coeffs expected;
  };
  const Case cases[] = {
    {"LP depth 1 is four poles", FilterPassType::LP, 1.0, 0.0, {0, 0, 0, 0, 1}},
    {"LP depth 0.5 is two poles", FilterPassType::LP, 0.5, 0.0, {0, 0, 1, 0, 0}},
    {"LP depth 0 is flat", FilterPassType::LP, 0.0, 0.0, {1, 0, 0, 0, 0}},
    {"HP depth 0.6 blends orders 2 and 3", FilterPassType::HP, 0.6, 0.0, {1, -2.4, 1.8, -0.4, 0}},
    {"HP depth 1", FilterPassType::HP, 1.0, 0.0, {1, -4, 6, -4, 1}},
    {"AP ignores depth", FilterPassType::AP, 0.2, 0.0, {1, -8, 24, -32, 16}},
    {"AP ignores tilt", FilterPassType::AP, 0.7, -0.6, {1, -8, 24, -32, 16}},
    {"BP depth 1 tilt 0", FilterPassType::BP, 1.0, 0.0, {0, 0, 4, -8, 4}},
    {"BP depth 1 tilt -1", FilterPassType::BP, 1.0, -1.0, {0, 0, 0, 2, -2}},
    {"BP depth 1 tilt +1", FilterPassType::BP, 1.0, 1.0, {0, 2, -6, 6, -2}},
    {"BP depth 1 tilt -0.25 between -0.5 and 0", FilterPassType::BP, 1.0, -0.25, {0, 0, 3, -5, 2}},
    {"BP depth 0.25 tilt -1: tilt row half in", FilterPassType::BP, 0.25, -1.0, {0.5, 0, 0, 1, -1}},
    {"BP depth 0.25 tilt -0.75", FilterPassType::BP, 0.25, -0.75, {0.5, 0, 0.5, 0, -0.5}},
    {"BR depth 1 tilt +0.5", FilterPassType::BR, 1.0, 0.5, {1, -3, 4, -2, 0}},
    {"BR depth 0.5 is the middle row", FilterPassType::BR, 0.5, 0.0, {1, -2, 2, 0, 0}},
    {"P depth 1", FilterPassType::P, 1.0, 0.0, {1, 0, 4, -8, 4}},
    {"P depth 0.5", FilterPassType::P, 0.5, 0.0, {1, 0, 2, -4, 2}},
    {"depth above 1 reads as 1", FilterPassType::HP, 2.0, 0.0, {1, -4, 6, -4, 1}},
    {"negative depth reads as 0", FilterPassType::BP, -1.0, 0.7, {1, 0, 0, 0, 0}},
    {"tilt beyond +1 reads as +1", FilterPassType::BP, 1.0, 5.0, {0, 2, -6, 6, -2}},
    {"unknown types are clamped", static_cast<FilterPassType>(9), 1.0, 0.0, {1, 0, 4, -8, 4}},
  };
  for (const Case& c : cases)
  {
    const stage_coeffs s = shapeOf(c.type, c.depth, c.tilt);
    for (std::size_t i = 0; i < 5; ++i)
      EXPECT_NEAR(s[i], c.expected[i], 1e-12) << c.name << " c" << i;
  }
}

TEST(PassTypes, FeedbackAndPreFilterMixPerType)
{
  struct Case
  {
    FilterPassType type;
    double feedback;
    svf_coeffs mix;
  };
  const Case cases[] = {
    {FilterPassType::LP, 1.0, {1, 0, 0}}, {FilterPassType::HP, 0.0, {0, 1, 0}}, {FilterPassType::AP, 0.0, {1, 0, 0}},
    {FilterPassType::BP, 0.0, {0, 0, 1}}, {FilterPassType::BR, 1.0, {1, 1, 0}}, {FilterPassType::P, 1.0, {1, -1, 0}},
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(feedbackOf(c.type), c.feedback) << static_cast<int>(c.type);
    EXPECT_EQ(preFilterMixOf(c.type), c.mix) << static_cast<int>(c.type);
  }
  EXPECT_EQ(preFilterMixOf(static_cast<FilterPassType>(7)), (svf_coeffs{1, 0, 0}));
  EXPECT_EQ(kPreFltPassTypes[2], FilterPassType::BP);
}

} // namespace
} // namespace zarvo
