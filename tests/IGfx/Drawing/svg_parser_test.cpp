#include <gtest/gtest.h>

#include "IGfx/SVG/SVGImage.h"

using namespace plugkit::gfx::svg;

namespace {
// Maps a point by a gradient's transform into gradient space.
void ToGradient(const Gradient& g, float x, float y, float& u, float& v)
{
  u = g.xform[0] * x + g.xform[2] * y + g.xform[4];
  v = g.xform[1] * x + g.xform[3] * y + g.xform[5];
}
} // namespace

TEST(SVGParser, DocumentSizeAndPaths)
{
  auto image = ParseSVG(R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="50">
      <rect x="10" y="5" width="20" height="10" fill="#ff8000"/></svg>)svg",
                        "px", 72);
  ASSERT_NE(image, nullptr);
  EXPECT_FLOAT_EQ(image->width, 100);
  EXPECT_FLOAT_EQ(image->height, 50);
  ASSERT_EQ(image->shapes.size(), 1u);
  const Shape& s = image->shapes[0];
  EXPECT_EQ(s.fill.type, kPaintColor);
  EXPECT_EQ(s.fill.color & 0xFFFFFF, 0x0080FFu); // red lowest
  EXPECT_EQ(s.stroke.type, kPaintNone);
  ASSERT_EQ(s.paths.size(), 1u);
  const Path& p = s.paths[0];
  EXPECT_TRUE(p.closed);
  EXPECT_EQ((p.npts - 1) % 3, 0);
  EXPECT_FLOAT_EQ(p.bounds[0], 10);
  EXPECT_FLOAT_EQ(p.bounds[1], 5);
  EXPECT_FLOAT_EQ(p.bounds[2], 30);
  EXPECT_FLOAT_EQ(p.bounds[3], 15);
}

TEST(SVGParser, ViewBoxAloneSetsTheSizeAndTransformsApply)
{
  auto image = ParseSVG(R"svg(<svg viewBox="0 0 40 20"><g transform="translate(10 2) scale(2)">
      <circle cx="5" cy="5" r="2" fill="red" stroke="blue" stroke-width="3"/></g></svg>)svg",
                        "px", 72);
  ASSERT_NE(image, nullptr);
  EXPECT_FLOAT_EQ(image->width, 40);
  EXPECT_FLOAT_EQ(image->height, 20);
  ASSERT_EQ(image->shapes.size(), 1u);
  const Path& p = image->shapes[0].paths[0];
  EXPECT_NEAR(p.bounds[0], 16, 1e-3);
  EXPECT_NEAR(p.bounds[2], 24, 1e-3);
  EXPECT_NEAR(p.bounds[1], 8, 1e-3);
  EXPECT_NEAR(image->shapes[0].strokeWidth, 6, 1e-4);
}

TEST(SVGParser, RingIsOneShapeOfTwoSubPaths)
{
  auto image = ParseSVG(R"svg(<svg width="100" height="100">
      <path d="M50 10 A40 40 0 1 1 49.99 10 Z M50 30 A20 20 0 1 0 50.01 30 Z" fill="#000"/></svg>)svg",
                        "px", 72);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->shapes.size(), 1u);
  ASSERT_EQ(image->shapes[0].paths.size(), 2u);
  EXPECT_NEAR(image->shapes[0].paths[0].bounds[0], 10, 0.1);
  EXPECT_NEAR(image->shapes[0].paths[1].bounds[0], 30, 0.1);
}

TEST(SVGParser, StrokeSettingsOpacityAndVisibility)
{
  auto image = ParseSVG(R"svg(<svg width="10" height="10">
      <line x1="0" y1="0" x2="10" y2="0" stroke="#00ff00" stroke-linecap="square" stroke-linejoin="bevel"
            stroke-miterlimit="7" stroke-dasharray="2 1 3" stroke-dashoffset="1" opacity="0.5"/>
      <rect width="1" height="1" style="display:none"/>
      <rect width="1" height="1" visibility="hidden"/></svg>)svg",
                        "px", 72);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->shapes.size(), 3u);
  const Shape& line = image->shapes[0];
  EXPECT_EQ(line.stroke.type, kPaintColor);
  EXPECT_EQ(line.stroke.color & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(line.strokeLineCap, 2);
  EXPECT_EQ(line.strokeLineJoin, 2);
  EXPECT_FLOAT_EQ(line.miterLimit, 7);
  EXPECT_FLOAT_EQ(line.opacity, 0.5f);
  ASSERT_EQ(line.strokeDashCount, 6); // an odd list is repeated
  EXPECT_FLOAT_EQ(line.strokeDashArray[3], 2);
  EXPECT_FLOAT_EQ(line.strokeDashOffset, 1);
  EXPECT_EQ(image->shapes[1].flags & kFlagVisible, 0u);
  EXPECT_EQ(image->shapes[2].flags & kFlagVisible, 0u);
}

TEST(SVGParser, GradientsMapTheirEndsIntoGradientSpace)
{
  auto image = ParseSVG(R"svg(<svg width="100" height="100">
      <defs>
        <linearGradient id="lin" x1="0" y1="0" x2="0" y2="1" spreadMethod="reflect">
          <stop offset="0" stop-color="#ff0000"/><stop offset="50%" style="stop-color:#00ff00"/>
          <stop offset="1" stop-color="blue"/></linearGradient>
        <linearGradient id="user" gradientUnits="userSpaceOnUse" x1="10" y1="20" x2="90" y2="20" xlink:href="#lin"
            xmlns:xlink="http://www.w3.org/1999/xlink"/>
        <radialGradient id="rad" cx="50" cy="50" r="25" gradientUnits="userSpaceOnUse">
          <stop offset="0.2" stop-color="#fff"/><stop offset="1" stop-color="#000"/></radialGradient>
      </defs>
      <rect x="20" y="40" width="60" height="20" fill="url(#lin)"/>
      <rect width="100" height="100" fill="url(#user)"/>
      <rect width="100" height="100" fill="url(#rad)"/>
      <rect width="100" height="100" fill="url(#missing)"/></svg>)svg",
                        "px", 72);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->shapes.size(), 4u);
  float u, v;

  const Paint& lin = image->shapes[0].fill;
  ASSERT_EQ(lin.type, kPaintLinearGradient);
  EXPECT_EQ(lin.gradient.spread, kSpreadReflect);
  ASSERT_EQ(lin.gradient.stops.size(), 3u);
  EXPECT_EQ(lin.gradient.stops[1].color & 0xFFFFFF, 0x00FF00u);
  EXPECT_FLOAT_EQ(lin.gradient.stops[1].offset, 0.5f);
  ToGradient(lin.gradient, 20, 40, u, v); // box top: start
  EXPECT_NEAR(v, 0, 1e-5);
  ToGradient(lin.gradient, 20, 60, u, v); // box bottom: end
  EXPECT_NEAR(v, 1, 1e-5);

  const Paint& user = image->shapes[1].fill;
  ASSERT_EQ(user.type, kPaintLinearGradient);
  EXPECT_EQ(user.gradient.stops.size(), 3u); // inherited
  ToGradient(user.gradient, 10, 20, u, v);
  EXPECT_NEAR(v, 0, 1e-5);
  ToGradient(user.gradient, 90, 20, u, v);
  EXPECT_NEAR(v, 1, 1e-5);

  const Paint& rad = image->shapes[2].fill;
  ASSERT_EQ(rad.type, kPaintRadialGradient);
  ToGradient(rad.gradient, 75, 50, u, v);
  EXPECT_NEAR(u, 1, 1e-5);
  EXPECT_NEAR(v, 0, 1e-5);

  EXPECT_EQ(image->shapes[3].fill.type, kPaintNone);
}

TEST(SVGParser, BrokenTextGivesNoImage)
{
  for (const char* text : {"", "not xml", "<svg><rect", "<html/>", "<svg width='10'><path d='M 0 0 L'/></svg"})
    EXPECT_EQ(ParseSVG(text, "px", 72), nullptr) << text;
  EXPECT_EQ(ParseSVG(nullptr, "px", 72), nullptr);
}
