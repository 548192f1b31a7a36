// A learnable knob and slider in each mapping state, drawn by the NanoVG backend at draw scales 1 and
// 2 and written as PNGs for review, with pixel checks of what tells the states apart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVSliderControl.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/input_driver.h"
#include "tests/utils/midi_cc/learnable_fixture.h"
#include "tests/support/gl_required.h"

namespace {

using namespace gfx_gl_test;
using learnable_test::kDrive;
using learnable_test::LearnHost;
using plugkit::gfx::test::InputDriver;
using zarvo::midi_cc::ControlDecorator;
using Knob = ControlDecorator<IVKnobControl>;
using Slider = ControlDecorator<IVSliderControl>;

constexpr IColor kBackdrop(255, 236, 236, 236);
constexpr IColor kModArc(216, 161, 145, 200);
constexpr IColor kAccent(255, 240, 120, 40);

// The blink reads the context's clock; frozen, the learning dot is caught in its visible half.
class FrozenClockGfx : public OffscreenGfx
{
public:
  using OffscreenGfx::OffscreenGfx;
  double GetTimeMs() const override { return 1000.0; }
};

struct State
{
  const char* name;
  std::function<void(zarvo::midi_cc::IControllable&)> set;
  bool armed = false;
  bool hoverDot = false;
  bool pressDot = false;
};

void mapped(zarvo::midi_cc::IControllable& c)
{
  c.setCCNumber(74);
  c.setParamMinMax(0.2, 0.8);
}

void modulating(zarvo::midi_cc::IControllable& c)
{
  c.setCCNumber(74);
  c.setModeDisplay(1);
  c.setModDepth(0.3);
  c.setModLiveValue(0.65);
}

const std::vector<State> kStates = {
  {"idle", [](auto&) {}},
  {"learning", [](auto& c) { c.setLearning(true); }},
  {"mapped", mapped},
  {"modulating", modulating},
  {"locked",
   [](auto& c) {
     c.setCCNumber(74);
     c.setModeLocked(true);
   }},
  {"bipolar",
   [](auto& c) {
     modulating(c);
     c.setModBipolar(true);
     c.setModDepth(0.25);
   }},
  {"armed", modulating, true},
  {"dot hover", mapped, false, true},
  {"dot pressed",
   [](auto& c) {
     c.setCCNumber(74);
     c.setModeLocked(true);
   },
   false, false, true},
};

class LearnableGallery : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    gfx = std::make_unique<FrozenClockGfx>(host, gl, kW, kH, GetParam());
    ASSERT_TRUE(gfx->LoadFont("Roboto-Regular", (std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf").c_str()));
    gfx->EnableMouseOver(true);
    gfx->AttachControl(new LambdaControl(gfx->GetBounds(), [](IGfx& g, const IRECT& r) { g.FillRect(kBackdrop, r); }));
    host.mediator.mArcColorOverride = kModArc;
    host.mediator.mDotColorOverride = kAccent;
    host.GetParam(kDrive)->Set(5.0);
  }
  void TearDown() override { gfx.reset(); }

  template <class T, class... Args>
  ControlDecorator<T>* Add(Args&&... args)
  {
    T* c = host.mediator.createLearnable<T>(std::forward<Args>(args)...);
    gfx->AttachControl(c);
    c->SetValueFromDelegate(0.5);
    return static_cast<ControlDecorator<T>*>(c);
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  static bool IsBackdrop(const RGBA& p) { return p.r == kBackdrop.R && p.g == kBackdrop.G && p.b == kBackdrop.B; }

  static constexpr int kCell = 110;
  static constexpr int kW = 10 + kCell * 9;
  static constexpr int kH = 210;
  OffscreenGL gl;
  LearnHost host;
  std::unique_ptr<FrozenClockGfx> gfx;
};

} // namespace

TEST_P(LearnableGallery, KnobAndSliderInEveryMappingState)
{
  IText caption(13.f, COLOR_BLACK, "Roboto-Regular");
  // The line under a bar-form control needs the bottom edge free of the value text.
  IVStyle sliderStyle;
  sliderStyle.showValue = false;
  std::vector<Knob*> knobs;
  std::vector<Slider*> sliders;
  for (size_t i = 0; i < kStates.size(); ++i)
  {
    const float x = 10.f + kCell * static_cast<float>(i);
    const State& s = kStates[i];
    gfx->AttachControl(new LambdaControl(IRECT(x, 4, x + kCell - 10, 22),
                                         [&s, caption](IGfx& g, const IRECT& r) { g.DrawText(caption, s.name, r); }));
    knobs.push_back(Add<IVKnobControl>(IRECT(x, 26, x + kCell - 10, 126), kDrive, "", DEFAULT_STYLE));
    sliders.push_back(
      Add<IVSliderControl>(IRECT(x, 140, x + kCell - 10, 190), kDrive, "", sliderStyle, false, EDirection::Horizontal));
  }
  InputDriver input(*gfx);
  for (size_t i = 0; i < kStates.size(); ++i)
  {
    kStates[i].set(*knobs[i]);
    kStates[i].set(*sliders[i]);
    if (kStates[i].armed)
    {
      knobs[i]->tryProcessMidiCCMenuSelection(6);
      sliders[i]->tryProcessMidiCCMenuSelection(6);
    }
    if (kStates[i].hoverDot)
    {
      const IRECT a = knobs[i]->dotAnchor();
      input.Hover(a.R - 6.f, a.B - 6.f);
    }
    if (kStates[i].pressDot)
    {
      const IRECT a = knobs[i]->dotAnchor();
      input.Press(a.R - 6.f, a.B - 6.f); // locked: held without a mode change
    }
  }
  gfx->SetAllControlsDirty();
  ASSERT_TRUE(gfx->Frame());
  gl.WritePNG("learnable_gallery_x" + std::to_string(static_cast<int>(GetParam())));

  // The dot's ring sits 6 units in from its anchor's corner: absent while idle, there once mapped or
  // learning (the ring's left edge is probed, 2.5 units left of the centre).
  for (size_t i = 0; i < kStates.size(); ++i)
  {
    SCOPED_TRACE(kStates[i].name);
    const IRECT a = knobs[i]->dotAnchor();
    const RGBA ring = At(a.R - 6.f - 2.5f, a.B - 6.f);
    EXPECT_EQ(IsBackdrop(ring), i == 0) << int(ring.r) << "," << int(ring.g) << "," << int(ring.b);
  }
  // The modulation arc (value 0.5, depth 0.3: from 0 to 81 degrees) at 80 % of the knob's radius, in
  // the theme's lavender over the grey knob; the idle knob is plain grey there.
  for (size_t i : {size_t{0}, size_t{3}})
  {
    Knob* k = knobs[i];
    const IRECT w = k->GetWidgetBounds();
    const auto [x, y] = learnable_test::polar((w.L + w.R) / 2.f, (w.T + w.B) / 2.f, 0.8f * k->GetRadius(), 60.f);
    const RGBA p = At(x, y);
    EXPECT_EQ(p.b > p.g + 10, i == 3) << kStates[i].name << ": " << int(p.r) << "," << int(p.g) << "," << int(p.b);
  }
}

INSTANTIATE_TEST_SUITE_P(DrawScale, LearnableGallery, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });
