// Pixels drawn by the NanoVG backend through an offscreen GL 3.3 context, at draw scales 1 and 2.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "IGfx/ILayer.h"
#include "IGfx/ISVG.h"
#include "IGfx/ResourceCaches.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;

namespace {
constexpr const char* kRing = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="40">
  <path d="M20 2 A18 18 0 1 1 19.99 2 Z M20 10 A10 10 0 1 0 20.01 10 Z" fill="#2040c0"/></svg>)svg";
constexpr const char* kHalfDisc = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="40">
  <circle cx="20" cy="20" r="15" fill="#ff0000" opacity="0.5"/></svg>)svg";

std::string RobotoRegular() { return std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf"; }

bool Near(const RGBA& p, const RGBA& want, int tol = 3)
{
  return std::abs(p.r - want.r) <= tol && std::abs(p.g - want.g) <= tol && std::abs(p.b - want.b) <= tol &&
         std::abs(p.a - want.a) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + "," + std::to_string(p.a) +
         ")";
}

class GLPixels : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    gfx = std::make_unique<OffscreenGfx>(delegate, gl, 100, 80, GetParam());
  }
  void TearDown() override { gfx.reset(); }

  // A UI point's pixel, at its pixel centre.
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  LambdaControl* Add(const IRECT& r, std::function<void(IGfx&, const IRECT&)> f)
  {
    return static_cast<LambdaControl*>(gfx->AttachControl(new LambdaControl(r, std::move(f))));
  }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  FakeDelegate delegate{0};
  std::unique_ptr<OffscreenGfx> gfx;
};

} // namespace

TEST_P(GLPixels, BackendNameAndPixelConventions)
{
  EXPECT_STREQ(gfx->GetDrawingAPIStr(), "NanoVG | GL3");
  EXPECT_EQ(gfx->AlphaChannel(), 3);
  EXPECT_FALSE(gfx->FlippedBitmap());
}

TEST_P(GLPixels, FillRectColoursAtPixelCentres)
{
  Add(IRECT(0, 0, 100, 80), [](IGfx& g, const IRECT& r) { g.FillRect(COLOR_WHITE, r); });
  Add(IRECT(10, 10, 30, 30), [](IGfx& g, const IRECT& r) { g.FillRect(COLOR_RED, r); });
  Add(IRECT(40, 10, 60, 30), [](IGfx& g, const IRECT& r) { g.FillRect(COLOR_GREEN, r); });
  Add(IRECT(70, 50, 90, 70), [](IGfx& g, const IRECT& r) { g.FillRect(COLOR_BLUE, r); });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("fill_rects"));
  struct Case
  {
    float x, y;
    RGBA want;
  } cases[] = {{10.5f, 10.5f, {255, 0, 0, 255}}, {29.5f, 29.5f, {255, 0, 0, 255}}, {30.5f, 20, {255, 255, 255, 255}},
               {50, 20, {0, 255, 0, 255}},       {80, 60, {0, 0, 255, 255}},       {5, 75, {255, 255, 255, 255}},
               {9.5f, 20, {255, 255, 255, 255}}};
  for (const Case& c : cases)
    EXPECT_TRUE(Near(At(c.x, c.y), c.want)) << c.x << "," << c.y << " " << Str(At(c.x, c.y));
}

TEST_P(GLPixels, SecondFrameRedrawsOnlyTheDirtyRegion)
{
  IColor second = COLOR_RED;
  Add(IRECT(0, 0, 100, 80), [](IGfx& g, const IRECT& r) { g.FillRect(COLOR_GRAY, r); });
  Add(IRECT(10, 10, 40, 40), [](IGfx& g, const IRECT& r) { g.FillCircle(COLOR_ORANGE, r.MW(), r.MH(), 14); });
  LambdaControl* changing = Add(IRECT(50, 20, 90, 60), [&second](IGfx& g, const IRECT& r) { g.FillRect(second, r); });
  ASSERT_TRUE(gfx->Frame());
  const std::vector<unsigned char> first = gl.ReadWindow();

  second = COLOR_BLUE;
  changing->SetDirty(false);
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("persistent_frame2"));
  const std::vector<unsigned char> after = gl.ReadWindow();
  ASSERT_EQ(first.size(), after.size());

  const float s = GetParam();
  const IRECT dirty = changing->GetRECT().GetPadded(IGfx::kControlPadding);
  int changedOutside = 0, changedInside = 0;
  for (int y = 0; y < gl.Height(); ++y)
    for (int x = 0; x < gl.Width(); ++x)
    {
      const size_t i = (static_cast<size_t>(y) * gl.Width() + x) * 4;
      const bool same = std::equal(&first[i], &first[i] + 4, &after[i]);
      const bool inside = dirty.Contains((x + 0.5f) / s, (y + 0.5f) / s);
      (inside ? changedInside : changedOutside) += same ? 0 : 1;
    }
  EXPECT_EQ(changedOutside, 0);
  EXPECT_GT(changedInside, 0);
  EXPECT_TRUE(Near(At(70, 40), {0, 0, 255, 255}));
}

TEST_P(GLPixels, LayerKeepsItsTopHalfOnTop)
{
  ILayerPtr layer;
  Add(IRECT(20, 10, 60, 70), [&layer](IGfx& g, const IRECT& r) {
    g.StartLayer(nullptr, r);
    g.FillRect(COLOR_RED, IRECT(r.L, r.T, r.R, r.MH()));
    g.FillRect(COLOR_BLUE, IRECT(r.L, r.MH(), r.R, r.B));
    layer = g.EndLayer();
    g.DrawLayer(layer);
  });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("layer_orientation"));
  EXPECT_TRUE(Near(At(40, 20), {255, 0, 0, 255})) << Str(At(40, 20));
  EXPECT_TRUE(Near(At(40, 60), {0, 0, 255, 255})) << Str(At(40, 60));
  EXPECT_EQ(At(10, 20).a, 0);
}

TEST_P(GLPixels, DropShadowFallsOnTheSideOfItsOffset)
{
  Add(IRECT(0, 0, 100, 80), [](IGfx& g, const IRECT& r) { g.FillRect(COLOR_WHITE, r); });
  Add(IRECT(10, 10, 90, 70), [](IGfx& g, const IRECT&) {
    g.StartLayer(nullptr, IRECT(10, 10, 90, 70));
    g.FillRect(COLOR_GREEN, IRECT(30, 20, 60, 45));
    ILayerPtr layer = g.EndLayer();
    IShadow shadow;
    shadow.mBlurSize = 2.f;
    shadow.mXOffset = 8.f;
    shadow.mYOffset = 8.f;
    g.ApplyLayerDropShadow(layer, shadow);
    g.DrawLayer(layer);
  });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("drop_shadow"));
  EXPECT_TRUE(Near(At(45, 30), {0, 255, 0, 255})) << Str(At(45, 30));
  const RGBA belowRight = At(64, 49), aboveLeft = At(26, 16);
  EXPECT_LT(belowRight.r, 128) << Str(belowRight);
  EXPECT_TRUE(Near(aboveLeft, {255, 255, 255, 255})) << Str(aboveLeft);
}

TEST_P(GLPixels, BlendMethodsComposite)
{
  struct Case
  {
    const char* name;
    IBlend blend;
    RGBA want;
  } cases[] = {
    {"half weight over red", IBlend(EBlend::Default, 0.5f), {128, 0, 127, 255}},
    {"destination over keeps red", IBlend(EBlend::DstOver, 1.f), {255, 0, 0, 255}},
    {"source atop", IBlend(EBlend::SrcAtop, 1.f), {0, 0, 255, 255}},
    {"destination out clears", IBlend(EBlend::DstOut, 1.f), {0, 0, 0, 0}},
  };
  float x = 0;
  for (const Case& c : cases)
  {
    const IBlend blend = c.blend;
    Add(IRECT(x, 0, x + 20, 20), [blend](IGfx& g, const IRECT& r) {
      g.FillRect(COLOR_RED, r);
      g.FillRect(COLOR_BLUE, r, &blend);
    });
    x += 25;
  }
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("blends"));
  x = 0;
  for (const Case& c : cases)
  {
    EXPECT_TRUE(Near(At(x + 10, 10), c.want, 4)) << c.name << " " << Str(At(x + 10, 10));
    x += 25;
  }
}

TEST_P(GLPixels, ThreeStopGradientRunsFromFirstToLastColour)
{
  Add(IRECT(0, 0, 100, 80), [](IGfx& g, const IRECT& r) {
    IPattern p(EPatternType::Linear);
    p.AddStop(COLOR_RED, 0.f);
    p.AddStop(COLOR_GREEN, 0.5f);
    p.AddStop(COLOR_BLUE, 1.f);
    p.SetTransform(IMatrix(1, 0, 0, 1.f / r.H(), 0, 0)); // pattern space y 0..1 over the height
    g.PathClear();
    g.PathRect(r);
    g.PathFill(p);
  });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("gradient"));
  const RGBA top = At(50, 1), mid = At(50, 40), bottom = At(50, 79);
  EXPECT_GT(top.r, 240) << Str(top);
  EXPECT_GT(bottom.b, 240) << Str(bottom);
  EXPECT_LT(mid.g, 16) << Str(mid);
  EXPECT_NEAR(mid.r, 128, 12);
}

TEST_P(GLPixels, DottedLineAndRectangleDashes)
{
  Add(IRECT(0, 0, 100, 80), [](IGfx& g, const IRECT&) {
    g.DrawDottedLine(COLOR_BLACK, 10, 10, 60, 10, nullptr, 2.f, 10.f);
    g.DrawDottedRect(COLOR_BLACK, IRECT(20, 30, 40, 50), nullptr, 2.f, 10.f);
  });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("dotted"));
  struct Case
  {
    float x, y;
    bool ink;
  } cases[] = {{15, 10, true},  {25, 10, false}, {35, 10, true}, {45, 10, false}, {55, 10, false},
               {25, 30, true},  {35, 30, false}, {40, 35, true}, {40, 45, false}, {35, 50, true},
               {25, 50, false}, {20, 45, true},  {20, 35, false}};
  for (const Case& c : cases)
    EXPECT_EQ(At(c.x, c.y).a > 128, c.ink) << c.x << "," << c.y << " " << Str(At(c.x, c.y));
}

TEST_P(GLPixels, TextIsMeasuredAndRightAlignedInkStaysInside)
{
  ASSERT_TRUE(gfx->LoadFont("Roboto-Regular", RobotoRegular().c_str()));
  const IText text(20.f, COLOR_BLACK, "Roboto-Regular", EAlign::Far, EVAlign::Middle);
  IRECT measured(10, 10, 90, 40);
  const float width = gfx->MeasureText(text, "Vemlor 42", measured);
  EXPECT_GT(width, 40.f);
  EXPECT_LT(width, 120.f);
  const IRECT box(10, 20, 90, 60);
  Add(IRECT(0, 0, 100, 80), [&](IGfx& g, const IRECT&) { g.DrawText(text, "Vemlor 42", box); });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("text"));
  const std::vector<unsigned char> px = gl.ReadWindow();
  int rightmost = -1, inked = 0;
  for (int y = 0; y < gl.Height(); ++y)
    for (int x = 0; x < gl.Width(); ++x)
      if (px[(static_cast<size_t>(y) * gl.Width() + x) * 4 + 3] > 40)
      {
        rightmost = std::max(rightmost, x);
        ++inked;
      }
  EXPECT_GT(inked, 50);
  EXPECT_LE(rightmost, static_cast<int>(box.R * GetParam()));
  EXPECT_GT(rightmost, static_cast<int>((box.R - 10) * GetParam()));
}

TEST_P(GLPixels, SVGRingHasATransparentCentreAndOpacityGivesHalfAlpha)
{
  const ISVG ring = gfx->LoadSVG("ring.svg", static_cast<const void*>(kRing), 0);
  const ISVG disc = gfx->LoadSVG("half_disc.svg", static_cast<const void*>(kHalfDisc), 0);
  ASSERT_TRUE(ring.IsValid());
  ASSERT_TRUE(disc.IsValid());
  Add(IRECT(0, 0, 100, 80), [&](IGfx& g, const IRECT&) {
    g.DrawSVG(ring, IRECT(0, 0, 40, 40));
    g.DrawSVG(disc, IRECT(50, 0, 90, 40));
  });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("svg"));
  EXPECT_EQ(At(20, 20).a, 0) << Str(At(20, 20));
  EXPECT_TRUE(Near(At(20, 6), {0x20, 0x40, 0xC0, 255})) << Str(At(20, 6));
  EXPECT_NEAR(At(70, 20).a, 128, 1) << Str(At(70, 20));
}

INSTANTIATE_TEST_SUITE_P(DrawScale, GLPixels, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });

TEST_P(GLPixels, MultiLineTextDrawsEveryRowInBatchesOfThree)
{
  ASSERT_TRUE(gfx->LoadFont("Roboto-Regular", RobotoRegular().c_str()));
  const IText text(9.f, COLOR_BLACK, "Roboto-Regular", EAlign::Near, EVAlign::Top);
  IRECT box(2, 2, 19, 78); // one word per row
  IRECT empty = box;
  Add(IRECT(0, 0, 100, 80), [&](IGfx& g, const IRECT&) {
    g.DrawMultiLineText(text, "", empty);
    g.DrawMultiLineText(text, "one two saw ten red bag low" /* no dotted letters: one ink band per row */, box);
  });
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG(Name("multiline"));
  // Rows of ink separated by blank pixel rows: one band per text row.
  const std::vector<unsigned char> px = gl.ReadWindow();
  int bands = 0;
  bool inInk = false;
  for (int y = 0; y < gl.Height(); ++y)
  {
    bool ink = false;
    for (int x = 0; x < gl.Width() && !ink; ++x)
      ink = px[(static_cast<size_t>(y) * gl.Width() + x) * 4 + 3] > 100;
    bands += ink && !inInk;
    inInk = ink;
  }
  EXPECT_EQ(bands, 7);
}
