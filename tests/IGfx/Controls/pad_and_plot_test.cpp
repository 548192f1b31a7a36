#include <gtest/gtest.h>

#include <vector>

#include "IGfx/Controls/IVPlotControl.h"
#include "IGfx/Controls/IVXYPadControl.h"
#include "IGfx/IBitmap.h"
#include "IGfx/ILayer.h"
#include "tests/IGfx/Controls/extras_test_util.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

TEST(XYPadTest, DragSetsBothValuesClampedWithOriginAtBottomLeft)
{
  struct Case
  {
    float x, y;
    double vx, vy;
  };
  const Case cases[] = {
    {10, 110, 0., 0.},   // bottom-left corner of the bounds
    {110, 10, 1., 1.},   // top-right
    {60, 85, 0.5, 0.25}, // inside
    {-50, 400, 0., 0.},  // beyond: pinned
    {500, -20, 1., 1.},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    s.dlg.GetParam(0)->InitDouble("x", 0.5, 0., 1., 0.001);
    s.dlg.GetParam(1)->InitDouble("y", 0.5, 0., 1., 0.001);
    auto* pad = s.Attach<IVXYPadControl>(IRECT(10, 10, 110, 110), std::vector<int>{0, 1}, "", PlainStyle());
    s.Input().Press(60, 60);
    s.Input().DragTo(c.x, c.y);
    EXPECT_DOUBLE_EQ(c.vx, pad->GetValue(0)) << c.x << "," << c.y;
    EXPECT_DOUBLE_EQ(c.vy, pad->GetValue(1)) << c.x << "," << c.y;
    EXPECT_DOUBLE_EQ(c.vx, s.dlg.GetParam(0)->Value());
    EXPECT_DOUBLE_EQ(c.vy, s.dlg.GetParam(1)->Value());
    s.Input().Release(c.x, c.y);
    EXPECT_FALSE(pad->GetMouseDown());
  }
}

TEST(XYPadTest, HandleSitsAtTheValuesInTheHandleArea)
{
  struct Case
  {
    bool clips;
    IRECT handle;
  };
  // Values (0, 0): bottom-left of the area; radius 10.
  const Case cases[] = {{true, IRECT(0, 100, 20, 120)}, {false, IRECT(10, 90, 30, 110)}};
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* pad = s.Attach<IVXYPadControl>(IRECT(10, 10, 110, 110), std::vector<int>{-1, -1}, "", PlainStyle(), 10.f,
                                         c.clips, true);
    EXPECT_EQ(c.handle, pad->GetHandleBounds()) << c.clips;
  }
}

TEST(XYPadTest, HidesTheCursorWhileDraggingWhenTheStyleAsks)
{
  EditorSession s;
  IVStyle style = PlainStyle();
  style.hideCursor = true;
  s.Attach<IVXYPadControl>(IRECT(10, 10, 110, 110), std::vector<int>{-1, -1}, "", style);
  s.Input().Press(60, 60);
  s.Input().Release(60, 60);
  const std::vector<std::pair<bool, bool>> hides{{true, false}, {false, true}};
  EXPECT_EQ(hides, s.platform.cursorHides);
}

// Plots over (0, 0, 100, 120): vertical grid step 10, plot rectangle (0, 10, 100, 110).
TEST(PlotTest, MinimumDrawsAtTheBottomAndMaximumAtTheTop)
{
  struct Case
  {
    double value;
    float y;
  };
  const Case cases[] = {{-1., 110.f}, {1., 10.f}, {0., 60.f}, {2., -40.f}};
  for (const Case& c : cases)
  {
    EditorSession s;
    IVPlotControl::Plot plot{COLOR_RED, [&c](double) { return c.value; }};
    auto* p = s.Attach<IVPlotControl>(IRECT(0, 0, 100, 120), std::vector<IVPlotControl::Plot>{plot}, 11, "",
                                      PlainStyle(), -1.f, 1.f);
    EXPECT_EQ(IRECT(0, 10, 100, 110), p->GetPlotBounds());
    s.recorder.Clear();
    p->Draw(s.G());
    int points = 0;
    for (const PaintedShape& shape : PaintedShapes(s.recorder))
    {
      if (shape.fill || !(shape.color == COLOR_RED))
        continue;
      for (const DrawCall& call : shape.path)
      {
        EXPECT_NEAR(c.y, call.args[1], 1e-3) << c.value;
        ++points;
      }
    }
    EXPECT_EQ(11, points) << c.value;
  }
}

TEST(PlotTest, DegenerateInputsDrawGridAndFrameWithoutDividingByZero)
{
  struct Case
  {
    int points;
    float min, max;
    int curvePoints;
    float y; // where the single or flat curve lies
  };
  const Case cases[] = {{0, -1.f, 1.f, 0, 0.f}, {1, -1.f, 1.f, 1, 60.f}, {5, 0.5f, 0.5f, 5, 60.f}};
  for (const Case& c : cases)
  {
    EditorSession s;
    std::vector<double> xs;
    IVPlotControl::Plot plot{COLOR_RED, [&xs](double x) {
                               xs.push_back(x);
                               return 0.;
                             }};
    IVStyle style = PlainStyle();
    auto* p = s.Attach<IVPlotControl>(IRECT(0, 0, 100, 120), std::vector<IVPlotControl::Plot>{plot}, c.points, "",
                                      style, c.min, c.max);
    s.recorder.Clear();
    p->Draw(s.G());
    int curve = 0;
    for (const PaintedShape& shape : PaintedShapes(s.recorder))
    {
      if (shape.fill || !(shape.color == COLOR_RED))
        continue;
      for (const DrawCall& call : shape.path)
      {
        EXPECT_NEAR(c.y, call.args[1], 1e-3) << c.points;
        ++curve;
      }
    }
    EXPECT_EQ(c.curvePoints, curve) << c.points;
    EXPECT_GT(CountPainted(PaintedShapes(s.recorder), DEFAULT_SHCOLOR, false), 0) << "grid";
    EXPECT_EQ(1, CountPainted(PaintedShapes(s.recorder), DEFAULT_FRCOLOR, false)) << "frame";
    if (c.points == 1)
    {
      EXPECT_EQ(std::vector<double>{0.}, xs) << "a single point is the function at 0";
    }
  }
}

// The recording backend with layer bitmaps, so that layers are kept.
class LayerGfx : public HeadlessGfx
{
public:
  using HeadlessGfx::HeadlessGfx;
  APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale, bool) override
  {
    return new APIBitmap(1, width, height, scale, static_cast<float>(drawScale));
  }
};

TEST(PlotTest, LayerIsReusedUntilInvalidated)
{
  FakeDelegate delegate{0};
  HeadlessPlatform platform;
  DrawRecorder recorder;
  LayerGfx g(delegate, platform, recorder, 200, 200);
  int evaluations = 0;
  IVPlotControl::Plot plot{COLOR_RED, [&evaluations](double x) {
                             ++evaluations;
                             return x;
                           }};
  auto* p = new IVPlotControl(IRECT(0, 0, 100, 120), {plot}, 8, "", PlainStyle(), 0.f, 1.f, true);
  g.AttachControl(p);

  p->Draw(g);
  EXPECT_EQ(8, evaluations);
  p->Draw(g);
  p->Draw(g);
  EXPECT_EQ(8, evaluations) << "the cached layer is drawn again";

  p->SetTargetAndDrawRECTs(IRECT(0, 0, 80, 120));
  p->OnResize();
  p->Draw(g);
  EXPECT_EQ(16, evaluations) << "a resized control draws a new layer";

  p->AddPlotFunc(COLOR_BLUE, [](double) { return 0.5; });
  p->Draw(g);
  EXPECT_EQ(24, evaluations) << "a new plot is drawn into a new layer";
}

} // namespace
} // namespace plugkit::gfx::test
