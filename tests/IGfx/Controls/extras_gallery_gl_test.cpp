// The track controls, sliders, slide switch, radio and menu buttons, XY pad and plot drawn by the
// NanoVG backend at draw scales 1 and 2, written as PNG files for review, with a few pixel checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "IGfx/Controls/IVMenuButtonControl.h"
#include "IGfx/Controls/IVPlotControl.h"
#include "IGfx/Controls/IVRadioButtonControl.h"
#include "IGfx/Controls/IVRangeSliderControl.h"
#include "IGfx/Controls/IVSlideSwitchControl.h"
#include "IGfx/Controls/IVSliderControl.h"
#include "IGfx/Controls/IVTrackControlBase.h"
#include "IGfx/Controls/IVXYPadControl.h"
#include "IPlugin/IPluginParameter.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using plugkit::gfx::test::FakeDelegate;

namespace {

using ClockedGfx = ClockedOffscreenGfx;

class ExtrasGallery : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    delegate.GetParam(0)->InitEnum("mode", 1, {"LP", "HP", "BP"});
    delegate.GetParam(0)->Set(1.);
    delegate.GetParam(1)->InitDouble("cutoff", 440., 20., 20000., 1., "Hz");
    delegate.GetParam(1)->Set(440.);
    g = std::make_unique<ClockedGfx>(delegate, gl, 500, 300, GetParam());
    const std::string roboto = std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf";
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", roboto.c_str()));
  }
  void TearDown() override { g.reset(); }

  void Run(int n)
  {
    for (int i = 0; i < n; ++i)
    {
      g->nowMs += 16.;
      g->Frame();
    }
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  FakeDelegate delegate{4};
  std::unique_ptr<ClockedGfx> g;
};

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

} // namespace

TEST_P(ExtrasGallery, EveryControl)
{
  g->AttachPanelBackground(IPattern(IColor::FromHSLA(0.6f, 0.25f, 0.22f, 1.f)));
  IVStyle style;
  style.labelText.mFGColor = COLOR_WHITE;
  style.valueText.mFGColor = COLOR_WHITE;
  style.colorSpec.SetColor(EVColor::X1, IColor(255, 240, 170, 60));

  auto* tracks = new IVTrackControlBase(IRECT(10, 10, 130, 130), "Tracks", style, {-1, -1, -1, -1}, 0,
                                        EDirection::Vertical, {"a", "b", "c", "d"});
  tracks->SetTrackGap(2.f);
  tracks->SetPeakSize(3.f);
  g->AttachControl(tracks);
  const double trackValues[] = {0.2, 0.5, 0.8, 0.35};
  for (int i = 0; i < 4; ++i)
    tracks->SetValue(trackValues[i], i);
  tracks->SetHighlightedTrack(2);

  auto* steps = new IVTrackControlBase(IRECT(140, 10, 220, 130), "Steps", style, {-1, -1, -1}, 4);
  steps->SetTrackGap(2.f);
  g->AttachControl(steps);
  steps->SetValue(0., 0);
  steps->SetValue(0.5, 1);
  steps->SetValue(1., 2);

  auto* baseline =
    new IVTrackControlBase(IRECT(230, 10, 330, 130), "Baseline", style, {-1, -1, -1}, 0, EDirection::Horizontal);
  baseline->SetBaseValue(0.5);
  baseline->SetTrackGap(3.f);
  g->AttachControl(baseline);
  baseline->SetValue(0.2, 0);
  baseline->SetValue(0.9, 1);
  baseline->SetValue(0.5, 2);

  auto* range = new IVRangeSliderControl(IRECT(340, 10, 490, 70), {-1, -1, -1}, "Range", style, EDirection::Horizontal,
                                         false, 6.f, 2.f);
  g->AttachControl(range);
  range->SetValue(0.1, 0);
  range->SetValue(0.45, 1);
  range->SetValue(0.8, 2);

  g->AttachControl(new IVSliderControl(IRECT(340, 75, 400, 185), 1, "", style, true, EDirection::Vertical));
  auto* hslider = new IVSliderControl(IRECT(405, 75, 490, 130), nullptr, "Mix", style, false, EDirection::Horizontal,
                                      4., 7.f, 3.f, true);
  g->AttachControl(hslider);
  hslider->SetValue(0.6);

  IVStyle round = style;
  round.roundness = 1.f;
  auto* slide =
    new IVSlideSwitchControl(IRECT(10, 140, 110, 185), nullptr, "Slide", round, true, EDirection::Horizontal, 2, 0);
  g->AttachControl(slide);
  g->AttachControl(new IVRadioButtonControl(IRECT(120, 140, 220, 230), nullptr, {"Low", "Mid", "High"}, "Radio", style,
                                            EVShape::Ellipse, EDirection::Vertical, 8.f));
  g->AttachControl(new IVMenuButtonControl(IRECT(230, 140, 330, 185), 0, "Menu", style));

  auto* pad = new IVXYPadControl(IRECT(10, 190, 110, 290), {2, 3}, "", style, 8.f);
  g->AttachControl(pad);
  pad->SetValue(0.7, 0);
  pad->SetValue(0.3, 1);

  IVStyle plotStyle = style;
  plotStyle.showLabel = false;
  auto* plot = new IVPlotControl(IRECT(230, 190, 490, 290),
                                 {{IColor(255, 240, 170, 60), [](double x) { return std::sin(x * 6.283185); }},
                                  {IColor(255, 90, 200, 240), [](double x) { return std::cos(x * 6.283185); }}},
                                 64, "", plotStyle, -1.f, 1.f, true);
  g->AttachControl(plot);

  Run(2);
  gl.WritePNG(Name("extras1_gallery"));

  // The highlighted third track's bar in the extra-1 colour, the first track's bar in the foreground.
  const IRECT t2 = tracks->GetTrackRects()[2];
  const RGBA bar = At(t2.MW(), t2.B - 10.f);
  EXPECT_GT(bar.r, 200) << Str(bar);
  EXPECT_LT(bar.b, 120) << Str(bar);
  const IRECT t0 = tracks->GetTrackRects()[0];
  const RGBA grey = At(t0.MW(), t0.B - 5.f);
  EXPECT_NEAR(grey.r, grey.b, 8) << Str(grey);
  EXPECT_GT(grey.r, 150) << Str(grey);

  // Slide the switch halfway, then to its end.
  const IRECT sw = slide->GetWidgetBounds();
  g->OnMouseDown({IMouseInfo{sw.MW(), sw.MH(), 0.f, 0.f, IMouseMod{true}}});
  g->OnMouseUp({IMouseInfo{sw.MW(), sw.MH(), 0.f, 0.f, IMouseMod{true}}});
  Run(3);
  gl.WritePNG(Name("extras1_sliding"));
  Run(10);
  gl.WritePNG(Name("extras1_slid"));
  EXPECT_EQ(slide->GetHandleBounds().R, sw.R);
}

INSTANTIATE_TEST_SUITE_P(DrawScale, ExtrasGallery, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
