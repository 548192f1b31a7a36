#include <gtest/gtest.h>

#include "IGfx/IColor.h"
#include "IGfx/IMatrix.h"
#include "IGfx/IRECT.h"
#include "IGfx/IVStyle.h"

namespace plugkit::gfx {
namespace {

void ExpectRect(const IRECT& expected, const IRECT& actual, const char* name)
{
  EXPECT_FLOAT_EQ(expected.L, actual.L) << name;
  EXPECT_FLOAT_EQ(expected.T, actual.T) << name;
  EXPECT_FLOAT_EQ(expected.R, actual.R) << name;
  EXPECT_FLOAT_EQ(expected.B, actual.B) << name;
}

TEST(IRECTTest, PadAndPixelAlign)
{
  struct Case
  {
    const char* name;
    IRECT r;
    float pad;
    float scale;
    IRECT expected;
  };
  const Case cases[] = {
    {"padded then aligned at 2", {10, 10, 20, 20}, 0.75f, 2.f, {9, 9, 21, 21}},
    {"padded then aligned at 1", {10, 10, 20, 20}, 0.75f, 1.f, {9, 9, 21, 21}},
    {"fractions at 1.5", {10.3f, 0.2f, 20.6f, 5.f}, 0.f, 1.5f, {10.f, 0.f, 62.f / 3.f, 5.f + 1.f / 3.f}},
    {"already aligned stays", {4, 4, 8, 8}, 0.f, 2.f, {4, 4, 8, 8}},
    {"negative coordinates go outward", {-1.2f, -0.4f, 1.2f, 0.4f}, 0.f, 1.f, {-2, -1, 2, 1}},
  };
  for (const Case& c : cases)
    ExpectRect(c.expected, c.r.GetPadded(c.pad).GetPixelAligned(c.scale), c.name);
  ExpectRect({9.25f, 9.25f, 20.75f, 20.75f}, IRECT(10, 10, 20, 20).GetPadded(0.75f), "padded only");
}

TEST(IRECTTest, ContainsIntersectsIntersectUnion)
{
  struct Case
  {
    const char* name;
    IRECT a;
    IRECT b;
    bool contains;
    bool intersects;
    IRECT intersection;
    IRECT unionRect;
  };
  const IRECT none;
  const Case cases[] = {
    {"inside", {0, 0, 100, 100}, {10, 10, 20, 20}, true, true, {10, 10, 20, 20}, {0, 0, 100, 100}},
    {"equal", {0, 0, 10, 10}, {0, 0, 10, 10}, true, true, {0, 0, 10, 10}, {0, 0, 10, 10}},
    {"overlap", {0, 0, 10, 10}, {5, 5, 15, 15}, false, true, {5, 5, 10, 10}, {0, 0, 15, 15}},
    {"touching right edge", {0, 0, 10, 10}, {10, 0, 20, 10}, false, true, {10, 0, 10, 10}, {0, 0, 20, 10}},
    {"touching left edge", {10, 0, 20, 10}, {0, 0, 10, 10}, false, false, none, {0, 0, 20, 10}},
    {"apart", {0, 0, 10, 10}, {20, 20, 30, 30}, false, false, none, {0, 0, 30, 30}},
    {"empty a", none, {1, 2, 3, 4}, false, false, none, {1, 2, 3, 4}},
    {"empty b", {1, 2, 3, 4}, none, false, false, none, {1, 2, 3, 4}},
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(c.contains, c.a.Contains(c.b)) << c.name;
    EXPECT_EQ(c.intersects, c.a.Intersects(c.b)) << c.name;
    ExpectRect(c.intersection, c.a.Intersect(c.b), c.name);
    ExpectRect(c.unionRect, c.a.Union(c.b), c.name);
  }
}

TEST(IRECTTest, PointContainmentExcludesRightAndBottomEdges)
{
  const IRECT r(10, 10, 20, 20);
  EXPECT_TRUE(r.Contains(10.f, 10.f));
  EXPECT_TRUE(r.Contains(19.99f, 19.99f));
  EXPECT_FALSE(r.Contains(20.f, 15.f));
  EXPECT_FALSE(r.Contains(15.f, 20.f));
  EXPECT_FALSE(IRECT().Contains(0.f, 0.f));
}

TEST(IRECTTest, ShiftInto)
{
  struct Case
  {
    const char* name;
    IRECT r;
    IRECT parent;
    IRECT expected;
  };
  const Case cases[] = {
    {"inside stays", {10, 10, 20, 20}, {0, 0, 100, 100}, {10, 10, 20, 20}},
    {"5 left of parent moves right keeping width", {-5, 10, 15, 20}, {0, 0, 100, 100}, {0, 10, 20, 20}},
    {"wider than parent ends at right - 1", {-5, 10, 120, 20}, {0, 0, 100, 100}, {0, 10, 99, 20}},
    {"past the bottom moves up", {10, 95, 20, 105}, {0, 0, 100, 100}, {10, 89, 20, 99}},
    {"past the right moves left", {95, 10, 105, 20}, {0, 0, 100, 100}, {89, 10, 99, 20}},
    {"above the top moves down", {10, -3, 20, 7}, {0, 0, 100, 100}, {10, 0, 20, 10}},
  };
  for (const Case& c : cases)
    ExpectRect(c.expected, c.r.GetShiftedInto(c.parent), c.name);
}

TEST(IRECTTest, Joinable)
{
  EXPECT_TRUE(IRECT(0, 0, 10, 10).Joinable(IRECT(0, 10, 10, 20)));  // stacked
  EXPECT_TRUE(IRECT(0, 0, 10, 10).Joinable(IRECT(5, 0, 20, 10)));   // side by side, overlapping
  EXPECT_FALSE(IRECT(0, 0, 10, 10).Joinable(IRECT(0, 11, 10, 20))); // a gap
  EXPECT_FALSE(IRECT(0, 0, 10, 10).Joinable(IRECT(0, 10, 11, 20))); // different widths
  EXPECT_TRUE(IRECT().Joinable(IRECT(3, 3, 4, 4)));
}

TEST(IMatrixTest, TransformsMultiplyOntoTheRight)
{
  IMatrix m;
  m.Translate(10, 20).Scale(2, 3);
  double x = 1;
  double y = 1;
  m.TransformPoint(x, y);
  EXPECT_DOUBLE_EQ(12., x); // scale acts first, then translation
  EXPECT_DOUBLE_EQ(23., y);

  IMatrix r;
  r.Rotate(90);
  x = 1;
  y = 0;
  r.TransformPoint(x, y);
  EXPECT_NEAR(0., x, 1e-12);
  EXPECT_NEAR(1., y, 1e-12); // clockwise on screen: +x turns to +y (down)
}

TEST(IColorTest, NamedColoursAndColourSpec)
{
  EXPECT_EQ(IColor(10, 0, 0, 0), COLOR_TRANSLUCENT);
  EXPECT_EQ(COLOR_TRANSLUCENT, DEFAULT_HLCOLOR);
  EXPECT_LT(COLOR_DARK_GRAY.R, COLOR_GRAY.R);
  EXPECT_LT(COLOR_GRAY.R, COLOR_MID_GRAY.R);
  EXPECT_EQ(240, COLOR_LIGHT_GRAY.R);
  EXPECT_EQ(IColor(255, 0, 0, 0), IColor());

  const IVColorSpec colors{COLOR_RED, COLOR_BLUE};
  EXPECT_EQ(COLOR_RED, colors[EVColor::BG]);
  EXPECT_EQ(COLOR_BLUE, colors[EVColor::FG]);
  EXPECT_EQ(COLOR_LIGHT_GRAY, colors[EVColor::PR]);
  EXPECT_EQ(DEFAULT_SHCOLOR, colors[EVColor::SH]);
  EXPECT_EQ(COLOR_BLUE, colors[EVColor::X3]);
  EXPECT_EQ(DEFAULT_COLOR_SPEC, IVColorSpec({}));

  const IVColorSpec ten{COLOR_RED, COLOR_RED, COLOR_RED, COLOR_RED, COLOR_RED,
                        COLOR_RED, COLOR_RED, COLOR_RED, COLOR_RED, COLOR_GREEN};
  EXPECT_EQ(COLOR_RED, ten[EVColor::X3]);
}

TEST(IVStyleTest, DefaultStyle)
{
  const IVStyle& s = DEFAULT_STYLE;
  EXPECT_TRUE(s.hideCursor && s.showLabel && s.showValue && s.drawFrame && s.drawShadows);
  EXPECT_FALSE(s.emboss);
  EXPECT_FLOAT_EQ(3.f, s.shadowOffset);
  EXPECT_FLOAT_EQ(19.f, s.labelText.mSize);
  EXPECT_EQ(EVAlign::Top, s.labelText.mVAlign);
  EXPECT_EQ(EVAlign::Bottom, s.valueText.mVAlign);
  EXPECT_STREQ("Roboto-Regular", DEFAULT_TEXT.mFont);
}

} // namespace
} // namespace plugkit::gfx
