// What the overlay, the level labels and the weight histogram draw on the recording backend, and in
// which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "IGfx/IGfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/utils/morph/overlay_fixture.h"
#include "utils/morph/level_labels.h"
#include "utils/morph/weight_histogram.h"

using namespace morph_overlay_test;
using namespace plugkit::gfx;
using namespace plugkit::gfx::test;
using zarvo::morph::fracLabel;
using zarvo::morph::WeightHistogram;

namespace {

// One drawn shape: the path since the last clear, stroked or filled.
struct Shape
{
  std::string op; // "PathStroke", "PathFill" or "DoDrawText"
  IColor color;
  std::vector<std::pair<float, float>> moves; // PathMoveTo positions
  std::vector<std::pair<float, float>> lines; // PathLineTo positions
  std::vector<std::pair<float, float>> path;  // both, in order
  std::vector<bool> pathMoves;                // which of them are moves
  IRECT rect;                                 // text bounds
  std::string text;
  float fontSize = 0.f;
  std::string font;
  bool hasBlend = false;
};

std::vector<Shape> shapes(const DrawRecorder& recorder)
{
  std::vector<Shape> out;
  Shape current;
  for (const DrawCall& c : recorder.Calls())
  {
    if (c.op == "PathClear")
      current = Shape();
    else if (c.op == "PathMoveTo")
    {
      current.moves.emplace_back(c.args[0], c.args[1]);
      current.path.emplace_back(c.args[0], c.args[1]);
      current.pathMoves.push_back(true);
    }
    else if (c.op == "PathLineTo")
    {
      current.lines.emplace_back(c.args[0], c.args[1]);
      current.path.emplace_back(c.args[0], c.args[1]);
      current.pathMoves.push_back(false);
    }
    else if (c.op == "PathStroke" || c.op == "PathFill")
    {
      current.op = c.op;
      current.color = c.color;
      current.hasBlend = c.hasBlend;
      out.push_back(current);
      current = Shape();
    }
    else if (c.op == "DoDrawText")
    {
      Shape t;
      t.op = c.op;
      t.color = c.color;
      t.rect = c.rect;
      t.text = c.text;
      t.fontSize = c.fontSize;
      t.font = c.font;
      out.push_back(t);
    }
  }
  return out;
}

IColor gray(int v) { return IColor(255, v, v, v); }

class OverlayDrawing : public ::testing::Test
{
protected:
  FakeDelegate delegate{0};
  HeadlessPlatform platform;
  DrawRecorder recorder;
  HeadlessGfx gfx{delegate, platform, recorder, 908, 404};
  MorphEngine engine;
  MorphFieldOverlay overlay;
};

TEST_F(OverlayDrawing, GridThenLinksRidgesIsoLinesAndCellBordersInOneStrokeEach)
{
  spreadSixteen(engine);
  engine.edit({.model = 3}); // compact tails: cells at full strength
  engine.edit({.sigma = 0.2});
  overlay.gridStep = 0.1f;
  overlay.rebuildIfNeeded(engine, kPad);
  ASSERT_FALSE(overlay.linkSegments.empty());
  ASSERT_FALSE(overlay.ridgeSegments.empty());
  ASSERT_FALSE(overlay.isoSegments.empty());
  ASSERT_FALSE(overlay.cellBorderSegments.empty());

  recorder.Clear();
  const IBlend blend(EBlend::Default, 0.5f);
  overlay.draw(gfx, &blend);
  const auto drawn = shapes(recorder);

  // Grid: step 90.8 px, the centre (454, 202) in the middle of a square: 10 vertical lines and 4
  // horizontal ones, grey 72 at the default brightness.
  ASSERT_EQ(drawn.size(), 14u + 4u);
  for (size_t k = 0; k < 14; ++k)
  {
    EXPECT_EQ(drawn[k].color, gray(72));
    EXPECT_TRUE(drawn[k].hasBlend);
  }
  EXPECT_FLOAT_EQ(drawn[0].moves[0].first, 454.f + 45.4f);
  EXPECT_FLOAT_EQ(drawn[0].moves[0].second, 0.f);
  EXPECT_FLOAT_EQ(drawn[0].lines[0].second, 404.f);
  EXPECT_FLOAT_EQ(drawn[5].moves[0].first, 454.f - 45.4f);
  EXPECT_FLOAT_EQ(drawn[10].moves[0].second, 202.f + 45.4f);
  EXPECT_FLOAT_EQ(drawn[10].lines[0].first, 908.f);

  const Shape& links = drawn[14];
  const Shape& ridges = drawn[15];
  const Shape& iso = drawn[16];
  const Shape& cells = drawn[17];
  EXPECT_EQ(links.color, gray(94));
  EXPECT_EQ(ridges.color, gray(94));
  EXPECT_EQ(iso.color, gray(94));
  EXPECT_EQ(cells.color, gray(static_cast<int>(std::lround(overlay.cellBorderStrength * (94 - 45) + 45))));
  EXPECT_TRUE(iso.hasBlend);

  // Iso lines: the segments joined into lines (a few paths instead of one per segment) with the
  // points that add nothing visible left out: every segment end lies within 0.15 px of the drawn
  // line, give or take the few hundredths by which a crossing refined from either cell differs.
  EXPECT_LT(iso.moves.size() * 10, overlay.isoSegments.size());
  EXPECT_LT(iso.lines.size(), overlay.isoSegments.size());
  std::vector<std::array<float, 4>> pieces;
  for (size_t k = 1; k < iso.path.size(); ++k)
  {
    if (!iso.pathMoves[k])
      pieces.push_back({iso.path[k - 1].first, iso.path[k - 1].second, iso.path[k].first, iso.path[k].second});
  }
  const auto distance = [&](float x, float y) {
    float best = 1e9f;
    for (const auto& [ax, ay, bx, by] : pieces)
    {
      const float dx = bx - ax, dy = by - ay;
      const float len2 = dx * dx + dy * dy;
      const float t = len2 > 0.f ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.f, 1.f) : 0.f;
      best = std::min(best, std::hypot(ax + t * dx - x, ay + t * dy - y));
    }
    return best;
  };
  float worst = 0.f;
  for (size_t k = 0; k < overlay.isoSegments.size(); k += 7) // a sample keeps the test quick
  {
    const auto& seg = overlay.isoSegments[k];
    worst = std::max(worst, distance(seg.u0 * 908.f, 404.f - seg.v0 * 404.f));
    worst = std::max(worst, distance(seg.u1 * 908.f, 404.f - seg.v1 * 404.f));
  }
  EXPECT_LT(worst, 0.25f);
  EXPECT_EQ(cells.moves.size(), overlay.cellBorderSegments.size());

  // Dotted lines: dashes of 3 px with gaps of 3 px along each link.
  const auto& link = overlay.linkSegments[0];
  const float x1 = link.u0 * 908.f, y1 = 404.f - link.v0 * 404.f;
  const float x2 = link.u1 * 908.f, y2 = 404.f - link.v1 * 404.f;
  const int n = static_cast<int>(std::round(std::hypot(x2 - x1, y2 - y1) / 3.f));
  EXPECT_EQ(static_cast<int>(links.moves.size()) >= n / 2, true);
  EXPECT_FLOAT_EQ(links.moves[0].first, x1);
  EXPECT_FLOAT_EQ(links.moves[0].second, y1);
  EXPECT_NEAR(links.lines[0].first, x1 + (x2 - x1) / n, 1e-3);
  EXPECT_NEAR(links.moves[1].first, x1 + 2.f * (x2 - x1) / n, 1e-3);
}

TEST_F(OverlayDrawing, BrightnessHidesGridFirstThenEverything)
{
  placePoints(engine, {{0.3, 0.4}, {0.7, 0.6}});
  overlay.rebuildIfNeeded(engine, kPad);
  const struct
  {
    const char* name;
    float brightness;
    bool grid, lines;
  } cases[] = {
    {"default", 0.42f, true, true},
    {"grid too faint", 0.0015f, false, true},
    {"at the threshold", 0.001f, false, false},
    {"off", 0.f, false, false},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    overlay.lineBrightness = c.brightness;
    recorder.Clear();
    overlay.draw(gfx, nullptr);
    const auto drawn = shapes(recorder);
    int grid = 0, lines = 0;
    for (const Shape& s : drawn)
      (s.moves.size() == 1 && s.lines.size() == 1 && s.color == gray(overlay.gridGray()) ? grid : lines)++;
    EXPECT_EQ(grid > 0, c.grid);
    EXPECT_EQ(lines > 0, c.lines);
  }
}

TEST_F(OverlayDrawing, IsoSettingZeroKeepsOnlyTheGrid)
{
  placePoints(engine, {{0.3, 0.4}, {0.7, 0.6}});
  overlay.setIsoLevels(0);
  overlay.rebuildIfNeeded(engine, kPad);
  recorder.Clear();
  overlay.draw(gfx, nullptr);
  const auto drawn = shapes(recorder);
  ASSERT_FALSE(drawn.empty());
  for (const Shape& s : drawn)
    EXPECT_EQ(s.color, gray(72));
}

TEST(LevelLabels, FracLabelTable)
{
  const struct
  {
    float v;
    const char* text;
  } cases[] = {
    {0.f, "0"},   {-0.3f, "0"},   {1.f, "1"},       {1.7f, "1"},      {0.5f, ".5"},
    {0.1f, ".1"}, {0.25f, ".25"}, {1.f / 3, ".33"}, {2.f / 3, ".67"}, {0.05f, ".05"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fracLabel(c.v), c.text) << c.v;
}

TEST_F(OverlayDrawing, LevelLabelsAreSmallBoxesWithTheLevel)
{
  placePoints(engine, {{0.3, 0.5}, {0.7, 0.5}});
  overlay.rebuildIfNeeded(engine, kPad);
  ASSERT_EQ(overlay.contourLabels.size(), 2u);
  const IRECT pad(0, 0, 908, 404);
  IText padText(14.f, COLOR_WHITE, "Roboto-Regular", EAlign::Near, EVAlign::Top);
  const IColor background(255, 20, 22, 30);

  recorder.Clear();
  zarvo::morph::drawLevelLabels(gfx, overlay, pad, padText, background);
  const auto drawn = shapes(recorder);
  ASSERT_EQ(drawn.size(), 4u);
  for (size_t k = 0; k < 2; ++k)
  {
    const auto& label = overlay.contourLabels[k];
    const float x = label.u * 908.f, y = 404.f - label.v * 404.f;
    EXPECT_EQ(drawn[2 * k].op, "PathFill");
    EXPECT_EQ(drawn[2 * k].color, background);
    const Shape& text = drawn[2 * k + 1];
    EXPECT_EQ(text.text, ".75");
    EXPECT_EQ(text.color, gray(94));
    EXPECT_FLOAT_EQ(text.fontSize, 12.f);
    EXPECT_FLOAT_EQ(text.rect.L, x - 8.f);
    EXPECT_FLOAT_EQ(text.rect.R, x + 8.f);
    EXPECT_FLOAT_EQ(text.rect.T, y - 6.f);
    EXPECT_FLOAT_EQ(text.rect.B, y + 6.f);
  }

  for (const auto& hide :
       {+[](MorphFieldOverlay& o) { o.lineBrightness = 0.f; }, +[](MorphFieldOverlay& o) { o.showLabels = false; },
        +[](MorphFieldOverlay& o) { o.showIsoLines = false; }})
  {
    MorphFieldOverlay copy = overlay;
    hide(copy);
    recorder.Clear();
    zarvo::morph::drawLevelLabels(gfx, copy, pad, padText, background);
    EXPECT_TRUE(recorder.Calls().empty());
  }
}

class HistogramDrawing : public OverlayDrawing
{
protected:
  // n active user points across the pad, the morph position on point `at`.
  void activate(int n)
  {
    for (size_t i = 0; i < zarvo::morph::kNumPoints; ++i)
      engine.edit({.point = i, .active = false});
    for (int i = 1; i <= n; ++i)
    {
      engine.edit({.point = static_cast<size_t>(i), .active = true});
      engine.edit({.point = static_cast<size_t>(i), .x = 0.05 + 0.9 * (i - 1) / 16.0, .y = (i % 2) ? 0.3 : 0.7});
    }
  }
  std::vector<Shape> draw(double x, double y)
  {
    recorder.Clear();
    WeightHistogram::draw(gfx, kPad, engine, x, y, overlay, style);
    return shapes(recorder);
  }

  WeightHistogram::Style style{IText(14.f, COLOR_WHITE, "Roboto-Regular"), IColor(255, 100, 100, 100),
                               IColor(255, 20, 22, 30), "T", "materialdesignicons-webfont.ttf"};
};

TEST_F(HistogramDrawing, NoActivePointDrawsNothing)
{
  activate(0);
  EXPECT_TRUE(draw(0.5, 0.5).empty());
}

TEST_F(HistogramDrawing, TenPointsHaveOneLabelRowElevenTwo)
{
  // Pad height 404: gap (404 - 273) / 6, box 168 x 89 at (6, 52 + gap).
  const float gap = (404.f - 273.f) / 6.f;
  const float boxB = 52.f + gap + 89.f;
  for (const int n : {10, 11})
  {
    SCOPED_TRACE(std::to_string(n) + " points");
    activate(n);
    engine.edit({.focus = 3}); // weights: point 3 alone
    const auto drawn = draw(0.5, 0.5);

    const auto layout = WeightHistogram::layout(kPad, n, 14.f);
    const float band = n < 11 ? 20.f : 2.f * 14.f + 0.5f;
    EXPECT_FLOAT_EQ(layout.baseline, boxB - band);
    EXPECT_FLOAT_EQ(layout.fullHeight, 89.f - band);
    EXPECT_FLOAT_EQ(layout.x0, 27.f);

    // Panel, five reference lines, then bar and label for each point, then five reference labels.
    ASSERT_EQ(drawn.size(), 1u + 5u + 2u * n + 5u);
    EXPECT_EQ(drawn[0].op, "PathFill");
    EXPECT_EQ(drawn[0].color, IColor(210, 20, 22, 30));
    EXPECT_FLOAT_EQ(drawn[0].moves[0].first, 1.f);
    for (size_t k = 1; k <= 5; ++k)
      EXPECT_EQ(drawn[k].color, IColor(255, 130, 130, 130));
    EXPECT_FLOAT_EQ(drawn[5].moves[0].second, layout.baseline - layout.fullHeight); // level 1
    const float pitch = (174.f - 27.f) / static_cast<float>(n);
    for (int k = 0; k < n; ++k)
    {
      const Shape& bar = drawn[static_cast<size_t>(6 + 2 * k)];
      const Shape& label = drawn[static_cast<size_t>(7 + 2 * k)];
      const float cx = 27.f + (k + 0.5f) * pitch;
      const float top = bar.moves[0].second;
      EXPECT_FLOAT_EQ(top, k == 2 ? layout.baseline - layout.fullHeight : layout.baseline) << "bar " << k;
      EXPECT_FLOAT_EQ(bar.moves[0].first, cx - 0.5f * std::min(24.f, pitch - 6.f));
      EXPECT_EQ(label.text, std::to_string(k + 1));
      if (n < 11)
      {
        EXPECT_FLOAT_EQ(label.rect.T, layout.baseline);
        EXPECT_FLOAT_EQ(label.rect.B, layout.baseline + 20.f);
        EXPECT_NEAR(label.rect.W(), pitch, 1e-4);
      }
      else
      {
        const float rowTop = layout.baseline + (k % 2) * 14.5f;
        EXPECT_FLOAT_EQ(label.rect.T, rowTop);
        EXPECT_FLOAT_EQ(label.rect.B, rowTop + 14.f);
        EXPECT_NEAR(label.rect.W(), 1.8f * pitch, 1e-4);
      }
    }
    const Shape& half = drawn[drawn.size() - 3];
    EXPECT_EQ(half.text, ".5");
    EXPECT_FLOAT_EQ(half.fontSize, 0.7f * 14.f);
    EXPECT_FLOAT_EQ(half.rect.R, 25.f);
    EXPECT_FLOAT_EQ(half.rect.MH(), layout.baseline - 0.5f * layout.fullHeight);
  }
}

TEST_F(HistogramDrawing, TeleportBarComesFirstWithTheGlyphInTheLowerRow)
{
  activate(11);
  engine.edit({.point = 0, .active = true});
  const auto drawn = draw(0.3, 0.6);
  const Shape& label = drawn[7];
  EXPECT_EQ(label.text, "T");
  EXPECT_EQ(label.font, "materialdesignicons-webfont.ttf");
  const auto layout = WeightHistogram::layout(kPad, 12, 14.f);
  EXPECT_FLOAT_EQ(label.rect.T, layout.baseline + 14.5f);
  EXPECT_EQ(drawn[9].text, "1");
  EXPECT_FLOAT_EQ(drawn[9].rect.T, layout.baseline) << "the first numbered label in the top row";
}

TEST_F(HistogramDrawing, BarsShowTheBlendWeightsAtTheMorphPosition)
{
  activate(4);
  const auto drawn = draw(0.2, 0.5);
  const auto layout = WeightHistogram::layout(kPad, 4, 14.f);
  zarvo::morph::Scales scales{};
  engine.computeScales(engine.editState(), scales);
  zarvo::morph::Weights w{};
  engine.computeWeightsInto(engine.editState(), 0.2, 0.5, w, scales, true, 1.0);
  for (int k = 0; k < 4; ++k)
  {
    const float top = drawn[static_cast<size_t>(6 + 2 * k)].moves[0].second;
    EXPECT_NEAR(layout.baseline - top, w[static_cast<size_t>(k + 1)] * layout.fullHeight, 1e-3);
  }
}

} // namespace
