#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "IGfx/Controls/IVRangeSliderControl.h"
#include "IGfx/Controls/IVTrackControlBase.h"
#include "tests/IGfx/Controls/shape_log.h"
#include "tests/IGfx/Controls/extras_test_util.h"
#include "tests/gfx_harness/editor_session.h"

namespace plugkit::gfx::test {
namespace {

TEST(TrackControlsTest, TrackRectanglesDivideTheWidgetAndLoseTheGap)
{
  struct Case
  {
    EDirection dir;
    int n;
    float gap;
    IRECT bounds;
    std::vector<IRECT> tracks;
  };
  const Case cases[] = {
    {EDirection::Vertical, 3, 0.f, IRECT(0, 0, 90, 60), {{0, 0, 30, 60}, {30, 0, 60, 60}, {60, 0, 90, 60}}},
    {EDirection::Vertical, 3, 2.f, IRECT(10, 0, 100, 60), {{10, 0, 38, 58}, {40, 0, 68, 58}, {70, 0, 98, 58}}},
    {EDirection::Horizontal, 2, 0.f, IRECT(0, 0, 100, 40), {{0, 0, 100, 20}, {0, 20, 100, 40}}},
    {EDirection::Horizontal, 2, 2.f, IRECT(0, 10, 100, 50), {{0, 12, 100, 28}, {0, 32, 100, 48}}},
    {EDirection::Vertical, 0, 0.f, IRECT(0, 0, 90, 60), {}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    std::vector<int> params(static_cast<size_t>(c.n), -1);
    auto* t = s.Attach<IVTrackControlBase>(c.bounds, "", PlainStyle(), params, 0, c.dir);
    t->SetTrackGap(c.gap);
    t->OnResize();
    ASSERT_EQ(c.tracks.size(), t->GetTrackRects().size());
    for (size_t i = 0; i < c.tracks.size(); ++i)
      EXPECT_EQ(c.tracks[i], t->GetTrackRects()[i]) << "track " << i << " gap " << c.gap;
  }
}

TEST(TrackControlsTest, ControlWithoutValuesDrawsNoTrackAndFindsNone)
{
  EditorSession s;
  auto* t = s.Attach<IVTrackControlBase>(IRECT(0, 0, 90, 60), "", PlainStyle(), std::vector<int>{}, 0);
  s.recorder.Clear();
  t->DrawWidget(s.G());
  EXPECT_EQ(0, s.recorder.Count("PathFill"));
  EXPECT_EQ(-1, t->GetValIdxForPos(10, 10));
}

TEST(TrackControlsTest, StepCellsStartAtTheValueZeroEnd)
{
  struct Case
  {
    EDirection dir;
    int steps;
    bool zeroStep;
    IRECT bounds;
    std::vector<IRECT> cells;
  };
  const Case cases[] = {
    {EDirection::Vertical,
     4,
     true,
     IRECT(0, 0, 20, 100),
     {{0, 80, 20, 100}, {0, 60, 20, 80}, {0, 40, 20, 60}, {0, 20, 20, 40}, {0, 0, 20, 20}}},
    {EDirection::Vertical,
     4,
     false,
     IRECT(0, 0, 20, 100),
     {{0, 75, 20, 100}, {0, 50, 20, 75}, {0, 25, 20, 50}, {0, 0, 20, 25}}},
    {EDirection::Horizontal, 2, true, IRECT(0, 0, 90, 10), {{60, 0, 90, 10}, {30, 0, 60, 10}, {0, 0, 30, 10}}},
    {EDirection::Horizontal, 0, true, IRECT(0, 0, 90, 10), {}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    auto* t = s.Attach<IVTrackControlBase>(c.bounds, "", PlainStyle(), std::vector<int>{-1}, c.steps, c.dir);
    t->SetZeroValueStepHasBounds(c.zeroStep);
    t->OnResize();
    ASSERT_EQ(c.cells.size(), t->GetStepRects().size()) << c.steps << " zero step " << c.zeroStep;
    for (size_t i = 0; i < c.cells.size(); ++i)
      EXPECT_EQ(c.cells[i], t->GetStepRects()[i]) << "cell " << i;
  }
}

TEST(TrackControlsTest, SteppedTracksLightTheValuesCell)
{
  struct Case
  {
    bool zeroStep;
    double value;
    std::vector<IRECT> handles;
  };
  const Case cases[] = {
    {true, 0., {{0, 80, 20, 100}}},  // value 0 lights the bottom cell
    {false, 0., {}},                 // no cell for 0: no handle
    {true, 0.5, {{0, 40, 20, 60}}},  // the cell holding the value
    {false, 0.6, {{0, 25, 20, 50}}}, // the third of four cells
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    IVStyle style = PlainStyle();
    style.drawFrame = false;
    auto* t = s.Attach<IVTrackControlBase>(IRECT(0, 0, 20, 100), "", style, std::vector<int>{-1}, 4);
    t->SetZeroValueStepHasBounds(c.zeroStep);
    t->OnResize();
    t->SetValue(c.value);
    s.recorder.Clear();
    t->DrawWidget(s.G());
    EXPECT_EQ(c.handles, FilledRects(s.recorder, DEFAULT_FGCOLOR)) << c.value << " zero step " << c.zeroStep;
  }
}

TEST(TrackControlsTest, BaselineFillsBetweenValueAndBaselineWithPeakAtTheValueEnd)
{
  struct Case
  {
    EDirection dir;
    double baseline;
    double value;
    IRECT fill;
    IRECT peak;
  };
  const Case cases[] = {
    {EDirection::Vertical, 0.5, 0.2, {0, 50, 10, 80}, {0, 78, 10, 80}},
    {EDirection::Vertical, 0., 0.2, {0, 80, 10, 100}, {0, 80, 10, 82}},
    {EDirection::Vertical, 0.5, 0.9, {0, 10, 10, 50}, {0, 10, 10, 12}},
    {EDirection::Horizontal, 0.5, 0.2, {20, 0, 50, 10}, {20, 0, 22, 10}},
    {EDirection::Horizontal, 0., 0.2, {0, 0, 20, 10}, {18, 0, 20, 10}},
  };
  for (const Case& c : cases)
  {
    EditorSession s;
    const IRECT bounds = c.dir == EDirection::Vertical ? IRECT(0, 0, 10, 100) : IRECT(0, 0, 100, 10);
    auto* t = s.Attach<IVTrackControlBase>(bounds, "", PlainStyle(), std::vector<int>{-1}, 0, c.dir);
    t->SetBaseValue(c.baseline);
    t->SetPeakSize(2.f);
    t->OnResize();
    t->SetValue(c.value);
    s.recorder.Clear();
    t->DrawWidget(s.G());
    EXPECT_EQ(std::vector<IRECT>{c.fill}, FilledRects(s.recorder, DEFAULT_FGCOLOR)) << c.baseline << " " << c.value;
    EXPECT_EQ(std::vector<IRECT>{c.peak}, FilledRects(s.recorder, DEFAULT_FRCOLOR)) << c.baseline << " " << c.value;
  }
}

TEST(TrackControlsTest, BaselineIsDrawnAcrossTheBackground)
{
  EditorSession s;
  auto* t = s.Attach<IVTrackControlBase>(IRECT(0, 0, 40, 100), "", PlainStyle(), std::vector<int>{-1, -1}, 0);
  t->SetBaseValue(0.25);
  s.recorder.Clear();
  t->DrawBackground(s.G(), t->GetRECT());
  const std::vector<PaintedShape> lines = PaintedShapes(s.recorder);
  ASSERT_EQ(1, CountPainted(lines, DEFAULT_SHCOLOR, false));
  const auto line = std::find_if(lines.begin(), lines.end(), [](const PaintedShape& p) { return !p.fill; });
  EXPECT_EQ(IRECT(0, 75, 40, 75), PathBounds(*line));
}

TEST(TrackControlsTest, PointerFindsTheTrackUnderIt)
{
  EditorSession s;
  EnableHover(s);
  auto* t = s.Attach<IVTrackControlBase>(IRECT(0, 0, 90, 60), "", PlainStyle(), std::vector<int>{0, 1, 2}, 0);
  EXPECT_EQ(0, t->GetValIdxForPos(0, 0));
  EXPECT_EQ(1, t->GetValIdxForPos(30, 59));
  EXPECT_EQ(2, t->GetValIdxForPos(89, 10));
  EXPECT_EQ(-1, t->GetValIdxForPos(90, 10));
  s.Input().Hover(45, 30);
  EXPECT_EQ(1, t->GetMouseOverTrack());
  s.Input().Leave();
  EXPECT_EQ(-1, t->GetMouseOverTrack());
}

// Two handles on a horizontal track from x 10 to 110 (handle size 10 inset).
class RangeSlider : public ::testing::Test
{
protected:
  RangeSlider()
  {
    EnableHover(s);
    slider = s.Attach<IVRangeSliderControl>(IRECT(0, 0, 120, 60), std::vector<int>{-1, -1}, "", PlainStyle(),
                                            EDirection::Horizontal, false, 10.f, 2.f);
    slider->SetValue(0.2, 0);
    slider->SetValue(0.6, 1);
  }

  void DragHandle(int idx, float toX)
  {
    const IRECT h = slider->GetHandleBounds(idx);
    s.Input().Hover(h.MW(), h.MH());
    ASSERT_EQ(idx, slider->GetMouseOverHandle());
    s.Input().Press(h.MW(), h.MH());
    s.Input().DragTo(toX, h.MH());
    s.Input().Release(toX, h.MH());
  }

  EditorSession s;
  IVRangeSliderControl* slider;
};

TEST_F(RangeSlider, HandlesSitEitherSideOfTheSharedTrack)
{
  const IRECT track(10, 28, 110, 32);
  EXPECT_EQ(track, slider->GetTrackRects()[0]);
  EXPECT_EQ(track, slider->GetTrackRects()[1]);
  EXPECT_EQ(IRECT(20, 32, 40, 52), slider->GetHandleBounds(0)); // below, centred on 0.2
  EXPECT_EQ(IRECT(60, 10, 80, 30), slider->GetHandleBounds(1)); // above, centred on 0.6
}

TEST_F(RangeSlider, HandlesStopAtTheirNeighbours)
{
  DragHandle(0, 100.f);
  EXPECT_DOUBLE_EQ(0.6, slider->GetValue(0));
  DragHandle(1, 500.f);
  EXPECT_DOUBLE_EQ(1., slider->GetValue(1));
  DragHandle(1, 0.f);
  EXPECT_DOUBLE_EQ(0.6, slider->GetValue(1));
  DragHandle(0, 40.f);
  EXPECT_NEAR(0.3, slider->GetValue(0), 1e-9); // the pointer's place on the track
}

TEST_F(RangeSlider, FillsTheRangeBetweenHandles)
{
  s.recorder.Clear();
  slider->DrawWidget(s.G());
  EXPECT_EQ(std::vector<IRECT>{IRECT(30, 28, 70, 32)}, FilledRects(s.recorder, DEFAULT_X1COLOR));
}

TEST_F(RangeSlider, PressAwayFromAHandleChangesNothing)
{
  s.Input().Hover(60, 2);
  s.Input().Press(60, 2);
  s.Input().DragTo(100, 2);
  EXPECT_DOUBLE_EQ(0.2, slider->GetValue(0));
  EXPECT_DOUBLE_EQ(0.6, slider->GetValue(1));
}

} // namespace
} // namespace plugkit::gfx::test
