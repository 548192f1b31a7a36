// The morph field overlay, its level labels and the weight histogram drawn by the NanoVG backend over
// a field of points, at draw scales 1 and 2, written as PNG files for review, with pixel probes.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "utils/morph/level_labels.h"
#include "utils/morph/morph_engine.h"
#include "utils/morph/morph_field_overlay.h"
#include "utils/morph/weight_histogram.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;
using plugkit::gfx::test::FakeDelegate;
using zarvo::morph::MorphEngine;
using zarvo::morph::MorphFieldOverlay;
using zarvo::morph::WeightHistogram;

namespace {

constexpr IRECT kPad{0.f, 0.f, 908.f, 404.f};
constexpr IColor kBackground{255, 60, 60, 60};
constexpr IColor kAccent{255, 95, 55, 200};
constexpr IColor kHover{255, 100, 100, 100};

// Sixteen user points on a loose lattice and the teleport point off centre.
void placePoints(MorphEngine& engine)
{
  const double xs[4] = {0.11, 0.37, 0.64, 0.88};
  const double ys[4] = {0.14, 0.38, 0.62, 0.86};
  for (size_t i = 1; i <= 16; ++i)
  {
    const size_t col = (i - 1) % 4;
    const size_t row = (i - 1) / 4;
    engine.edit({.point = i, .active = true});
    engine.edit({.point = i, .x = xs[col] + ((row % 2) ? 0.05 : -0.03), .y = ys[row] + ((col % 2) ? 0.04 : -0.02)});
  }
  engine.edit({.point = 0, .active = true});
  engine.edit({.point = 0, .x = 0.52, .y = 0.47});
}

class MorphOverlayGL : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    g = std::make_unique<OffscreenGfx>(delegate, gl, 908, 404, GetParam());
    const std::string roboto = std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf";
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", roboto.c_str()));
    const std::string icons = std::string(VEMLOR_NPM_DIR) + "/@mdi/font/fonts/materialdesignicons-webfont.ttf";
    g->LoadFont("materialdesignicons-webfont.ttf", icons.c_str());
    placePoints(engine);
    g->AttachControl(new LambdaControl(kPad, [this](IGfx& gfx, const IRECT& r) { drawPad(gfx, r); }));
  }
  void TearDown() override { g.reset(); }

  // What the pad draws of the field: background, overlay, labels, histogram in editing mode, points.
  void drawPad(IGfx& gfx, const IRECT& r)
  {
    gfx.FillRect(kBackground, r);
    overlay.rebuildIfNeeded(engine, r);
    overlay.draw(gfx, nullptr);
    const IText padText(14.f, IColor(255, 240, 240, 240), "Roboto-Regular");
    zarvo::morph::drawLevelLabels(gfx, overlay, r, padText, kBackground);
    if (withHistogram)
    {
      const WeightHistogram::Style style{padText, kHover, kBackground, "\xF3\xB0\x9E\x95",
                                         "materialdesignicons-webfont.ttf"};
      WeightHistogram::draw(gfx, r, engine, 0.45, 0.55, overlay, style);
    }
    if (!withPoints)
      return;
    for (size_t i = 0; i < zarvo::morph::kNumPoints; ++i)
    {
      const auto& p = engine.editState().points[i];
      const float radius = i == 0 ? 15.f : 18.f;
      const float x = std::clamp(r.L + static_cast<float>(p.x) * r.W(), r.L + radius, r.R - radius);
      const float y = std::clamp(r.B - static_cast<float>(p.y) * r.H(), r.T + radius, r.B - radius);
      gfx.FillCircle(kAccent, x, y, radius);
      gfx.DrawCircle(kBackground, x, y, radius);
      const IRECT square(x - radius, y - radius, x + radius, y + radius);
      if (i == 0)
        gfx.DrawText(IText(14.f, COLOR_WHITE, "materialdesignicons-webfont.ttf"), "\xF3\xB0\x9E\x95", square);
      else
        gfx.DrawText(padText, std::to_string(i).c_str(), square);
    }
  }

  void frame()
  {
    g->SetAllControlsDirty();
    g->Frame();
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  // The brightest grey in the 3 x 3 device pixels around a point.
  int Brightest(float x, float y)
  {
    int best = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
      {
        const RGBA p = gl.Probe(static_cast<int>(x * GetParam()) + dx, static_cast<int>(y * GetParam()) + dy);
        best = std::max(best, (p.r + p.g + p.b) / 3);
      }
    return best;
  }
  std::string Name(const std::string& what) { return what + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  FakeDelegate delegate{2};
  std::unique_ptr<OffscreenGfx> g;
  MorphEngine engine;
  MorphFieldOverlay overlay;
  bool withPoints = true;
  bool withHistogram = false;
};

TEST_P(MorphOverlayGL, FieldsOfEveryModel)
{
  const struct
  {
    uint32_t model;
    double sigma;
    const char* name;
  } fields[] = {
    {0, 1.0, "morph_overlay_model0"}, {1, 1.0, "morph_overlay_model1"}, {1, 0.2, "morph_overlay_model1_cells"},
    {2, 0.6, "morph_overlay_model2"}, {3, 1.0, "morph_overlay_model3"}, {4, 1.0, "morph_overlay_model4"},
  };
  for (const auto& f : fields)
  {
    SCOPED_TRACE(f.name);
    engine.edit({.model = f.model});
    engine.edit({.sigma = f.sigma});
    withHistogram = f.model == 1 && f.sigma == 1.0;
    frame();
    EXPECT_FALSE(overlay.isoSegments.empty());
    gl.WritePNG(Name(f.name));
  }
}

TEST_P(MorphOverlayGL, AnIsoLineShowsInTheLineGrey)
{
  withPoints = false;
  overlay.gridStep = 1.f; // one square: no guide lines inside the pad
  overlay.showLinks = overlay.showRidges = false;
  engine.edit({.model = 1});
  frame();

  // A segment of the middle level away from the pad's edges.
  const MorphFieldOverlay::Segment* probe = nullptr;
  for (const auto& s : overlay.isoSegments)
  {
    const float x = 0.5f * (s.u0 + s.u1) * 908.f;
    const float y = 404.f - 0.5f * (s.v0 + s.v1) * 404.f;
    if (x > 100.f && x < 800.f && y > 100.f && y < 300.f)
    {
      probe = &s;
      break;
    }
  }
  ASSERT_NE(probe, nullptr);
  const float x = 0.5f * (probe->u0 + probe->u1) * 908.f;
  const float y = 404.f - 0.5f * (probe->v0 + probe->v1) * 404.f;
  const int lit = Brightest(x, y);
  EXPECT_GE(lit, 80) << "line grey 94 over background 60";
  EXPECT_LE(lit, 100);
  const RGBA p = At(x, y);
  EXPECT_LE(std::abs(p.r - p.b), 2) << "grey, not tinted";

  overlay.showIsoLines = false;
  frame();
  EXPECT_LE(Brightest(x, y), 62) << "nothing else drawn there";

  overlay.showIsoLines = true;
  overlay.lineBrightness = 1.f; // grey 162
  frame();
  EXPECT_GE(Brightest(x, y), 130);
  gl.WritePNG(Name("morph_overlay_probe"));
}

INSTANTIATE_TEST_SUITE_P(Scales, MorphOverlayGL, ::testing::Values(1.f, 2.f),
                         [](const ::testing::TestParamInfo<float>& info) {
                           return "x" + std::to_string(static_cast<int>(info.param));
                         });

} // namespace
