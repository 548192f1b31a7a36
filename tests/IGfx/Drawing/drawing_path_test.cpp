// The drawing API's paths, transforms, bitmap frames and layer rectangles on the recording backend.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "IGfx/IBitmap.h"
#include "IGfx/ILayer.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/gfx_harness/headless_gfx.h"
#include "tests/gfx_harness/recording_control.h"

using namespace plugkit::gfx;
using namespace plugkit::gfx::test;

namespace {
// The recording backend, with layer bitmaps that remember their pixel size.
class LayerRecordingGfx : public HeadlessGfx
{
public:
  using HeadlessGfx::HeadlessGfx;
  APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale, bool) override
  {
    return new APIBitmap(1, width, height, scale, static_cast<float>(drawScale));
  }
};

struct Op
{
  std::string op;
  std::vector<float> args;
};

class DrawingPaths : public ::testing::Test
{
protected:
  explicit DrawingPaths(float scale = 1.f)
    : gfx(delegate, platform, recorder, 200, 100, 60, scale)
  {}

  // The path operations recorded while f ran.
  std::vector<Op> Record(const std::function<void(IGfx&)>& f)
  {
    recorder.Clear();
    f(gfx);
    std::vector<Op> ops;
    for (const DrawCall& c : recorder.Calls())
      if (c.op.rfind("Path", 0) == 0 && c.op != "PathTransformSetMatrix")
        ops.push_back({c.op, c.args});
    return ops;
  }

  static void ExpectOps(const std::vector<Op>& got, const std::vector<Op>& want, const char* name)
  {
    SCOPED_TRACE(name);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
    {
      EXPECT_EQ(got[i].op, want[i].op) << "op " << i;
      for (size_t a = 0; a < want[i].args.size() && a < got[i].args.size(); ++a)
        EXPECT_NEAR(got[i].args[a], want[i].args[a], 1e-4) << got[i].op << " arg " << a;
    }
  }

  FakeDelegate delegate{0};
  HeadlessPlatform platform;
  DrawRecorder recorder;
  LayerRecordingGfx gfx;
};

class DrawingPathsAtScale2 : public DrawingPaths
{
protected:
  DrawingPathsAtScale2()
    : DrawingPaths(2.f)
  {}
};
} // namespace

TEST_F(DrawingPaths, ShapesBuildTheirPaths)
{
  const IRECT r(0, 0, 100, 50);
  struct Case
  {
    const char* name;
    std::function<void(IGfx&)> draw;
    std::vector<Op> ops;
  } cases[] = {
    {"rounded rectangle arcs",
     [&](IGfx& g) { g.PathRoundRect(r, 5, 6, 7, 8); },
     {{"PathMoveTo", {0, 5}},
      {"PathArc", {5, 5, 5, 270, 360, 0}},
      {"PathArc", {94, 6, 6, 0, 90, 0}},
      {"PathArc", {92, 42, 8, 90, 180, 0}},
      {"PathArc", {7, 43, 7, 180, 270, 0}},
      {"PathClose", {}}}},
    {"zero or negative radii give the rectangle",
     [&](IGfx& g) { g.PathRoundRect(r, 0, -1, 0, 0); },
     {{"PathMoveTo", {0, 0}},
      {"PathLineTo", {100, 0}},
      {"PathLineTo", {100, 50}},
      {"PathLineTo", {0, 50}},
      {"PathClose", {}}}},
    {"circle",
     [](IGfx& g) { g.PathCircle(50, 50, 10); },
     {{"PathMoveTo", {50, 40}}, {"PathArc", {50, 50, 10, 0, 360, 0}}, {"PathClose", {}}}},
    {"ellipse with a zero radius adds nothing", [](IGfx& g) { g.PathEllipse(50, 50, 0, 5, 30); }, {}},
    {"radial line up",
     [](IGfx& g) { g.PathRadialLine(50, 50, 0, 0, 10); },
     {{"PathMoveTo", {50, 50}}, {"PathLineTo", {50, 40}}}},
    {"radial line at three o'clock",
     [](IGfx& g) { g.PathRadialLine(50, 50, 90, 5, 10); },
     {{"PathMoveTo", {55, 50}}, {"PathLineTo", {60, 50}}}},
    {"grid lines inside only",
     [](IGfx& g) { g.DrawGrid(COLOR_BLACK, IRECT(0, 0, 100, 40), 25, 1, nullptr, 1); },
     {{"PathClear", {}},
      {"PathMoveTo", {25, 0}},
      {"PathLineTo", {25, 40}},
      {"PathMoveTo", {50, 0}},
      {"PathLineTo", {50, 40}},
      {"PathMoveTo", {75, 0}},
      {"PathLineTo", {75, 40}},
      {"PathStroke", {}}}},
    {"data plot, evenly spaced",
     [](IGfx& g) {
       float ys[] = {0.f, 1.f, 0.5f};
       g.DrawData(COLOR_BLACK, IRECT(10, 0, 110, 40), ys, 3);
     },
     {{"PathClear", {}},
      {"PathMoveTo", {10, 40}},
      {"PathLineTo", {60, 0}},
      {"PathLineTo", {110, 20}},
      {"PathStroke", {}}}},
    {"data plot with x values keeps the first at the left and fills first",
     [](IGfx& g) {
       float ys[] = {0.f, 1.f};
       float xs[] = {0.7f, 0.25f};
       const IColor fill = COLOR_RED;
       g.DrawData(COLOR_BLACK, IRECT(0, 0, 100, 40), ys, 2, xs, nullptr, 1.f, &fill);
     },
     {{"PathClear", {}}, {"PathMoveTo", {0, 40}}, {"PathLineTo", {25, 0}}, {"PathFill", {}}, {"PathStroke", {}}}},
    {"empty data plot draws nothing",
     [](IGfx& g) {
       float ys[] = {0.f};
       g.DrawData(COLOR_BLACK, IRECT(0, 0, 100, 40), ys, 0);
     },
     {}},
    {"vertical line across is truncated to whole units",
     [](IGfx& g) { g.DrawLineAcross(COLOR_BLACK, IRECT(0, 0, 15, 10), EDirection::Vertical, 0.5f); },
     {{"PathClear", {}}, {"PathMoveTo", {7, 0}}, {"PathLineTo", {7, 10}}, {"PathStroke", {}}}},
    {"horizontal line across clamps to the top",
     [](IGfx& g) { g.DrawLineAcross(COLOR_BLACK, IRECT(0, 0, 15, 10), EDirection::Horizontal, 1.5f); },
     {{"PathClear", {}}, {"PathMoveTo", {0, 0}}, {"PathLineTo", {15, 0}}, {"PathStroke", {}}}},
    {"pie slice",
     [](IGfx& g) { g.FillArc(COLOR_BLACK, 10, 10, 5, 0, 90); },
     {{"PathClear", {}},
      {"PathMoveTo", {10, 10}},
      {"PathArc", {10, 10, 5, 0, 90, 0}},
      {"PathClose", {}},
      {"PathFill", {}}}},
  };
  for (const Case& c : cases)
    ExpectOps(Record(c.draw), c.ops, c.name);
  EXPECT_EQ(gfx.NTransformStates(), 0);
}

TEST_F(DrawingPaths, TransformsMultiplyOnTheRightAndRestoreSafely)
{
  gfx.PathTransformRotate(90.f);
  double x = 1, y = 0;
  gfx.GetTransform().TransformPoint(x, y);
  EXPECT_NEAR(x, 0, 1e-12);
  EXPECT_NEAR(y, 1, 1e-12);

  gfx.PathTransformReset(true);
  gfx.PathTransformTranslate(10, 0);
  gfx.PathTransformScale(2);
  x = 1, y = 1;
  gfx.GetTransform().TransformPoint(x, y); // scale acts first
  EXPECT_NEAR(x, 12, 1e-12);
  EXPECT_NEAR(y, 2, 1e-12);

  recorder.Clear();
  gfx.PathTransformReset(true);
  recorder.Clear();
  gfx.PathTransformRestore();
  EXPECT_EQ(recorder.Count("PathTransformSetMatrix"), 0);
  EXPECT_EQ(gfx.GetTransform(), IMatrix());

  gfx.PathTransformSave();
  gfx.PathTransformTranslate(5, 5);
  gfx.PathTransformRestore();
  EXPECT_EQ(gfx.GetTransform(), IMatrix());
  EXPECT_EQ(gfx.NTransformStates(), 0);
}

TEST_F(DrawingPaths, BitmapFramesAreClampedAndOffset)
{
  APIBitmap vertical(1, 60, 200, 1.f, 1.f), horizontal(2, 200, 50, 2.f, 1.f);
  const IBitmap v(&vertical, 4, false), h(&horizontal, 4, true);
  struct Case
  {
    const char* name;
    const IBitmap* bitmap;
    int frame;
    float srcX, srcY;
  } cases[] = {
    {"frame 0 is frame 1", &v, 0, 0, 0}, {"negative frame", &v, -3, 0, 0},     {"frame 2 vertical", &v, 2, 0, 50},
    {"above N is N", &v, 9, 0, 150},     {"frame 3 horizontal", &h, 3, 50, 0},
  };
  for (const Case& c : cases)
  {
    recorder.Clear();
    static_cast<IGfx&>(gfx).DrawBitmap(*c.bitmap, IRECT(0, 0, 10, 10), c.frame);
    ASSERT_EQ(recorder.Count("DrawBitmap"), 1) << c.name;
    EXPECT_EQ(recorder.Only("DrawBitmap")[0].args, (std::vector<float>{c.srcX, c.srcY})) << c.name;
  }
  EXPECT_EQ(h.W(), 100); // pixels over the image scale
}

TEST_F(DrawingPathsAtScale2, LayerRectangleIsPixelAligned)
{
  gfx.StartLayer(nullptr, IRECT(10.3f, 10.3f, 20.6f, 20.6f));
  ILayerPtr layer = gfx.EndLayer();
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->Bounds(), IRECT(10, 10, 21, 21));
  EXPECT_EQ(layer->GetAPIBitmap()->GetWidth(), 22);
  EXPECT_EQ(layer->GetAPIBitmap()->GetHeight(), 22);
  EXPECT_FLOAT_EQ(layer->GetAPIBitmap()->GetDrawScale(), 2.f);
}

TEST_F(DrawingPaths, EndLayerOnAnEmptyStackRestoresTargetAndClip)
{
  recorder.Clear();
  EXPECT_EQ(gfx.EndLayer(), nullptr);
  EXPECT_EQ(recorder.Count("UpdateLayer"), 1);
  const auto clips = recorder.Only("SetClipRegion");
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].rect, gfx.GetClipRECT());
  EXPECT_EQ(gfx.GetTransform(), IMatrix());
  EXPECT_EQ(recorder.Calls().back().op, "PathClear");
}

TEST_F(DrawingPaths, LayerInvalidatesAfterItsControlMoves)
{
  RecordingControl control(IRECT(0, 0, 10, 10));
  gfx.StartLayer(&control, control.GetRECT());
  ILayerPtr layer = gfx.EndLayer();
  EXPECT_TRUE(gfx.CheckLayer(layer));
  control.SetRECT(IRECT(5, 0, 15, 10));
  EXPECT_FALSE(gfx.CheckLayer(layer));
  EXPECT_FALSE(gfx.CheckLayer(layer)); // stays invalid until a new layer is made
  EXPECT_EQ(layer->GetControlRECT(), control.GetRECT());
  EXPECT_FALSE(gfx.CheckLayer(nullptr));
}

TEST_F(DrawingPaths, ClipOutsideTheDrawingAreaClipsEverything)
{
  gfx.StartLayer(nullptr, IRECT(0, 0, 10, 10));
  recorder.Clear();
  gfx.PathClipRegion(IRECT(50, 50, 60, 60));
  const auto clips = recorder.Only("SetClipRegion");
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_FALSE(clips[0].rect.W() > 0.f && clips[0].rect.H() > 0.f);
  gfx.EndLayer();
}

TEST_F(DrawingPaths, TextOfNothingIsNotDrawnOrMeasured)
{
  IRECT bounds(1, 2, 3, 4);
  recorder.Clear();
  EXPECT_EQ(gfx.MeasureText(DEFAULT_TEXT, "", bounds), 0.f);
  EXPECT_EQ(bounds, IRECT(1, 2, 3, 4));
  gfx.DrawText(DEFAULT_TEXT, nullptr, bounds);
  EXPECT_EQ(recorder.Count("DoDrawText"), 0);
  gfx.DrawText(DEFAULT_TEXT, "x", 5.f, 6.f);
  ASSERT_EQ(recorder.Count("DoDrawText"), 1);
  EXPECT_EQ(recorder.Only("DoDrawText")[0].rect, IRECT(5, 6, 5, 6));
}
