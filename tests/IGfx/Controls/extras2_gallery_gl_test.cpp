// The group frame, colour swatch, vector label and the SVG- and bitmap-drawn controls drawn by the
// NanoVG backend at draw scales 1 and 2, written as PNG files for review, with a few pixel checks.
#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "IGfx/Controls/IBButtonControl.h"
#include "IGfx/Controls/IBKnobRotaterControl.h"
#include "IGfx/Controls/IBMeterControl.h"
#include "IGfx/Controls/IBSliderControl.h"
#include "IGfx/Controls/IBSwitchControl.h"
#include "IGfx/Controls/ISVGButtonControl.h"
#include "IGfx/Controls/ISVGKnobControl.h"
#include "IGfx/Controls/ISVGSliderControl.h"
#include "IGfx/Controls/ISVGSwitchControl.h"
#include "IGfx/Controls/ISVGToggleControl.h"
#include "IGfx/Controls/IVColorSwatchControl.h"
#include "IGfx/Controls/IVGroupControl.h"
#include "IGfx/Controls/IVKnobControl.h"
#include "IGfx/Controls/IVLabelControl.h"
#include "tests/support/offscreen_gfx.h"
#include "tests/gfx_harness/fake_delegate.h"
#include "tests/support/gl_required.h"

using namespace gfx_gl_test;
using namespace plugkit::gfx;
using plugkit::gfx::test::FakeDelegate;

namespace {

// A pointer knob: a disc with a notch at the top.
constexpr const char* kKnob = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="40">
  <circle cx="20" cy="20" r="18" fill="#3a4a60" stroke="#d0d8e0" stroke-width="2"/>
  <rect x="18" y="3" width="4" height="14" fill="#f0b030"/></svg>)svg";
// A power symbol: an outlined ring and bar, recoloured per state.
constexpr const char* kPower = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="40">
  <circle cx="20" cy="22" r="13" fill="none" stroke="#000000" stroke-width="4"/>
  <rect x="18" y="4" width="4" height="18" fill="none" stroke="#000000" stroke-width="4"/></svg>)svg";
constexpr const char* kTrack = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="100">
  <rect x="3" width="4" height="100" rx="2" fill="#202830"/></svg>)svg";
constexpr const char* kHandle = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10">
  <rect width="20" height="10" rx="2" fill="#e0e0e0"/></svg>)svg";

std::string Shape(const char* body)
{
  return std::string(R"(<svg xmlns="http://www.w3.org/2000/svg" width="30" height="30">)") + body + "</svg>";
}

struct Pixel
{
  unsigned char r, g, b, a;
};

// A PNG of w x h pixels painted by fn.
template <class F>
std::vector<unsigned char> MakePNG(int w, int h, F fn)
{
  std::vector<unsigned char> px(static_cast<size_t>(w * h * 4));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      const Pixel p = fn(x, y);
      std::memcpy(&px[static_cast<size_t>((y * w + x) * 4)], &p, 4);
    }
  std::vector<unsigned char> png;
  stbi_write_png_to_func(
    [](void* ctx, void* data, int size) {
      auto* out = static_cast<std::vector<unsigned char>*>(ctx);
      out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    },
    &png, w, h, 4, px.data(), w * 4);
  return png;
}

// Three stacked 30 x 30 frames: dark, amber, green.
const RGBA kSwitchColours[3] = {{60, 60, 70, 255}, {230, 160, 40, 255}, {60, 190, 90, 255}};

bool Near(const RGBA& p, const RGBA& want, int tol = 12)
{
  return std::abs(p.r - want.r) <= tol && std::abs(p.g - want.g) <= tol && std::abs(p.b - want.b) <= tol;
}

std::string Str(const RGBA& p)
{
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + "," + std::to_string(p.a) +
         ")";
}

class Extras2Gallery : public ::testing::TestWithParam<float>
{
protected:
  void SetUp() override
  {
    SKIP_OR_FAIL_WITHOUT_GL(gl);
    g = std::make_unique<OffscreenGfx>(delegate, gl, 520, 320, GetParam());
    const std::string roboto = std::string(VEMLOR_ROBOTO_DIR) + "/Roboto-Regular.ttf";
    ASSERT_TRUE(g->LoadFont("Roboto-Regular", roboto.c_str()));
  }
  void TearDown() override { g.reset(); }

  IBitmap Bitmap(const char* name, const std::vector<unsigned char>& png, int frames)
  {
    return g->LoadBitmap(name, png.data(), static_cast<int>(png.size()), frames, false);
  }
  RGBA At(float x, float y) { return gl.Probe(static_cast<int>(x * GetParam()), static_cast<int>(y * GetParam())); }
  std::string Name(const char* what) { return std::string(what) + "_x" + std::to_string(static_cast<int>(GetParam())); }

  OffscreenGL gl;
  FakeDelegate delegate{8};
  std::unique_ptr<OffscreenGfx> g;
};

TEST_P(Extras2Gallery, EveryControl)
{
  g->AttachPanelBackground(IPattern(IColor::FromHSLA(0.6f, 0.2f, 0.8f, 1.f)));
  IVStyle style = DEFAULT_STYLE;
  style.roundness = 0.1f;
  style.frameThickness = 2.f;
  style.labelText = IText(14.f, COLOR_BLACK, "Roboto-Regular", EAlign::Center, EVAlign::Top);
  style.valueText = IText(12.f, COLOR_BLACK, "Roboto-Regular", EAlign::Center, EVAlign::Bottom);

  // Two knobs framed by their group.
  g->AttachControl(new IVKnobControl(IRECT(20, 40, 80, 110), 0, "Cutoff", style), -1, "filter");
  g->AttachControl(new IVKnobControl(IRECT(90, 40, 150, 110), 1, "Res", style), -1, "filter");
  g->AttachControl(new IVGroupControl("Filter", "filter", 10.f, 30.f, 10.f, 10.f, style));

  IVStyle swatchStyle = style;
  swatchStyle.colorSpec.SetColor(EVColor::X1, IColor(255, 200, 60, 60));
  g->AttachControl(new IVColorSwatchControl(IRECT(170, 10, 410, 130), "Colours", nullptr, swatchStyle));
  IVStyle labelStyle = style;
  labelStyle.valueText = IText(18.f, COLOR_WHITE, "Roboto-Regular", EAlign::Center, EVAlign::Middle);
  labelStyle.colorSpec.SetColor(EVColor::BG, IColor(255, 70, 80, 110));
  g->AttachControl(new IVLabelControl(IRECT(420, 10, 510, 44), "Vemlor", labelStyle));
  auto* disabledLabel = new IVLabelControl(IRECT(420, 50, 510, 84), "Disabled", labelStyle);
  g->AttachControl(disabledLabel);
  disabledLabel->SetDisabled(true);

  // SVG row.
  const ISVG knob = g->LoadSVG("x2_knob.svg", static_cast<const void*>(kKnob), 0);
  const ISVG power = g->LoadSVG("x2_power.svg", static_cast<const void*>(kPower), 0);
  const ISVG track = g->LoadSVG("x2_track.svg", static_cast<const void*>(kTrack), 0);
  const ISVG handle = g->LoadSVG("x2_handle.svg", static_cast<const void*>(kHandle), 0);
  const std::string circle = Shape(R"(<circle cx="15" cy="15" r="12" fill="#d04040"/>)");
  const std::string square = Shape(R"(<rect x="3" y="3" width="24" height="24" fill="#40a040"/>)");
  const std::string triangle = Shape(R"(<path d="M15 3 L27 27 L3 27 Z" fill="#4060d0"/>)");
  const std::vector<ISVG> shapes{g->LoadSVG("x2_c.svg", static_cast<const void*>(circle.c_str()), 0),
                                 g->LoadSVG("x2_s.svg", static_cast<const void*>(square.c_str()), 0),
                                 g->LoadSVG("x2_t.svg", static_cast<const void*>(triangle.c_str()), 0)};
  for (const ISVG& s : {knob, power, track, handle, shapes[0], shapes[1], shapes[2]})
    ASSERT_TRUE(s.IsValid());
  const std::array<IColor, 4> powerColours{COLOR_DARK_GRAY, IColor(255, 40, 170, 80), COLOR_GRAY,
                                           IColor(255, 90, 220, 120)};
  auto* on = new ISVGToggleControl(IRECT(20, 160, 60, 200), 2, power, powerColours, EColorReplacement::Stroke);
  g->AttachControl(on);
  on->SetValue(1.);
  g->AttachControl(new ISVGToggleControl(IRECT(70, 160, 110, 200), 3, power, powerColours, EColorReplacement::Stroke));
  float x = 120.f;
  for (double v : {0., 0.25, 0.5, 1.})
  {
    auto* k = new ISVGKnobControl(IRECT(x, 160, x + 40, 200), knob);
    g->AttachControl(k);
    k->SetValue(v);
    x += 45.f;
  }
  auto* sw = new ISVGSwitchControl(IRECT(310, 165, 340, 195), shapes);
  g->AttachControl(sw);
  sw->SetValue(0.5);
  auto* svgSlider = new ISVGSliderControl(IRECT(350, 140, 380, 230), handle, track);
  g->AttachControl(svgSlider);
  svgSlider->SetValue(0.7);

  // Bitmap row.
  const IBitmap switchStrip =
    Bitmap("x2_switch.png",
           MakePNG(30, 90,
                   [](int px, int py) {
                     const RGBA& c = kSwitchColours[py / 30];
                     const bool edge = px < 2 || px >= 28 || py % 30 < 2 || py % 30 >= 28;
                     return edge ? Pixel{20, 20, 20, 255}
                                 : Pixel{static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                                         static_cast<unsigned char>(c.b), 255};
                   }),
           3);
  const IBitmap buttonStrip =
    Bitmap("x2_button.png",
           MakePNG(40, 40,
                   [](int px, int py) {
                     const bool down = py >= 20, edge = px < 2 || px >= 38 || py % 20 < 2 || py % 20 >= 18;
                     return edge ? Pixel{30, 30, 30, 255} : down ? Pixel{90, 90, 200, 255} : Pixel{170, 170, 220, 255};
                   }),
           2);
  const IBitmap pointer = Bitmap("x2_pointer.png",
                                 MakePNG(40, 40,
                                         [](int px, int py) {
                                           const int dx = px - 20, dy = py - 20;
                                           if (dx * dx + dy * dy > 19 * 19)
                                             return Pixel{0, 0, 0, 0};
                                           if (px >= 18 && px < 22 && py < 20)
                                             return Pixel{250, 250, 250, 255};
                                           return Pixel{60, 70, 90, 255};
                                         }),
                                 1);
  const IBitmap slideHandle = Bitmap("x2_slide.png",
                                     MakePNG(24, 12,
                                             [](int, int py) {
                                               return py == 6 ? Pixel{20, 20, 20, 255} : Pixel{220, 200, 120, 255};
                                             }),
                                     1);
  const IBitmap meterStrip = Bitmap(
    "x2_meter.png",
    MakePNG(16, 80 * 9,
            [](int, int py) {
              const int frame = py / 80, row = 79 - py % 80;
              const bool lit = row < frame * 10;
              return lit ? (row > 60 ? Pixel{230, 60, 50, 255} : Pixel{60, 200, 80, 255}) : Pixel{40, 40, 40, 255};
            }),
    9);
  for (const IBitmap* b : {&switchStrip, &buttonStrip, &pointer, &slideHandle, &meterStrip})
    ASSERT_TRUE(b->IsValid());
  x = 20.f;
  for (double v : {0., 0.5, 1.})
  {
    auto* b = new IBSwitchControl(x, 250.f, switchStrip);
    g->AttachControl(b);
    b->SetValue(v);
    x += 35.f;
  }
  g->AttachControl(new IBButtonControl(130.f, 255.f, buttonStrip));
  x = 180.f;
  for (double v : {0., 0.5, 1.})
  {
    auto* k = new IBKnobRotaterControl(x, 245.f, pointer);
    g->AttachControl(k);
    k->SetValue(v);
    x += 45.f;
  }
  auto* bSlider = new IBSliderControl(320.f, 240.f, 70, slideHandle, IBitmap(), -1);
  g->AttachControl(bSlider);
  bSlider->SetValue(0.25);
  auto* meter = new IBMeterControl(400.f, 230.f, meterStrip, -1, IBMeterControl::EResponse::Log, 0.f, -60.f);
  g->AttachControl(meter);
  struct
  {
    IBMeterControl::PayloadHeader header{1, 0};
    float level = 0.1f; // -20 dB
  } msg;
  meter->OnMsgFromDelegate(0, sizeof msg, &msg);

  g->Frame();
  gl.WritePNG(Name("extras2_gallery"));

  // The switches show their first, second and third frames.
  EXPECT_TRUE(Near(At(35, 265), kSwitchColours[0])) << Str(At(35, 265));
  EXPECT_TRUE(Near(At(70, 265), kSwitchColours[1])) << Str(At(70, 265));
  EXPECT_TRUE(Near(At(105, 265), kSwitchColours[2])) << Str(At(105, 265));
  // The meter at -20 dB of 60 lights the lower two thirds.
  EXPECT_GT(At(408, 300).g, 150) << Str(At(408, 300));
  EXPECT_LT(At(408, 240).g, 80) << Str(At(408, 240));
  // The toggle that is on strokes in its on colour, the other in its off colour.
  const RGBA onRing = At(40, 196), offRing = At(90, 196);
  EXPECT_GT(onRing.g, 120) << Str(onRing);
  EXPECT_LT(offRing.g, 120) << Str(offRing);
}

INSTANTIATE_TEST_SUITE_P(DrawScale, Extras2Gallery, ::testing::Values(1.f, 2.f),
                         [](const auto& info) { return "x" + std::to_string(static_cast<int>(info.param)); });

} // namespace
