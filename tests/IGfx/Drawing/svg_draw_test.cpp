// SVG documents turned into path operations, on the recording backend.
#include <gtest/gtest.h>

#include "IGfx/ISVG.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/headless_gfx.h"

using namespace plugkit::gfx;
using namespace plugkit::gfx::test;

namespace {
class SVGDraw : public ::testing::Test
{
protected:
  std::unique_ptr<svg::Image> Parse(const char* text) { return svg::ParseSVG(text, "px", 72); }

  FakeDelegate delegate{0};
  HeadlessPlatform platform;
  DrawRecorder recorder;
  HeadlessGfx gfx{delegate, platform, recorder, 300, 300};
};
} // namespace

TEST_F(SVGDraw, DocumentIsFittedToTheTopLeftKeepingItsAspect)
{
  auto image = Parse(R"svg(<svg width="100" height="50"><rect width="100" height="50" fill="red"/></svg>)svg");
  ASSERT_NE(image, nullptr);
  recorder.Clear();
  gfx.DrawSVG(ISVG(image.get()), IRECT(0, 0, 300, 300));
  const auto matrices = recorder.Only("PathTransformSetMatrix");
  ASSERT_GE(matrices.size(), 2u);
  // translate then scale by min(300 / 100, 300 / 50) = 3
  EXPECT_FLOAT_EQ(matrices[1].args[0], 3.f);
  EXPECT_FLOAT_EQ(matrices[1].args[3], 3.f);
  EXPECT_EQ(gfx.GetTransform(), IMatrix());
  EXPECT_EQ(recorder.Count("PathFill"), 1);
}

TEST_F(SVGDraw, NullDocumentDrawsNothingAndKeepsTheTransform)
{
  gfx.PathTransformTranslate(4, 5);
  const IMatrix before = gfx.GetTransform();
  recorder.Clear();
  gfx.DrawSVG(ISVG(), IRECT(0, 0, 10, 10));
  gfx.DrawRotatedSVG(ISVG(), 5, 5, 10, 10, 30);
  EXPECT_EQ(recorder.Count("PathFill") + recorder.Count("PathStroke"), 0);
  EXPECT_EQ(gfx.GetTransform(), before);
  EXPECT_EQ(gfx.NTransformStates(), 0);
}

TEST_F(SVGDraw, RingHasAHoleAndTwoDiscsAreBothSolid)
{
  struct Case
  {
    const char* name;
    const char* text;
    std::vector<float> windings; // 1 = clockwise (hole)
  } cases[] = {
    {"ring",
     R"svg(<svg width="40" height="40"><path d="M20 2 A18 18 0 1 1 19.99 2 Z M20 10 A10 10 0 1 0 20.01 10 Z"/></svg>)svg",
     {0, 1}},
    {"two discs",
     R"svg(<svg width="40" height="40"><path d="M5 10 A5 5 0 1 1 4.99 10 Z M30 10 A5 5 0 1 1 29.99 10 Z"/></svg>)svg",
     {0, 0}},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.name);
    auto image = Parse(c.text);
    ASSERT_NE(image, nullptr);
    recorder.Clear();
    gfx.DoDrawSVG(ISVG(image.get()));
    std::vector<float> windings;
    for (const DrawCall& call : recorder.Only("PathSetWinding"))
      windings.push_back(call.args[0]);
    EXPECT_EQ(windings, c.windings);
    const auto fills = recorder.Only("PathFill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].args[1], static_cast<float>(EFillRule::Preserve));
  }
}

TEST_F(SVGDraw, PatternsFromPaints)
{
  svg::Paint colour;
  colour.type = svg::kPaintColor;
  colour.color = 0x00FF8040; // red 0x40, green 0x80, blue 0xFF; its own alpha byte is not used
  IPattern p = GetSVGPattern(colour, 0.5f);
  EXPECT_EQ(p.mType, EPatternType::Solid);
  EXPECT_EQ(p.GetStop(0).mColor, IColor(128, 0x40, 0x80, 0xFF));

  svg::Paint gradient;
  gradient.type = svg::kPaintRadialGradient;
  gradient.gradient.spread = svg::kSpreadRepeat;
  for (int i = 0; i < 20; ++i)
    gradient.gradient.stops.push_back({0x000000FFu, i / 19.f});
  gradient.gradient.xform[4] = 7.f;
  p = GetSVGPattern(gradient, 0.5f);
  EXPECT_EQ(p.mType, EPatternType::Radial);
  EXPECT_EQ(p.mExtend, EPatternExtend::Repeat);
  EXPECT_EQ(p.NStops(), 16);
  EXPECT_EQ(p.GetStop(0).mColor, IColor(255, 255, 0, 0)); // stops stay opaque
  EXPECT_EQ(p.mTransform.mTX, 7.0);

  svg::Paint none;
  none.type = 9;
  EXPECT_EQ(GetSVGPattern(none, 1.f).GetStop(0).mColor, IColor(255, 0, 0, 0));
}

TEST_F(SVGDraw, StrokeOptionsAndColourReplacement)
{
  auto image = Parse(R"svg(<svg width="40" height="40">
      <defs><linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/></linearGradient></defs>
      <rect width="10" height="10" fill="url(#g)" stroke="black" stroke-linecap="square"/>
      <rect x="20" width="10" height="10" fill="green"/></svg>)svg");
  ASSERT_NE(image, nullptr);
  image->shapes[0].strokeLineJoin = 7; // not a known join
  const IColor fill = COLOR_ORANGE;
  recorder.Clear();
  gfx.DoDrawSVG(ISVG(image.get()), nullptr, nullptr, &fill);
  const auto fills = recorder.Only("PathFill");
  ASSERT_EQ(fills.size(), 2u);
  for (const DrawCall& f : fills)
  {
    EXPECT_EQ(f.color, COLOR_ORANGE);
    EXPECT_EQ(f.args[0], static_cast<float>(EPatternType::Solid));
  }
  EXPECT_EQ(fills[0].args[2], 1.f); // kept for the stroke that follows
  const auto strokes = recorder.Only("PathStroke");
  ASSERT_EQ(strokes.size(), 1u);
  EXPECT_EQ(strokes[0].args[1], static_cast<float>(ELineCap::Square));
  EXPECT_EQ(strokes[0].args[2], static_cast<float>(ELineJoin::Miter));
}
